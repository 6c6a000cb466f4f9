// The simulated hsapi.dll: whether the HotSync manager runs.
#include <type_traits>

#include "SimCall.h"
#include "hotsync/PalmDesktopApi.h"

using namespace palmsim;
namespace api = lockwell::palm;

PALMSIM_EXPORT int32_t HsCheckApiStatus() {
  return RunCall("HsCheckApiStatus", {},
                 [](SimState& state) { return state.ManagerRunning() ? 0 : kErrNotRunning; });
}

PALMSIM_EXPORT int32_t HsSetAppStatus(int32_t status, uint32_t flags) {
  return RunCall("HsSetAppStatus", {std::to_string(status), std::to_string(flags)}, [&](SimState& state) {
    if (status != 0 && status != 1) return kErrBadArgument;
    return state.SetManagerRunning(status == 1) ? 0 : kErrNoState;
  });
}

static_assert(std::is_same_v<decltype(&HsCheckApiStatus), api::HsCheckApiStatusFn>);
static_assert(std::is_same_v<decltype(&HsSetAppStatus), api::HsSetAppStatusFn>);
