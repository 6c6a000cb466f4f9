// The simulated instaide.dll: queues a file for a user's next HotSync.
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <type_traits>

#include "SimCall.h"
#include "hotsync/PalmDesktopApi.h"

using namespace palmsim;
namespace api = lockwell::palm;

PALMSIM_EXPORT int32_t PltInstallFile(const char* userName, const char* filePath) {
  return RunCall("PltInstallFile", {Text(userName), Text(filePath)}, [&](SimState& state) {
    if (userName == nullptr || filePath == nullptr) return kErrBadArgument;
    if (!state.FindUser(userName)) return kErrNoSuchUser;
    // A relative path is taken from the caller's current folder.
    char resolved[PATH_MAX];
    if (realpath(filePath, resolved) == nullptr) return kErrNoSuchFile;
    return state.Queue({userName, resolved}) ? 0 : kErrNoState;
  });
}

static_assert(std::is_same_v<decltype(&PltInstallFile), api::PltInstallFileFn>);
