// The desktop program's registry settings and its list of remembered PC
// databases.
//
//   HKEY_CURRENT_USER\Software\Tallmark\LockwellPC
//     "LastDatabase"   REG_SZ    the database entry chosen most recently
//     subkey DatabaseList
//       "NextIndex"    REG_DWORD the number for the next entry (missing = 0)
//       "00000000" ... REG_SZ    one remembered PC database entry each ("%08X")
//   HKEY_LOCAL_MACHINE\Software\Tallmark\LockwellPC
//     "InstallPath"    REG_SZ    the installation folder (written by setup)
//
// A database entry is one line of text: "Palm User: " + HotSync user name,
// "PC Database: " + file name + " (" + full path + ")", or a bare full path
// when the path itself holds "(" or ")".  Only PC database entries are kept
// under DatabaseList; LastDatabase may hold any of the three.
//
// None of these operations reports a failure: a key that cannot be opened or
// created makes reads return empty and writes do nothing.  Keys are opened for
// each call and closed before it returns.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryKey.h"

namespace lockwell {

inline constexpr char kSettingsKeyPath[] = "Software\\Tallmark\\LockwellPC";
inline constexpr char kPalmUserPrefix[] = "Palm User: ";
inline constexpr char kPcDatabasePrefix[] = "PC Database: ";

// Opens (creating when missing) the per-user settings key with full access.
std::optional<RegistryKey> OpenSettingsKey();
// Opens (creating when missing) the settings key's subkey "DatabaseList".
std::optional<RegistryKey> OpenDatabaseListKey();

// The entry naming the PC database at `path`.
std::string MakePcDatabaseEntry(std::string_view path);
// Appends `entry` to DatabaseList unless an entry equal to it without regard
// to case is there already.
void AddDatabaseEntry(std::string_view entry);
// Deletes every DatabaseList value whose text equals `entry` exactly.
void RemoveDatabaseEntry(std::string_view entry);
// The text of every REG_SZ value under DatabaseList, in enumeration order.
std::vector<std::string> ReadDatabaseEntries();

std::string ReadLastDatabase();
void WriteLastDatabase(std::string_view entry);
// "InstallPath" with a trailing "/" added when missing; empty when unknown.
std::string ReadInstallPath();
// Remembers a database given on the command line as a PC database entry and
// as the last database.
void RememberCommandLineDatabase(std::string_view path);

}  // namespace lockwell
