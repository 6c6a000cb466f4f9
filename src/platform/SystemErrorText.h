// The system's message text for an error number (an errno value here), cut at
// its first line end; "Unknown Win32 error:  " and the number in signed
// decimal when the system has no text for it.
#pragma once

#include <string>

namespace lockwell {

std::string SystemErrorText(int number);

}  // namespace lockwell
