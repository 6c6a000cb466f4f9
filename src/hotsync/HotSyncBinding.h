// HotSyncBinding: the one place that talks to Palm Desktop.
//
// Palm Desktop's four libraries (userdata.dll, hsapi.dll, condmgr.dll,
// instaide.dll) are loaded at run time by file name and their functions looked
// up by name; every operation first makes sure its library is loaded.  A
// library counts as loaded only when every function it needs was found, and
// once loaded it stays loaded for the life of the binding.
//
// Where the libraries come from:
//   userdata.dll   bootstrap folder + name (a bare name when the folder is
//                  empty: the program's own folder, then the system search);
//                  then, once it has told the HotSync root, the root's copy
//                  replaces it when that one loads.
//   the others     HotSync root + name, else bootstrap folder + name; only
//                  after userdata.dll is loaded.
//
// The desktop program uses Instance() and never sets a bootstrap folder; the
// installer sets it once to its own folder.  Tests construct their own.
// Single-threaded: callers use it from their user-interface thread only.
#pragma once

#include <string>
#include <string_view>

#include "hotsync/HotSyncUserMap.h"
#include "hotsync/PalmDesktopApi.h"
#include "platform/DynamicLibrary.h"

namespace lockwell {

// The creator ID of the handheld program and its conduit.
inline constexpr char kCreatorId[] = "Kwlv";

class HotSyncBinding {
 public:
  // The process-wide binding, created empty on first use and never released.
  static HotSyncBinding& Instance();

  HotSyncBinding() = default;
  HotSyncBinding(const HotSyncBinding&) = delete;
  HotSyncBinding& operator=(const HotSyncBinding&) = delete;

  // `folder` becomes the bootstrap folder, with "/" appended when missing.
  void SetBootstrapDirectory(std::string_view folder);
  const std::string& BootstrapDirectory() const { return bootstrapDirectory_; }
  // The HotSync root ending in "/"; empty until userdata.dll has told it.
  const std::string& HotSyncRoot() const { return hotSyncRoot_; }

  // True when Palm Desktop is present and its user list can be read.
  bool LoadUserData();
  bool LoadHotSyncStatus();
  bool LoadConduitManager();
  bool LoadInstallAide();

  // Empties `users` and fills it with every HotSync user whose name and folder
  // can be read.  Asks the library again on every call.
  void ListHotSyncUsers(HotSyncUserMap& users);

  bool IsHotSyncRunning();
  bool CloseHotSync();
  bool StartHotSync();
  // Removes the conduit registered under kCreatorId; true whenever the
  // Conduit Manager is loaded (there may be nothing to remove).
  bool RemoveConduit();
  // Registers the conduit at `conduitPath` under kCreatorId.  On failure
  // `errorText` receives the message for the user; on success it is left as
  // it was.
  bool InstallConduit(std::string_view conduitPath, std::string& errorText);
  // Queues `filePath` for installation on `userName`'s handheld at the next
  // HotSync.  Copies nothing itself.
  bool QueueHandheldInstall(std::string_view userName, std::string_view filePath);

 private:
  bool LoadFromRootOrBootstrap(const char* fileName, DynamicLibrary& library) const;

  std::string bootstrapDirectory_;
  std::string hotSyncRoot_;

  struct UserData {
    DynamicLibrary library;
    palm::UmGetRootDirectoryFn getRootDirectory = nullptr;  // may be missing
    palm::UmGetUserCountFn getUserCount = nullptr;
    palm::UmGetUserIDFn getUserId = nullptr;
    palm::UmGetUserNameFn getUserName = nullptr;
    palm::UmGetUserDirectoryFn getUserDirectory = nullptr;
  } userData_;

  struct HotSyncStatus {
    DynamicLibrary library;
    palm::HsCheckApiStatusFn checkApiStatus = nullptr;
    palm::HsSetAppStatusFn setAppStatus = nullptr;
  } hotSyncStatus_;

  struct ConduitManager {
    DynamicLibrary library;
    palm::CmRemoveConduitByCreatorIDFn removeConduitByCreatorId = nullptr;
    palm::CmInstallCreatorFn installCreator = nullptr;
    palm::CmSetCreatorTextFn setCreatorName = nullptr;
    palm::CmSetCreatorTextFn setCreatorDirectory = nullptr;
    palm::CmSetCreatorTextFn setCreatorFile = nullptr;
    palm::CmSetCreatorTextFn setCreatorRemote = nullptr;
    palm::CmSetCreatorTextFn setCreatorModule = nullptr;
    palm::CmSetCreatorNumberFn setCreatorPriority = nullptr;
    palm::CmSetCreatorTextFn setCreatorInfo = nullptr;
    palm::CmSetCreatorNumberFn setCreatorIntegrate = nullptr;
    palm::CmSetCreatorValueDwordFn setCreatorValueDword = nullptr;
  } conduitManager_;

  struct InstallAide {
    DynamicLibrary library;
    palm::PltInstallFileFn installFile = nullptr;
  } installAide_;
};

}  // namespace lockwell
