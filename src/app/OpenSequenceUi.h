// The questions and notices of the open sequence, behind one interface.
//
// The window answers them with dialogs, the command-line program on the
// terminal, tests with a script.  Every call is made from the one thread
// that runs the sequence.
#pragma once

#include <string>

#include "storage/ErrorList.h"
#include "storage/SecureString.h"

namespace lockwell {

class OpenSequenceUi {
 public:
  // The answer to the conflict question.
  enum class ConflictChoice {
    kRetry,   // try the record again with the passphrase handed back
    kDelete,  // remove the record (asked to be confirmed first)
    kCancel,  // give up the update; the database is not opened
  };

  virtual ~OpenSequenceUi() = default;

  // Shows the records of `errors` (errors, warnings or both).
  virtual void ShowErrors(const ErrorList& errors) = 0;
  // Shows `text` until EndPleaseWait; never nested.
  virtual void BeginPleaseWait(const std::string& text) = 0;
  virtual void EndPleaseWait() = 0;
  // A record still fails its digest under the current passphrase and under
  // the old passphrase known so far: asks for the passphrase used before the
  // change on the handheld.  On kRetry `oldPassphrase` holds it.
  virtual ConflictChoice AskOldPassphrase(SecureString& oldPassphrase) = 0;
  // Confirms a kDelete answer; false goes back to AskOldPassphrase.
  virtual bool ConfirmDelete() = 0;
  // A message with a caption and an OK button.
  virtual void Notice(const std::string& caption, const std::string& text) = 0;
};

}  // namespace lockwell
