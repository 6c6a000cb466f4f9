// The desktop application's module, "Tallmark Lockwell Application".
//
// The open sequence reports its explanations of a failed open under this
// module; the window and the command-line program share it.  Registered once
// per process, the first time something reports under it.
#pragma once

#include <cstdint>

#include "storage/ModuleRegistry.h"

namespace lockwell {

// Codes of the application (pair them with AppModuleId()).
// The three explanations of a failed open share one code; the text tells
// them apart.
inline constexpr uint32_t APP_OPEN_EXPLANATION = 0x80010000u;
inline constexpr uint32_t APP_PALM_USER_NOT_FOUND = 0x80020000u;

Module& AppModule();

// Registers the module if nothing did yet and returns its id.
int32_t AppModuleId();

}  // namespace lockwell
