#include <gtest/gtest.h>

#include <functional>

#include "PalmFixture.h"
#include "palmdb/PalmDatabase.h"
#include "palmdb/PalmDatabaseRecord.h"
#include "storage/ModuleRegistry.h"

namespace lockwell::palmtest {
namespace {

using R = PalmDatabaseRecord;

class PalmDatabaseRecordTest : public PalmTest {};

TEST_F(PalmDatabaseRecordTest, StatusChangesFollowTheTransitionTable) {
  auto db = Create();
  using Op = std::function<bool(ErrorList&, R&)>;
  const Op markNew = [](ErrorList& e, R& r) { return r.MarkNew(e); };
  const Op markModified = [](ErrorList& e, R& r) { return r.MarkModified(e); };
  const Op markDeleted = [](ErrorList& e, R& r) { return r.MarkDeleted(e); };
  const Op setCategory = [](ErrorList& e, R& r) { return r.SetCategory(e, 9); };
  const Op setPayload = [](ErrorList& e, R& r) { return r.SetPayload(e, "changed"); };
  const Op assignNewId = [](ErrorList& e, R& r) { return r.AssignNewId(e); };
  struct Case {
    const char* name;
    uint32_t from;
    Op op;
    bool ok;
    uint32_t to;
    uint32_t code;  // refusal code of the record module, 0 for none
  } cases[] = {
      {"new from unchanged", 0, markNew, true, 3, 0},
      {"new from deleted", 1, markNew, false, 1, R::kErrCannotMarkNew},
      {"new from modified", 2, markNew, false, 2, R::kErrCannotMarkNew},
      {"new from new", 3, markNew, false, 3, R::kErrCannotMarkNew},
      {"modified from unchanged", 0, markModified, true, 2, 0},
      {"modified from deleted", 1, markModified, false, 1, R::kErrCannotMarkModified},
      {"modified from modified", 2, markModified, true, 2, 0},
      {"modified from new", 3, markModified, true, 3, 0},
      {"deleted from unchanged", 0, markDeleted, true, 1, 0},
      {"deleted from deleted", 1, markDeleted, true, 1, 0},
      {"deleted from modified", 2, markDeleted, true, 1, 0},
      {"deleted from new", 3, markDeleted, true, 1, 0},
      // Setters mark modified without passing a refusal on.
      {"category of unchanged", 0, setCategory, true, 2, 0},
      {"category of deleted", 1, setCategory, true, 1, 0},
      {"category of new", 3, setCategory, true, 3, 0},
      {"payload of unchanged", 0, setPayload, true, 2, 0},
      {"payload of deleted", 1, setPayload, true, 1, 0},
      {"payload of new", 3, setPayload, true, 3, 0},
      // A fresh desktop ID is unknown to the handheld: always new.
      {"new ID for unchanged", 0, assignNewId, true, 3, 0},
      {"new ID for deleted", 1, assignNewId, true, 3, 0},
      {"new ID for modified", 2, assignNewId, true, 3, 0},
      {"new ID for new", 3, assignNewId, true, 3, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    R record = MakeRecord(db.get(), 40, false, c.from, 1, "payload");
    ErrorList errors;
    EXPECT_EQ(c.op(errors, record), c.ok);
    Seen seen = See(record);
    EXPECT_EQ(seen.status, c.to);
    if (c.code != 0) {
      EXPECT_TRUE(HasRecordError(errors, c.code));
    } else {
      EXPECT_TRUE(errors.Empty()) << errors.Summary();
    }
  }
}

TEST_F(PalmDatabaseRecordTest, RefusalsAndSettersKeepOrChangeTheRightFields) {
  auto db = Create();
  ErrorList errors;
  // A refused mark changes nothing; a setter's change is made even when the
  // record is deleted.
  R deleted = MakeRecord(db.get(), 4, false, R::STATUS_DELETED, 1, "abc");
  EXPECT_FALSE(deleted.MarkNew(errors));
  EXPECT_EQ(See(deleted), (Seen{4, false, 1, 0, 1, "abc"}));
  EXPECT_TRUE(deleted.SetCategory(errors, 7));
  EXPECT_TRUE(deleted.SetPayload(errors, "xyz"));
  EXPECT_EQ(See(deleted), (Seen{4, false, 1, 0, 7, "xyz"}));

  // MarkDeleted zeroes the payload but keeps its length.
  R record = MakeRecord(db.get(), 5, false, R::STATUS_UNCHANGED, 2, std::string("se\0cret", 7));
  EXPECT_TRUE(record.MarkDeleted(errors));
  EXPECT_EQ(See(record).payload, std::string(7, '\0'));
}

TEST_F(PalmDatabaseRecordTest, DeserializeNeedsTheWholePrefix) {
  Raw raw{0x01020304, 1, 2, 3, 4, "", "ABCDEFGH"};
  const std::string full = raw.Bytes();
  ASSERT_EQ(full.size(), 25u);
  // Fields decoded before the bytes end keep their new values.
  struct Case {
    size_t length;
    bool ok;
    Seen seen;
  } cases[] = {
      {0, false, {0, false, 9, 9, 9, "old"}},          {3, false, {0, false, 9, 9, 9, "old"}},
      {4, false, {0x01020304, false, 9, 9, 9, "old"}}, {5, false, {0x01020304, true, 9, 9, 9, "old"}},
      {8, false, {0x01020304, true, 9, 9, 9, "old"}},  {9, false, {0x01020304, true, 2, 9, 9, "old"}},
      {13, false, {0x01020304, true, 2, 3, 9, "old"}}, {17, false, {0x01020304, true, 2, 3, 4, "old"}},
      {24, false, {0x01020304, true, 2, 3, 4, "old"}}, {25, true, {0x01020304, true, 2, 3, 4, ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    R record = MakeRecord(nullptr, 0, false, 9, 9, "old", 9);
    ErrorList errors;
    EXPECT_EQ(record.Deserialize(errors, full.substr(0, c.length), 6), c.ok);
    EXPECT_EQ(See(record), c.seen);
    if (!c.ok) {
      EXPECT_EQ(errors.Size(), 1u);
      EXPECT_TRUE(HasRecordError(errors, R::kErrShortRecord, "Insufficient data read from record"));
    }
  }
}

TEST_F(PalmDatabaseRecordTest, SerializeWritesTheStoredLayoutAndReadsAnyDesktopByteAsOne) {
  Raw raw{0xA1B2C3D4, 7, R::STATUS_MODIFIED, R::FLAG_UNSORTED | R::FLAG_PENDING, 11, "body", "12345678"};
  R record;
  ErrorList errors;
  ASSERT_TRUE(record.Deserialize(errors, raw.Bytes(), 3));
  EXPECT_EQ(See(record), (Seen{0xA1B2C3D4, true, 2, 3, 11, "body"}));
  R::Extra extra{};
  record.GetExtra(errors, extra);
  EXPECT_EQ(std::string(extra.begin(), extra.end()), "12345678");

  std::string bytes;
  ASSERT_TRUE(record.Serialize(errors, bytes));
  raw.desktopByte = 1;  // written back as 1
  EXPECT_EQ(bytes, raw.Bytes());
  EXPECT_TRUE(errors.Empty()) << errors.Summary();
}

TEST_F(PalmDatabaseRecordTest, ResetClearsTheRecordButKeepsItsDatabase) {
  auto db = Create();
  ErrorList errors;
  R record = MakeRecord(db.get(), 8, true, R::STATUS_MODIFIED, 3, "data", R::FLAG_PENDING);
  ASSERT_TRUE(record.SetExtra(errors, R::Extra{1, 2, 3, 4, 5, 6, 7, 8}));
  ASSERT_TRUE(record.Reset(errors, false));
  EXPECT_EQ(See(record), Seen{});
  R::Extra extra{};
  record.GetExtra(errors, extra);
  EXPECT_EQ(extra, R::Extra{});
  EXPECT_EQ(record.GetDatabase(), db.get());

  ASSERT_TRUE(record.Reset(errors, true));
  EXPECT_EQ(See(record), (Seen{1, true, R::STATUS_NEW, 0, 0, ""}));
}

TEST_F(PalmDatabaseRecordTest, NewIdsCountUpAndReachTheFile) {
  {
    auto db = Create();
    ErrorList errors;
    R first(errors, db.get(), true);
    R second(db.get());
    ASSERT_TRUE(second.AssignNewId(errors)) << errors.Summary();
    EXPECT_EQ(See(first), (Seen{1, true, R::STATUS_NEW, 0, 0, ""}));
    EXPECT_EQ(See(second), (Seen{2, true, R::STATUS_NEW, 0, 0, ""}));
  }
  EXPECT_EQ(Le32At(ReadRawDatabase(path_).header, 280), 2u);

  ErrorList errors;
  R orphan;
  EXPECT_FALSE(orphan.AssignNewId(errors));
  EXPECT_TRUE(HasRecordError(errors, R::kErrNoDatabase,
                             "Internal error: Parent object of PalmDatabaseRecord not set!"));
}

TEST_F(PalmDatabaseRecordTest, PositionIsFoundAgainByKeyOnceRecordsMove) {
  auto db = Create();
  ErrorList errors;
  R a = MakeRecord(db.get(), 10, false, 0, 0, "a");
  R b = MakeRecord(db.get(), 11, false, 0, 0, "b");
  ASSERT_TRUE(db->AppendNew(errors, a, false));
  ASSERT_TRUE(db->AppendNew(errors, b, false));

  R read(db.get());
  ASSERT_TRUE(db->ReadRecordById(errors, 11, false, read)) << errors.Summary();
  uint32_t position = 0;
  ASSERT_TRUE(read.GetPosition(errors, position));
  EXPECT_EQ(position, 2u);

  R front = MakeRecord(db.get(), 12, false, 0, 0, "front");
  ASSERT_TRUE(db->InsertAt(errors, front, 0, false));
  ASSERT_TRUE(read.GetPosition(errors, position));
  EXPECT_EQ(position, 3u);
  uint32_t index = 0;
  ASSERT_TRUE(read.GetIndex(errors, index));
  EXPECT_EQ(index, 2u);

  // A record whose key is gone cannot be located.
  R gone = read;
  ASSERT_TRUE(db->PurgeRecordById(errors, 11, false)) << errors.Summary();
  EXPECT_FALSE(gone.GetPosition(errors, position));
  EXPECT_TRUE(HasDbError(errors, PalmDatabase::kErrNotFound, "Could not find record by record ID"));
  EXPECT_TRUE(HasRecordError(errors, R::kErrNoLocation, "Could not determine record location"));

  ErrorList orphanErrors;
  R orphan;
  EXPECT_FALSE(orphan.GetPosition(orphanErrors, position));
  EXPECT_TRUE(HasRecordError(orphanErrors, R::kErrNoDatabase));
}

TEST_F(PalmDatabaseRecordTest, ModuleIsRegisteredUnderItsName) {
  R record;
  EXPECT_STREQ(R::ModuleNameText(), "Tallmark PalmDatabaseRecord Class");
  EXPECT_EQ(ModuleName(R::ModuleId()), "Tallmark PalmDatabaseRecord Class");
}

}  // namespace
}  // namespace lockwell::palmtest
