#include "storage/DatabaseFile.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "storage/ModuleRegistry.h"

namespace lockwell {
namespace {

Module module("Tallmark Database Library");

constexpr char kMagic[8] = {'\x8D', '\x31', '\x0B', '\xDC', '\x3C', '\xE7', '\x7B', '\x0A'};
constexpr uint64_t kFileHeaderSize = 20;   // magic, headerSize, indexBlockOffset, dataEnd
constexpr uint64_t kHeaderSizeField = 8;   // offset of headerSize
constexpr uint64_t kDataEndField = 16;     // offset of dataEnd
constexpr uint64_t kIndexPointerField = 12;  // offset of indexBlockOffset
constexpr uint64_t kIndexHeaderSize = 12;  // capacity, flags, count
constexpr uint64_t kSlotHeaderSize = 8;    // size, flags
constexpr uint64_t kFlagsInBlock = 4;      // flags sit at +4 in index blocks and slots
constexpr uint64_t kCountInBlock = 8;
constexpr uint32_t kDead = 1;
constexpr size_t kCopyChunk = 10240;
constexpr uint64_t kMaxOffset = std::numeric_limits<uint32_t>::max();

void PutWord(std::string& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

uint32_t GetWord(const unsigned char* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

bool ReadWord(LockedFile& file, uint32_t& value) {
  unsigned char bytes[4];
  if (!file.Read(bytes, sizeof bytes)) return false;
  value = GetWord(bytes);
  return true;
}

bool WriteWord(LockedFile& file, uint32_t value) {
  std::string bytes;
  PutWord(bytes, value);
  return file.Write(bytes.data(), bytes.size());
}

// Record slot image: size (8 + n), flags 0, then the n data bytes.
// REQUIRES: data.size() + 8 fits in 32 bits (AllocateBlock refuses more).
std::string SlotImage(const std::string& data) {
  std::string slot;
  slot.reserve(kSlotHeaderSize + data.size());
  PutWord(slot, static_cast<uint32_t>(kSlotHeaderSize + data.size()));
  PutWord(slot, 0);
  slot += data;
  return slot;
}

// Copies `from`, from its current position to its end, into `to` in chunks
// of kCopyChunk bytes.  With `heldBack`, the first eight bytes (the magic
// number) go out as zeros and are handed back for the caller to write last.
// On failure `code` tells whether reading or writing failed; errno says why.
bool CopyChunks(LockedFile& from, LockedFile& to, std::string* heldBack, uint32_t& code) {
  std::vector<char> buffer(kCopyChunk);
  bool first = true;
  for (;;) {
    size_t got = 0;
    if (!from.ReadSome(buffer.data(), buffer.size(), got)) {
      code = DatabaseFile::kErrRead;
      return false;
    }
    if (first && heldBack != nullptr) {
      size_t held = std::min(got, sizeof kMagic);
      heldBack->assign(buffer.data(), held);
      std::memset(buffer.data(), 0, held);
    }
    first = false;
    if (got > 0 && !to.Write(buffer.data(), got)) {
      code = DatabaseFile::kErrWrite;
      return false;
    }
    if (got < buffer.size()) return true;
  }
}

}  // namespace

const char* DatabaseFile::ModuleNameText() { return module.Name(); }

int32_t DatabaseFile::ModuleId() { return module.Id(); }

void DatabaseFile::ReportIoError(ErrorList& errors, const std::string& context, uint32_t code) {
  int error = errno;
  if (code == kErrOpen) {
    if (error == ENOENT) {
      code = kErrNoSuchFile;
    } else if (error == EACCES || error == EPERM) {
      code = kErrInUse;
    }
  }
  errors.Append(ModuleId(), code, context + ": " + std::strerror(error));
}

DatabaseFile::DatabaseFile(ErrorList& errors, std::string path, int mode, uint32_t& headerSize)
    : path_(std::move(path)) {
  module.Register();
  if (mode == kCreateNew) {
    Create(errors, headerSize, kInitialCapacity, false);
  } else {
    headerSize = Open(errors) ? headerSize_ : 0;
  }
}

DatabaseFile::~DatabaseFile() { Close(); }

bool DatabaseFile::IsOpen() const { return open_; }

bool DatabaseFile::CheckOpen(ErrorList& errors) {
  if (open_) return true;
  errors.Append(ModuleId(), kErrNotOpen, "Database not open!");
  return false;
}

void DatabaseFile::CheckInvariants() const {
  assert(recordOffsets_.size() == count_);
  assert(count_ <= capacity_);
  assert(indexBlockOffset_ >= kFileHeaderSize + headerSize_);
  assert(indexBlockOffset_ + kIndexHeaderSize + 4ull * capacity_ <= dataEnd_);
}

bool DatabaseFile::Open(ErrorList& errors) {
  if (open_) {
    errors.Append(ModuleId(), kErrAlreadyOpen, "Database already open!");
    return false;
  }
  if (!file_.Open(path_, LockedFile::Mode::kReadWrite)) {
    ReportIoError(errors, "Couldn't open database file", kErrOpen);
    return false;
  }
  open_ = true;
  char magic[sizeof kMagic];
  if (!file_.Read(magic, sizeof magic)) {
    ReportIoError(errors, "Couldn't read magic number from database file", kErrRead);
    Close();
    return false;
  }
  if (std::memcmp(magic, kMagic, sizeof kMagic) != 0) {
    errors.Append(ModuleId(), kErrBadMagic, "Invalid magic number in database");
    Close();
    return false;
  }
  if (!LoadCache(errors) || !MakeRecoverCopy(errors)) {
    Close();
    return false;
  }
  return true;
}

// Reads the file header and the live index block into the cache.  The file
// is not trusted: every size and offset is checked against the file's real
// length before anything is allocated, and nothing reaches the cache unless
// all of it holds together.
bool DatabaseFile::LoadCache(ErrorList& errors) {
  auto corrupt = [&](const char* text) {
    errors.Append(ModuleId(), kErrCorrupt, text);
    return false;
  };
  if (!file_.Seek(kHeaderSizeField)) {
    ReportIoError(errors, "Couldn't cache data from database", kErrSeek);
    return false;
  }
  uint32_t headerSize, indexBlockOffset, dataEnd;
  if (!ReadWord(file_, headerSize)) {
    ReportIoError(errors, "Couldn't read header size from database", kErrRead);
    return false;
  }
  if (!ReadWord(file_, indexBlockOffset)) {
    ReportIoError(errors, "Couldn't read index block location from database", kErrRead);
    return false;
  }
  if (!ReadWord(file_, dataEnd)) {
    ReportIoError(errors, "Couldn't read database size from database", kErrRead);
    return false;
  }
  uint64_t fileLength = 0;
  if (!file_.Length(fileLength)) {
    ReportIoError(errors, "Couldn't read database size from database", kErrRead);
    return false;
  }
  if (dataEnd > fileLength) return corrupt("Database size is past the end of the file!  Database corrupt!");
  const uint64_t dataStart = kFileHeaderSize + headerSize;
  if (dataStart > dataEnd) return corrupt("Header area is past the end of the data!  Database corrupt!");
  if (indexBlockOffset < dataStart || indexBlockOffset + kIndexHeaderSize > dataEnd)
    return corrupt("Index block is outside the data!  Database corrupt!");

  if (!file_.Seek(indexBlockOffset)) {
    ReportIoError(errors, "Couldn't seek to index block from database", kErrSeek);
    return false;
  }
  uint32_t capacity, flags, count;
  if (!ReadWord(file_, capacity)) {
    ReportIoError(errors, "Couldn't read index block from database", kErrRead);
    return false;
  }
  if (!ReadWord(file_, flags)) {
    ReportIoError(errors, "Couldn't read index block flags from database", kErrRead);
    return false;
  }
  if (flags != 0) return corrupt("Index block is deleted!  Database corrupt!");
  if (!ReadWord(file_, count)) {
    ReportIoError(errors, "Couldn't read in-use records in index block from database", kErrRead);
    return false;
  }
  if (indexBlockOffset + kIndexHeaderSize + 4ull * capacity > dataEnd)
    return corrupt("Index block is past the end of the data!  Database corrupt!");
  if (count > capacity) return corrupt("Index block holds more records than it has room for!  Database corrupt!");

  // count <= capacity and the block lies inside the file, so this
  // allocation is bounded by the file's length.
  std::vector<uint32_t> offsets;
  if (count > 0) {
    std::vector<unsigned char> raw(4ull * count);
    if (!file_.Read(raw.data(), raw.size())) {
      ReportIoError(errors, "Couldn't read record pointers from database", kErrRead);
      return false;
    }
    // A slot header inside the live block would let a delete mark the
    // block itself dead.
    const uint64_t indexEnd = indexBlockOffset + kIndexHeaderSize + 4ull * capacity;
    offsets.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
      uint32_t offset = GetWord(&raw[4ull * i]);
      if (offset < dataStart || offset + kSlotHeaderSize > dataEnd)
        return corrupt("Record pointer is outside the data!  Database corrupt!");
      if (offset < indexEnd && offset + kSlotHeaderSize > indexBlockOffset)
        return corrupt("Record pointer is inside the index block!  Database corrupt!");
      offsets.push_back(offset);
    }
  }
  headerSize_ = headerSize;
  indexBlockOffset_ = indexBlockOffset;
  dataEnd_ = dataEnd;
  capacity_ = capacity;
  count_ = count;
  recordOffsets_ = std::move(offsets);
  indexSuspect_ = false;
  CheckInvariants();
  return true;
}

bool DatabaseFile::MakeRecoverCopy(ErrorList& errors) {
  static std::mt19937 generator;
  static bool seeded = false;
  if (!seeded) {
    generator.seed(static_cast<std::mt19937::result_type>(std::time(nullptr)));
    seeded = true;
  }
  char suffix[64];
  std::snprintf(suffix, sizeof suffix, ".%lu.%lu.recover", static_cast<unsigned long>(std::time(nullptr)),
                static_cast<unsigned long>(generator()));
  const std::string copyPath = path_ + suffix;

  LockedFile copy;
  if (!copy.Open(copyPath, LockedFile::Mode::kCreate)) {
    ReportIoError(errors, "Couldn't create backup file", kErrOpen);
    return false;
  }
  uint32_t code = kErrSeek;
  if (!file_.Seek(0) || !CopyChunks(file_, copy, nullptr, code)) {
    ReportIoError(errors, "Couldn't backup database", code);
    // A partial copy would pass for the state at open; drop it.
    copy.Close();
    std::remove(copyPath.c_str());
    return false;
  }
  recoverPath_ = copyPath;
  return true;
}

bool DatabaseFile::Close() {
  if (!open_) return false;
  file_.Close();
  open_ = false;
  if (!recoverPath_.empty()) {
    std::remove(recoverPath_.c_str());
    recoverPath_.clear();
  }
  indexBlockOffset_ = dataEnd_ = capacity_ = count_ = 0;
  recordOffsets_.clear();
  return true;
}

bool DatabaseFile::Create(ErrorList& errors, uint32_t headerSize, uint32_t capacity, bool compacting) {
  if (compacting) {
    if (!CheckOpen(errors)) return false;
  } else if (open_) {
    errors.Append(ModuleId(), kErrAlreadyOpen, "Database already open!");
    return false;
  }
  if (!compacting) {
    if (!file_.Open(path_, LockedFile::Mode::kCreate)) {
      ReportIoError(errors, "Couldn't create new database file", kErrOpen);
      return false;
    }
    open_ = true;
  } else if (!file_.Seek(0)) {
    ReportIoError(errors, "Couldn't compact database", kErrSeek);
    return false;
  }

  // The whole new file: file header, zeroed header area, empty index block.
  const uint64_t indexOffset = kFileHeaderSize + headerSize;
  const uint64_t dataEnd = indexOffset + kIndexHeaderSize + 4ull * capacity;
  bool written = false;
  if (dataEnd > kMaxOffset) {
    errno = EFBIG;
  } else {
    std::string image;
    image.reserve(dataEnd);
    if (compacting) {
      image.append(sizeof kMagic, '\0');  // the magic goes in once compaction is done
    } else {
      image.append(kMagic, sizeof kMagic);
    }
    PutWord(image, headerSize);
    PutWord(image, static_cast<uint32_t>(indexOffset));
    PutWord(image, static_cast<uint32_t>(dataEnd));
    image.append(headerSize, '\0');
    PutWord(image, capacity);
    PutWord(image, 0);
    PutWord(image, 0);
    image.append(4ull * capacity, '\0');
    written = file_.Write(image.data(), image.size());
  }
  if (!written) {
    ReportIoError(errors, "Could not initialize database", kErrWrite);
    if (!compacting) Close();
    return false;
  }
  if (!LoadCache(errors)) {
    if (!compacting) Close();
    return false;
  }
  return true;
}

bool DatabaseFile::ReadHeader(ErrorList& errors, std::string& header) {
  if (!CheckOpen(errors)) return false;
  if (!file_.Seek(kFileHeaderSize)) {
    ReportIoError(errors, "Couldn't seek to database header", kErrSeek);
    return false;
  }
  std::string bytes(headerSize_, '\0');
  if (!file_.Read(bytes.data(), bytes.size())) {
    ReportIoError(errors, "Couldn't read database header", kErrRead);
    return false;
  }
  header = std::move(bytes);
  return true;
}

bool DatabaseFile::WriteHeader(ErrorList& errors, const std::string& header) {
  if (!CheckOpen(errors)) return false;
  if (header.size() != headerSize_) {
    errors.Append(ModuleId(), kErrHeaderSize, "Invalid header size specified!");
    return false;
  }
  if (!file_.Seek(kFileHeaderSize)) {
    ReportIoError(errors, "Couldn't seek to database header", kErrSeek);
    return false;
  }
  if (!file_.Write(header.data(), header.size())) {
    ReportIoError(errors, "Couldn't write database header", kErrWrite);
    return false;
  }
  return true;
}

bool DatabaseFile::GetRecordCount(ErrorList& errors, uint32_t& count) {
  if (!CheckOpen(errors)) return false;
  count = count_;
  return true;
}

bool DatabaseFile::Locate(ErrorList& errors, uint32_t number, uint32_t& size) {
  if (number >= count_) {
    errors.Append(ModuleId(), kErrRecordNumber, "Invalid record number specified");
    return false;
  }
  const uint32_t offset = recordOffsets_[number];
  // Invariant 4 leaves room for the slot header before dataEnd.
  unsigned char header[kSlotHeaderSize];
  size_t got = 0;
  const bool readOk = file_.ReadAt(offset, header, sizeof header, got);
  if (!readOk || got < sizeof header) {
    if (readOk) errno = ENODATA;  // the file ends before dataEnd says
    ReportIoError(errors, "Couldn't read record size", kErrRead);
    return false;
  }
  size = GetWord(header);
  return CheckSlot(errors, offset, size, GetWord(header + kFlagsInBlock));
}

bool DatabaseFile::CheckSlot(ErrorList& errors, uint32_t offset, uint32_t size, uint32_t flags) {
  auto corrupt = [&](const char* text) {
    errors.Append(ModuleId(), kErrCorrupt, text);
    return false;
  };
  if (flags != 0) return corrupt("Record marked as deleted!  Database corrupt!");
  if (size < kSlotHeaderSize) return corrupt("Record size is smaller than its own header!  Database corrupt!");
  const uint64_t end = static_cast<uint64_t>(offset) + size;
  if (end > dataEnd_) return corrupt("Record is past the end of the data!  Database corrupt!");
  // Writing such a record in place would overwrite the live index.
  const uint64_t indexEnd = indexBlockOffset_ + kIndexHeaderSize + 4ull * capacity_;
  if (offset < indexEnd && end > indexBlockOffset_)
    return corrupt("Record overlaps the index block!  Database corrupt!");
  return true;
}

bool DatabaseFile::ReadRecord(ErrorList& errors, uint32_t number, std::string& data) {
  return ReadRecordStart(errors, number, std::numeric_limits<size_t>::max(), data);
}

bool DatabaseFile::ReadRecordStart(ErrorList& errors, uint32_t number, size_t limit, std::string& data) {
  if (!CheckOpen(errors)) return false;
  uint32_t size;
  if (!Locate(errors, number, size)) return false;
  const uint32_t offset = recordOffsets_[number];
  // CheckSlot bounded the slot by dataEnd, so this allocation is bounded too.
  std::string bytes(static_cast<size_t>(std::min<uint64_t>(size - kSlotHeaderSize, limit)), '\0');
  if (!bytes.empty()) {
    // The header read left the bytes after it in the file's read window.
    size_t got = 0;
    const bool readOk = file_.ReadAt(offset + kSlotHeaderSize, bytes.data(), bytes.size(), got);
    if (!readOk || got < bytes.size()) {
      if (readOk) errno = ENODATA;
      ReportIoError(errors, "Couldn't read record", kErrRead);
      return false;
    }
  }
  data = std::move(bytes);
  return true;
}

bool DatabaseFile::WriteRecord(ErrorList& errors, uint32_t number, const std::string& data) {
  if (!CheckOpen(errors)) return false;
  uint32_t size;
  if (!Locate(errors, number, size)) return false;
  const uint32_t offset = recordOffsets_[number];
  const uint64_t needed = kSlotHeaderSize + data.size();

  if (size >= needed) {
    // In place; a shorter record leaves unreferenced bytes behind it.
    if (size > needed) {
      if (!file_.Seek(offset)) {
        ReportIoError(errors, "Couldn't resize record", kErrSeek);
        return false;
      }
      if (!WriteWord(file_, static_cast<uint32_t>(needed))) {
        ReportIoError(errors, "Couldn't resize record", kErrWrite);
        return false;
      }
    }
    if (!file_.Seek(offset + kSlotHeaderSize)) {
      ReportIoError(errors, "Couldn't seek to record data", kErrSeek);
      return false;
    }
    if (!data.empty() && !file_.Write(data.data(), data.size())) {
      ReportIoError(errors, "Couldn't write record data", kErrWrite);
      return false;
    }
    return true;
  }

  // The record moves to a new slot at the end; the old one dies.
  uint32_t moved;
  if (!AllocateBlock(errors, SlotImage(data), moved)) return false;
  if (!file_.Seek(indexBlockOffset_ + kIndexHeaderSize + 4ull * number)) {
    ReportIoError(errors, "Couldn't update record index", kErrSeek);
    return false;
  }
  if (!WriteWord(file_, moved)) {
    ReportIoError(errors, "Couldn't update record index", kErrWrite);
    return false;
  }
  recordOffsets_[number] = moved;
  return MarkSlotDead(errors, offset);
}

bool DatabaseFile::MarkSlotDead(ErrorList& errors, uint32_t offset) {
  if (!file_.Seek(offset + kFlagsInBlock)) {
    ReportIoError(errors, "Couldn't seek to record flags", kErrSeek);
    return false;
  }
  if (!WriteWord(file_, kDead)) {
    ReportIoError(errors, "Couldn't mark record deleted", kErrWrite);
    return false;
  }
  return true;
}

bool DatabaseFile::AllocateBlock(ErrorList& errors, const std::string& bytes, uint32_t& offset) {
  const uint64_t newEnd = static_cast<uint64_t>(dataEnd_) + bytes.size();
  if (newEnd > kMaxOffset) {
    // Offsets are 32 bits wide; a block past 4 GiB could not be addressed.
    errno = EFBIG;
    ReportIoError(errors, "Couldn't allocate data block", kErrWrite);
    return false;
  }
  if (!file_.Seek(dataEnd_)) {
    ReportIoError(errors, "Couldn't allocate data block", kErrSeek);
    return false;
  }
  if (!file_.Write(bytes.data(), bytes.size())) {
    ReportIoError(errors, "Couldn't allocate data block", kErrWrite);
    return false;
  }
  if (!file_.Seek(kDataEndField)) {
    ReportIoError(errors, "Couldn't update database size", kErrSeek);
    return false;
  }
  if (!WriteWord(file_, static_cast<uint32_t>(newEnd))) {
    ReportIoError(errors, "Couldn't write new database size", kErrWrite);
    return false;
  }
  offset = dataEnd_;
  dataEnd_ = static_cast<uint32_t>(newEnd);
  return true;
}

bool DatabaseFile::InsertRecord(ErrorList& errors, uint32_t position, const std::string& data) {
  if (!CheckOpen(errors)) return false;
  if (position > count_) {
    errors.Append(ModuleId(), kErrRecordNumber, "Invalid record specified");
    return false;
  }
  if (count_ >= capacity_ && !GrowIndex(errors)) return false;
  uint32_t offset;
  if (!AllocateBlock(errors, SlotImage(data), offset)) return false;
  recordOffsets_.insert(recordOffsets_.begin() + position, offset);
  ++count_;
  // Slots before `position` keep their offsets.
  if (!RewriteIndex(errors, position)) {
    recordOffsets_.erase(recordOffsets_.begin() + position);
    --count_;
    RepairIndex();
    return false;
  }
  CheckInvariants();
  return true;
}

bool DatabaseFile::AppendRecord(ErrorList& errors, const std::string& data) {
  if (!CheckOpen(errors)) return false;
  return InsertRecord(errors, count_, data);
}

bool DatabaseFile::GrowIndex(ErrorList& errors) {
  // A block of capacity 0 (never written by us) would not grow by doubling.
  const uint64_t capacity = capacity_ == 0 ? kInitialCapacity : 2ull * capacity_;
  if (kIndexHeaderSize + 4 * capacity > kMaxOffset) {
    errno = EFBIG;
    ReportIoError(errors, "Couldn't allocate data block", kErrWrite);
    return false;
  }
  std::string block;
  block.reserve(kIndexHeaderSize + 4 * capacity);
  PutWord(block, static_cast<uint32_t>(capacity));
  PutWord(block, 0);
  PutWord(block, count_);
  for (uint32_t offset : recordOffsets_) PutWord(block, offset);
  block.append(4 * (capacity - count_), '\0');

  uint32_t offset;
  if (!AllocateBlock(errors, block, offset)) return false;
  if (!file_.Seek(kIndexPointerField)) {
    ReportIoError(errors, "Couldn't seek to index block pointer", kErrSeek);
    return false;
  }
  if (!WriteWord(file_, offset)) {
    ReportIoError(errors, "Couldn't write new position of index block", kErrWrite);
    return false;
  }
  // From here the file uses the new block: the cache follows it at once.
  const uint32_t oldBlock = indexBlockOffset_;
  indexBlockOffset_ = offset;
  capacity_ = static_cast<uint32_t>(capacity);
  indexSuspect_ = false;  // the new block holds the whole cache
  CheckInvariants();
  if (!file_.Seek(oldBlock + kFlagsInBlock)) {
    ReportIoError(errors, "Couldn't mark old index block deleted", kErrSeek);
    return false;
  }
  if (!WriteWord(file_, kDead)) {
    ReportIoError(errors, "Couldn't mark old index block deleted", kErrWrite);
    return false;
  }
  return true;
}

bool DatabaseFile::RewriteIndex(ErrorList& errors, uint32_t from) {
  // After a failed rewrite any slot may be wrong in the file: write them all.
  if (indexSuspect_) from = 0;
  indexSuspect_ = true;
  const char* text = "Couldn't rewrite index table!";
  if (!file_.Seek(indexBlockOffset_ + kCountInBlock)) {
    ReportIoError(errors, text, kErrSeek);
    return false;
  }
  if (!WriteWord(file_, count_)) {
    ReportIoError(errors, text, kErrWrite);
    return false;
  }
  if (from < count_) {
    if (!file_.Seek(indexBlockOffset_ + kIndexHeaderSize + 4ull * from)) {
      ReportIoError(errors, text, kErrSeek);
      return false;
    }
    std::string offsets;
    offsets.reserve(4ull * (count_ - from));
    for (uint32_t i = from; i < count_; ++i) PutWord(offsets, recordOffsets_[i]);
    if (!file_.Write(offsets.data(), offsets.size())) {
      ReportIoError(errors, text, kErrWrite);
      return false;
    }
  }
  indexSuspect_ = false;
  return true;
}

void DatabaseFile::RepairIndex() {
  // A rewrite that failed half way may have left the new count beside the
  // old offsets; writing the restored cache back keeps a later open from
  // seeing a record that is not there.  If this fails too, the first
  // successful insert or delete writes the whole index again.
  ErrorList ignored;
  RewriteIndex(ignored);
}

bool DatabaseFile::DeleteRecord(ErrorList& errors, uint32_t number) {
  if (!CheckOpen(errors)) return false;
  if (number >= count_) {
    errors.Append(ModuleId(), kErrRecordNumber, "Invalid record specified");
    return false;
  }
  const uint32_t offset = recordOffsets_[number];
  recordOffsets_.erase(recordOffsets_.begin() + number);
  --count_;
  if (!RewriteIndex(errors, number)) {
    recordOffsets_.insert(recordOffsets_.begin() + number, offset);
    ++count_;
    RepairIndex();
    return false;
  }
  CheckInvariants();
  return MarkSlotDead(errors, offset);
}

bool DatabaseFile::BackupToBak(ErrorList& errors) {
  if (!CheckOpen(errors)) return false;
  const std::string bakPath = path_ + ".bak";
  LockedFile copy;
  if (!copy.Open(bakPath, LockedFile::Mode::kCreate)) {
    ReportIoError(errors, "Couldn't create backup file", kErrOpen);
    return false;
  }
  uint32_t code = kErrSeek;
  if (!file_.Seek(0) || !CopyChunks(file_, copy, nullptr, code)) {
    ReportIoError(errors, "Couldn't backup database", code);
    // A partial copy must not pass for a backup.
    copy.Close();
    std::remove(bakPath.c_str());
    return false;
  }
  return true;
}

bool DatabaseFile::RestoreFromBak(ErrorList& errors) {
  if (!CheckOpen(errors)) return false;
  LockedFile copy;
  if (!copy.Open(path_ + ".bak", LockedFile::Mode::kReadOnly) || !file_.Seek(0)) {
    copy.Close();
    Close();
    return false;
  }
  // The magic number goes back last: a restore cut short leaves a file that
  // later opens refuse, while the .bak still holds the data.
  std::string magic;
  uint32_t code = kErrSeek;
  bool restored = CopyChunks(copy, file_, &magic, code);
  if (restored) {
    code = kErrSeek;
    restored = file_.Seek(0);
    if (restored) {
      code = kErrWrite;
      restored = file_.Write(magic.data(), magic.size());
    }
  }
  if (!restored) {
    ReportIoError(errors, "Couldn't restore database from backup", code);
    Close();
    return false;
  }
  // Drop what compaction wrote past the old end.  Those bytes lie past
  // dataEnd and are ignored anyway, so a failure here is harmless.
  uint64_t length;
  if (copy.Length(length)) file_.Truncate(length);
  if (!LoadCache(errors)) {
    Close();
    return false;
  }
  return true;
}

bool DatabaseFile::Compact(ErrorList& errors) {
  if (!CheckOpen(errors)) return false;
  if (!BackupToBak(errors)) return false;
  std::string header;
  uint32_t count;
  if (!ReadHeader(errors, header) || !GetRecordCount(errors, count)) return false;
  std::vector<std::string> records(count);
  for (uint32_t i = 0; i < count; ++i)
    if (!ReadRecord(errors, i, records[i])) return false;

  if (!file_.Truncate(0)) {
    ReportIoError(errors, "Couldn't truncate database for compacting", kErrTruncate);
    return false;
  }
  auto restore = [&] {
    RestoreFromBak(errors);
    return false;
  };
  // count <= capacity, and the old block fitted below 4 GiB: no overflow.
  if (!Create(errors, static_cast<uint32_t>(header.size()), count + kInitialCapacity, true)) return restore();
  if (!WriteHeader(errors, header)) return restore();
  // The records go in as one block and the index is written once: the same
  // bytes as appending them one by one, without rewriting the index per record.
  std::string slots;
  std::vector<uint32_t> offsets;
  offsets.reserve(count);
  for (const std::string& record : records) {
    offsets.push_back(static_cast<uint32_t>(slots.size()));
    slots += SlotImage(record);
  }
  uint32_t start = 0;
  if (!slots.empty() && !AllocateBlock(errors, slots, start)) return restore();
  for (uint32_t& offset : offsets) offset += start;
  recordOffsets_ = std::move(offsets);
  count_ = count;
  if (!RewriteIndex(errors)) return restore();
  if (!file_.Seek(0)) {
    ReportIoError(errors, "Couldn't reset magic number", kErrSeek);
    return restore();
  }
  if (!file_.Write(kMagic, sizeof kMagic)) {
    ReportIoError(errors, "Couldn't reset magic number", kErrWrite);
    return restore();
  }
  return true;
}

}  // namespace lockwell
