// The choices the wizard collects and the installation carries out.  Paths
// are file-system bytes; the HotSync user name is Windows-1252, as the
// user-data library reports it.
#pragma once

#include <string>

namespace lockwell {

struct InstallOptions {
  bool installDesktop = true;
  bool installHandheld = true;
  bool installConduit = true;
  // The folder that holds setup and the package files, ending in "/".
  std::string sourceFolder;
  // Set by the folder page; "/" is appended when the installation starts.
  std::string installFolder;
  std::string palmUserName;
  // False when exactly one HotSync user exists: that user is taken.
  bool needUserChoice = true;
  bool palmDesktopPresent = false;

  // The folder holds something only when the desktop program or the conduit
  // goes into it.
  bool UsesFolder() const { return installDesktop || installConduit; }
};

}  // namespace lockwell
