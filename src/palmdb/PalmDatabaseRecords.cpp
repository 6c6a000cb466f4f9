// PalmDatabase: finding, reading, inserting, writing, deleting and purging
// records.  Scans run over the in-memory index; only the records returned
// are read from the file.
#include <algorithm>
#include <cstdint>

#include "palmdb/PalmDatabase.h"

namespace lockwell {

bool PalmDatabase::CheckPosition(ErrorList& errors, uint32_t position) {
  if (position < index_.Size()) return true;
  errors.Append(ModuleId(), kErrPosition, "Invalid record position specified");
  return false;
}

bool PalmDatabase::ReadBody(ErrorList& errors, uint32_t position, std::string& bytes) {
  return file_->ReadRecord(errors, position + 1, bytes);
}

bool PalmDatabase::LoadRecord(ErrorList& errors, uint32_t position, PalmDatabaseRecord& record, bool reset) {
  std::string bytes;
  if (!ReadBody(errors, position, bytes)) return false;
  if (reset && !record.Reset(errors, false)) return false;
  return record.Deserialize(errors, bytes, position + 1);
}

bool PalmDatabase::SerializeRecord(ErrorList& errors, PalmDatabaseRecord& record, std::string& bytes,
                                   RecordPrefix& prefix) {
  if (!record.Serialize(errors, bytes)) return false;
  if (!RecordPrefix::Decode(bytes, prefix)) {
    errors.Append(ModuleId(), kErrCorruptRecord, "Internal error: a record was stored without its prefix");
    return false;
  }
  return true;
}

bool PalmDatabase::StoreAt(ErrorList& errors, uint32_t position, const std::string& bytes,
                           const RecordPrefix& prefix) {
  if (file_->WriteRecord(errors, position + 1, bytes)) {
    index_.Update(position, prefix);
    return true;
  }
  // A failed write may leave the record half written; take its prefix from
  // the file again so that the index keeps telling the truth.
  ErrorList ignored;
  std::string stored;
  RecordPrefix reread;
  if (ReadBody(ignored, position, stored) && RecordPrefix::Decode(stored, reread))
    index_.Update(position, reread);
  return false;
}

bool PalmDatabase::GetRecordCount(ErrorList& errors, bool includeDeleted, uint32_t& count) {
  if (!RequireOpen(errors)) return false;
  count = index_.Size() - (includeDeleted ? 0 : index_.DeletedCount());
  return true;
}

bool PalmDatabase::FindNthInCategory(ErrorList& errors, uint32_t category, uint32_t n, uint32_t& number) {
  if (!RequireOpen(errors)) return false;
  std::optional<uint32_t> found = index_.FindNth(category, n);
  if (!found) {
    errors.Append(ModuleId(), kErrNotFound, "Could not find record");
    return false;
  }
  number = *found + 1;
  return true;
}

bool PalmDatabase::ReadNthInCategory(ErrorList& errors, uint32_t category, uint32_t n,
                                     PalmDatabaseRecord& record) {
  uint32_t number = 0;
  if (!FindNthInCategory(errors, category, n, number)) return false;
  return LoadRecord(errors, number - 1, record, true);
}

bool PalmDatabase::ReadNextInCategory(ErrorList& errors, uint32_t category, PalmDatabaseRecord& record) {
  if (!RequireOpen(errors)) return false;
  uint32_t index = 0;
  if (!record.GetIndex(errors, index)) return false;
  // A record never stored has index 0xFFFFFFFF: the walk starts at 0.
  uint32_t position = 0;
  if (!FindNextInCategory(errors, category, index + 1, position)) return false;
  if (!record.Reset(errors, false)) return false;
  return ReadRecordAt(errors, position, record);
}

bool PalmDatabase::FindNextInCategory(ErrorList& errors, uint32_t category, uint32_t start,
                                      uint32_t& position) {
  if (!RequireOpen(errors)) return false;
  for (uint32_t p = start; p < index_.Size(); ++p) {
    if (RecordIndex::Matches(index_.At(p), category)) {
      position = p;
      return true;
    }
  }
  errors.Append(ModuleId(), kErrNotFound, "Could not find record");
  return false;
}

bool PalmDatabase::FindPrevInCategory(ErrorList& errors, uint32_t category, uint32_t start,
                                      uint32_t& position) {
  if (!RequireOpen(errors)) return false;
  if (start < index_.Size()) {
    for (uint32_t p = start + 1; p-- > 0;) {
      if (RecordIndex::Matches(index_.At(p), category)) {
        position = p;
        return true;
      }
    }
  }
  errors.Append(ModuleId(), kErrNotFound, "Could not find record");
  return false;
}

bool PalmDatabase::DeleteNthInCategory(ErrorList& errors, uint32_t category, uint32_t n) {
  uint32_t number = 0;
  if (!FindNthInCategory(errors, category, n, number)) return false;
  PalmDatabaseRecord record(this);
  if (!LoadRecord(errors, number - 1, record, true)) return false;
  return DeleteRecord(errors, record);
}

bool PalmDatabase::DeleteRecord(ErrorList& errors, PalmDatabaseRecord& record) {
  if (!RequireOpen(errors)) return false;
  uint32_t before = record.Status();
  if (!record.MarkDeleted(errors) || !WriteRecord(errors, record)) return false;
  SyncDeletedCount();
  if (before != PalmDatabaseRecord::STATUS_NEW) return true;
  // Made on the PC and never seen by the handheld: nothing to tell the next
  // HotSync, so the record goes for good.
  uint32_t index = 0;
  if (!record.GetIndex(errors, index)) return false;
  return PurgeRecordAt(errors, index);
}

bool PalmDatabase::InsertRecord(ErrorList& errors, PalmDatabaseRecord& record, uint32_t position,
                                bool markNew, bool movesOthers) {
  // A refused mark is reported but does not stop the insert.  A record that
  // is new already needs no mark (and gets no refusal).
  if (markNew && record.Status() != PalmDatabaseRecord::STATUS_NEW) record.MarkNew(errors);
  const RecordKey key = record.Key();
  if (!RegisterId(errors, key)) return false;
  std::string bytes;
  RecordPrefix prefix;
  if (!SerializeRecord(errors, record, bytes, prefix) || !file_->InsertRecord(errors, position + 1, bytes)) {
    ReleaseId(key);
    return false;
  }
  if (prefix.Key() != key) {
    // The serialized key is the one the file holds now.
    ReleaseId(key);
    ++recordIds_[prefix.Key()];
  }
  index_.Insert(position, prefix);
  if (movesOthers) ++changeCount_;
  record.RememberPosition(position + 1, changeCount_);
  SyncDeletedCount();
  return true;
}

bool PalmDatabase::InsertBeforeNth(ErrorList& errors, uint32_t n, PalmDatabaseRecord& record) {
  if (!RequireOpen(errors)) return false;
  uint32_t position = index_.Size();
  if (n < index_.Size()) {
    uint32_t number = 0;
    if (!FindNthInCategory(errors, ALL_CATEGORIES, n, number)) return false;
    position = number - 1;
  }
  return InsertRecord(errors, record, position, true, true);
}

bool PalmDatabase::InsertAt(ErrorList& errors, PalmDatabaseRecord& record, uint32_t position, bool markNew) {
  if (!RequireOpen(errors)) return false;
  if (position > index_.Size()) {
    errors.Append(ModuleId(), kErrPosition, "Invalid record position specified");
    return false;
  }
  return InsertRecord(errors, record, position, markNew, true);
}

bool PalmDatabase::AppendNew(ErrorList& errors, PalmDatabaseRecord& record, bool markNew) {
  if (!RequireOpen(errors)) return false;
  // Nothing moves, so changeCount stays.
  return InsertRecord(errors, record, index_.Size(), markNew, false);
}

bool PalmDatabase::FindPositionById(ErrorList& errors, uint32_t recordId, bool desktopId, uint32_t& number) {
  if (!RequireOpen(errors)) return false;
  std::optional<uint32_t> found = index_.FindFirstByKey(RecordKey{recordId, desktopId});
  if (!found) {
    errors.Append(ModuleId(), kErrNotFound, "Could not find record by record ID");
    return false;
  }
  number = *found + 1;
  return true;
}

bool PalmDatabase::ReadRecordById(ErrorList& errors, uint32_t recordId, bool desktopId,
                                  PalmDatabaseRecord& record) {
  uint32_t number = 0;
  if (!FindPositionById(errors, recordId, desktopId, number)) return false;
  return LoadRecord(errors, number - 1, record, true);
}

bool PalmDatabase::ReadFirstDesktopRecord(ErrorList& errors, PalmDatabaseRecord& record) {
  if (!RequireOpen(errors)) return false;
  for (uint32_t p = 0; p < index_.Size(); ++p)
    if (index_.At(p).desktopId) return LoadRecord(errors, p, record, false);
  errors.Append(ModuleId(), kErrNotFound, "Could not find first desktop record");
  return false;
}

bool PalmDatabase::ReadRecordAt(ErrorList& errors, uint32_t position, PalmDatabaseRecord& record) {
  if (!RequireOpen(errors) || !CheckPosition(errors, position)) return false;
  return LoadRecord(errors, position, record, false);
}

bool PalmDatabase::ReadNextMatching(ErrorList& errors, uint32_t& number, PalmDatabaseRecord& record,
                                    bool pending) {
  if (!RequireOpen(errors)) return false;
  // Record-file numbers; 64-bit so that number + 1 cannot wrap onto the
  // reserved record 0.
  for (uint64_t f = std::max<uint64_t>(uint64_t{number} + 1, 1); f <= index_.Size(); ++f) {
    const RecordPrefix& prefix = index_.At(static_cast<uint32_t>(f - 1));
    bool selected = pending ? (prefix.syncFlags & PalmDatabaseRecord::FLAG_PENDING) != 0
                            : prefix.status != PalmDatabaseRecord::STATUS_UNCHANGED;
    if (!selected) continue;
    if (!LoadRecord(errors, static_cast<uint32_t>(f - 1), record, false)) return false;
    number = static_cast<uint32_t>(f);
    return true;
  }
  errors.Append(ModuleId(), kErrNotFound,
                pending ? "Could not find next pending record" : "Could not find next modified record");
  return false;
}

bool PalmDatabase::ReadNextModified(ErrorList& errors, uint32_t& number, PalmDatabaseRecord& record) {
  return ReadNextMatching(errors, number, record, false);
}

bool PalmDatabase::ReadNextPending(ErrorList& errors, uint32_t& number, PalmDatabaseRecord& record) {
  return ReadNextMatching(errors, number, record, true);
}

bool PalmDatabase::PurgeRecordById(ErrorList& errors, uint32_t recordId, bool desktopId) {
  uint32_t number = 0;
  if (!FindPositionById(errors, recordId, desktopId, number)) return false;
  return Purge(errors, number);
}

bool PalmDatabase::PurgeRecordAt(ErrorList& errors, uint32_t position) {
  if (!RequireOpen(errors) || !CheckPosition(errors, position)) return false;
  return Purge(errors, position + 1);
}

bool PalmDatabase::Purge(ErrorList& errors, uint32_t number) {
  if (!RequireOpen(errors) || number == 0 || !CheckPosition(errors, number - 1)) return false;
  const uint32_t position = number - 1;
  std::string bytes;
  if (!ReadBody(errors, position, bytes)) return false;
  PalmDatabaseRecord record(this);
  if (!record.Deserialize(errors, bytes, number)) return false;
  const RecordKey key = record.Key();

  // The payload is overwritten with zeros in the file before the slot is
  // given up, so its bytes do not stay behind in the dead slot.  The length
  // does not grow, so the record file writes in place.
  record.MarkDeleted(errors);
  std::string blank;
  RecordPrefix prefix;
  if (!SerializeRecord(errors, record, blank, prefix)) return false;
  if (blank != bytes && !StoreAt(errors, position, blank, prefix)) {
    SyncDeletedCount();
    return false;
  }
  if (!file_->DeleteRecord(errors, number)) {
    SyncDeletedCount();
    return false;
  }
  index_.Erase(position);
  ReleaseId(key);
  SyncDeletedCount();
  ++changeCount_;
  return true;
}

bool PalmDatabase::PurgeAllDeleted(ErrorList& errors) {
  if (!RequireOpen(errors)) return false;
  for (uint32_t p = index_.Size(); p-- > 0;) {
    if (index_.At(p).status != PalmDatabaseRecord::STATUS_DELETED) continue;
    if (!Purge(errors, p + 1)) return false;
  }
  SyncDeletedCount();
  return true;
}

bool PalmDatabase::WriteRecord(ErrorList& errors, PalmDatabaseRecord& record) {
  if (!RequireOpen(errors)) return false;
  uint32_t number = 0;
  if (!record.GetPosition(errors, number)) return false;
  if (number == 0) {
    errors.Append(ModuleId(), kErrNeverStored, "Cannot write a record that was never stored in the database");
    return false;
  }
  if (!CheckPosition(errors, number - 1)) return false;
  const uint32_t position = number - 1;
  const RecordKey stored = index_.At(position).Key();
  const RecordKey key = record.Key();
  const bool keyChanged = stored != key;
  if (keyChanged && !RegisterId(errors, key)) return false;

  std::string bytes;
  RecordPrefix prefix;
  bool written = SerializeRecord(errors, record, bytes, prefix) && StoreAt(errors, position, bytes, prefix);
  // The key set follows what the file holds now: the new key when written,
  // the old one when not (or whatever a half-written record shows).
  if (keyChanged) ReleaseId(key);
  const RecordKey now = index_.At(position).Key();
  if (now != stored) {
    ReleaseId(stored);
    ++recordIds_[now];
  }
  SyncDeletedCount();
  return written;
}

bool PalmDatabase::ReadPrefixAt(ErrorList& errors, uint32_t position, RecordPrefix& prefix) {
  if (!RequireOpen(errors) || !CheckPosition(errors, position)) return false;
  prefix = index_.At(position);
  return true;
}

bool PalmDatabase::ListSortedPositions(ErrorList& errors, std::vector<uint32_t>& positions) {
  positions.clear();
  if (!RequireOpen(errors)) return false;
  for (uint32_t p = 0; p < index_.Size(); ++p) {
    const RecordPrefix& prefix = index_.At(p);
    if (prefix.status != PalmDatabaseRecord::STATUS_DELETED &&
        (prefix.syncFlags & PalmDatabaseRecord::FLAG_UNSORTED) == 0)
      positions.push_back(p);
  }
  return true;
}

bool PalmDatabase::ReadReservedRecord(ErrorList& errors, std::string& bytes) {
  if (!RequireOpen(errors)) return false;
  return file_->ReadRecord(errors, 0, bytes);
}

bool PalmDatabase::WriteReservedRecord(ErrorList& errors, const std::string& bytes) {
  if (!RequireOpen(errors)) return false;
  return file_->WriteRecord(errors, 0, bytes);
}

}  // namespace lockwell
