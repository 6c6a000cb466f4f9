// The registry entries the installation writes and the uninstaller removes.
//
//   HKEY_CLASSES_ROOT\.lwdb                         @ = "LockwellPC File"
//   HKEY_CLASSES_ROOT\LockwellPC File               @ = "LockwellPC File"
//     DefaultIcon                                   @ = <folder>LockwellPC,0
//     shell\open\command                            @ = "<folder>LockwellPC" "%1"
//   HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lockwell
//                                                   DisplayName = Lockwell 4.0.9
//                                                   UninstallString = <folder>uninstall
//   HKEY_LOCAL_MACHINE\Software\Tallmark\LockwellPC InstallPath = <folder>
//
// <folder> is the installation folder ending in "/".
#pragma once

#include <string>

namespace lockwell {

inline constexpr char kFileTypeKey[] = ".lwdb";
inline constexpr char kFileTypeName[] = "LockwellPC File";
// The machine-wide key the desktop program reads "InstallPath" from.
inline constexpr char kInstallPathKeyPath[] = "Software\\Tallmark\\LockwellPC";
inline constexpr char kUninstallKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lockwell";

// The open command of the file type.  Both the program and the argument are
// quoted, so that a blank in the folder or in a database path does not
// split them.
std::string FileTypeCommand(const std::string& folder);

// Writes the file-type keys.  A key that cannot be created is skipped with
// the keys below it; what was written stays.  Never fails.
void RegisterFileType(const std::string& folder);
// Writes the Add/Remove Programs entry; false when its key cannot be created.
bool AddUninstallEntry(const std::string& folder);
// Writes "InstallPath"; false when its key cannot be created.
bool SaveInstallPath(const std::string& folder);

}  // namespace lockwell
