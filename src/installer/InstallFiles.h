// The names of the files the installation package carries and where they go.
// The package keeps all its files in one folder, beside setup.
#pragma once

#include <array>

namespace lockwell::install_files {

// The desktop program travels as ".dat" and takes its program name when
// copied.
inline constexpr char kProgramSource[] = "LockwellPC.dat";
inline constexpr char kProgram[] = "LockwellPC";
inline constexpr char kLicense[] = "license.txt";
inline constexpr char kUserData[] = "userdata.dll";
inline constexpr char kHandheldProgram[] = "lockwell.prc";
inline constexpr char kConduit[] = "lwconduit.dll";
inline constexpr char kUninstall[] = "uninstall";
inline constexpr char kHelpFolder[] = "help";
inline constexpr char kHelpIndex[] = "help/readme.html";

struct MainFile {
  const char* source;
  const char* destination;
};

// The desktop program's files, in copy order.
inline constexpr std::array<MainFile, 4> kMainFiles = {{
    {kProgramSource, kProgram},
    {kLicense, kLicense},
    {kUserData, kUserData},
    {kHandheldProgram, kHandheldProgram},
}};

// The help files, in copy order; each goes into the "help" folder.
inline constexpr std::array<const char*, 31> kHelpFiles = {
    "readme.html",          "about.gif",          "about-pc.gif",          "change-passphrase.gif",
    "choose-component.gif", "edit-account.gif",   "enter-passphrase.gif",  "hotsync.gif",
    "icon.gif",             "important.gif",      "list-view.gif",         "new-account.gif",
    "note.gif",             "pc-account-list.gif", "pc-account-view.gif",  "pc-add-account.gif",
    "pc-category-pane.gif", "pc-category-prefs.gif", "pc-custom.gif",      "pc-edit-account.gif",
    "pc-enter-pass.gif",    "pc-find.gif",        "pc-hotsync-actions.gif", "pc-locked.gif",
    "pc-main.gif",          "pc-passphrase.gif",  "prefs.gif",             "security.gif",
    "start-installation.gif", "tip.gif",          "view-account.gif",
};

// The Start-menu folder and its three links.
inline constexpr char kStartMenuFolder[] = "Lockwell";

struct Shortcut {
  const char* progressText;
  const char* linkName;
  const char* target;  // below the installation folder
  const char* description;
};

inline constexpr std::array<Shortcut, 3> kShortcuts = {{
    {"Creating Lockwell shortcut", "Lockwell PC.lnk", kProgram, "Start Lockwell/PC"},
    {"Creating documentation shortcut", "Lockwell PC Documentation.lnk", kHelpIndex,
     "View Lockwell/PC Documentation"},
    {"Creating uninstall shortcut", "Uninstall Lockwell.lnk", kUninstall, "Uninstall Lockwell/PC"},
}};

}  // namespace lockwell::install_files
