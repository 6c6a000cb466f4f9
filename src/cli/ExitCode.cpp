#include "cli/ExitCode.h"

#include "palmdb/PalmDatabase.h"
#include "storage/DatabaseFile.h"
#include "vault/LockwellDatabase.h"

namespace lockwell {

int ExitCodeFor(const ErrorList& errors) {
  const int32_t vault = LockwellDatabase::ModuleId();
  const int32_t file = DatabaseFile::ModuleId();
  const int32_t palm = PalmDatabase::ModuleId();
  if (errors.Contains(vault, LockwellDatabase::kErrInvalidPassphrase) ||
      errors.Contains(vault, LockwellDatabase::kErrNoPassphraseNeeded)) {
    return kExitWrongPassphrase;
  }
  if (errors.Contains(file, DatabaseFile::kErrNoSuchFile)) return kExitFileMissing;
  if (errors.Contains(file, DatabaseFile::kErrInUse)) return kExitFileInUse;
  // A read that comes up short at open is a file cut short.
  if (errors.Contains(file, DatabaseFile::kErrCorrupt) || errors.Contains(file, DatabaseFile::kErrRead) || errors.Contains(file, DatabaseFile::kErrBadMagic) ||
      errors.Contains(file, DatabaseFile::kErrHeaderSize) || errors.Contains(palm, PalmDatabase::kErrHeaderSize) ||
      errors.Contains(palm, PalmDatabase::kErrHeaderTooSmall) ||
      errors.Contains(palm, PalmDatabase::kErrCorruptRecord)) {
    return kExitCorrupt;
  }
  return kExitFailure;
}

}  // namespace lockwell
