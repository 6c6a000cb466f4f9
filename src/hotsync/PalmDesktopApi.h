// The functions of Palm Desktop's four HotSync libraries as this program calls
// them: the file names, the exported names, and the C signatures.  The
// libraries are loaded at run time and never linked.
//
// All texts are 8-bit strings in the Windows ANSI code page.  Size variables
// are set to the buffer's size before each call.
#pragma once

#include <cstdint>

namespace lockwell::palm {

inline constexpr char kUserDataLibrary[] = "userdata.dll";
inline constexpr char kHotSyncStatusLibrary[] = "hsapi.dll";
inline constexpr char kConduitManagerLibrary[] = "condmgr.dll";
inline constexpr char kInstallAideLibrary[] = "instaide.dll";

extern "C" {

// userdata.dll
// > 0: `buffer` holds the zero-terminated HotSync root folder.
using UmGetRootDirectoryFn = int32_t (*)(char* buffer, int32_t* size);
// The number of HotSync users; callers take it as a signed 16-bit number.
using UmGetUserCountFn = int32_t (*)();
// Writes the id of the user at `index`; callers ignore the result.
using UmGetUserIDFn = int32_t (*)(int32_t index, uint32_t* userId);
// > 0: `buffer` holds the user's name.
using UmGetUserNameFn = int32_t (*)(uint32_t userId, char* buffer, int32_t* size);
// > 0: `buffer` holds the user's folder, relative to the root.
using UmGetUserDirectoryFn = int32_t (*)(uint32_t userId, char* buffer, int32_t* size);

// hsapi.dll
// 0: the HotSync manager is running.
using HsCheckApiStatusFn = int32_t (*)();
// (0, 0) closes the HotSync manager, (1, 0) starts it; 0 = success.
using HsSetAppStatusFn = int32_t (*)(int32_t status, uint32_t flags);

// condmgr.dll; 0 = success, else an error number.
using CmRemoveConduitByCreatorIDFn = int32_t (*)(const char* creatorId);
using CmInstallCreatorFn = int32_t (*)(const char* creatorId, int32_t conduitType);
// CmSetCreatorName, ...Directory, ...File, ...Remote, ...Module, ...Info.
using CmSetCreatorTextFn = int32_t (*)(const char* creatorId, const char* text);
// CmSetCreatorPriority, CmSetCreatorIntegrate.
using CmSetCreatorNumberFn = int32_t (*)(const char* creatorId, uint32_t number);
// Never called; required for the library to count as loaded.
using CmSetCreatorValueDwordFn = int32_t (*)(const char* creatorId, const char* valueName, uint32_t value);

// instaide.dll; 0 = the file is queued for the user's next HotSync.
using PltInstallFileFn = int32_t (*)(const char* userName, const char* filePath);

}  // extern "C"

}  // namespace lockwell::palm
