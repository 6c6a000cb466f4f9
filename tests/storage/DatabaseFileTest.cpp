#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <regex>

#include "storage/DatabaseFile.h"
#include "storage/ModuleRegistry.h"
#include "DatabaseFileFixture.h"

namespace lockwell {
namespace {

using namespace lockwell::testing;

const std::string kMagic("\x8D\x31\x0B\xDC\x3C\xE7\x7B\x0A", 8);

class DatabaseFileTest : public ::testing::Test {
 protected:
  // Creates `db.lwdb` with `records` and opens it again.
  std::unique_ptr<DatabaseFile> OpenWith(const std::vector<std::string>& records, uint32_t headerSize = 0) {
    MakeDatabase(path_, records, headerSize);
    uint32_t size = 0;
    auto db = std::make_unique<DatabaseFile>(errors_, path_, DatabaseFile::kOpenExisting, size);
    EXPECT_TRUE(db->IsOpen()) << errors_.Summary();
    return db;
  }

  TempDir dir_;
  std::string path_ = dir_.File("db.lwdb");
  ErrorList errors_;
};

TEST_F(DatabaseFileTest, NewFileHasTheFixedLayout) {
  for (uint32_t headerSize : {0u, 5u, 78u}) {
    SCOPED_TRACE(headerSize);
    std::string path = dir_.File("new" + std::to_string(headerSize) + ".lwdb");
    uint32_t size = headerSize;
    DatabaseFile db(errors_, path, DatabaseFile::kCreateNew, size);
    ASSERT_TRUE(db.IsOpen()) << errors_.Summary();
    EXPECT_TRUE(db.RecoverPath().empty());

    std::string bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), headerSize + 544);
    EXPECT_EQ(bytes.substr(0, 8), kMagic);
    EXPECT_EQ(Word(bytes, 8), headerSize);
    EXPECT_EQ(Word(bytes, 12), 20 + headerSize);
    EXPECT_EQ(Word(bytes, 16), headerSize + 544);
    EXPECT_EQ(bytes.substr(20, headerSize), std::string(headerSize, '\0'));
    EXPECT_EQ(Word(bytes, 20 + headerSize), 128u);  // capacity
    EXPECT_EQ(Word(bytes, 24 + headerSize), 0u);    // flags
    EXPECT_EQ(Word(bytes, 28 + headerSize), 0u);    // count
    EXPECT_EQ(bytes.substr(32 + headerSize), std::string(512, '\0'));
    EXPECT_EQ(db.IndexBlockOffset(), 20 + headerSize);
    EXPECT_EQ(db.Capacity(), 128u);
  }
  EXPECT_EQ(dir_.Names(), (std::vector<std::string>{"new0.lwdb", "new5.lwdb", "new78.lwdb"}));
  EXPECT_STREQ(DatabaseFile::ModuleNameText(), "Tallmark Database Library");
  EXPECT_EQ(ModuleName(DatabaseFile::ModuleId()), "Tallmark Database Library");
}

TEST_F(DatabaseFileTest, RecordsSurviveReopenWhateverTheirBytes) {
  const std::vector<std::string> records = {
      "", "a", std::string("\0\x01\xFF\0", 4), std::string(10240, 'x'), std::string(25000, '\x8D'), "last",
  };
  MakeDatabase(path_, records, 7);
  EXPECT_EQ(RecordsOnDisk(path_), records);
  // An empty record is a bare slot of 8 bytes.
  std::string bytes = ReadBytes(path_);
  uint32_t firstSlot = Word(bytes, 20 + 7 + 12);
  EXPECT_EQ(Word(bytes, firstSlot), 8u);
  EXPECT_EQ(Word(bytes, firstSlot + 4), 0u);
}

TEST_F(DatabaseFileTest, ReadRecordStartGivesAtMostTheLimit) {
  // Sizes around the 25-byte prefix and the window's 4 KiB block.
  std::vector<std::string> records;
  for (size_t size : {0, 24, 25, 1015, 1016, 1017, 5000}) {
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>(i * 7 + size);
    records.push_back(data);
  }
  auto db = OpenWith(records);
  for (uint32_t number = 0; number < records.size(); ++number) {
    for (size_t limit : {size_t{0}, size_t{25}, size_t{1016}, size_t{1017}, std::string::npos}) {
      SCOPED_TRACE(::testing::Message() << "record of " << records[number].size() << ", limit " << limit);
      std::string start = "stale";
      ASSERT_TRUE(db->ReadRecordStart(errors_, number, limit, start)) << errors_.Summary();
      EXPECT_TRUE(SameBytes(start, records[number].substr(0, limit)));
    }
  }
  std::string data;
  EXPECT_FALSE(db->ReadRecordStart(errors_, static_cast<uint32_t>(records.size()), 25, data));
  EXPECT_TRUE(HasError(errors_, DatabaseFile::kErrRecordNumber, "Invalid record number"));
}

TEST_F(DatabaseFileTest, HeaderIsReadAndWrittenWhole) {
  auto db = OpenWith({"r"}, 6);
  std::string header;
  ASSERT_TRUE(db->ReadHeader(errors_, header));
  EXPECT_EQ(header, std::string(6, '\0'));
  ASSERT_TRUE(db->WriteHeader(errors_, "HEADER"));
  for (std::string wrong : {"", "HEADE", "HEADER!"}) {
    ErrorList errors;
    EXPECT_FALSE(db->WriteHeader(errors, wrong));
    EXPECT_TRUE(HasError(errors, DatabaseFile::kErrHeaderSize, "Invalid header size specified!"));
  }
  db.reset();
  uint32_t size = 0;
  DatabaseFile again(errors_, path_, DatabaseFile::kOpenExisting, size);
  EXPECT_EQ(size, 6u);
  ASSERT_TRUE(again.ReadHeader(errors_, header));
  EXPECT_EQ(header, "HEADER");
  EXPECT_EQ(AllRecords(again), std::vector<std::string>{"r"});
}

TEST_F(DatabaseFileTest, WriteRecordStaysInPlaceUnlessItGrows) {
  struct Case {
    const char* name;
    std::string before, after;
    bool moves;
  } cases[] = {
      {"same length", "abcdef", "ABCDEF", false},
      {"shorter", "abcdef", "AB", false},
      {"emptied", "abcdef", "", false},
      {"longer", "abcdef", "abcdefg", true},
      {"from empty", "", "x", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto db = OpenWith({"first", c.before, "third"});
    const uint32_t offset = Word(ReadBytes(path_), db->IndexBlockOffset() + 12 + 4);
    const uint32_t dataEnd = db->DataEnd();
    ASSERT_TRUE(db->WriteRecord(errors_, 1, c.after)) << errors_.Summary();
    EXPECT_EQ(AllRecords(*db), (std::vector<std::string>{"first", c.after, "third"}));

    std::string bytes = ReadBytes(path_);
    const uint32_t now = Word(bytes, db->IndexBlockOffset() + 12 + 4);
    if (c.moves) {
      EXPECT_EQ(now, dataEnd);
      EXPECT_EQ(db->DataEnd(), dataEnd + 8 + c.after.size());
      EXPECT_EQ(Word(bytes, offset + 4), 1u) << "old slot not marked dead";
    } else {
      EXPECT_EQ(now, offset);
      EXPECT_EQ(db->DataEnd(), dataEnd);
    }
    EXPECT_EQ(Word(bytes, now), 8 + c.after.size());
    EXPECT_EQ(Word(bytes, now + 4), 0u);
    EXPECT_EQ(Word(bytes, 16), db->DataEnd());
    db.reset();
    EXPECT_EQ(RecordsOnDisk(path_), (std::vector<std::string>{"first", c.after, "third"}));
  }
}

TEST_F(DatabaseFileTest, InsertAndDeleteRenumber) {
  auto db = OpenWith({"b", "d"});
  ASSERT_TRUE(db->InsertRecord(errors_, 0, "a"));
  ASSERT_TRUE(db->InsertRecord(errors_, 2, "c"));
  ASSERT_TRUE(db->InsertRecord(errors_, 4, "e"));  // position count appends
  EXPECT_EQ(AllRecords(*db), (std::vector<std::string>{"a", "b", "c", "d", "e"}));

  const uint32_t deadSlot = Word(ReadBytes(path_), db->IndexBlockOffset() + 12 + 4 * 2);
  ASSERT_TRUE(db->DeleteRecord(errors_, 2));
  EXPECT_EQ(Word(ReadBytes(path_), deadSlot + 4), 1u);
  ASSERT_TRUE(db->DeleteRecord(errors_, 0));
  ASSERT_TRUE(db->DeleteRecord(errors_, 2));
  EXPECT_EQ(AllRecords(*db), (std::vector<std::string>{"b", "d"}));
  db.reset();
  EXPECT_EQ(RecordsOnDisk(path_), (std::vector<std::string>{"b", "d"}));
}

TEST_F(DatabaseFileTest, RecordNumbersOutOfRangeAreRefused) {
  auto db = OpenWith({"a", "b"});
  struct Case {
    const char* name;
    std::function<bool(ErrorList&)> call;
    const char* text;
  } cases[] = {
      {"read at count", [&](ErrorList& e) { std::string s; return db->ReadRecord(e, 2, s); },
       "Invalid record number specified"},
      {"write at count", [&](ErrorList& e) { return db->WriteRecord(e, 2, "x"); },
       "Invalid record number specified"},
      {"insert past count", [&](ErrorList& e) { return db->InsertRecord(e, 3, "x"); }, "Invalid record specified"},
      {"delete at count", [&](ErrorList& e) { return db->DeleteRecord(e, 2); }, "Invalid record specified"},
      {"read far away", [&](ErrorList& e) { std::string s; return db->ReadRecord(e, 0xFFFFFFFF, s); },
       "Invalid record number specified"},
  };
  for (const auto& c : cases) {
    ErrorList errors;
    EXPECT_FALSE(c.call(errors)) << c.name;
    EXPECT_TRUE(HasError(errors, DatabaseFile::kErrRecordNumber, c.text)) << c.name;
    EXPECT_EQ(errors.Size(), 1u) << c.name;
  }
  EXPECT_EQ(AllRecords(*db), (std::vector<std::string>{"a", "b"}));
}

TEST_F(DatabaseFileTest, The129thInsertMovesTheIndexToADoubledBlock) {
  uint32_t size = 0;
  DatabaseFile db(errors_, path_, DatabaseFile::kCreateNew, size);
  for (int i = 0; i < 128; ++i) ASSERT_TRUE(db.AppendRecord(errors_, std::to_string(i)));
  EXPECT_EQ(db.Capacity(), 128u);
  const uint32_t oldBlock = db.IndexBlockOffset();
  const uint32_t formerEnd = db.DataEnd();

  ASSERT_TRUE(db.InsertRecord(errors_, 5, "new")) << errors_.Summary();
  std::string bytes = ReadBytes(path_);
  EXPECT_EQ(db.IndexBlockOffset(), formerEnd);
  EXPECT_EQ(Word(bytes, 12), formerEnd);
  EXPECT_EQ(Word(bytes, formerEnd), 256u);      // capacity
  EXPECT_EQ(Word(bytes, formerEnd + 4), 0u);    // live
  EXPECT_EQ(Word(bytes, formerEnd + 8), 129u);  // count
  EXPECT_EQ(Word(bytes, oldBlock + 4), 1u) << "old block not marked replaced";
  // The new record's slot follows the new block.
  EXPECT_EQ(Word(bytes, formerEnd + 12 + 4 * 5), formerEnd + 12 + 4 * 256);
  EXPECT_EQ(db.DataEnd(), formerEnd + 12 + 4 * 256 + 8 + 3);

  std::vector<std::string> expected;
  for (int i = 0; i < 128; ++i) expected.push_back(std::to_string(i));
  expected.insert(expected.begin() + 5, "new");
  EXPECT_EQ(AllRecords(db), expected);
  db.Close();
  EXPECT_EQ(RecordsOnDisk(path_), expected);
}

TEST_F(DatabaseFileTest, CompactionDropsDeadSpaceAndKeepsOrder) {
  for (int n : {0, 1, 130}) {
    SCOPED_TRACE(n);
    auto db = OpenWith({}, 3);
    ASSERT_TRUE(db->WriteHeader(errors_, "hdr"));
    std::vector<std::string> expected;
    for (int i = 0; i < n + 3; ++i) ASSERT_TRUE(db->AppendRecord(errors_, "record " + std::to_string(i)));
    for (int i = 0; i < n + 3; ++i) expected.push_back("record " + std::to_string(i));
    // Dead space of every kind: deletes, a moved record, a shrunk one.
    ASSERT_TRUE(db->DeleteRecord(errors_, 0));
    ASSERT_TRUE(db->DeleteRecord(errors_, 0));
    expected.erase(expected.begin(), expected.begin() + 2);
    ASSERT_TRUE(db->WriteRecord(errors_, 0, "grown beyond its slot"));
    expected[0] = "grown beyond its slot";
    if (n > 0) {
      ASSERT_TRUE(db->WriteRecord(errors_, 1, "s"));
      expected[1] = "s";
    }
    ASSERT_TRUE(db->DeleteRecord(errors_, static_cast<uint32_t>(expected.size() - 1)));
    expected.pop_back();
    ASSERT_EQ(expected.size(), static_cast<size_t>(n));
    const std::string before = ReadBytes(path_);

    ASSERT_TRUE(db->Compact(errors_)) << errors_.Summary();
    EXPECT_TRUE(SameBytes(ReadBytes(path_ + ".bak"), before));
    EXPECT_EQ(db->Capacity(), n + 128u);
    size_t needed = 20 + 3 + 12 + 4 * (n + 128);
    for (const auto& record : expected) needed += 8 + record.size();
    std::string bytes = ReadBytes(path_);
    EXPECT_EQ(bytes.size(), needed);
    EXPECT_EQ(db->DataEnd(), needed);
    EXPECT_EQ(bytes.substr(0, 8), kMagic);
    EXPECT_EQ(bytes.substr(20, 3), "hdr");
    EXPECT_EQ(AllRecords(*db), expected);
    db.reset();
    EXPECT_EQ(RecordsOnDisk(path_), expected);
  }
}

TEST_F(DatabaseFileTest, OperationsOnAClosedObjectFailAndTouchNoFile) {
  uint32_t size = 99;
  DatabaseFile db(errors_, path_, DatabaseFile::kOpenExisting, size);  // no such file
  ASSERT_FALSE(db.IsOpen());
  EXPECT_EQ(size, 0u);
  std::string text;
  uint32_t count;
  std::function<bool(ErrorList&)> calls[] = {
      [&](ErrorList& e) { return db.ReadHeader(e, text); },
      [&](ErrorList& e) { return db.WriteHeader(e, ""); },
      [&](ErrorList& e) { return db.GetRecordCount(e, count); },
      [&](ErrorList& e) { return db.ReadRecord(e, 0, text); },
      [&](ErrorList& e) { return db.WriteRecord(e, 0, "x"); },
      [&](ErrorList& e) { return db.InsertRecord(e, 0, "x"); },
      [&](ErrorList& e) { return db.AppendRecord(e, "x"); },
      [&](ErrorList& e) { return db.DeleteRecord(e, 0); },
      [&](ErrorList& e) { return db.Compact(e); },
      [&](ErrorList& e) { return db.BackupToBak(e); },
      [&](ErrorList& e) { return db.Create(e, 0, 128, true); },
  };
  for (size_t i = 0; i < std::size(calls); ++i) {
    ErrorList errors;
    EXPECT_FALSE(calls[i](errors)) << "call " << i;
    EXPECT_TRUE(HasError(errors, DatabaseFile::kErrNotOpen, "Database not open!")) << "call " << i;
    EXPECT_EQ(errors.Size(), 1u) << "call " << i;
  }
  EXPECT_FALSE(db.Close());
  EXPECT_TRUE(dir_.Names().empty());
}

TEST_F(DatabaseFileTest, OpeningTwiceIsRefused) {
  auto db = OpenWith({"a"});
  ErrorList errors;
  EXPECT_FALSE(db->Open(errors));
  EXPECT_FALSE(db->Create(errors, 0, 128, false));
  EXPECT_EQ(errors.Size(), 2u);
  for (const auto& record : errors) {
    EXPECT_EQ(record->Code(), DatabaseFile::kErrAlreadyOpen);
    EXPECT_EQ(record->Detail(), "Database already open!");
  }
  EXPECT_TRUE(db->IsOpen());
  EXPECT_EQ(AllRecords(*db), std::vector<std::string>{"a"});
}

TEST_F(DatabaseFileTest, OpenKeepsARecoverCopyUntilClosed) {
  MakeDatabase(path_, {"one", "two"}, 4);
  const std::string atOpen = ReadBytes(path_);
  uint32_t size = 0;
  DatabaseFile db(errors_, path_, DatabaseFile::kOpenExisting, size);
  ASSERT_TRUE(db.IsOpen());
  EXPECT_EQ(size, 4u);
  const std::string recover = db.RecoverPath();
  EXPECT_TRUE(std::regex_match(recover, std::regex(std::regex_replace(path_, std::regex("[.]"), "\\.") +
                                                   "\\.[0-9]+\\.[0-9]+\\.recover")))
      << recover;
  ASSERT_TRUE(db.AppendRecord(errors_, "three"));
  EXPECT_TRUE(SameBytes(ReadBytes(recover), atOpen));  // the state at open, not now
  EXPECT_EQ(dir_.Names().size(), 2u);

  EXPECT_TRUE(db.Close());
  EXPECT_TRUE(db.RecoverPath().empty());
  EXPECT_EQ(dir_.Names(), std::vector<std::string>{"db.lwdb"});
  EXPECT_FALSE(db.Close());
}

TEST_F(DatabaseFileTest, NotADatabaseIsRefusedAtOpen) {
  MakeDatabase(path_, {"a"});
  const std::string good = ReadBytes(path_);
  struct Case {
    const char* name;
    std::string bytes;
    uint32_t code;
    const char* text;
  } cases[] = {
      {"zero magic (interrupted compaction)", std::string(8, '\0') + good.substr(8), DatabaseFile::kErrBadMagic,
       "Invalid magic number in database"},
      {"one byte off", "\x8E" + good.substr(1), DatabaseFile::kErrBadMagic, "Invalid magic number in database"},
      {"empty file", "", DatabaseFile::kErrRead, "Couldn't read magic number from database file: "},
      {"magic only", good.substr(0, 8), DatabaseFile::kErrRead, "Couldn't read header size from database: "},
      {"cut in the header", good.substr(0, 18), DatabaseFile::kErrRead,
       "Couldn't read database size from database: "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(path_, c.bytes);
    ErrorList errors;
    uint32_t size = 1;
    DatabaseFile db(errors, path_, DatabaseFile::kOpenExisting, size);
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(size, 0u);
    EXPECT_TRUE(HasError(errors, c.code, c.text));
    EXPECT_EQ(errors.Size(), 1u) << errors.Summary();
    EXPECT_EQ(dir_.Names(), std::vector<std::string>{"db.lwdb"}) << "a recover copy was left";
    EXPECT_TRUE(SameBytes(ReadBytes(path_), c.bytes)) << "a refused file was changed";
  }
}

TEST_F(DatabaseFileTest, MissingFileIsToldApart) {
  uint32_t size = 0;
  DatabaseFile db(errors_, dir_.File("absent.lwdb"), DatabaseFile::kOpenExisting, size);
  EXPECT_FALSE(db.IsOpen());
  ASSERT_EQ(errors_.Size(), 1u);
  EXPECT_TRUE(errors_.Contains(DatabaseFile::ModuleId(), DatabaseFile::kErrNoSuchFile));
  EXPECT_EQ(errors_.begin()->get()->Detail(), std::string("Couldn't open database file: ") + std::strerror(ENOENT));

  ErrorList errors;
  uint32_t headerSize = 0;
  DatabaseFile inMissingFolder(errors, dir_.File("no/such/folder.lwdb"), DatabaseFile::kCreateNew, headerSize);
  EXPECT_FALSE(inMissingFolder.IsOpen());
  EXPECT_TRUE(HasError(errors, DatabaseFile::kErrNoSuchFile, "Couldn't create new database file: "));
}

TEST(DatabaseFileReportTest, OpenFailuresAreRefinedByErrno) {
  struct Case {
    uint32_t code;
    int error;
    uint32_t reported;
  } cases[] = {
      {DatabaseFile::kErrOpen, ENOENT, DatabaseFile::kErrNoSuchFile},
      {DatabaseFile::kErrOpen, EACCES, DatabaseFile::kErrInUse},
      {DatabaseFile::kErrOpen, EPERM, DatabaseFile::kErrInUse},
      {DatabaseFile::kErrOpen, EISDIR, DatabaseFile::kErrOpen},
      {DatabaseFile::kErrOpen, ENOSPC, DatabaseFile::kErrOpen},
      {DatabaseFile::kErrRead, ENOENT, DatabaseFile::kErrRead},
      {DatabaseFile::kErrWrite, EACCES, DatabaseFile::kErrWrite},
  };
  for (const auto& c : cases) {
    ErrorList errors;
    errno = c.error;
    DatabaseFile::ReportIoError(errors, "Context", c.code);
    ASSERT_EQ(errors.Size(), 1u);
    const ErrorRecord& record = **errors.begin();
    EXPECT_EQ(record.Code(), c.reported) << std::hex << c.code << " errno " << std::dec << c.error;
    EXPECT_EQ(record.Detail(), std::string("Context: ") + std::strerror(c.error));
    EXPECT_EQ(record.ModuleId(), DatabaseFile::ModuleId());
    EXPECT_EQ(record.Line(), 0u);
  }
}

}  // namespace
}  // namespace lockwell
