// What every simulated function does around its own work: find the state
// folder, honour a forced result, and log the call with the file of the
// library that served it.
#pragma once

#include <dlfcn.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "SimState.h"

#define PALMSIM_EXPORT extern "C" __attribute__((visibility("default")))

namespace palmsim {

// Returned when no state folder is named: nothing is installed.
inline constexpr int32_t kErrNoState = -1000;
inline constexpr int32_t kErrBadArgument = -1001;
inline constexpr int32_t kErrNoSuchUser = -1002;
inline constexpr int32_t kErrCreatorInUse = -1003;
inline constexpr int32_t kErrNoSuchCreator = -1004;
inline constexpr int32_t kErrNoSuchFile = -1005;
inline constexpr int32_t kErrNotRunning = -1006;

namespace {
// An address inside the library that includes this header.  Not an exported
// function: the library must never refer to its own exports by name, or a
// copy with one of them renamed (see ExportRemover.h) would fail to load.
void Anchor() {}
}  // namespace

// The file this library was loaded from.
inline std::string LibraryFile() {
  Dl_info info{};
  return dladdr(reinterpret_cast<const void*>(&Anchor), &info) != 0 && info.dli_fname != nullptr
             ? info.dli_fname
             : "";
}

// Runs `body(state)` unless results.txt forces this call's result, then logs
// the call with the library's file.
template <typename Body>
int32_t RunCall(const char* function, std::vector<std::string> arguments, Body body) {
  std::string folder = StateDirectory();
  if (folder.empty()) return kErrNoState;
  SimState state(folder);
  std::optional<int32_t> forced = state.ForcedResult(function, arguments.empty() ? "" : arguments[0]);
  int32_t result = forced ? *forced : body(state);
  state.Log({function, result, LibraryFile(), std::move(arguments)});
  return result;
}

// Copies `text` into a caller's buffer the way the user-data library does:
// > 0 (the bytes written with the zero) when it fits, else 0; `size` gets
// the size needed.
inline int32_t CopyOut(const std::string& text, char* buffer, int32_t* size) {
  if (buffer == nullptr || size == nullptr) return kErrBadArgument;
  int32_t needed = static_cast<int32_t>(text.size() + 1);
  if (needed > *size) {
    *size = needed;
    return 0;
  }
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  *size = needed;
  return needed;
}

inline std::string Text(const char* text) { return text != nullptr ? text : "(null)"; }

}  // namespace palmsim
