// DatabaseFile: the record file, a single-file store of numbered
// variable-length records behind one index block.
//
// Byte layout (all integers 32-bit unsigned little-endian; offsets absolute).
// WARNING: these values are embedded in every .lwdb file and shared with the
// HotSync conduit; never change them.
//
//   File header, 20 bytes at offset 0
//   OFFSET SIZE  MEANING
//        0    8  magic 8D 31 0B DC 3C E7 7B 0A (eight zeros while compacting)
//        8    4  headerSize H: size of the header area
//       12    4  indexBlockOffset: the live index block
//       16    4  dataEnd: one past the last byte in use; new blocks go here
//       20    H  header area, opaque here, read and written whole
//
//   Index block, 12 + 4 * capacity bytes at indexBlockOffset
//        0    4  capacity
//        4    4  flags: 0 live, 1 replaced by a larger block
//        8    4  count: number of records
//       12  4*c  recordOffsets: slot i < count holds record i's offset
//
//   Record slot, 8 + n bytes
//        0    4  size = 8 + n
//        4    4  flags: 0 live, 1 dead (deleted or moved)
//        8    n  data
//
// Dead space is never reused; Compact rewrites the file without it.
//
// A file is not trusted: an open refuses a header, index block or record
// pointer that reaches outside the data or the file, and a read or write
// refuses a slot whose size is below 8 or reaches past dataEnd, each as a
// corrupt database (kErrCorrupt).  Nothing is allocated before its size has
// been checked against the file's real length.
//
// Ownership and threads: one object owns the open file for its whole life and
// holds an exclusive lock on it, so no other opener (another program, the
// conduit, or a second object in this process) can use it meanwhile.  Not
// thread-safe; the program is single-threaded.
//
// Invariants while open (checked in debug builds by CheckInvariants):
//   1. the cached header and index equal what the file holds after every
//      successful operation;
//   2. recordOffsets has exactly `count` entries, count <= capacity;
//   3. the live index block lies inside [20 + H, dataEnd), and dataEnd is
//      at most the file's length;
//   4. every cached offset leaves room for a slot header before dataEnd
//      and lies outside the live index block; a slot's size is checked
//      when the slot is reached.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "storage/ErrorList.h"
#include "storage/LockedFile.h"

namespace lockwell {

class DatabaseFile {
 public:
  static constexpr int kOpenExisting = 0;
  static constexpr int kCreateNew = 1;
  static constexpr uint32_t kInitialCapacity = 128;

  // Codes of this module (callers test them together with ModuleId()).
  static constexpr uint32_t kErrNotOpen = 0x80010001;
  static constexpr uint32_t kErrCorrupt = 0x80010002;
  static constexpr uint32_t kErrAlreadyOpen = 0x80010003;
  static constexpr uint32_t kErrBadMagic = 0x80010004;
  static constexpr uint32_t kErrSeek = 0x80020000;
  static constexpr uint32_t kErrRead = 0x80020001;
  static constexpr uint32_t kErrWrite = 0x80020002;
  static constexpr uint32_t kErrOpen = 0x80020003;
  static constexpr uint32_t kErrTruncate = 0x80020004;
  static constexpr uint32_t kErrNoSuchFile = 0x80020005;
  static constexpr uint32_t kErrInUse = 0x80020006;
  static constexpr uint32_t kErrHeaderSize = 0x80030000;
  static constexpr uint32_t kErrRecordNumber = 0x80040000;

  // Mode kOpenExisting opens `path` and stores the header size found in the
  // file into `headerSize` (0 when the open failed); kCreateNew creates the
  // file with a header area of `headerSize` bytes.  Test IsOpen afterwards;
  // the reasons for a failure are in `errors`.
  DatabaseFile(ErrorList& errors, std::string path, int mode, uint32_t& headerSize);
  // Closes (deleting the recover copy); never compacts.
  virtual ~DatabaseFile();

  DatabaseFile(const DatabaseFile&) = delete;
  DatabaseFile& operator=(const DatabaseFile&) = delete;

  // Virtual operations in their fixed slot order.
  virtual bool IsOpen() const;
  virtual bool ReadHeader(ErrorList& errors, std::string& header);
  virtual bool WriteHeader(ErrorList& errors, const std::string& header);
  virtual bool GetRecordCount(ErrorList& errors, uint32_t& count);
  virtual bool ReadRecord(ErrorList& errors, uint32_t number, std::string& data);
  virtual bool WriteRecord(ErrorList& errors, uint32_t number, const std::string& data);
  // Position `count` appends; records from `position` on move up by one.
  virtual bool InsertRecord(ErrorList& errors, uint32_t position, const std::string& data);
  virtual bool AppendRecord(ErrorList& errors, const std::string& data);
  virtual bool DeleteRecord(ErrorList& errors, uint32_t number);
  // Rewrites the file without dead space after taking the ".bak" copy; on a
  // failure after the file was truncated the copy is put back.
  virtual bool Compact(ErrorList& errors);

  // The first `limit` bytes of record `number` (all of a shorter record):
  // what a caller needs to index records without reading whole bodies.
  bool ReadRecordStart(ErrorList& errors, uint32_t number, size_t limit, std::string& data);

  bool Open(ErrorList& errors);
  bool Create(ErrorList& errors, uint32_t headerSize, uint32_t capacity, bool compacting);
  // False without a record when not open.
  bool Close();
  // Copies the whole file to path + ".bak"; a copy cut short is removed.
  bool BackupToBak(ErrorList& errors);
  // Copies the ".bak" back over the file, the magic number last, and reloads
  // the cache; on any failure the object ends closed.
  bool RestoreFromBak(ErrorList& errors);

  const std::string& Path() const { return path_; }
  // Empty when no recover copy exists.
  const std::string& RecoverPath() const { return recoverPath_; }
  uint32_t HeaderSize() const { return headerSize_; }
  // The cached index, for callers that check the layout.
  uint32_t IndexBlockOffset() const { return indexBlockOffset_; }
  uint32_t DataEnd() const { return dataEnd_; }
  uint32_t Capacity() const { return capacity_; }

  static const char* ModuleNameText();
  // 0 until the first DatabaseFile was constructed.
  static int32_t ModuleId();

  // Appends "<context>: <strerror(errno)>" under `code`.  An open or create
  // failure (kErrOpen) is refined by errno: ENOENT gives kErrNoSuchFile,
  // EACCES and EPERM give kErrInUse.
  static void ReportIoError(ErrorList& errors, const std::string& context, uint32_t code);

 private:
  bool CheckOpen(ErrorList& errors);
  // Asserts invariants 2 and 3 (debug builds only; cheap).
  void CheckInvariants() const;
  bool LoadCache(ErrorList& errors);
  bool MakeRecoverCopy(ErrorList& errors);
  // Checks a record and reads its slot header; `size` is the slot's size.
  bool Locate(ErrorList& errors, uint32_t number, uint32_t& size);
  // Refuses a slot header that is dead or reaches outside the data.
  bool CheckSlot(ErrorList& errors, uint32_t offset, uint32_t size, uint32_t flags);
  // Writes `bytes` at dataEnd and moves dataEnd past them.
  bool AllocateBlock(ErrorList& errors, const std::string& bytes, uint32_t& offset);
  bool GrowIndex(ErrorList& errors);
  // Writes the count and the offsets of slots `from` onwards (the ones an
  // insert or delete at `from` moved).
  bool RewriteIndex(ErrorList& errors, uint32_t from = 0);
  // After a failed RewriteIndex: puts the file's index back in line with
  // the cache as far as the file lets us.
  void RepairIndex();
  // Marks the slot at `offset` dead.
  bool MarkSlotDead(ErrorList& errors, uint32_t offset);

  LockedFile file_;
  bool open_ = false;
  std::string path_;
  std::string recoverPath_;
  // Cached file header and index block (see the layout above).
  uint32_t headerSize_ = 0;
  uint32_t indexBlockOffset_ = 0;
  uint32_t dataEnd_ = 0;
  uint32_t capacity_ = 0;
  uint32_t count_ = 0;
  std::vector<uint32_t> recordOffsets_;
  // Set while an index rewrite is under way and left set when it fails; the
  // next rewrite then writes every slot, not only the ones it moved.
  bool indexSuspect_ = false;
};

}  // namespace lockwell
