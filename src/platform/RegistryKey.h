// An open registry key: the stand-in for a Windows key handle.
//
// A key names its hive, its path and the access it was opened with; it holds
// no data and no lock, so it may stay open while other processes write.  Every
// operation reads and writes the hive through its file under the lock between
// processes (see HiveStore), so each one is atomic on its own; wrap several in
// a RegistryLock to make them atomic together.
//
// Key and value names compare without regard to case.  Values enumerate in the
// order they were created; replacing a value's data keeps its place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/RegistryTypes.h"

namespace lockwell {

class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(RegistryKey&& other) noexcept;
  RegistryKey& operator=(RegistryKey&& other) noexcept;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() { Close(); }

  bool IsOpen() const { return open_; }
  void Close();
  Hive GetHive() const { return hive_; }
  // The path below the hive, names separated by "\"; empty for the hive itself.
  const std::string& Path() const { return path_; }

  // Opens an existing key below this one (an empty path opens this key again).
  RegistryStatus OpenSubKey(std::string_view path, RegistryAccess access, RegistryKey& key) const;
  // Opens a key below this one with full access, creating it and any missing
  // key on the way.  Needs a key opened with full access.
  RegistryStatus CreateSubKey(std::string_view path, RegistryKey& key) const;

  // Reads a value.  MoreData when its data is longer than `dataLimit` bytes;
  // `value` then has the name and type but no data.
  RegistryStatus QueryValue(std::string_view name, size_t dataLimit, RegistryValue& value) const;
  // Reads the value at `index` in creation order.  NoMoreItems past the last
  // value; MoreData when its name with a terminating zero needs more than
  // `nameLimit` characters or its data more than `dataLimit` bytes.
  RegistryStatus EnumValue(uint32_t index, size_t nameLimit, size_t dataLimit, RegistryValue& value) const;

  // Creates or replaces a value.  Needs full access.
  RegistryStatus SetValue(const RegistryValue& value);
  RegistryStatus SetText(std::string_view name, std::string_view text);
  RegistryStatus SetDword(std::string_view name, uint32_t number);
  RegistryStatus DeleteValue(std::string_view name);
  // Deletes the key at `path` below this one (never this key itself: the
  // path must name at least one key).  NotFound when it does not exist;
  // NotEmpty, deleting nothing, when `how` is OnlyWhenEmpty and it holds
  // values or subkeys.  Needs full access.
  RegistryStatus DeleteSubKey(std::string_view path, RegistryDeletion how);

 private:
  friend class Registry;
  RegistryKey(Hive hive, std::string path, RegistryAccess access)
      : open_(true), hive_(hive), path_(std::move(path)), access_(access) {}
  std::string Join(std::string_view path) const;

  bool open_ = false;
  Hive hive_ = Hive::CurrentUser;
  std::string path_;
  RegistryAccess access_ = RegistryAccess::Read;
};

}  // namespace lockwell
