#include "installer/Uninstaller.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "hotsync/HotSyncBinding.h"
#include "installer/FileSteps.h"
#include "installer/InstallFiles.h"
#include "installer/InstallRegistry.h"
#include "installer/StartMenuEntry.h"
#include "platform/Registry.h"
#include "platform/ShellLink.h"
#include "platform/SpecialFolders.h"
#include "platform/SystemErrorText.h"

namespace lockwell {

namespace {

namespace files = install_files;

bool Exists(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0;
}

void RemoveFile(const std::string& path, std::vector<std::string>& leftBehind) {
  if (unlink(path.c_str()) != 0 && errno != ENOENT) leftBehind.push_back(path + ": " + SystemErrorText(errno));
}

// A folder that still holds something of the user's stays, without a word.
void RemoveFolder(const std::string& path, std::vector<std::string>& leftBehind) {
  if (rmdir(path.c_str()) != 0 && errno != ENOENT && errno != ENOTEMPTY && errno != EEXIST) {
    leftBehind.push_back(path + ": " + SystemErrorText(errno));
  }
}

std::string TextValue(Hive hive, const std::string& path, const char* name) {
  RegistryKey key;
  if (Registry::OpenKey(hive, path, RegistryAccess::Read, key) != RegistryStatus::Ok) return {};
  RegistryValue value;
  if (key.QueryValue(name, 4096, value) != RegistryStatus::Ok || value.type != REG_SZ) return {};
  return value.AsText();
}

}  // namespace

Uninstaller::Uninstaller(std::string folder, HotSyncBinding& binding)
    : folder_(WithTrailingSlash(folder)), binding_(binding) {}

bool Uninstaller::Run(std::vector<std::string>& leftBehind) {
  leftBehind.clear();
  refused_ = false;
  // The package carries the same file names as an installation (and the
  // conduit), so taking it for one would break the package and unregister
  // the conduit of the real installation.
  if (Exists(folder_ + files::kProgramSource)) {
    refused_ = true;
    leftBehind.push_back(kPackageRefusal);
    return false;
  }
  RemoveConduit();
  RemoveStartMenu(leftBehind);
  RemoveRegistryEntries();
  RemoveFiles(leftBehind);
  return leftBehind.empty();
}

void Uninstaller::RemoveConduit() {
  // Only an installation that holds the conduit registered it.
  if (!Exists(folder_ + files::kConduit)) return;
  // As when installing: the manager must not hold the conduit while its
  // registration changes, and runs again afterwards only if it ran before.
  const bool wasRunning = binding_.IsHotSyncRunning();
  binding_.CloseHotSync();
  binding_.RemoveConduit();
  if (wasRunning) binding_.StartHotSync();
}

void Uninstaller::RemoveFiles(std::vector<std::string>& leftBehind) {
  for (const auto& file : files::kMainFiles) RemoveFile(folder_ + file.destination, leftBehind);
  const std::string help = folder_ + files::kHelpFolder + "/";
  for (const char* name : files::kHelpFiles) RemoveFile(help + name, leftBehind);
  RemoveFolder(help, leftBehind);
  RemoveFile(folder_ + files::kConduit, leftBehind);
  RemoveFile(folder_ + files::kUninstall, leftBehind);
  RemoveFolder(folder_, leftBehind);
}

void Uninstaller::RemoveStartMenu(std::vector<std::string>& leftBehind) {
  // Setup used the all-users folder when it could; look in both.
  for (const std::string& programs : {SpecialFolders::CommonPrograms(), SpecialFolders::UserPrograms()}) {
    if (programs.empty()) continue;
    const std::string menu = WithTrailingSlash(programs) + files::kStartMenuFolder + "/";
    if (!Exists(menu)) continue;
    for (const auto& shortcut : files::kShortcuts) {
      const std::string entry = ShellLink::DesktopEntryPath(menu + shortcut.linkName);
      // A link of another installation (or one the user changed) stays.
      const std::string target = StartMenuEntry::TargetOfFile(entry);
      if (!target.empty() && IsInsideFolder(target)) RemoveFile(entry, leftBehind);
    }
    RemoveFolder(menu, leftBehind);
  }
}

bool Uninstaller::IsInsideFolder(const std::string& path) const {
  namespace fs = std::filesystem;
  std::string folderText = folder_;
  while (folderText.size() > 1 && folderText.back() == '/') folderText.pop_back();
  std::error_code ignored;
  const fs::path folder = fs::weakly_canonical(fs::path(folderText), ignored);
  const fs::path target = fs::weakly_canonical(fs::path(path), ignored);
  if (folder.empty() || target.empty()) return false;
  // Compared name by name, so that ".../Lockwell2" is not inside ".../Lockwell".
  return std::mismatch(folder.begin(), folder.end(), target.begin(), target.end()).first == folder.end();
}

void Uninstaller::RemoveRegistryEntries() {
  const std::string typeCommand = std::string(kFileTypeName) + "\\shell\\open\\command";
  if (TextValue(Hive::ClassesRoot, typeCommand, "") == FileTypeCommand(folder_)) {
    Registry::DeleteKey(Hive::ClassesRoot, kFileTypeName, RegistryDeletion::WholeTree);
    if (TextValue(Hive::ClassesRoot, kFileTypeKey, "") == kFileTypeName) {
      Registry::DeleteKey(Hive::ClassesRoot, kFileTypeKey, RegistryDeletion::WholeTree);
    }
  }

  if (TextValue(Hive::LocalMachine, kUninstallKeyPath, "UninstallString") == folder_ + files::kUninstall) {
    Registry::DeleteKey(Hive::LocalMachine, kUninstallKeyPath, RegistryDeletion::WholeTree);
  }

  if (TextValue(Hive::LocalMachine, kInstallPathKeyPath, "InstallPath") == folder_) {
    RegistryKey key;
    if (Registry::OpenKey(Hive::LocalMachine, kInstallPathKeyPath, RegistryAccess::Full, key) == RegistryStatus::Ok) {
      key.DeleteValue("InstallPath");
    }
    // The keys setup may have created; kept when anything else lives there.
    Registry::DeleteKey(Hive::LocalMachine, kInstallPathKeyPath, RegistryDeletion::OnlyWhenEmpty);
    Registry::DeleteKey(Hive::LocalMachine, "Software\\Tallmark", RegistryDeletion::OnlyWhenEmpty);
  }
}

}  // namespace lockwell
