// PalmDatabaseRecord: the in-memory form of one record of a PalmDatabase.
//
// A record carries an ID, a synchronisation status, flag bits, a category, an
// 8-byte value kept for the handheld and a payload that belongs to the
// derived class (the vault's LockwellRecord puts its encrypted account body
// there).  Its stored form is a RecordPrefix (25 bytes, see RecordPrefix.h)
// followed by the payload.
//
// Ownership: records are plain objects owned by whoever reads them; they
// point back to their database without owning it.  `database` must be set
// before a record is located or given a new ID.
//
// Status changes made here:
//   from     operation      to
//   0        MarkNew        3
//   1, 2, 3  MarkNew        refused
//   0, 2     MarkModified   2
//   3        MarkModified   3 (a record made on the PC stays new)
//   1        MarkModified   refused
//   any      MarkDeleted    1 (payload bytes overwritten with zeros)
//   any      AssignNewId    3 (the fresh ID is unknown to the handheld)
//   any      SetStatus      the value given
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "palmdb/RecordKey.h"
#include "storage/ErrorList.h"
#include "storage/ModuleRegistry.h"

namespace lockwell {

class PalmDatabase;

class PalmDatabaseRecord {
 public:
  static constexpr uint32_t STATUS_UNCHANGED = 0;
  static constexpr uint32_t STATUS_DELETED = 1;
  static constexpr uint32_t STATUS_MODIFIED = 2;
  static constexpr uint32_t STATUS_NEW = 3;

  static constexpr uint32_t FLAG_PENDING = 1;
  static constexpr uint32_t FLAG_UNSORTED = 2;

  // Codes of this module (callers test them together with ModuleId()).
  static constexpr uint32_t kErrNoDatabase = 0x80010000;
  static constexpr uint32_t kErrNoLocation = 0x80020000;
  static constexpr uint32_t kErrShortRecord = 0x80020001;
  static constexpr uint32_t kErrCannotMarkNew = 0x80030000;
  static constexpr uint32_t kErrCannotMarkModified = 0x80030001;

  using Extra = std::array<uint8_t, 8>;

  // Clears every field, sets `database` and, when asked, gives the record a
  // fresh desktop ID (AssignNewId).
  PalmDatabaseRecord(ErrorList& errors, PalmDatabase* database, bool assignNewId);
  explicit PalmDatabaseRecord(PalmDatabase* database = nullptr);
  virtual ~PalmDatabaseRecord();

  PalmDatabaseRecord(const PalmDatabaseRecord&) = default;
  PalmDatabaseRecord& operator=(const PalmDatabaseRecord&) = default;

  // Virtual operations in their fixed slot order.
  // Clears everything but `database` and the position stamp; then, when
  // asked, AssignNewId.
  virtual bool Reset(ErrorList& errors, bool assignNewId);
  virtual bool GetRecordId(ErrorList& errors, uint32_t& recordId, bool& desktopId);
  virtual bool SetRecordId(ErrorList& errors, uint32_t recordId, bool desktopId);
  virtual bool GetStatus(ErrorList& errors, uint32_t& status);
  virtual bool SetStatus(ErrorList& errors, uint32_t status);
  virtual bool GetSyncFlags(ErrorList& errors, uint32_t& flags);
  virtual bool SetSyncFlags(ErrorList& errors, uint32_t flags);
  virtual bool GetCategory(ErrorList& errors, uint32_t& category);
  // Sets the category, then MarkModified; a refused mark is not reported
  // (a deleted record keeps its status, the category still changes).
  virtual bool SetCategory(ErrorList& errors, uint32_t category);
  // The record-file record number, located afresh by key when the
  // database's changeCount moved since it was last known.  0: never stored.
  virtual bool GetPosition(ErrorList& errors, uint32_t& position);
  // GetPosition - 1, the Palm position.  For a record never stored this is
  // 0xFFFFFFFF, so that "GetIndex + 1" names the first position.
  virtual bool GetIndex(ErrorList& errors, uint32_t& index);
  // Takes the database's next desktop record ID and makes the record new.
  virtual bool AssignNewId(ErrorList& errors);
  virtual bool MarkDeleted(ErrorList& errors);
  virtual bool MarkNew(ErrorList& errors);
  virtual bool MarkModified(ErrorList& errors);
  virtual bool GetExtra(ErrorList& errors, Extra& extra);
  virtual bool SetExtra(ErrorList& errors, const Extra& extra);
  virtual bool GetPayload(ErrorList& errors, std::string& payload);
  // Sets the payload, then MarkModified; a refused mark is not reported.
  virtual bool SetPayload(ErrorList& errors, const std::string& payload);
  // Reads the stored form; `position` is the record-file record number the
  // bytes came from.  Fewer than 25 bytes fail, the fields decoded before
  // the end keeping their new values.
  virtual bool Deserialize(ErrorList& errors, const std::string& bytes, uint32_t position);
  virtual bool Serialize(ErrorList& errors, std::string& bytes);
  virtual void SetDatabase(PalmDatabase* database);
  virtual PalmDatabase* GetDatabase() const;

  // Plain accessors for the database layer.
  RecordKey Key() const { return RecordKey{recordId_, desktopId_}; }
  uint32_t Status() const { return status_; }
  // The database tells a record where an insert put it, so that a write
  // right after the insert finds it without a lookup.
  void RememberPosition(uint32_t position, uint32_t changeCount);

  static const char* ModuleNameText();
  // 0 until the first record was constructed.
  static int32_t ModuleId();

 private:
  void Clear();

  uint32_t position_ = 0;   // record-file record number; 0 = not stored
  bool desktopId_ = false;  // recordId_ was handed out on the PC
  uint32_t recordId_ = 0;   // never 0 for a stored record
  uint32_t status_ = STATUS_UNCHANGED;
  uint32_t syncFlags_ = 0;
  uint32_t category_ = 0;
  std::string payload_;               // the derived class's bytes
  uint32_t positionStamp_ = 0;        // the database's changeCount when position_ was right
  Extra extra_{};                     // kept for the handheld, no meaning here
  PalmDatabase* database_ = nullptr;  // not owned
};

}  // namespace lockwell
