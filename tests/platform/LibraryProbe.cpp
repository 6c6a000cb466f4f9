// A tiny shared library for the DynamicLibrary tests: it tells which copy of
// it was loaded.
extern "C" __attribute__((visibility("default"))) const char* LockwellProbeWhere() {
  return LOCKWELL_PROBE_WHERE;
}
