// PalmDatabase: a Palm-style database on top of the record file.
//
// Records carry a record ID, a category and synchronisation marks
// (PalmDatabaseRecord); the database carries the category table of a Palm
// application and two counters in the first 284 bytes of the record file's
// header area (PalmHeaderView.h has the layout).  A derived class may ask for
// a larger header area and keeps its own data after those bytes.
//
// Record-file record 0 is reserved for the derived class (ReadReservedRecord,
// WriteReservedRecord).  Palm position p is record-file record p + 1; the
// operations that speak of a "number" use record-file numbers.
//
// The record file is locked while the database is open, so the database keeps
// the decoded 25-byte prefix of every record in memory (RecordIndex) and scans
// without reading the file; bodies are read only for the records returned.
//
// Ownership: owns its DatabaseFile; records point back to it without owning
// it.  Destruction compacts the file (taking the ".bak" copy) and closes it.
// Not thread-safe; the program is single-threaded.
//
// Invariants while open:
//   1. header_ holds headerSize_ >= 284 bytes, the same as the file's area;
//   2. the index holds the prefix of every record of the file but record 0;
//   3. recordIds_ maps exactly the keys found in the index to the number of
//      records holding them (more than one only while a duplicate awaits
//      repair);
//   4. the header's deletedCount equals the number of deleted records after
//      every operation (it is recomputed on open);
//   5. changeCount_ grows whenever records move, so a record whose stamp
//      equals it still knows its position.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "palmdb/CategoryConstants.h"
#include "palmdb/PalmDatabaseRecord.h"
#include "palmdb/RecordIndex.h"
#include "palmdb/RecordKey.h"
#include "palmdb/RecordPrefix.h"
#include "storage/DatabaseFile.h"
#include "storage/ErrorList.h"

namespace lockwell {

class PalmDatabase {
 public:
  static constexpr int kOpenExisting = 0;
  static constexpr int kCreateNew = 1;
  // Bytes of the header area this class lays out; the smallest size allowed.
  static constexpr uint32_t kPalmHeaderSize = 284;

  // Codes of this module (callers test them together with ModuleId()).
  static constexpr uint32_t kErrHeaderTooSmall = 0x80010000;
  static constexpr uint32_t kErrDuplicateId = 0x80010001;
  static constexpr uint32_t kErrInvalidId = 0x80010002;
  static constexpr uint32_t kErrCorruptRecord = 0x80010003;
  static constexpr uint32_t kErrNotOpen = 0x80010004;
  static constexpr uint32_t kErrInitFailed = 0x80020000;
  static constexpr uint32_t kErrNotFound = 0x80020001;
  static constexpr uint32_t kErrHeaderSize = 0x80020002;
  static constexpr uint32_t kErrNeverStored = 0x80020003;
  static constexpr uint32_t kErrCategoryNoName = 0x80030000;
  static constexpr uint32_t kErrCategoryNameTooLong = 0x80030001;
  static constexpr uint32_t kErrCategoryExists = 0x80030002;
  static constexpr uint32_t kErrCategoryLimit = 0x80030003;
  static constexpr uint32_t kErrCategoryNameEmpty = 0x80030004;
  static constexpr uint32_t kErrCategoryInvalid = 0x80030005;
  static constexpr uint32_t kErrPosition = 0x80040000;
  static constexpr uint32_t kWarnDuplicateIds = 0x40010000;

  // An object with no file; OpenDatabase opens one.
  PalmDatabase();
  // Runs OpenDatabase; test IsOpen afterwards (the reasons are in `errors`).
  PalmDatabase(ErrorList& errors, const std::string& path, int mode, uint32_t headerSize);
  // Compacts the file with a private error list, then closes it.
  virtual ~PalmDatabase();

  PalmDatabase(const PalmDatabase&) = delete;
  PalmDatabase& operator=(const PalmDatabase&) = delete;

  // Virtual operations in their fixed slot order.
  virtual bool IsOpen() const;
  // Fills the header of a new database and inserts the reserved record 0.
  virtual bool InitNewDatabase(ErrorList& errors);
  // Loads the record keys and prefixes and repairs duplicate record IDs.
  virtual bool VerifyAfterOpen(ErrorList& errors);
  // Mode kOpenExisting opens `path`, kCreateNew creates it; the header area
  // must be `headerSize` (>= 284) bytes.
  virtual bool OpenDatabase(ErrorList& errors, const std::string& path, int mode, uint32_t headerSize);
  // Drops the record file and the in-memory state; always true.
  virtual bool CloseDatabase(ErrorList& errors);
  // The whole header area; a derived class changes its own part and then
  // calls SaveHeader.  Its size must not change.
  virtual std::string& GetHeader();
  virtual bool SaveHeader(ErrorList& errors);
  // Zeroes the first 284 bytes, then SetDefaultCategories.
  virtual bool ResetHeader(ErrorList& errors);
  virtual bool GetRecordCount(ErrorList& errors, bool includeDeleted, uint32_t& count);
  virtual bool ReadNthInCategory(ErrorList& errors, uint32_t category, uint32_t n,
                                 PalmDatabaseRecord& record);
  // The next record of `category` after the record's own position.
  virtual bool ReadNextInCategory(ErrorList& errors, uint32_t category, PalmDatabaseRecord& record);
  // Searches from `start` itself forward (backward) for a live record of
  // `category`; a start beyond the last record finds nothing.
  virtual bool FindNextInCategory(ErrorList& errors, uint32_t category, uint32_t start, uint32_t& position);
  virtual bool FindPrevInCategory(ErrorList& errors, uint32_t category, uint32_t start, uint32_t& position);
  virtual bool DeleteNthInCategory(ErrorList& errors, uint32_t category, uint32_t n);
  // Marks the record deleted (payload zeroed) for the next HotSync; a record
  // that was new never reached the handheld and is purged at once.
  virtual bool DeleteRecord(ErrorList& errors, PalmDatabaseRecord& record);
  virtual bool InsertBeforeNth(ErrorList& errors, uint32_t n, PalmDatabaseRecord& record);
  virtual bool InsertAt(ErrorList& errors, PalmDatabaseRecord& record, uint32_t position, bool markNew);
  virtual bool AppendNew(ErrorList& errors, PalmDatabaseRecord& record, bool markNew);
  virtual bool ReadRecordById(ErrorList& errors, uint32_t recordId, bool desktopId,
                              PalmDatabaseRecord& record);
  virtual bool ReadFirstDesktopRecord(ErrorList& errors, PalmDatabaseRecord& record);
  virtual bool ReadRecordAt(ErrorList& errors, uint32_t position, PalmDatabaseRecord& record);
  // From record-file number `number` + 1 on, the first record whose status is
  // not unchanged; `number` receives its record-file number.  Start with 0.
  virtual bool ReadNextModified(ErrorList& errors, uint32_t& number, PalmDatabaseRecord& record);
  // The same for records with FLAG_PENDING.
  virtual bool ReadNextPending(ErrorList& errors, uint32_t& number, PalmDatabaseRecord& record);
  virtual bool PurgeRecordById(ErrorList& errors, uint32_t recordId, bool desktopId);
  virtual bool PurgeRecordAt(ErrorList& errors, uint32_t position);
  // Stores the record where it was read from; a changed key is registered.
  virtual bool WriteRecord(ErrorList& errors, PalmDatabaseRecord& record);
  virtual bool SetDefaultCategories(ErrorList& errors);
  virtual bool ListCategories(ErrorList& errors, std::vector<std::string>& names,
                              std::vector<uint32_t>& numbers);
  virtual bool GetCategoryName(ErrorList& errors, uint32_t category, std::string& name);
  virtual bool GetCategoryUniqId(ErrorList& errors, uint32_t category, uint8_t& uniqId);
  virtual bool RenameCategory(ErrorList& errors, uint32_t category, const std::string& name);
  virtual bool AddCategory(ErrorList& errors, const std::string& name, uint32_t& category);
  // Moves the category's live records to Unfiled (marked modified), then
  // frees the slot.
  virtual bool DeleteCategory(ErrorList& errors, uint32_t category);
  virtual bool ReadReservedRecord(ErrorList& errors, std::string& bytes);
  virtual bool WriteReservedRecord(ErrorList& errors, const std::string& bytes);

  // The decoded prefix of the record at `position`, without a record object.
  bool ReadPrefixAt(ErrorList& errors, uint32_t position, RecordPrefix& prefix);
  // In file order, the positions of the live records without FLAG_UNSORTED.
  bool ListSortedPositions(ErrorList& errors, std::vector<uint32_t>& positions);
  bool PurgeAllDeleted(ErrorList& errors);
  // Takes the ".bak" copy now.
  bool BackupNow(ErrorList& errors);
  // Puts the ".bak" copy back and reloads the header and the records.
  bool ReloadFromBackup(ErrorList& errors);
  // The record-file number of the first record with this key.
  bool FindPositionById(ErrorList& errors, uint32_t recordId, bool desktopId, uint32_t& number);
  // The record-file number of the n-th live record of `category`.
  bool FindNthInCategory(ErrorList& errors, uint32_t category, uint32_t n, uint32_t& number);
  // Raises lastDesktopRecordId to the next ID not in use on the PC and
  // returns it; the caller saves the header.
  bool TakeNextDesktopRecordId(ErrorList& errors, uint32_t& recordId);

  uint32_t ChangeCount() const { return changeCount_; }
  uint32_t HeaderSize() const { return headerSize_; }
  // True when some record of the file has this key.
  bool HasRecordId(const RecordKey& key) const { return recordIds_.count(key) != 0; }
  // For tests and debug checks: the in-memory index agrees with itself and
  // with the key set and the header.
  bool CheckInvariants() const;

  static const char* ModuleNameText();
  // 0 until the first database object was constructed.
  static int32_t ModuleId();

 protected:
  bool RegisterId(ErrorList& errors, const RecordKey& key);
  // Removes record-file record `number` for good, zeroing its payload in the
  // file before the slot is given up.
  bool Purge(ErrorList& errors, uint32_t number);

 private:
  bool RequireOpen(ErrorList& errors);
  // Palm position -> index entry; fails unless position < record count.
  bool CheckPosition(ErrorList& errors, uint32_t position);
  bool LoadHeader(ErrorList& errors);
  bool LoadIndex(ErrorList& errors, std::set<RecordKey>& duplicates);
  bool ReadBody(ErrorList& errors, uint32_t position, std::string& bytes);
  // Reads the record at Palm position `position` into `record` (Reset first
  // when asked, then Deserialize); the record is untouched when the read
  // fails.
  bool LoadRecord(ErrorList& errors, uint32_t position, PalmDatabaseRecord& record, bool reset);
  // Serializes `record`, refusing output shorter than a prefix.
  bool SerializeRecord(ErrorList& errors, PalmDatabaseRecord& record, std::string& bytes,
                       RecordPrefix& prefix);
  // Writes `bytes` as the record at Palm position `position` and updates the
  // index.
  bool StoreAt(ErrorList& errors, uint32_t position, const std::string& bytes, const RecordPrefix& prefix);
  // Inserts at Palm position `position` (Size() appends).
  bool InsertRecord(ErrorList& errors, PalmDatabaseRecord& record, uint32_t position, bool markNew,
                    bool movesOthers);
  // One record fewer holds `key`; the key leaves recordIds_ with the last.
  void ReleaseId(const RecordKey& key);
  // Brings the header's deletedCount in line with the records and saves the
  // header when it changed; a failed save is not the caller's failure.
  void SyncDeletedCount();
  bool ReadNextMatching(ErrorList& errors, uint32_t& number, PalmDatabaseRecord& record, bool pending);
  // SaveHeader after a category change; on failure the header bytes in
  // memory go back to `before`, so a refused change changes nothing.
  bool SaveCategoryChange(ErrorList& errors, const std::string& before);
  uint8_t NewCategoryUniqId();

  std::unique_ptr<DatabaseFile> file_;
  std::string header_;
  uint32_t headerSize_ = 0;
  std::map<RecordKey, uint32_t> recordIds_;  // key -> records holding it
  uint32_t changeCount_ = 0;
  RecordIndex index_;
};

}  // namespace lockwell
