#include "platform/HiveKey.h"

#include "platform/AsciiCase.h"

namespace lockwell {

namespace {
// The limits of the Windows registry, kept so that a hive written here can be
// imported there.
constexpr size_t kMaxKeyName = 255;
constexpr size_t kMaxValueName = 16383;
}  // namespace

HiveKey* HiveKey::FindSubKey(std::string_view keyName) {
  for (auto& subkey : subkeys) {
    if (EqualsIgnoringAsciiCase(subkey->name, keyName)) return subkey.get();
  }
  return nullptr;
}

HiveKey& HiveKey::FindOrAddSubKey(std::string_view keyName) {
  if (HiveKey* found = FindSubKey(keyName)) return *found;
  subkeys.push_back(std::make_unique<HiveKey>());
  subkeys.back()->name = std::string(keyName);
  return *subkeys.back();
}

HiveKey* HiveKey::FindPath(std::string_view path) {
  std::vector<std::string_view> names;
  if (!SplitKeyPath(path, names)) return nullptr;
  HiveKey* key = this;
  for (std::string_view keyName : names) {
    key = key->FindSubKey(keyName);
    if (key == nullptr) return nullptr;
  }
  return key;
}

RegistryValue* HiveKey::FindValue(std::string_view valueName) {
  for (auto& value : values) {
    if (EqualsIgnoringAsciiCase(value.name, valueName)) return &value;
  }
  return nullptr;
}

void HiveKey::SetValue(RegistryValue value) {
  if (RegistryValue* existing = FindValue(value.name)) {
    existing->type = value.type;
    existing->data = std::move(value.data);
    return;
  }
  values.push_back(std::move(value));
}

bool HiveKey::DeleteValue(std::string_view valueName) {
  for (auto it = values.begin(); it != values.end(); ++it) {
    if (EqualsIgnoringAsciiCase(it->name, valueName)) {
      values.erase(it);
      return true;
    }
  }
  return false;
}

bool HiveKey::DeleteSubKey(std::string_view keyName) {
  const HiveKey* found = FindSubKey(keyName);
  if (found == nullptr) return false;
  std::erase_if(subkeys, [found](const std::unique_ptr<HiveKey>& subkey) { return subkey.get() == found; });
  return true;
}

bool SplitKeyPath(std::string_view path, std::vector<std::string_view>& names) {
  names.clear();
  if (path.empty()) return true;
  size_t start = 0;
  while (true) {
    size_t end = path.find('\\', start);
    std::string_view keyName = path.substr(start, end == std::string_view::npos ? end : end - start);
    if (!IsValidKeyName(keyName)) return false;
    names.push_back(keyName);
    if (end == std::string_view::npos) return true;
    start = end + 1;
  }
}

bool IsValidKeyName(std::string_view name) {
  if (name.empty() || name.size() > kMaxKeyName) return false;
  return name.find_first_of(std::string_view("\\\r\n\0", 4)) == std::string_view::npos;
}

bool IsValidValueName(std::string_view name) {
  if (name.size() > kMaxValueName) return false;
  return name.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

}  // namespace lockwell
