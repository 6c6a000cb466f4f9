// How a test makes a function of a simulated library missing: exported
// symbols cannot be taken away at run time, so a copy of the library is
// written in which the function's name in the dynamic string table (.dynstr)
// has its first letter changed to "_".  dlsym then no longer finds it by its
// name, while the code, every other export and the file's size stay as they
// were.  Only 64-bit little-endian ELF files are handled.
#pragma once

#include <string>
#include <vector>

namespace palmsim {

bool CopyWithoutExports(const std::string& source, const std::string& destination,
                        const std::vector<std::string>& functions, std::string& error);

}  // namespace palmsim
