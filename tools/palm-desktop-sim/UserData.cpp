// The simulated userdata.dll: the HotSync root and users of the state folder.
#include <type_traits>

#include "SimCall.h"
#include "hotsync/PalmDesktopApi.h"

using namespace palmsim;
namespace api = lockwell::palm;

PALMSIM_EXPORT int32_t UmGetRootDirectory(char* buffer, int32_t* size) {
  return RunCall("UmGetRootDirectory", {std::to_string(size ? *size : 0)},
                 [&](SimState& state) { return CopyOut(state.Root(), buffer, size); });
}

PALMSIM_EXPORT int32_t UmGetUserCount() {
  return RunCall("UmGetUserCount", {},
                 [](SimState& state) { return static_cast<int32_t>(state.Users().size()); });
}

PALMSIM_EXPORT int32_t UmGetUserID(int32_t index, uint32_t* userId) {
  return RunCall("UmGetUserID", {std::to_string(index)}, [&](SimState& state) {
    std::vector<User> users = state.Users();
    if (userId == nullptr || index < 0 || static_cast<size_t>(index) >= users.size()) {
      return kErrNoSuchUser;
    }
    *userId = users[static_cast<size_t>(index)].id;
    return 0;
  });
}

namespace {
template <typename Field>
int32_t UserText(SimState& state, uint32_t userId, char* buffer, int32_t* size, Field field) {
  for (const User& user : state.Users()) {
    if (user.id == userId) return CopyOut(field(user), buffer, size);
  }
  return 0;
}
}  // namespace

PALMSIM_EXPORT int32_t UmGetUserName(uint32_t userId, char* buffer, int32_t* size) {
  return RunCall("UmGetUserName", {std::to_string(userId)}, [&](SimState& state) {
    return UserText(state, userId, buffer, size, [](const User& u) { return u.name; });
  });
}

PALMSIM_EXPORT int32_t UmGetUserDirectory(uint32_t userId, char* buffer, int32_t* size) {
  return RunCall("UmGetUserDirectory", {std::to_string(userId)}, [&](SimState& state) {
    return UserText(state, userId, buffer, size, [](const User& u) { return u.folder; });
  });
}

// The signatures the binding calls through.
static_assert(std::is_same_v<decltype(&UmGetRootDirectory), api::UmGetRootDirectoryFn>);
static_assert(std::is_same_v<decltype(&UmGetUserCount), api::UmGetUserCountFn>);
static_assert(std::is_same_v<decltype(&UmGetUserID), api::UmGetUserIDFn>);
static_assert(std::is_same_v<decltype(&UmGetUserName), api::UmGetUserNameFn>);
static_assert(std::is_same_v<decltype(&UmGetUserDirectory), api::UmGetUserDirectoryFn>);
