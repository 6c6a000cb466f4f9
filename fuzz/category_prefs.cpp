// Loads arbitrary bytes as the preferences blob of record 0.  A blob that
// loads must serialise to a form that loads again to the same table.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "vault/CategoryPrefsTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lockwell::CategoryPrefsTable table;
  if (!table.Load(std::string(reinterpret_cast<const char*>(data), size))) return 0;
  std::string stored = table.Serialize();
  lockwell::CategoryPrefsTable again;
  if (!again.Load(stored) || again.Serialize() != stored || again.Entries() != table.Entries()) std::abort();
  for (const auto& [key, prefs] : table.Entries()) {
    (void)table.ShownFields(key);
    (void)table.DefaultLabel(key, 4);
  }
  return 0;
}
