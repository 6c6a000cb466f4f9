// The file-system actions of the installation: folders, copies, Start-menu
// links and the Start menu's Programs folder.
#pragma once

#include <string>

namespace lockwell {

// `text` with "/" appended when it does not end in one (an empty text
// becomes "/").
std::string WithTrailingSlash(const std::string& text);

// Creates `folder` and every missing folder above it.  Each "/" after the
// first character ends a prefix that must be a folder or is created; a prefix
// that exists as something else fails with
//   Invalid directory; "<prefix>" already exists, and is not a directory.
// Other failures leave the system's error text in `errorText`.
bool CreateFolderTree(const std::string& folder, std::string& errorText);

// Copies `source` over `destination`, keeping the source's permission bits.
// When that fails, clears the read-only state of the destination file and of
// its folder and copies once more.  False with errno set on failure.
bool CopyInstallFile(const std::string& destination, const std::string& source);

// Writes the Start-menu link `linkPath` ("X.lnk") to `target`.
bool CreateShortcut(const std::string& target, const std::string& linkPath, const std::string& description);

// The all-users Start-menu Programs folder, else the current user's; empty
// when neither can be located.
std::string GetProgramsFolder();

}  // namespace lockwell
