// PalmDatabase: open, create, reload and close; the header area; the key set
// and its repair.  Records are in PalmDatabaseRecords.cpp, categories in
// PalmDatabaseCategories.cpp.
#include "palmdb/PalmDatabase.h"

#include <utility>

#include "palmdb/PalmHeaderView.h"
#include "palmdb/ProductConstants.h"

namespace lockwell {
namespace {

Module module("Tallmark PalmDatabase Class");

}  // namespace

const char* PalmDatabase::ModuleNameText() { return module.Name(); }
int32_t PalmDatabase::ModuleId() { return module.Id(); }

PalmDatabase::PalmDatabase() { module.Register(); }

PalmDatabase::PalmDatabase(ErrorList& errors, const std::string& path, int mode, uint32_t headerSize) {
  module.Register();
  OpenDatabase(errors, path, mode, headerSize);
}

PalmDatabase::~PalmDatabase() {
  // Every database is compacted, and so backed up to ".bak", when its
  // object goes away.
  ErrorList ignored;
  if (file_) file_->Compact(ignored);
  PalmDatabase::CloseDatabase(ignored);
}

bool PalmDatabase::IsOpen() const { return file_ != nullptr && file_->IsOpen(); }

bool PalmDatabase::RequireOpen(ErrorList& errors) {
  if (IsOpen() && header_.size() >= kPalmHeaderSize) return true;
  errors.Append(module.Id(), kErrNotOpen, "Database not open!");
  return false;
}

bool PalmDatabase::OpenDatabase(ErrorList& errors, const std::string& path, int mode, uint32_t headerSize) {
  if (headerSize < kPalmHeaderSize) {
    errors.Append(module.Id(), kErrHeaderTooSmall, "Internal error: Header size specified is too small");
    return false;
  }
  CloseDatabase(errors);
  headerSize_ = headerSize;

  uint32_t found = headerSize;
  file_ = std::make_unique<DatabaseFile>(errors, path, mode, found);
  if (!file_->IsOpen()) return false;
  if (found != headerSize) {
    errors.Append(module.Id(), kErrHeaderSize,
                  "Database header size is wrong.  This may be because you are trying to open the database "
                  "with an older version of the product than it was created with.  Please upgrade to the "
                  "latest version and try again.");
    return false;
  }
  if (!LoadHeader(errors)) return false;
  if (mode == kCreateNew) return InitNewDatabase(errors);
  return VerifyAfterOpen(errors);
}

bool PalmDatabase::LoadHeader(ErrorList& errors) {
  std::string header;
  if (!file_->ReadHeader(errors, header)) return false;
  if (header.size() != headerSize_) {
    errors.Append(module.Id(), kErrHeaderSize,
                  "Database header size is wrong.  This may be because you are trying to open the database "
                  "with an older version of the product than it was created with.  Please upgrade to the "
                  "latest version and try again.");
    return false;
  }
  header_ = std::move(header);

  // A category name must end within its 16 bytes.  One that does not is cut
  // to 15 characters, as long a name as the handheld allows.
  PalmHeaderView view(header_);
  bool repaired = false;
  for (uint32_t i = 0; i < kCategoryCount; ++i) {
    if (view.CategoryNameTerminated(i)) continue;
    view.SetCategoryName(i, view.CategoryName(i).substr(0, kCategoryNameSize - 1));
    repaired = true;
  }
  if (repaired) {
    ErrorList ignored;
    SaveHeader(ignored);
  }
  return true;
}

bool PalmDatabase::InitNewDatabase(ErrorList& errors) {
  if (!RequireOpen(errors)) return false;
  if (!ResetHeader(errors) || !file_->InsertRecord(errors, 0, std::string())) {
    errors.Append(module.Id(), kErrInitFailed, "Could not initialize new database");
    return false;
  }
  index_.Clear();
  recordIds_.clear();
  return true;
}

bool PalmDatabase::CloseDatabase(ErrorList&) {
  file_.reset();
  header_.clear();
  recordIds_.clear();
  index_.Clear();
  return true;
}

std::string& PalmDatabase::GetHeader() { return header_; }

bool PalmDatabase::SaveHeader(ErrorList& errors) {
  if (!RequireOpen(errors)) return false;
  return file_->WriteHeader(errors, header_);
}

bool PalmDatabase::ResetHeader(ErrorList& errors) {
  if (!RequireOpen(errors)) return false;
  PalmHeaderView(header_).Clear();
  return SetDefaultCategories(errors);
}

bool PalmDatabase::SetDefaultCategories(ErrorList& errors) {
  if (!RequireOpen(errors)) return false;
  PalmHeaderView view(header_);
  view.SetCategoryName(UNFILED_CATEGORY, "Unfiled");
  view.SetCategoryUniqId(UNFILED_CATEGORY, 1);
  view.SetLastUniqId(128);
  return SaveHeader(errors);
}

bool PalmDatabase::BackupNow(ErrorList& errors) {
  if (!RequireOpen(errors)) return false;
  return file_->BackupToBak(errors);
}

bool PalmDatabase::ReloadFromBackup(ErrorList& errors) {
  if (!RequireOpen(errors)) return false;
  // Whatever the copy holds, positions remembered by records are void now.
  ++changeCount_;
  if (!file_->RestoreFromBak(errors)) return false;
  if (!LoadHeader(errors)) return false;
  recordIds_.clear();
  return VerifyAfterOpen(errors);
}

bool PalmDatabase::LoadIndex(ErrorList& errors, std::set<RecordKey>& duplicates) {
  index_.Clear();
  recordIds_.clear();
  uint32_t count = 0;
  if (!file_->GetRecordCount(errors, count)) return false;
  if (count == 0) {
    // A file without the reserved record 0: give it one, as a new database
    // has, so that no Palm record is ever taken for it.
    if (!file_->InsertRecord(errors, 0, std::string())) return false;
    count = 1;
  }
  std::string bytes;
  for (uint32_t number = 1; number < count; ++number) {
    // Only the prefix: the bodies are read when a record is asked for.
    if (!file_->ReadRecordStart(errors, number, RecordPrefix::kSize, bytes)) return false;
    RecordPrefix prefix;
    if (!RecordPrefix::Decode(bytes, prefix)) {
      errors.Append(module.Id(), kErrCorruptRecord,
                    "Record " + std::to_string(number) + " of the database holds " +
                        std::to_string(bytes.size()) + " bytes, fewer than the " +
                        std::to_string(RecordPrefix::kSize) +
                        " every record starts with.  Database corrupt!");
      index_.Clear();
      recordIds_.clear();
      return false;
    }
    index_.Append(prefix);
    if (++recordIds_[prefix.Key()] == 2) duplicates.insert(prefix.Key());
  }
  return true;
}

bool PalmDatabase::VerifyAfterOpen(ErrorList& errors) {
  if (!RequireOpen(errors)) return false;
  std::set<RecordKey> duplicates;
  if (!LoadIndex(errors, duplicates)) return false;
  // deletedCount is recomputed from the records: a count that disagreed
  // would make GetRecordCount wrong, or wrap below zero.
  SyncDeletedCount();
  if (duplicates.empty()) return true;

  errors.Append(
      module.Id(), kWarnDuplicateIds,
      std::string("Duplicate record IDs found in this database!  Attempting to repair! Close "
                  "Lockwell/PC, backup your Palm Desktop folder, and perform a HotSync immediately.  "
                  "Email ") +
          kSupportEmail + " if you see this message.");
  // Every record with a repeated key, the first one included, gets a fresh
  // desktop ID and becomes new, so the next HotSync sends each of them to
  // the handheld.  A record deleted on the PC stays deleted: its payload is
  // zeros, and sending it as new would bring back an empty record.
  for (const RecordKey& key : duplicates) {
    for (;;) {
      if (errors.HasErrors()) return false;
      PalmDatabaseRecord record(this);
      ErrorList lookup;
      if (!ReadRecordById(lookup, key.recordId, key.desktopId, record)) break;
      uint32_t id = 0;
      if (!TakeNextDesktopRecordId(errors, id) || !SaveHeader(errors)) return false;
      record.SetRecordId(lookup, id, true);
      if (record.Status() != PalmDatabaseRecord::STATUS_DELETED)
        record.SetStatus(lookup, PalmDatabaseRecord::STATUS_NEW);
      if (!WriteRecord(errors, record)) return false;
    }
  }
  return true;
}

bool PalmDatabase::RegisterId(ErrorList& errors, const RecordKey& key) {
  if (recordIds_.count(key) != 0) {
    errors.Append(
        module.Id(), kErrDuplicateId,
        std::string("Attempt to insert record with duplicate record ID!  Contact ") + kSupportEmail + "!");
    return false;
  }
  if (key.recordId == 0) {
    errors.Append(
        module.Id(), kErrInvalidId,
        std::string("Attempt to insert record with invalid record ID!  Contact ") + kSupportEmail + "!");
    return false;
  }
  recordIds_[key] = 1;
  return true;
}

void PalmDatabase::ReleaseId(const RecordKey& key) {
  auto found = recordIds_.find(key);
  if (found != recordIds_.end() && --found->second == 0) recordIds_.erase(found);
}

bool PalmDatabase::TakeNextDesktopRecordId(ErrorList& errors, uint32_t& recordId) {
  if (!RequireOpen(errors)) return false;
  PalmHeaderView view(header_);
  // IDs a damaged file already uses on the PC are skipped, and so is 0.
  uint32_t next = view.LastDesktopRecordId();
  do {
    ++next;
  } while (next == 0 || recordIds_.count(RecordKey{next, true}) != 0);
  view.SetLastDesktopRecordId(next);
  recordId = next;
  return true;
}

void PalmDatabase::SyncDeletedCount() {
  if (!IsOpen() || header_.size() < kPalmHeaderSize) return;
  PalmHeaderView view(header_);
  if (view.DeletedCount() == index_.DeletedCount()) return;
  view.SetDeletedCount(index_.DeletedCount());
  ErrorList ignored;
  SaveHeader(ignored);
}

bool PalmDatabase::CheckInvariants() const {
  if (!IsOpen()) return index_.Size() == 0 && recordIds_.empty();
  if (header_.size() != headerSize_ || headerSize_ < kPalmHeaderSize) return false;
  if (!index_.CheckInvariants()) return false;
  std::string header = header_;
  if (PalmHeaderView(header).DeletedCount() != index_.DeletedCount()) return false;
  std::map<RecordKey, uint32_t> counted;
  for (uint32_t p = 0; p < index_.Size(); ++p) ++counted[index_.At(p).Key()];
  return counted == recordIds_;
}

}  // namespace lockwell
