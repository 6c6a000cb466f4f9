// Command ids of the main window's menu, buttons and keys.
//
// The ids are the program's own and stay fixed: menu actions carry them as
// their "controlId" property, so tests and tools find a command by its id.
#pragma once

namespace lockwell {

namespace command {
// File
inline constexpr int kOpen = 57601;
inline constexpr int kClose = 57602;
inline constexpr int kLock = 32788;
inline constexpr int kChangePassphrase = 32799;
inline constexpr int kQuit = 32774;
// Edit
inline constexpr int kCut = 57635;
inline constexpr int kCopy = 57634;
inline constexpr int kPaste = 57637;
inline constexpr int kSelectAll = 32796;
inline constexpr int kCopyPassword = 32800;
inline constexpr int kFind = 57636;
inline constexpr int kFindAgain = 32797;
// Account
inline constexpr int kNewAccount = 32785;
inline constexpr int kEditAccount = 32786;
inline constexpr int kDeleteAccount = 32787;
// Category
inline constexpr int kNewCategory = 32793;
inline constexpr int kRenameCategory = 32794;
inline constexpr int kDeleteCategory = 32795;
inline constexpr int kCategoryPreferences = 32798;
// Help
inline constexpr int kHelpIndex = 57666;
inline constexpr int kAbout = 32782;
// Enter: edits the account when the account list has the keyboard focus.
inline constexpr int kEnter = 32792;
}  // namespace command

}  // namespace lockwell
