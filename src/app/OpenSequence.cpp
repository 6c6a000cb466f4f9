#include "app/OpenSequence.h"

#include "app/AppModule.h"
#include "palmdb/CategoryConstants.h"
#include "palmdb/PalmDatabase.h"
#include "storage/DatabaseFile.h"
#include "vault/LockwellDatabase.h"
#include "vault/LockwellRecord.h"
#include "vault/RecordModule.h"

namespace lockwell {
namespace {

// Ends the Please Wait text on every way out of a step.
class PleaseWait {
 public:
  PleaseWait(OpenSequenceUi& ui, const char* text) : ui_(ui) { ui_.BeginPleaseWait(text); }
  ~PleaseWait() { ui_.EndPleaseWait(); }
  PleaseWait(const PleaseWait&) = delete;
  PleaseWait& operator=(const PleaseWait&) = delete;

 private:
  OpenSequenceUi& ui_;
};

bool IsDigestFailure(const ErrorList& errors) {
  return errors.Contains(RecordModuleId(), RECORD_DIGEST_INCORRECT);
}

}  // namespace

void OpenSequence::Explain(ErrorList& errors) {
  const int32_t file = DatabaseFile::ModuleId();
  const char* text = nullptr;
  if (errors.Contains(file, DatabaseFile::kErrNoSuchFile)) {
    text = kNotExist;
  } else if (errors.Contains(file, DatabaseFile::kErrInUse)) {
    text = kInUse;
  } else if (errors.Contains(file, DatabaseFile::kErrOpen)) {
    text = kCouldNotOpen;
  }
  if (text != nullptr) errors.Append(AppModuleId(), APP_OPEN_EXPLANATION, text);
}

std::unique_ptr<LockwellDatabase> OpenSequence::Attempt(ErrorList& errors, const std::string& path,
                                                        std::string_view passphrase) {
  if (path.empty()) {
    errors.Append(AppModuleId(), APP_PALM_USER_NOT_FOUND, kPalmUserNotFound);
    return nullptr;
  }
  auto database = std::make_unique<LockwellDatabase>(errors, path, SecureString(passphrase), false);
  if (!errors.HasErrors() && database->IsOpen()) return database;
  database.reset();
  Explain(errors);
  return nullptr;
}

OpenSequence::Outcome OpenSequence::Housekeeping(LockwellDatabase& database) {
  Outcome outcome = UpdatePassphrase(database);
  if (outcome != Outcome::kDone) return outcome;
  return Resort(database);
}

OpenSequence::Outcome OpenSequence::UpdatePassphrase(LockwellDatabase& database) {
  if (!database.passphraseChangedOnHandheld()) return Outcome::kDone;
  PleaseWait wait(ui_, kUpdatingPassphrase);
  ErrorList errors;
  uint32_t count = 0;
  if (!database.GetRecordCount(errors, false, count)) {
    ui_.ShowErrors(errors);
    return Outcome::kFailed;
  }
  oldPassphrase_.wipe();
  bool conflicts = false;
  Outcome outcome = Outcome::kDone;
  for (uint32_t i = 0; i < count; ++i) {
    errors.Clear();
    LockwellRecord record(&database);
    if (database.ReadNthInCategory(errors, ALL_CATEGORIES, i, record)) continue;
    if (errors.Contains(PalmDatabase::ModuleId(), PalmDatabase::kErrNotFound)) break;
    if (!IsDigestFailure(errors)) {
      ui_.ShowErrors(errors);
      continue;
    }
    conflicts = true;
    errors.Clear();
    outcome = ResolveConflict(database, errors, i);
    if (outcome != Outcome::kDone) break;
  }
  oldPassphrase_.wipe();
  // A cancelled pass keeps the marker, so the next open asks again for the
  // records still under the old passphrase.
  if (outcome == Outcome::kCancelled) return outcome;
  if (conflicts) ui_.Notice(kConflictsResolvedCaption, kConflictsResolved);
  errors.Clear();
  if (!database.clearPassphraseChangedFlag(errors)) ui_.ShowErrors(errors);
  return Outcome::kDone;
}

OpenSequence::Outcome OpenSequence::ResolveConflict(LockwellDatabase& database, ErrorList& errors, uint32_t& i) {
  LockwellRecord record(&database);
  for (;;) {
    record.setAlternatePassphrase(errors, oldPassphrase_);
    const bool read = database.ReadNthInCategory(errors, ALL_CATEGORIES, i, record);
    if (read || !IsDigestFailure(errors)) {
      if (!errors.HasErrors()) {
        // Marking the text changed makes the write encrypt the body afresh
        // under the current passphrase; without it the old body would be
        // written back byte for byte and stay unreadable.
        record.MarkModified(errors);
        record.setPlaintextChanged(true);
        database.WriteRecord(errors, record);
      }
      if (errors.HasErrors()) ui_.ShowErrors(errors);
      return Outcome::kDone;
    }
    errors.Clear();
    SecureString typed;
    const OpenSequenceUi::ConflictChoice choice = ui_.AskOldPassphrase(typed);
    if (choice == OpenSequenceUi::ConflictChoice::kCancel) return Outcome::kCancelled;
    if (choice == OpenSequenceUi::ConflictChoice::kDelete) {
      if (!ui_.ConfirmDelete()) continue;
      if (!database.DeleteNthInCategory(errors, ALL_CATEGORIES, i)) ui_.ShowErrors(errors);
      --i;  // the record that moved into place i comes next (wraps, then the loop adds one)
      return Outcome::kDone;
    }
    oldPassphrase_ = std::move(typed);
  }
}

OpenSequence::Outcome OpenSequence::Resort(LockwellDatabase& database) {
  if (!database.needsResort()) return Outcome::kDone;
  PleaseWait wait(ui_, kResorting);
  ErrorList errors;
  if (!database.resortAfterHotSync(errors)) {
    ui_.ShowErrors(errors);
    return Outcome::kFailed;
  }
  return Outcome::kDone;
}

std::unique_ptr<LockwellDatabase> OpenSequence::Run(const std::string& path, std::string_view passphrase,
                                                     Outcome& outcome) {
  ErrorList errors;
  std::unique_ptr<LockwellDatabase> database = Attempt(errors, path, passphrase);
  if (!database) {
    ui_.ShowErrors(errors);
    outcome = Outcome::kFailed;
    return nullptr;
  }
  if (errors.IsWarning()) ui_.ShowErrors(errors);
  outcome = Housekeeping(*database);
  if (outcome != Outcome::kDone) return nullptr;
  return database;
}

}  // namespace lockwell
