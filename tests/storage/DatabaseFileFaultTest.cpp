// Failures of the file calls themselves (full disk, vanished file), made to
// happen at every call in turn through the ScopedIoFault seam.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>

#include "storage/DatabaseFile.h"
#include "storage/IoFaults.h"
#include "DatabaseFileFixture.h"

namespace lockwell {
namespace {

using namespace lockwell::testing;

constexpr IoOp kAllOps[] = {IoOp::Open, IoOp::Seek, IoOp::Read, IoOp::Write, IoOp::Truncate};

const char* Name(IoOp op) {
  switch (op) {
    case IoOp::Open: return "open";
    case IoOp::Seek: return "seek";
    case IoOp::Read: return "read";
    case IoOp::Write: return "write";
    case IoOp::Truncate: return "truncate";
  }
  return "?";
}

// Enough records for several 10,240-byte copy chunks, with dead space of
// every kind so that compaction has work to do.
std::vector<std::string> MakeSample(const std::string& path) {
  std::vector<std::string> records;
  for (int i = 0; i < 12; ++i) records.push_back(std::string(1900 + i, static_cast<char>('a' + i)));
  MakeDatabase(path, records, 3);
  ErrorList errors;
  uint32_t size = 0;
  DatabaseFile db(errors, path, DatabaseFile::kOpenExisting, size);
  EXPECT_TRUE(db.WriteHeader(errors, "hdr"));
  EXPECT_TRUE(db.DeleteRecord(errors, 3));
  EXPECT_TRUE(db.WriteRecord(errors, 0, records[0] + "longer"));
  EXPECT_TRUE(db.WriteRecord(errors, 1, "short"));
  EXPECT_TRUE(errors.Empty()) << errors.Summary();
  records.erase(records.begin() + 3);
  records[0] += "longer";
  records[1] = "short";
  return records;
}

class DatabaseFileFaultTest : public ::testing::Test {
 protected:
  std::unique_ptr<DatabaseFile> Open(ErrorList& errors) {
    uint32_t size = 0;
    return std::make_unique<DatabaseFile>(errors, path_, DatabaseFile::kOpenExisting, size);
  }

  TempDir dir_;
  std::string path_ = dir_.File("db.lwdb");
};

TEST_F(DatabaseFileFaultTest, FailedOpenLeavesNoTrace) {
  const auto records = MakeSample(path_);
  const std::string before = ReadBytes(path_);
  for (IoOp op : kAllOps) {
    for (int n = 1;; ++n) {
      SCOPED_TRACE(std::string(Name(op)) + " " + std::to_string(n));
      ErrorList errors;
      std::unique_ptr<DatabaseFile> db;
      bool fired;
      {
        ScopedIoFault fault(op, n, EIO);
        db = Open(errors);
        fired = fault.Fired();
      }
      if (!fired) {
        EXPECT_TRUE(db->IsOpen()) << errors.Summary();
        EXPECT_EQ(AllRecords(*db), records);
        break;
      }
      EXPECT_FALSE(db->IsOpen());
      EXPECT_TRUE(errors.HasErrors());
      EXPECT_NE(errors.Summary().find(std::strerror(EIO)), std::string::npos) << errors.Summary();
      EXPECT_EQ(dir_.Names(), std::vector<std::string>{"db.lwdb"}) << "partial recover copy left behind";
      EXPECT_TRUE(SameBytes(ReadBytes(path_), before));
    }
  }
}

// Whatever call fails during compaction, nothing is lost: the database stays
// open with its old contents, byte for byte, and a .bak that exists is a
// whole copy.
TEST_F(DatabaseFileFaultTest, FailedCompactionPutsTheFileBack) {
  const auto records = MakeSample(path_);
  const std::string before = ReadBytes(path_);
  int failures = 0;
  for (IoOp op : kAllOps) {
    for (int n = 1;; ++n) {
      SCOPED_TRACE(std::string(Name(op)) + " " + std::to_string(n));
      WriteBytes(path_, before);
      std::filesystem::remove(path_ + ".bak");
      ErrorList errors;
      auto db = Open(errors);
      ASSERT_TRUE(db->IsOpen()) << errors.Summary();
      bool compacted, fired;
      {
        ScopedIoFault fault(op, n, ENOSPC);
        compacted = db->Compact(errors);
        fired = fault.Fired();
      }
      if (!fired) {
        EXPECT_TRUE(compacted) << errors.Summary();
        break;
      }
      ++failures;
      EXPECT_FALSE(compacted);
      EXPECT_TRUE(errors.HasErrors());
      ASSERT_TRUE(db->IsOpen()) << errors.Summary();
      EXPECT_TRUE(SameBytes(ReadBytes(path_), before));
      EXPECT_EQ(AllRecords(*db), records);
      std::string header;
      EXPECT_TRUE(db->ReadHeader(errors, header));
      EXPECT_EQ(header, "hdr");
      if (std::filesystem::exists(path_ + ".bak")) {
        EXPECT_TRUE(SameBytes(ReadBytes(path_ + ".bak"), before));
      }
      // Still usable: a later compaction goes through.
      ErrorList again;
      EXPECT_TRUE(db->Compact(again)) << again.Summary();
      EXPECT_EQ(AllRecords(*db), records);
      db.reset();
      EXPECT_EQ(RecordsOnDisk(path_), records);
    }
  }
  EXPECT_GT(failures, 0);
}

TEST_F(DatabaseFileFaultTest, FullDiskAfterTruncatingRestoresFromBak) {
  const auto records = MakeSample(path_);
  const std::string before = ReadBytes(path_);
  ErrorList errors;
  auto db = Open(errors);
  // Writes 1-3 make the .bak (three chunks); write 4 is the new image.
  {
    ScopedIoFault fault(IoOp::Write, 4, ENOSPC);
    EXPECT_FALSE(db->Compact(errors));
    EXPECT_TRUE(fault.Fired());
  }
  EXPECT_TRUE(HasError(errors, DatabaseFile::kErrWrite,
                       std::string("Could not initialize database: ") + std::strerror(ENOSPC)));
  EXPECT_EQ(errors.Size(), 1u) << errors.Summary();
  EXPECT_TRUE(db->IsOpen());
  EXPECT_EQ(AllRecords(*db), records);
  EXPECT_TRUE(SameBytes(ReadBytes(path_), before));
  EXPECT_TRUE(SameBytes(ReadBytes(path_ + ".bak"), before));
}

// When the disk stays full, the restore fails too: the object closes, the
// file (zero magic, or empty) is refused by later opens, and the .bak holds
// the data.
TEST_F(DatabaseFileFaultTest, CompactionOnAFullDiskNeverLosesTheBak) {
  const auto records = MakeSample(path_);
  const std::string before = ReadBytes(path_);
  int closed = 0;
  for (int n = 1;; ++n) {
    SCOPED_TRACE(n);
    WriteBytes(path_, before);
    std::filesystem::remove(path_ + ".bak");
    ErrorList errors;
    auto db = Open(errors);
    ASSERT_TRUE(db->IsOpen());
    bool compacted, fired;
    {
      ScopedIoFault fault(IoOp::Write, n, ENOSPC, ScopedIoFault::kForever);
      compacted = db->Compact(errors);
      fired = fault.Fired();
    }
    if (!fired) break;
    EXPECT_FALSE(compacted);
    if (db->IsOpen()) {
      // The disk filled before the file was touched.
      EXPECT_TRUE(SameBytes(ReadBytes(path_), before));
      EXPECT_EQ(AllRecords(*db), records);
    } else {
      ++closed;
      EXPECT_TRUE(db->RecoverPath().empty());
      ErrorList reopen;
      EXPECT_FALSE(Open(reopen)->IsOpen());
      EXPECT_TRUE(reopen.Contains(DatabaseFile::ModuleId(), DatabaseFile::kErrBadMagic) ||
                  reopen.Contains(DatabaseFile::ModuleId(), DatabaseFile::kErrRead))
          << reopen.Summary();
      EXPECT_TRUE(SameBytes(ReadBytes(path_ + ".bak"), before));
    }
    db.reset();
    EXPECT_EQ(dir_.Names().size(), std::filesystem::exists(path_ + ".bak") ? 2u : 1u);
  }
  EXPECT_GT(closed, 0);
}

TEST_F(DatabaseFileFaultTest, RestoreCutShortLeavesAFileOpensRefuse) {
  MakeSample(path_);
  ErrorList errors;
  auto db = Open(errors);
  ASSERT_TRUE(db->BackupToBak(errors));
  // The first chunk goes out (with the magic held back); the second fails.
  {
    ScopedIoFault fault(IoOp::Write, 2, ENOSPC);
    EXPECT_FALSE(db->RestoreFromBak(errors));
  }
  EXPECT_FALSE(db->IsOpen());
  EXPECT_TRUE(HasError(errors, DatabaseFile::kErrWrite, "Couldn't restore database from backup: "));
  ErrorList reopen;
  EXPECT_FALSE(Open(reopen)->IsOpen());
  EXPECT_TRUE(HasError(reopen, DatabaseFile::kErrBadMagic, "Invalid magic number in database"));
}

// A failed insert or delete leaves the index as it was, in memory and (as
// far as one more write reaches) on disk; whatever state results, the file
// agrees with what the open object reports.
TEST_F(DatabaseFileFaultTest, FailedChangesKeepFileAndCacheInStep) {
  std::vector<std::string> small = {"a", "b", "c"};
  std::vector<std::string> full;  // one more insert grows the index
  for (int i = 0; i < 128; ++i) full.push_back(std::to_string(i));
  struct Case {
    const char* name;
    const std::vector<std::string>* start;
    std::function<bool(DatabaseFile&, ErrorList&)> change;
    bool mayHappenAnyway;  // the change itself is done before the failing call
  } cases[] = {
      {"insert", &small, [](DatabaseFile& db, ErrorList& e) { return db.InsertRecord(e, 1, "new"); }, false},
      {"insert that grows the index", &full,
       [](DatabaseFile& db, ErrorList& e) { return db.InsertRecord(e, 1, "new"); }, false},
      {"append", &small, [](DatabaseFile& db, ErrorList& e) { return db.AppendRecord(e, "new"); }, false},
      {"delete", &small, [](DatabaseFile& db, ErrorList& e) { return db.DeleteRecord(e, 1); }, true},
      {"write that moves", &small, [](DatabaseFile& db, ErrorList& e) { return db.WriteRecord(e, 1, "longer"); },
       true},
      {"write in place", &small, [](DatabaseFile& db, ErrorList& e) { return db.WriteRecord(e, 1, "B"); }, true},
  };
  for (const auto& c : cases) {
    for (IoOp op : kAllOps) {
      for (int n = 1;; ++n) {
        SCOPED_TRACE(std::string(c.name) + ": " + Name(op) + " " + std::to_string(n));
        std::filesystem::remove(path_);
        MakeDatabase(path_, *c.start);
        ErrorList errors;
        auto db = Open(errors);
        ASSERT_TRUE(db->IsOpen());
        bool changed, fired;
        {
          ScopedIoFault fault(op, n, ENOSPC);
          changed = c.change(*db, errors);
          fired = fault.Fired();
        }
        if (!fired) {
          EXPECT_TRUE(changed) << errors.Summary();
          break;
        }
        EXPECT_FALSE(changed);
        ASSERT_TRUE(errors.HasErrors());
        const auto now = AllRecords(*db);
        if (!c.mayHappenAnyway) {
          EXPECT_EQ(now, *c.start);
        }
        db.reset();
        EXPECT_EQ(RecordsOnDisk(path_), now);
      }
    }
  }
}

}  // namespace
}  // namespace lockwell
