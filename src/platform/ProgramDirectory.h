// The folder that holds the running program (from /proc/self/exe), without a
// trailing "/"; empty when it cannot be read.
#pragma once

#include <string>

namespace lockwell {

std::string ProgramDirectory();

}  // namespace lockwell
