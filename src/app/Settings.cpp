#include "app/Settings.h"

#include <cstdio>

#include "platform/AsciiCase.h"
#include "platform/Registry.h"
#include "platform/RegistryLock.h"

namespace lockwell {

namespace {

constexpr char kParentKeyPath[] = "Software\\Tallmark";
constexpr char kDatabaseList[] = "DatabaseList";
constexpr char kNextIndex[] = "NextIndex";
constexpr char kLastDatabase[] = "LastDatabase";
constexpr char kInstallPath[] = "InstallPath";

// The buffers the list is read with: a value name of up to 127 characters and
// its zero, an entry of up to 2047 bytes and its zero.
constexpr size_t kEntryNameChars = 128;
constexpr size_t kEntryDataBytes = 2048;
constexpr size_t kLastDatabaseBytes = 2048;
constexpr size_t kInstallPathBytes = 260;

std::string IndexName(uint32_t n) {
  char name[9];
  std::snprintf(name, sizeof name, "%08X", n);
  return name;
}

// Calls `visit(index, value)` for each readable REG_SZ value of the list, in
// enumeration order; `visit` returns true when it deleted the value, which
// moves the next one to the same index.  A value too long for the buffers is
// passed over, so that one overlong value does not hide the entries after it.
template <typename Visit>
void ForEachEntry(const RegistryKey& key, Visit visit) {
  RegistryValue value;
  for (uint32_t index = 0;;) {
    RegistryStatus status = key.EnumValue(index, kEntryNameChars, kEntryDataBytes, value);
    if (status == RegistryStatus::MoreData) {
      ++index;
      continue;
    }
    if (status != RegistryStatus::Ok) return;
    bool deleted = value.type == REG_SZ && visit(value);
    if (!deleted) ++index;
  }
}

}  // namespace

std::optional<RegistryKey> OpenSettingsKey() {
  RegistryKey key;
  if (Registry::OpenKey(Hive::CurrentUser, kSettingsKeyPath, RegistryAccess::Full, key) ==
      RegistryStatus::Ok) {
    return key;
  }
  RegistryKey created;
  if (Registry::CreateKey(Hive::CurrentUser, kParentKeyPath, created) != RegistryStatus::Ok)
    return std::nullopt;
  created.Close();
  if (Registry::CreateKey(Hive::CurrentUser, kSettingsKeyPath, created) != RegistryStatus::Ok)
    return std::nullopt;
  created.Close();
  if (Registry::OpenKey(Hive::CurrentUser, kSettingsKeyPath, RegistryAccess::Full, key) !=
      RegistryStatus::Ok) {
    return std::nullopt;
  }
  return key;
}

std::optional<RegistryKey> OpenDatabaseListKey() {
  std::optional<RegistryKey> settings = OpenSettingsKey();
  if (!settings) return std::nullopt;
  RegistryKey list;
  if (settings->CreateSubKey(kDatabaseList, list) != RegistryStatus::Ok) return std::nullopt;
  return list;
}

std::string MakePcDatabaseEntry(std::string_view path) {
  // A parenthesised path could not be taken apart again: keep it bare.
  if (path.find_first_of("()") != std::string_view::npos) return std::string(path);
  size_t slash = path.find_last_of('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  return std::string(kPcDatabasePrefix) + std::string(name) + " (" + std::string(path) + ")";
}

void AddDatabaseEntry(std::string_view entry) {
  // An entry the list cannot be read back with would be invisible, and added
  // again on every start.
  if (entry.size() + 1 > kEntryDataBytes) return;
  // Reading the list, choosing the number and writing stay together, so that
  // the installer or a second copy of the program cannot take the same name.
  RegistryLock lock(Hive::CurrentUser);
  for (const std::string& existing : ReadDatabaseEntries()) {
    if (EqualsIgnoringAsciiCase(existing, entry)) return;
  }
  std::optional<RegistryKey> list = OpenDatabaseListKey();
  if (!list) return;

  // A counter that cannot be read counts as 0; one of another type is deleted
  // and numbering restarts.
  uint32_t n = 0;
  RegistryValue next;
  if (list->QueryValue(kNextIndex, 4, next) == RegistryStatus::Ok && !next.AsDword(n)) {
    list->DeleteValue(kNextIndex);
    n = 0;
  }
  // A restarted or stale counter must not overwrite a remembered entry: take
  // the first free name from n on.
  RegistryValue taken;
  for (uint32_t tries = 0; tries < 0xFFFFFFFFu; ++tries, ++n) {
    if (list->QueryValue(IndexName(n), 0, taken) == RegistryStatus::NotFound) break;
  }
  if (list->SetText(IndexName(n), entry) != RegistryStatus::Ok) return;
  list->SetDword(kNextIndex, n + 1);
}

void RemoveDatabaseEntry(std::string_view entry) {
  RegistryLock lock(Hive::CurrentUser);
  std::optional<RegistryKey> list = OpenDatabaseListKey();
  if (!list) return;
  ForEachEntry(*list, [&](const RegistryValue& value) {
    return value.AsText() == entry && list->DeleteValue(value.name) == RegistryStatus::Ok;
  });
}

std::vector<std::string> ReadDatabaseEntries() {
  std::vector<std::string> entries;
  std::optional<RegistryKey> list = OpenDatabaseListKey();
  if (!list) return entries;
  ForEachEntry(*list, [&](const RegistryValue& value) {
    entries.push_back(value.AsText());
    return false;
  });
  return entries;
}

std::string ReadLastDatabase() {
  std::optional<RegistryKey> settings = OpenSettingsKey();
  RegistryValue value;
  if (!settings || settings->QueryValue(kLastDatabase, kLastDatabaseBytes, value) != RegistryStatus::Ok)
    return "";
  return value.AsText();
}

void WriteLastDatabase(std::string_view entry) {
  std::optional<RegistryKey> settings = OpenSettingsKey();
  if (settings) settings->SetText(kLastDatabase, entry);
}

std::string ReadInstallPath() {
  RegistryKey key;
  RegistryValue value;
  if (Registry::OpenKey(Hive::LocalMachine, kSettingsKeyPath, RegistryAccess::Read, key) !=
          RegistryStatus::Ok ||
      key.QueryValue(kInstallPath, kInstallPathBytes, value) != RegistryStatus::Ok) {
    return "";
  }
  std::string path = value.AsText();
  if (!path.empty() && path.back() != '/') path.push_back('/');
  return path;
}

void RememberCommandLineDatabase(std::string_view path) {
  std::string entry = MakePcDatabaseEntry(path);
  AddDatabaseEntry(entry);
  WriteLastDatabase(entry);
}

}  // namespace lockwell
