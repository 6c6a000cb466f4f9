#include "platform/Registry.h"

#include <cstdlib>

#include "platform/HiveStore.h"

namespace lockwell {

namespace {
std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}
}  // namespace

std::string Registry::Directory() {
  std::string dir = Environment("LOCKWELL_REGISTRY_DIR");
  if (!dir.empty()) return dir;
  std::string config = Environment("XDG_CONFIG_HOME");
  // The XDG rules ignore a relative value.
  if (config.empty() || config[0] != '/') {
    std::string home = Environment("HOME");
    if (home.empty()) return "";
    config = home + "/.config";
  }
  return config + "/tallmark/registry";
}

RegistryStatus Registry::OpenKey(Hive hive, std::string_view path, RegistryAccess access, RegistryKey& key) {
  return RegistryKey(hive, "", RegistryAccess::Read).OpenSubKey(path, access, key);
}

RegistryStatus Registry::CreateKey(Hive hive, std::string_view path, RegistryKey& key) {
  return RegistryKey(hive, "", RegistryAccess::Full).CreateSubKey(path, key);
}

RegistryStatus Registry::DeleteKey(Hive hive, std::string_view path, RegistryDeletion how) {
  return RegistryKey(hive, "", RegistryAccess::Full).DeleteSubKey(path, how);
}

}  // namespace lockwell
