// The sequence that opens an existing account database once the user has
// chosen it and typed the passphrase: the open itself with the failures
// explained in plain words, then the housekeeping a HotSync may leave
// behind (records still under a passphrase changed on the handheld, and
// records that arrived unsorted).
//
// Plain C++; every question and notice goes through OpenSequenceUi, so the
// window and the command-line program run the same steps.  The sequence
// owns nothing beyond one call: a database it opens is handed to the caller.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "app/OpenSequenceUi.h"
#include "storage/ErrorList.h"
#include "storage/SecureString.h"

namespace lockwell {

class LockwellDatabase;

class OpenSequence {
 public:
  // Texts the sequence shows.
  static constexpr const char* kPalmUserNotFound = "Could not find the specified Palm user.";
  static constexpr const char* kNotExist =
      "The Lockwell database you chose does not exist.  If you are trying to open a database from your "
      "Palm, make sure that you have performed at least one HotSync operation after running Lockwell on "
      "the Palm.";
  static constexpr const char* kInUse =
      "The Lockwell database you chose is already open by another application or is not readable by "
      "you.  Please close that application or fix the file permissions before opening it here.";
  static constexpr const char* kCouldNotOpen =
      "The Lockwell database you chose could not be opened.  If you are trying to open a database from "
      "your Palm, make sure that you have performed at least one HotSync operation after running "
      "Lockwell on the Palm.";
  static constexpr const char* kUpdatingPassphrase =
      "Updating your passphrase.  You recently changed your passphrase on your Palm.  You may be asked "
      "to enter your OLD passphrase to resolve any conflicts that occur.";
  static constexpr const char* kResorting =
      "Re-Sorting Lockwell database after HotSync.  This may take a minute or two if you haven't "
      "performed a HotSync in a while.";
  static constexpr const char* kConflictsResolvedCaption = "Conflicts Resolved";
  static constexpr const char* kConflictsResolved =
      "Some conflicts with the Lockwell database have been resolved.  It is strongly recommended that "
      "you close Lockwell/PC immediately and perform a HotSync operation.  If you do not do so, more "
      "conflicts may arise.";

  enum class Outcome {
    kDone,       // the step ran (or had nothing to do)
    kFailed,     // the step failed; its errors were shown; drop the database
    kCancelled,  // the user gave up the passphrase update; drop the database
  };

  explicit OpenSequence(OpenSequenceUi& ui) : ui_(ui) {}

  // One attempt.  An empty `path` stands for a Palm user that could not be
  // found.  Returns the open database, or nullptr with the failure in
  // `errors`, explained after the records that caused it.  Errors are not
  // shown here: the window shows them and asks again, a script exits.  A
  // warning of a successful open (duplicate record IDs repaired) is left in
  // `errors` as well.
  std::unique_ptr<LockwellDatabase> Attempt(ErrorList& errors, const std::string& path,
                                            std::string_view passphrase);

  // The housekeeping after a successful open, in order: the passphrase
  // update when the handheld changed the passphrase, then the re-sort.
  Outcome Housekeeping(LockwellDatabase& database);
  // Each piece alone; both do nothing when not needed.
  Outcome UpdatePassphrase(LockwellDatabase& database);
  Outcome Resort(LockwellDatabase& database);

  // Attempt, show a warning, Housekeeping.  On failure the errors have been
  // shown and nullptr comes back; `outcome` says which step failed.
  std::unique_ptr<LockwellDatabase> Run(const std::string& path, std::string_view passphrase,
                                        Outcome& outcome);

  // Appends the explanation of a failed open to `errors` after the records
  // of the record-file layer that caused it; nothing for other failures.
  static void Explain(ErrorList& errors);

 private:
  // Handles the conflicting record at index `i` of the All view; `i` steps
  // back by one when the record was deleted.
  Outcome ResolveConflict(LockwellDatabase& database, ErrorList& errors, uint32_t& i);

  OpenSequenceUi& ui_;
  // The old passphrase learnt during one update pass; empty (the default
  // key) at first.
  SecureString oldPassphrase_;
};

}  // namespace lockwell
