// Copy, Cut and Paste of accounts between categories.  Accounts never reach
// the system clipboard: the buffer holds account identities (see
// AccountIdentity) inside the running program, ordered as signed 32-bit
// numbers and without duplicates.
//
// Plain C++; the window shows the refusals and the errors.  Not
// thread-safe.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <vector>

#include "storage/ErrorList.h"

namespace lockwell {

class LockwellDatabase;

class AccountTransfer {
 public:
  static constexpr const char* kIntoAllCaption = "Can't Paste";
  static constexpr const char* kIntoAll = "Can't paste into the All category!";
  static constexpr const char* kEmptyCaption = "Copy/Paste Buffer Empty";
  static constexpr const char* kEmpty = "There are no accounts to paste.";

  enum class PasteResult {
    kPasted,    // every account was tried; failures went to showErrors
    kIntoAll,   // refused: "All" is not a category; the buffer is kept
    kNothing,   // refused: the buffer is empty
  };

  // Copy (cut false) or Cut (cut true) of the selected accounts: the buffer
  // is emptied first.
  void Fill(const std::vector<uint32_t>& identities, bool cut);
  // Delete and closing the database empty the buffer.
  void clear() { buffer_.clear(); }
  bool empty() const { return buffer_.empty(); }
  bool cut() const { return cut_; }

  // Moves (after Cut) or copies (after Copy) every buffered account into
  // `target`.  A move leaves an account already in the target alone; a
  // copy stores a new account with a fresh desktop ID, encrypted afresh,
  // for the next HotSync to send.  Each account's failure is handed to
  // `showErrors` and the rest go on.  The buffer is emptied afterwards.
  PasteResult Paste(LockwellDatabase& database, uint32_t target,
                    const std::function<void(const ErrorList&)>& showErrors);

 private:
  bool MoveOne(ErrorList& errors, LockwellDatabase& database, uint32_t identity, uint32_t target);
  bool CopyOne(ErrorList& errors, LockwellDatabase& database, uint32_t identity, uint32_t target);

  std::set<int32_t> buffer_;
  bool cut_ = false;
};

}  // namespace lockwell
