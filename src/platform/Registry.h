// The registry stand-in: three hives, each one text file in the registry-export
// format (see HiveText), in the folder named by LOCKWELL_REGISTRY_DIR, or else
// $XDG_CONFIG_HOME/tallmark/registry, or else ~/.config/tallmark/registry.
//
//   HKEY_CURRENT_USER.reg, HKEY_LOCAL_MACHINE.reg, HKEY_CLASSES_ROOT.reg
//   <hive>.lock              the lock between processes
//   <hive>.reg.damaged-...   a hive file that did not parse, kept for a person
#pragma once

#include <string>
#include <string_view>

#include "platform/RegistryKey.h"
#include "platform/RegistryTypes.h"

namespace lockwell {

class Registry {
 public:
  // Opens an existing key; an empty path opens the hive itself.
  static RegistryStatus OpenKey(Hive hive, std::string_view path, RegistryAccess access, RegistryKey& key);
  // Opens a key with full access, creating it and its missing parents.
  static RegistryStatus CreateKey(Hive hive, std::string_view path, RegistryKey& key);
  // Deletes a key below the hive (see RegistryKey::DeleteSubKey).
  static RegistryStatus DeleteKey(Hive hive, std::string_view path, RegistryDeletion how);
  // The folder that holds the hive files; empty when no folder can be named.
  static std::string Directory();
};

}  // namespace lockwell
