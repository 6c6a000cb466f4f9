#include "platform/SpecialFolders.h"

#include <unistd.h>

#include <cstdlib>
#include <optional>

#include "platform/FileUtil.h"
#include "platform/Registry.h"

namespace lockwell {

namespace {

std::optional<std::string> Override(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

std::string Home() {
  const char* home = std::getenv("HOME");
  return home != nullptr ? home : "";
}

// An XDG base folder: the variable when it holds an absolute path, else the
// default below $HOME.
std::string XdgBase(const char* variable, const char* fallbackBelowHome) {
  const char* value = std::getenv(variable);
  if (value != nullptr && value[0] == '/') return value;
  std::string home = Home();
  return home.empty() ? "" : home + "/" + fallbackBelowHome;
}

// XDG_DOCUMENTS_DIR="$HOME/Documents" in user-dirs.dirs, as the desktop's own
// tools write it.
std::string DocumentsFromUserDirs() {
  std::string config = XdgBase("XDG_CONFIG_HOME", ".config");
  std::string text;
  int error = 0;
  if (config.empty() || !ReadWholeFile(config + "/user-dirs.dirs", text, error)) return "";
  const std::string key = "XDG_DOCUMENTS_DIR=\"";
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (line.compare(0, key.size(), key) != 0) continue;
    size_t close = line.find('"', key.size());
    if (close == std::string::npos) return "";
    std::string value = line.substr(key.size(), close - key.size());
    if (value.compare(0, 5, "$HOME") == 0) {
      std::string home = Home();
      if (home.empty()) return "";
      value = home + value.substr(5);
    }
    return value.empty() || value[0] != '/' ? "" : value;
  }
  return "";
}

}  // namespace

std::string SpecialFolders::Documents() {
  if (auto value = Override("LOCKWELL_DOCUMENTS_DIR")) return *value;
  std::string fromUserDirs = DocumentsFromUserDirs();
  if (!fromUserDirs.empty()) return fromUserDirs;
  std::string home = Home();
  return home.empty() ? "" : home + "/Documents";
}

std::string SpecialFolders::UserPrograms() {
  if (auto value = Override("LOCKWELL_PROGRAMS_DIR")) return *value;
  std::string data = XdgBase("XDG_DATA_HOME", ".local/share");
  return data.empty() ? "" : data + "/applications";
}

std::string SpecialFolders::CommonPrograms() {
  if (auto value = Override("LOCKWELL_COMMON_PROGRAMS_DIR")) return *value;
  const char* common = "/usr/local/share/applications";
  return access(common, W_OK) == 0 ? common : "";
}

std::string SpecialFolders::ProgramFilesDir() {
  if (auto value = Override("LOCKWELL_PROGRAM_FILES_DIR")) return *value;
  RegistryKey key;
  if (Registry::OpenKey(Hive::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
                        RegistryAccess::Read, key) == RegistryStatus::Ok) {
    RegistryValue value;
    if (key.QueryValue("ProgramFilesDir", 2048, value) == RegistryStatus::Ok && value.type == REG_SZ) {
      std::string text = value.AsText();
      if (!text.empty()) return text;
    }
  }
  std::string home = Home();
  return home.empty() ? "" : home + "/.local/opt/";
}

}  // namespace lockwell
