#include "hotsync/HotSyncBinding.h"

#include <cstring>

#include "hotsync/ProductVersion.h"

namespace lockwell {

namespace {

// The buffers and size variables handed to the user-data library.
constexpr int32_t kBufferSize = 2048;

std::string WithSeparator(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder.push_back('/');
  return folder;
}

template <typename Fn>
bool Find(const DynamicLibrary& library, const char* name, Fn& function) {
  function = reinterpret_cast<Fn>(library.Symbol(name));
  return function != nullptr;
}

// Calls one of the user-data library's text functions.  The buffer is ended
// by force: a library that fills it to the last byte must not make us read
// past it.
template <typename Call>
bool ReadText(Call call, std::string& text) {
  char buffer[kBufferSize] = {};
  int32_t size = kBufferSize;
  if (call(buffer, &size) <= 0) return false;
  buffer[kBufferSize - 1] = '\0';
  text.assign(buffer, std::strlen(buffer));
  return true;
}

std::string FailureText(const char* function, int32_t result) {
  return std::string(function) + " failed (" + std::to_string(result) +
         ").  You may have Palm Desktop installed incorrectly.";
}

}  // namespace

HotSyncBinding& HotSyncBinding::Instance() {
  // Never destroyed: a library once loaded stays loaded until the process ends.
  static HotSyncBinding* binding = new HotSyncBinding;
  return *binding;
}

void HotSyncBinding::SetBootstrapDirectory(std::string_view folder) {
  bootstrapDirectory_ = WithSeparator(std::string(folder));
}

bool HotSyncBinding::LoadUserData() {
  if (userData_.library.IsLoaded()) return true;

  DynamicLibrary first;
  if (!first.Load(bootstrapDirectory_ + palm::kUserDataLibrary)) return false;
  palm::UmGetRootDirectoryFn getRoot = nullptr;
  if (!Find(first, "UmGetRootDirectory", getRoot)) return false;
  std::string root;
  if (!ReadText([&](char* buffer, int32_t* size) { return getRoot(buffer, size); }, root)) return false;
  hotSyncRoot_ = WithSeparator(root);

  // The copy in the HotSync root belongs to the installed Palm Desktop and
  // takes over when it loads; `first` is released on return either way.
  DynamicLibrary second;
  DynamicLibrary& inUse = second.Load(hotSyncRoot_ + palm::kUserDataLibrary) ? second : first;

  UserData found;
  Find(inUse, "UmGetRootDirectory", found.getRootDirectory);  // not required here
  if (!Find(inUse, "UmGetUserCount", found.getUserCount) ||
      !Find(inUse, "UmGetUserDirectory", found.getUserDirectory) ||
      !Find(inUse, "UmGetUserID", found.getUserId) || !Find(inUse, "UmGetUserName", found.getUserName)) {
    return false;
  }
  found.library = std::move(inUse);
  userData_ = std::move(found);
  return true;
}

bool HotSyncBinding::LoadFromRootOrBootstrap(const char* fileName, DynamicLibrary& library) const {
  return library.Load(hotSyncRoot_ + fileName) || library.Load(bootstrapDirectory_ + fileName);
}

bool HotSyncBinding::LoadHotSyncStatus() {
  if (hotSyncStatus_.library.IsLoaded()) return true;
  if (!LoadUserData()) return false;
  HotSyncStatus found;
  if (!LoadFromRootOrBootstrap(palm::kHotSyncStatusLibrary, found.library)) return false;
  const DynamicLibrary& lib = found.library;
  if (!Find(lib, "HsCheckApiStatus", found.checkApiStatus) ||
      !Find(lib, "HsSetAppStatus", found.setAppStatus)) {
    return false;
  }
  hotSyncStatus_ = std::move(found);
  return true;
}

bool HotSyncBinding::LoadConduitManager() {
  if (conduitManager_.library.IsLoaded()) return true;
  if (!LoadUserData()) return false;
  ConduitManager found;
  if (!LoadFromRootOrBootstrap(palm::kConduitManagerLibrary, found.library)) return false;
  const DynamicLibrary& lib = found.library;
  if (!Find(lib, "CmRemoveConduitByCreatorID", found.removeConduitByCreatorId) ||
      !Find(lib, "CmInstallCreator", found.installCreator) ||
      !Find(lib, "CmSetCreatorName", found.setCreatorName) ||
      !Find(lib, "CmSetCreatorDirectory", found.setCreatorDirectory) ||
      !Find(lib, "CmSetCreatorFile", found.setCreatorFile) ||
      !Find(lib, "CmSetCreatorRemote", found.setCreatorRemote) ||
      !Find(lib, "CmSetCreatorModule", found.setCreatorModule) ||
      !Find(lib, "CmSetCreatorPriority", found.setCreatorPriority) ||
      !Find(lib, "CmSetCreatorInfo", found.setCreatorInfo) ||
      !Find(lib, "CmSetCreatorIntegrate", found.setCreatorIntegrate) ||
      !Find(lib, "CmSetCreatorValueDword", found.setCreatorValueDword)) {
    return false;
  }
  conduitManager_ = std::move(found);
  return true;
}

bool HotSyncBinding::LoadInstallAide() {
  if (installAide_.library.IsLoaded()) return true;
  if (!LoadUserData()) return false;
  InstallAide found;
  if (!LoadFromRootOrBootstrap(palm::kInstallAideLibrary, found.library)) return false;
  if (!Find(found.library, "PltInstallFile", found.installFile)) return false;
  installAide_ = std::move(found);
  return true;
}

void HotSyncBinding::ListHotSyncUsers(HotSyncUserMap& users) {
  users.clear();
  if (!LoadUserData() || userData_.getRootDirectory == nullptr) return;
  std::string root;
  if (!ReadText([&](char* buffer, int32_t* size) { return userData_.getRootDirectory(buffer, size); }, root))
    return;
  root = WithSeparator(root);
  const int16_t count = static_cast<int16_t>(userData_.getUserCount());
  for (int16_t index = 0; index < count; ++index) {
    uint32_t userId = 0;
    userData_.getUserId(index, &userId);
    std::string name, directory;
    if (!ReadText([&](char* buffer, int32_t* size) { return userData_.getUserName(userId, buffer, size); },
                  name)) {
      continue;
    }
    if (!ReadText(
            [&](char* buffer, int32_t* size) { return userData_.getUserDirectory(userId, buffer, size); },
            directory)) {
      continue;
    }
    users[name] = root + directory;
  }
}

bool HotSyncBinding::IsHotSyncRunning() {
  return LoadHotSyncStatus() && hotSyncStatus_.checkApiStatus() == 0;
}

bool HotSyncBinding::CloseHotSync() { return LoadHotSyncStatus() && hotSyncStatus_.setAppStatus(0, 0) == 0; }

bool HotSyncBinding::StartHotSync() { return LoadHotSyncStatus() && hotSyncStatus_.setAppStatus(1, 0) == 0; }

bool HotSyncBinding::RemoveConduit() {
  if (!LoadConduitManager()) return false;
  conduitManager_.removeConduitByCreatorId(kCreatorId);
  return true;
}

bool HotSyncBinding::InstallConduit(std::string_view conduitPath, std::string& errorText) {
  if (!LoadConduitManager()) {
    errorText = "Unable to load condmgr.dll.  You may have Palm Desktop installed incorrectly.";
    return false;
  }
  const ConduitManager& cm = conduitManager_;
  const std::string path(conduitPath);
  const std::string info = "Lockwell " + ProductVersion{}.Text() + " Conduit";
  // The registration, in order, stopping at the first call that fails; the
  // steps already done are not undone.
  int32_t result = 0;
  const char* failed = nullptr;
  auto run = [&](const char* function, int32_t callResult) {
    if (callResult != 0) {
      result = callResult;
      failed = function;
    }
    return callResult == 0;
  };
  bool ok = run("CmInstallCreator", cm.installCreator(kCreatorId, 1)) &&
            run("CmSetCreatorName", cm.setCreatorName(kCreatorId, path.c_str())) &&
            run("CmSetCreatorDirectory", cm.setCreatorDirectory(kCreatorId, "lockwell")) &&
            run("CmSetCreatorFile", cm.setCreatorFile(kCreatorId, "lockwell.lwdb")) &&
            run("CmSetCreatorRemote", cm.setCreatorRemote(kCreatorId, "Lockwell Database")) &&
            run("CmSetCreatorModule", cm.setCreatorModule(kCreatorId, "Lockwell")) &&
            run("CmSetCreatorPriority", cm.setCreatorPriority(kCreatorId, 2)) &&
            run("CmSetCreatorInfo", cm.setCreatorInfo(kCreatorId, info.c_str())) &&
            run("CmSetCreatorIntegrate", cm.setCreatorIntegrate(kCreatorId, 0));
  if (!ok) errorText = FailureText(failed, result);
  return ok;
}

bool HotSyncBinding::QueueHandheldInstall(std::string_view userName, std::string_view filePath) {
  if (!LoadInstallAide()) return false;
  return installAide_.installFile(std::string(userName).c_str(), std::string(filePath).c_str()) == 0;
}

}  // namespace lockwell
