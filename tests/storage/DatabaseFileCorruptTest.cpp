// A database file is not trusted: broken sizes and offsets are refused as a
// corrupt database, never followed outside the file or the buffers.
#include <gtest/gtest.h>

#include <functional>

#include "storage/DatabaseFile.h"
#include "DatabaseFileFixture.h"

namespace lockwell {
namespace {

using namespace lockwell::testing;

// The sample: header area of 4 bytes, then the index block and three
// records.
//   0 magic   8 H=4   12 index=24   16 dataEnd=586   20 header area
//   24 capacity 128   28 flags   32 count 3   36 offsets 548, 561, 573
//   548 "alpha" (size 13)   561 "beta" (size 12)   573 "gamma" (size 13)
constexpr uint32_t kIndex = 24;
constexpr uint32_t kOffsets = kIndex + 12;
constexpr uint32_t kSlot0 = 548, kSlot1 = 561, kSlot2 = 573, kDataEnd = 586;
const std::vector<std::string> kRecords = {"alpha", "beta", "gamma"};

class DatabaseFileCorruptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeDatabase(path_, kRecords, 4);
    const std::string bytes = ReadBytes(path_);
    ASSERT_EQ(bytes.size(), kDataEnd);
    ASSERT_EQ(Word(bytes, kOffsets), kSlot0);
    ASSERT_EQ(Word(bytes, kOffsets + 4), kSlot1);
    ASSERT_EQ(Word(bytes, kOffsets + 8), kSlot2);
  }

  TempDir dir_;
  std::string path_ = dir_.File("db.lwdb");
};

TEST_F(DatabaseFileCorruptTest, BrokenStructureIsRefusedAtOpen) {
  struct Case {
    const char* name;
    std::function<void(const std::string&)> damage;
    const char* text;
  } cases[] = {
      {"dataEnd past the end of the file", [](auto& p) { CorruptWord(p, 16, kDataEnd + 1); },
       "Database size is past the end of the file!  Database corrupt!"},
      {"file cut inside the records", [](auto& p) { Truncate(p, kDataEnd - 3); },
       "Database size is past the end of the file!  Database corrupt!"},
      {"file cut inside the index", [](auto& p) { Truncate(p, 100); },
       "Database size is past the end of the file!  Database corrupt!"},
      {"header area past the data", [](auto& p) { CorruptWord(p, 8, kDataEnd); },
       "Header area is past the end of the data!  Database corrupt!"},
      {"header area of 4 GiB", [](auto& p) { CorruptWord(p, 8, 0xFFFFFFFF); },
       "Header area is past the end of the data!  Database corrupt!"},
      {"index block inside the header area", [](auto& p) { CorruptWord(p, 12, 20); },
       "Index block is outside the data!  Database corrupt!"},
      {"index block pointer past the data", [](auto& p) { CorruptWord(p, 12, kDataEnd - 11); },
       "Index block is outside the data!  Database corrupt!"},
      {"index block pointer near 4 GiB", [](auto& p) { CorruptWord(p, 12, 0xFFFFFFFC); },
       "Index block is outside the data!  Database corrupt!"},
      {"capacity past the data", [](auto& p) { CorruptWord(p, kIndex, 200); },
       "Index block is past the end of the data!  Database corrupt!"},
      {"capacity of 4 billion", [](auto& p) { CorruptWord(p, kIndex, 0xFFFFFFFF); },
       "Index block is past the end of the data!  Database corrupt!"},
      {"index block marked replaced", [](auto& p) { CorruptWord(p, kIndex + 4, 1); },
       "Index block is deleted!  Database corrupt!"},
      {"count above capacity", [](auto& p) { CorruptWord(p, kIndex + 8, 129); },
       "Index block holds more records than it has room for!  Database corrupt!"},
      {"count of 4 billion", [](auto& p) { CorruptWord(p, kIndex + 8, 0xFFFFFFFF); },
       "Index block holds more records than it has room for!  Database corrupt!"},
      {"record pointer at dataEnd", [](auto& p) { CorruptWord(p, kOffsets + 4, kDataEnd); },
       "Record pointer is outside the data!  Database corrupt!"},
      {"record pointer whose slot header passes dataEnd", [](auto& p) { CorruptWord(p, kOffsets + 8, kDataEnd - 7); },
       "Record pointer is outside the data!  Database corrupt!"},
      {"record pointer near 4 GiB", [](auto& p) { CorruptWord(p, kOffsets, 0xFFFFFFFC); },
       "Record pointer is outside the data!  Database corrupt!"},
      {"record pointer into the file header", [](auto& p) { CorruptWord(p, kOffsets, 8); },
       "Record pointer is outside the data!  Database corrupt!"},
      {"record pointer at the index block", [](auto& p) { CorruptWord(p, kOffsets + 4, kIndex); },
       "Record pointer is inside the index block!  Database corrupt!"},
      {"slot header ending inside the index block", [](auto& p) { CorruptWord(p, kOffsets + 4, kSlot0 - 1); },
       "Record pointer is inside the index block!  Database corrupt!"},
  };
  const std::string good = ReadBytes(path_);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(path_, good);
    c.damage(path_);
    const std::string damaged = ReadBytes(path_);
    ErrorList errors;
    uint32_t size = 1;
    DatabaseFile db(errors, path_, DatabaseFile::kOpenExisting, size);
    EXPECT_FALSE(db.IsOpen());
    EXPECT_EQ(size, 0u);
    ASSERT_EQ(errors.Size(), 1u) << errors.Summary();
    EXPECT_EQ(errors.begin()->get()->Code(), DatabaseFile::kErrCorrupt);
    EXPECT_EQ(errors.begin()->get()->Detail(), c.text);
    EXPECT_TRUE(SameBytes(ReadBytes(path_), damaged));
    EXPECT_EQ(dir_.Names(), std::vector<std::string>{"db.lwdb"});
  }
}

TEST_F(DatabaseFileCorruptTest, BrokenRecordIsRefusedWhenReached) {
  struct Case {
    const char* name;
    std::function<void(const std::string&)> damage;
    const char* text;
  } cases[] = {
      {"slot marked dead", [](auto& p) { CorruptWord(p, kSlot1 + 4, 1); },
       "Record marked as deleted!  Database corrupt!"},
      {"size 0", [](auto& p) { CorruptWord(p, kSlot1, 0); },
       "Record size is smaller than its own header!  Database corrupt!"},
      {"size 7", [](auto& p) { CorruptWord(p, kSlot1, 7); },
       "Record size is smaller than its own header!  Database corrupt!"},
      {"size one past dataEnd", [](auto& p) { CorruptWord(p, kSlot1, kDataEnd - kSlot1 + 1); },
       "Record is past the end of the data!  Database corrupt!"},
      {"size of 4 GiB", [](auto& p) { CorruptWord(p, kSlot1, 0xFFFFFFFF); },
       "Record is past the end of the data!  Database corrupt!"},
  };
  const std::string good = ReadBytes(path_);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(path_, good);
    c.damage(path_);
    const std::string damaged = ReadBytes(path_);
    ErrorList errors;
    uint32_t size = 0;
    DatabaseFile db(errors, path_, DatabaseFile::kOpenExisting, size);
    ASSERT_TRUE(db.IsOpen()) << errors.Summary();

    std::string data = "unchanged";
    ErrorList readErrors, writeErrors, compactErrors;
    EXPECT_FALSE(db.ReadRecord(readErrors, 1, data));
    EXPECT_EQ(data, "unchanged");
    EXPECT_TRUE(HasError(readErrors, DatabaseFile::kErrCorrupt, c.text));
    EXPECT_FALSE(db.WriteRecord(writeErrors, 1, "x"));
    EXPECT_TRUE(HasError(writeErrors, DatabaseFile::kErrCorrupt, c.text));
    // Compaction reads every record before it changes anything.
    EXPECT_FALSE(db.Compact(compactErrors));
    EXPECT_TRUE(HasError(compactErrors, DatabaseFile::kErrCorrupt, c.text));
    EXPECT_TRUE(SameBytes(ReadBytes(path_), damaged));

    ErrorList errors2;
    ASSERT_TRUE(db.ReadRecord(errors2, 0, data));
    EXPECT_EQ(data, "alpha");
    ASSERT_TRUE(db.ReadRecord(errors2, 2, data));
    EXPECT_EQ(data, "gamma");
    ASSERT_TRUE(db.DeleteRecord(errors2, 1)) << errors2.Summary();
    EXPECT_EQ(AllRecords(db), (std::vector<std::string>{"alpha", "gamma"}));
    db.Close();
    EXPECT_EQ(RecordsOnDisk(path_), (std::vector<std::string>{"alpha", "gamma"}));
  }
}

TEST_F(DatabaseFileCorruptTest, SlotReachingIntoTheIndexBlockIsNeverWritten) {
  // After growing, the live index follows the record slots; stretch the
  // last slot before it over the block.
  std::vector<std::string> records;
  for (int i = 0; i < 129; ++i) records.push_back(std::string("r").append(std::to_string(i)));
  MakeDatabase(path_, records);
  std::string bytes = ReadBytes(path_);
  const uint32_t index = Word(bytes, 12);
  const uint32_t slot = Word(bytes, index + 12 + 4 * 127);
  ASSERT_LT(slot, index);
  CorruptWord(path_, slot, index - slot + 8);
  const std::string damaged = ReadBytes(path_);

  ErrorList errors;
  uint32_t size = 0;
  DatabaseFile db(errors, path_, DatabaseFile::kOpenExisting, size);
  ASSERT_TRUE(db.IsOpen()) << errors.Summary();
  std::string data;
  EXPECT_FALSE(db.ReadRecord(errors, 127, data));
  EXPECT_FALSE(db.WriteRecord(errors, 127, std::string(index - slot, 'x')));
  EXPECT_EQ(errors.Size(), 2u);
  for (const auto& record : errors) EXPECT_EQ(record->Detail(), "Record overlaps the index block!  Database corrupt!");
  EXPECT_TRUE(SameBytes(ReadBytes(path_), damaged));
  ASSERT_TRUE(db.ReadRecord(errors, 128, data));
  EXPECT_EQ(data, "r128");
}

TEST_F(DatabaseFileCorruptTest, ZeroCapacityIndexStillGrows) {
  // An empty index block of capacity 0 is well formed; the first insert
  // must give it room rather than write past it.
  WriteBytes(path_, std::string("\x8D\x31\x0B\xDC\x3C\xE7\x7B\x0A", 8) + LittleEndian(0) + LittleEndian(20) +
                        LittleEndian(32) + LittleEndian(0) + LittleEndian(0) + LittleEndian(0));
  ErrorList errors;
  uint32_t size = 0;
  {
    DatabaseFile db(errors, path_, DatabaseFile::kOpenExisting, size);
    ASSERT_TRUE(db.IsOpen()) << errors.Summary();
    ASSERT_TRUE(db.AppendRecord(errors, "first")) << errors.Summary();
    ASSERT_TRUE(db.AppendRecord(errors, "second")) << errors.Summary();
    EXPECT_GE(db.Capacity(), 2u);
  }
  EXPECT_EQ(RecordsOnDisk(path_), (std::vector<std::string>{"first", "second"}));
}

}  // namespace
}  // namespace lockwell
