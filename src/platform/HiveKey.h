// One key of a hive held in memory: its name as created, its values in the
// order they were created, and its subkeys in the order they were created.
//
// Invariants: no two values and no two subkeys of one key have names that are
// equal without regard to case; a name never contains "\", CR, LF or NUL
// bytes (value names may hold "\").
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryTypes.h"

namespace lockwell {

struct HiveKey {
  std::string name;
  std::vector<RegistryValue> values;
  std::vector<std::unique_ptr<HiveKey>> subkeys;

  HiveKey* FindSubKey(std::string_view keyName);
  HiveKey& FindOrAddSubKey(std::string_view keyName);
  // Follows a path of names separated by "\"; null when a key is missing.
  HiveKey* FindPath(std::string_view path);
  RegistryValue* FindValue(std::string_view valueName);
  // Replaces the data of an existing value (keeping its place and the case of
  // its name) or appends a new value.
  void SetValue(RegistryValue value);
  bool DeleteValue(std::string_view valueName);
  // Removes the subkey with everything below it; false when there is none.
  bool DeleteSubKey(std::string_view keyName);
};

// Splits "A\B\C" into its names; false when a name is empty or invalid.
bool SplitKeyPath(std::string_view path, std::vector<std::string_view>& names);
bool IsValidKeyName(std::string_view name);
bool IsValidValueName(std::string_view name);

}  // namespace lockwell
