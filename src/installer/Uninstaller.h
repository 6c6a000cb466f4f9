// Removes what setup installed into one folder and registered for it: the
// conduit's registration, the files (by name only; nothing else in the folder
// is touched), the Start-menu links, the file type, the Add/Remove Programs
// entry and "InstallPath".  Registry entries are removed only while they
// still name this folder, and Start-menu links only while they lead into it,
// so uninstalling an old copy leaves a newer installation elsewhere alone.
// A folder that holds the installation package (setup puts uninstall beside
// it) is no installation: nothing is removed from it or for it.
#pragma once

#include <string>
#include <vector>

namespace lockwell {

class HotSyncBinding;

class Uninstaller {
 public:
  // `folder` is the installation folder (a "/" is appended when missing).
  Uninstaller(std::string folder, HotSyncBinding& binding);

  // Removes everything it can.  `leftBehind` receives one line for each file
  // or folder that could not be removed; true when it stays empty.  When the
  // folder is the installation package, nothing is removed, `leftBehind`
  // holds the reason alone and Refused() is true.
  bool Run(std::vector<std::string>& leftBehind);
  bool Refused() const { return refused_; }

  static constexpr char kPackageRefusal[] =
      "This folder holds the Lockwell installation package, not an installation; nothing was removed.";

 private:
  void RemoveConduit();
  void RemoveFiles(std::vector<std::string>& leftBehind);
  void RemoveStartMenu(std::vector<std::string>& leftBehind);
  void RemoveRegistryEntries();

  // True when `path` lies inside folder_ (after resolving links).
  bool IsInsideFolder(const std::string& path) const;

  std::string folder_;
  HotSyncBinding& binding_;
  bool refused_ = false;
};

}  // namespace lockwell
