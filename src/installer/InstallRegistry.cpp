#include "installer/InstallRegistry.h"

#include "hotsync/ProductVersion.h"
#include "installer/InstallFiles.h"
#include "platform/Registry.h"

namespace lockwell {

std::string FileTypeCommand(const std::string& folder) {
  return "\"" + folder + install_files::kProgram + "\" \"%1\"";
}

void RegisterFileType(const std::string& folder) {
  RegistryKey extension;
  if (Registry::CreateKey(Hive::ClassesRoot, kFileTypeKey, extension) != RegistryStatus::Ok) return;
  extension.SetText("", kFileTypeName);

  RegistryKey type;
  if (Registry::CreateKey(Hive::ClassesRoot, kFileTypeName, type) != RegistryStatus::Ok) return;
  type.SetText("", kFileTypeName);

  RegistryKey icon;
  if (type.CreateSubKey("DefaultIcon", icon) == RegistryStatus::Ok) {
    icon.SetText("", folder + install_files::kProgram + ",0");
  }

  // One key at a time, as each may fail on its own.
  RegistryKey shell, open, command;
  if (type.CreateSubKey("shell", shell) != RegistryStatus::Ok) return;
  if (shell.CreateSubKey("open", open) != RegistryStatus::Ok) return;
  if (open.CreateSubKey("command", command) != RegistryStatus::Ok) return;
  command.SetText("", FileTypeCommand(folder));
  // Windows is told here that file associations changed; desktop entries
  // need no such notice.
}

bool AddUninstallEntry(const std::string& folder) {
  RegistryKey key;
  if (Registry::CreateKey(Hive::LocalMachine, kUninstallKeyPath, key) != RegistryStatus::Ok) return false;
  key.SetText("DisplayName", "Lockwell " + ProductVersion().Text());
  key.SetText("UninstallString", folder + install_files::kUninstall);
  return true;
}

bool SaveInstallPath(const std::string& folder) {
  RegistryKey key;
  if (Registry::CreateKey(Hive::LocalMachine, kInstallPathKeyPath, key) != RegistryStatus::Ok) return false;
  key.SetText("InstallPath", folder);
  return true;
}

}  // namespace lockwell
