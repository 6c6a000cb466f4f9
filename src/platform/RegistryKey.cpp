#include "platform/RegistryKey.h"

#include <vector>

#include "platform/HiveStore.h"

namespace lockwell {

RegistryKey::RegistryKey(RegistryKey&& other) noexcept
    : open_(other.open_), hive_(other.hive_), path_(std::move(other.path_)), access_(other.access_) {
  other.Close();
}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
  if (this != &other) {
    open_ = other.open_;
    hive_ = other.hive_;
    path_ = std::move(other.path_);
    access_ = other.access_;
    other.Close();
  }
  return *this;
}

void RegistryKey::Close() {
  open_ = false;
  path_.clear();
}

std::string RegistryKey::Join(std::string_view path) const {
  if (path_.empty()) return std::string(path);
  if (path.empty()) return path_;
  return path_ + "\\" + std::string(path);
}

RegistryStatus RegistryKey::OpenSubKey(std::string_view path, RegistryAccess access, RegistryKey& key) const {
  key.Close();
  if (!open_) return RegistryStatus::InvalidHandle;
  std::vector<std::string_view> names;
  if (!SplitKeyPath(path, names)) return RegistryStatus::InvalidName;
  HiveSession session(hive_);
  if (!session.Ok()) return RegistryStatus::IoError;
  if (session.Store().Root().FindPath(Join(path)) == nullptr) return RegistryStatus::NotFound;
  key = RegistryKey(hive_, Join(path), access);
  return RegistryStatus::Ok;
}

RegistryStatus RegistryKey::CreateSubKey(std::string_view path, RegistryKey& key) const {
  key.Close();
  if (!open_) return RegistryStatus::InvalidHandle;
  if (access_ != RegistryAccess::Full) return RegistryStatus::AccessDenied;
  std::vector<std::string_view> names;
  if (!SplitKeyPath(path, names)) return RegistryStatus::InvalidName;
  HiveSession session(hive_);
  if (!session.Ok()) return RegistryStatus::IoError;
  HiveKey* current = session.Store().Root().FindPath(path_);
  if (current == nullptr) return RegistryStatus::NotFound;
  bool created = false;
  for (std::string_view name : names) {
    HiveKey* next = current->FindSubKey(name);
    if (next == nullptr) {
      next = &current->FindOrAddSubKey(name);
      created = true;
    }
    current = next;
  }
  if (created && !session.Store().Commit()) return RegistryStatus::IoError;
  key = RegistryKey(hive_, Join(path), RegistryAccess::Full);
  return RegistryStatus::Ok;
}

RegistryStatus RegistryKey::QueryValue(std::string_view name, size_t dataLimit, RegistryValue& value) const {
  value = RegistryValue{};
  if (!open_) return RegistryStatus::InvalidHandle;
  HiveSession session(hive_);
  if (!session.Ok()) return RegistryStatus::IoError;
  HiveKey* key = session.Store().Root().FindPath(path_);
  if (key == nullptr) return RegistryStatus::NotFound;
  const RegistryValue* found = key->FindValue(name);
  if (found == nullptr) return RegistryStatus::NotFound;
  value.name = found->name;
  value.type = found->type;
  if (found->data.size() > dataLimit) return RegistryStatus::MoreData;
  value.data = found->data;
  return RegistryStatus::Ok;
}

RegistryStatus RegistryKey::EnumValue(uint32_t index, size_t nameLimit, size_t dataLimit,
                                      RegistryValue& value) const {
  value = RegistryValue{};
  if (!open_) return RegistryStatus::InvalidHandle;
  HiveSession session(hive_);
  if (!session.Ok()) return RegistryStatus::IoError;
  HiveKey* key = session.Store().Root().FindPath(path_);
  if (key == nullptr) return RegistryStatus::NotFound;
  if (index >= key->values.size()) return RegistryStatus::NoMoreItems;
  const RegistryValue& found = key->values[index];
  if (found.name.size() + 1 > nameLimit || found.data.size() > dataLimit) {
    value.type = found.type;
    return RegistryStatus::MoreData;
  }
  value = found;
  return RegistryStatus::Ok;
}

RegistryStatus RegistryKey::SetValue(const RegistryValue& value) {
  if (!open_) return RegistryStatus::InvalidHandle;
  if (access_ != RegistryAccess::Full) return RegistryStatus::AccessDenied;
  if (!IsValidValueName(value.name)) return RegistryStatus::InvalidName;
  HiveSession session(hive_);
  if (!session.Ok()) return RegistryStatus::IoError;
  HiveKey* key = session.Store().Root().FindPath(path_);
  if (key == nullptr) return RegistryStatus::NotFound;
  key->SetValue(value);
  return session.Store().Commit() ? RegistryStatus::Ok : RegistryStatus::IoError;
}

RegistryStatus RegistryKey::SetText(std::string_view name, std::string_view text) {
  return SetValue(RegistryValue::Text(std::string(name), text));
}

RegistryStatus RegistryKey::SetDword(std::string_view name, uint32_t number) {
  return SetValue(RegistryValue::Dword(std::string(name), number));
}

RegistryStatus RegistryKey::DeleteValue(std::string_view name) {
  if (!open_) return RegistryStatus::InvalidHandle;
  if (access_ != RegistryAccess::Full) return RegistryStatus::AccessDenied;
  HiveSession session(hive_);
  if (!session.Ok()) return RegistryStatus::IoError;
  HiveKey* key = session.Store().Root().FindPath(path_);
  if (key == nullptr || !key->DeleteValue(name)) return RegistryStatus::NotFound;
  return session.Store().Commit() ? RegistryStatus::Ok : RegistryStatus::IoError;
}

RegistryStatus RegistryKey::DeleteSubKey(std::string_view path, RegistryDeletion how) {
  if (!open_) return RegistryStatus::InvalidHandle;
  if (access_ != RegistryAccess::Full) return RegistryStatus::AccessDenied;
  std::vector<std::string_view> names;
  if (!SplitKeyPath(path, names) || names.empty()) return RegistryStatus::InvalidName;
  HiveSession session(hive_);
  if (!session.Ok()) return RegistryStatus::IoError;
  const size_t cut = path.find_last_of('\\');
  HiveKey* parent = session.Store().Root().FindPath(Join(cut == std::string_view::npos ? "" : path.substr(0, cut)));
  HiveKey* key = parent == nullptr ? nullptr : parent->FindSubKey(names.back());
  if (key == nullptr) return RegistryStatus::NotFound;
  if (how == RegistryDeletion::OnlyWhenEmpty && (!key->values.empty() || !key->subkeys.empty())) {
    return RegistryStatus::NotEmpty;
  }
  parent->DeleteSubKey(names.back());
  return session.Store().Commit() ? RegistryStatus::Ok : RegistryStatus::IoError;
}

}  // namespace lockwell
