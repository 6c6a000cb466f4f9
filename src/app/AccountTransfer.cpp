#include "app/AccountTransfer.h"

#include "app/AccountIdentity.h"
#include "palmdb/CategoryConstants.h"
#include "vault/LockwellDatabase.h"
#include "vault/LockwellRecord.h"

namespace lockwell {

void AccountTransfer::Fill(const std::vector<uint32_t>& identities, bool cut) {
  buffer_.clear();
  cut_ = cut;
  for (uint32_t identity : identities) buffer_.insert(static_cast<int32_t>(identity));
}

AccountTransfer::PasteResult AccountTransfer::Paste(LockwellDatabase& database, uint32_t target,
                                                    const std::function<void(const ErrorList&)>& showErrors) {
  if (target == ALL_CATEGORIES) return PasteResult::kIntoAll;
  if (buffer_.empty()) return PasteResult::kNothing;
  for (int32_t stored : buffer_) {
    ErrorList errors;
    const uint32_t identity = static_cast<uint32_t>(stored);
    const bool done = cut_ ? MoveOne(errors, database, identity, target) : CopyOne(errors, database, identity, target);
    if (!done) showErrors(errors);
  }
  buffer_.clear();
  return PasteResult::kPasted;
}

bool AccountTransfer::MoveOne(ErrorList& errors, LockwellDatabase& database, uint32_t identity, uint32_t target) {
  LockwellRecord record(&database);
  uint32_t category = 0;
  if (!database.ReadRecordById(errors, AccountIdentity::RecordId(identity), AccountIdentity::DesktopId(identity),
                               record) ||
      !record.GetCategory(errors, category)) {
    return false;
  }
  if (category == target) return true;
  return record.SetCategory(errors, target) && database.repositionRecord(errors, record);
}

bool AccountTransfer::CopyOne(ErrorList& errors, LockwellDatabase& database, uint32_t identity, uint32_t target) {
  LockwellRecord record(&database);
  if (!database.ReadRecordById(errors, AccountIdentity::RecordId(identity), AccountIdentity::DesktopId(identity),
                               record) ||
      !record.SetCategory(errors, target) || !record.AssignNewId(errors)) {
    return false;
  }
  // A fresh IV and digest: the copy must not share its body with the
  // account it came from.
  record.setPlaintextChanged(true);
  return database.insertSorted(errors, record);
}

}  // namespace lockwell
