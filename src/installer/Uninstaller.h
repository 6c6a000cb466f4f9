// Removes what setup installed into one folder and registered for it: the
// conduit's registration, the files (by name only; nothing else in the folder
// is touched), the Start-menu links, the file type, the Add/Remove Programs
// entry and "InstallPath".  Registry entries are removed only while they
// still name this folder, so uninstalling an old copy leaves a newer
// installation elsewhere alone.
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
  // or folder that could not be removed; true when it stays empty.
  bool Run(std::vector<std::string>& leftBehind);

 private:
  void RemoveConduit();
  void RemoveFiles(std::vector<std::string>& leftBehind);
  void RemoveStartMenu(std::vector<std::string>& leftBehind);
  void RemoveRegistryEntries();

  std::string folder_;
  HotSyncBinding& binding_;
};

}  // namespace lockwell
