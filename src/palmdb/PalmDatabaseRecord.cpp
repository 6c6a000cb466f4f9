#include "palmdb/PalmDatabaseRecord.h"

#include <algorithm>
#include <cstring>

#include "palmdb/ByteOrder.h"
#include "palmdb/PalmDatabase.h"
#include "palmdb/RecordPrefix.h"

namespace lockwell {
namespace {

Module module("Tallmark PalmDatabaseRecord Class");

}  // namespace

const char* PalmDatabaseRecord::ModuleNameText() { return module.Name(); }
int32_t PalmDatabaseRecord::ModuleId() { return module.Id(); }

PalmDatabaseRecord::PalmDatabaseRecord(ErrorList& errors, PalmDatabase* database, bool assignNewId)
    : database_(database) {
  module.Register();
  if (assignNewId) AssignNewId(errors);
}

PalmDatabaseRecord::PalmDatabaseRecord(PalmDatabase* database) : database_(database) { module.Register(); }

PalmDatabaseRecord::~PalmDatabaseRecord() = default;

void PalmDatabaseRecord::Clear() {
  position_ = 0;
  desktopId_ = false;
  recordId_ = 0;
  status_ = STATUS_UNCHANGED;
  syncFlags_ = 0;
  category_ = 0;
  payload_.clear();
  extra_.fill(0);
}

bool PalmDatabaseRecord::Reset(ErrorList& errors, bool assignNewId) {
  Clear();
  return assignNewId ? AssignNewId(errors) : true;
}

bool PalmDatabaseRecord::GetRecordId(ErrorList&, uint32_t& recordId, bool& desktopId) {
  recordId = recordId_;
  desktopId = desktopId_;
  return true;
}

bool PalmDatabaseRecord::SetRecordId(ErrorList&, uint32_t recordId, bool desktopId) {
  recordId_ = recordId;
  desktopId_ = desktopId;
  return true;
}

bool PalmDatabaseRecord::GetStatus(ErrorList&, uint32_t& status) {
  status = status_;
  return true;
}

bool PalmDatabaseRecord::SetStatus(ErrorList&, uint32_t status) {
  status_ = status;
  return true;
}

bool PalmDatabaseRecord::GetSyncFlags(ErrorList&, uint32_t& flags) {
  flags = syncFlags_;
  return true;
}

bool PalmDatabaseRecord::SetSyncFlags(ErrorList&, uint32_t flags) {
  syncFlags_ = flags;
  return true;
}

bool PalmDatabaseRecord::GetCategory(ErrorList&, uint32_t& category) {
  category = category_;
  return true;
}

bool PalmDatabaseRecord::SetCategory(ErrorList&, uint32_t category) {
  category_ = category;
  ErrorList ignored;
  MarkModified(ignored);
  return true;
}

bool PalmDatabaseRecord::GetPosition(ErrorList& errors, uint32_t& position) {
  if (database_ == nullptr) {
    errors.Append(module.Id(), kErrNoDatabase,
                  "Internal error: Parent object of PalmDatabaseRecord not set!");
    return false;
  }
  if (positionStamp_ != database_->ChangeCount()) {
    uint32_t found = 0;
    if (!database_->FindPositionById(errors, recordId_, desktopId_, found)) {
      errors.Append(module.Id(), kErrNoLocation, "Could not determine record location");
      return false;
    }
    position_ = found;
    positionStamp_ = database_->ChangeCount();
  }
  position = position_;
  return true;
}

bool PalmDatabaseRecord::GetIndex(ErrorList& errors, uint32_t& index) {
  uint32_t position = 0;
  if (!GetPosition(errors, position)) return false;
  index = position - 1;  // wraps to 0xFFFFFFFF for a record never stored
  return true;
}

bool PalmDatabaseRecord::AssignNewId(ErrorList& errors) {
  if (database_ == nullptr) {
    errors.Append(module.Id(), kErrNoDatabase,
                  "Internal error: Parent object of PalmDatabaseRecord not set!");
    return false;
  }
  uint32_t id = 0;
  if (!database_->TakeNextDesktopRecordId(errors, id)) return false;
  recordId_ = id;
  if (!database_->SaveHeader(errors)) return false;
  desktopId_ = true;
  // The handheld has never seen this ID, so whatever the record was before,
  // the next HotSync must carry it across as a new record.
  status_ = STATUS_NEW;
  position_ = 0;
  return true;
}

bool PalmDatabaseRecord::MarkDeleted(ErrorList&) {
  status_ = STATUS_DELETED;
  std::fill(payload_.begin(), payload_.end(), '\0');
  return true;
}

bool PalmDatabaseRecord::MarkNew(ErrorList& errors) {
  if (status_ != STATUS_UNCHANGED) {
    errors.Append(module.Id(), kErrCannotMarkNew, "Can't mark a modified/deleted record as NEW");
    return false;
  }
  status_ = STATUS_NEW;
  return true;
}

bool PalmDatabaseRecord::MarkModified(ErrorList& errors) {
  if (status_ == STATUS_DELETED) {
    errors.Append(module.Id(), kErrCannotMarkModified, "Can't mark a deleted record as MODIFIED");
    return false;
  }
  if (status_ != STATUS_NEW) status_ = STATUS_MODIFIED;
  return true;
}

bool PalmDatabaseRecord::GetExtra(ErrorList&, Extra& extra) {
  extra = extra_;
  return true;
}

bool PalmDatabaseRecord::SetExtra(ErrorList&, const Extra& extra) {
  extra_ = extra;
  return true;
}

bool PalmDatabaseRecord::GetPayload(ErrorList&, std::string& payload) {
  payload = payload_;
  return true;
}

bool PalmDatabaseRecord::SetPayload(ErrorList&, const std::string& payload) {
  payload_ = payload;
  ErrorList ignored;
  MarkModified(ignored);
  return true;
}

bool PalmDatabaseRecord::Deserialize(ErrorList& errors, const std::string& bytes, uint32_t position) {
  using P = RecordPrefix;
  position_ = position;
  positionStamp_ = database_ != nullptr ? database_->ChangeCount() : 0;

  // Field by field, so that a short record keeps what could be decoded.
  const char* p = bytes.data();
  auto fail = [&] {
    errors.Append(module.Id(), kErrShortRecord, "Insufficient data read from record");
    return false;
  };
  if (bytes.size() < P::kRecordIdOffset + 4) return fail();
  recordId_ = LoadLE32(p + P::kRecordIdOffset);
  if (bytes.size() < P::kDesktopIdOffset + 1) return fail();
  desktopId_ = p[P::kDesktopIdOffset] != 0;
  if (bytes.size() < P::kStatusOffset + 4) return fail();
  status_ = LoadLE32(p + P::kStatusOffset);
  if (bytes.size() < P::kSyncFlagsOffset + 4) return fail();
  syncFlags_ = LoadLE32(p + P::kSyncFlagsOffset);
  if (bytes.size() < P::kCategoryOffset + 4) return fail();
  category_ = LoadLE32(p + P::kCategoryOffset);
  if (bytes.size() < P::kExtraOffset + extra_.size()) return fail();
  std::memcpy(extra_.data(), p + P::kExtraOffset, extra_.size());
  payload_.assign(bytes, P::kSize, std::string::npos);
  return true;
}

bool PalmDatabaseRecord::Serialize(ErrorList&, std::string& bytes) {
  RecordPrefix prefix;
  prefix.recordId = recordId_;
  prefix.desktopId = desktopId_;
  prefix.status = status_;
  prefix.syncFlags = syncFlags_;
  prefix.category = category_;
  prefix.extra = extra_;
  bytes.clear();
  bytes.reserve(RecordPrefix::kSize + payload_.size());
  prefix.AppendTo(bytes);
  bytes += payload_;
  return true;
}

void PalmDatabaseRecord::SetDatabase(PalmDatabase* database) { database_ = database; }

PalmDatabase* PalmDatabaseRecord::GetDatabase() const { return database_; }

void PalmDatabaseRecord::RememberPosition(uint32_t position, uint32_t changeCount) {
  position_ = position;
  positionStamp_ = changeCount;
}

}  // namespace lockwell
