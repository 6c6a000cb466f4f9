// Small file helpers shared by the platform stand-ins.  All return false with
// errno set (or `error` filled) on failure.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace lockwell {

// Creates `path` and every missing parent folder; true when it exists as a
// folder afterwards.
bool MakeDirectories(const std::string& path, mode_t mode);
// Reads the whole file; `error` gets errno on failure.
bool ReadWholeFile(const std::string& path, std::string& text, int& error);
// Writes `text` to a temporary file beside `path`, flushes it to disk and
// renames it over `path`, so that readers see the old or the new file whole.
bool WriteFileAtomically(const std::string& path, std::string_view text, mode_t mode);

}  // namespace lockwell
