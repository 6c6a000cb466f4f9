// Exit statuses of the command-line program, one per kind of failure, so a
// script can tell a wrong passphrase from a missing or busy file.
#pragma once

#include "storage/ErrorList.h"

namespace lockwell {

enum ExitCode : int {
  kExitOk = 0,
  kExitFailure = 1,         // any other failure
  kExitUsage = 2,           // bad command line, or no way to ask a passphrase
  kExitWrongPassphrase = 3,
  kExitFileMissing = 4,
  kExitFileInUse = 5,       // held by another program, or not readable
  kExitCorrupt = 6,         // the file is not a sound database, or is cut short
  kExitCheckFailed = 7,     // `check` found faults
};

// The exit status a failure reported in `errors` calls for: the first kind
// above that the list holds, in the order wrong passphrase, missing, in use,
// corrupt; otherwise kExitFailure.
int ExitCodeFor(const ErrorList& errors);

}  // namespace lockwell
