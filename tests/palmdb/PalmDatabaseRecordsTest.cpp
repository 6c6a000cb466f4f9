#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

#include "PalmFixture.h"
#include "palmdb/PalmDatabase.h"
#include "storage/IoFaults.h"

namespace lockwell::palmtest {
namespace {

using D = PalmDatabase;
using R = PalmDatabaseRecord;

class PalmDatabaseRecordsTest : public PalmTest {
 protected:
  // Every record of `db` in file order, deleted ones included.
  std::vector<Seen> All(PalmDatabase& db) {
    std::vector<Seen> seen;
    uint32_t count = 0;
    EXPECT_TRUE(db.GetRecordCount(errors_, true, count));
    for (uint32_t p = 0; p < count; ++p) {
      R record(&db);
      EXPECT_TRUE(db.ReadRecordAt(errors_, p, record)) << errors_.Summary();
      seen.push_back(See(record));
    }
    return seen;
  }
  uint32_t Count(PalmDatabase& db, bool includeDeleted) {
    uint32_t count = 0;
    EXPECT_TRUE(db.GetRecordCount(errors_, includeDeleted, count));
    return count;
  }
};

TEST_F(PalmDatabaseRecordsTest, ReadNextModifiedVisitsEveryChangedRecordOnce) {
  WriteRawDatabase(path_,
                   {{1, 0, R::STATUS_UNCHANGED, R::FLAG_PENDING, 0, "u"},
                    {2, 0, R::STATUS_MODIFIED, 0, 0, "m"},
                    {3, 0, R::STATUS_DELETED, 0, 0, std::string(1, '\0')},
                    {4, 1, R::STATUS_NEW, R::FLAG_PENDING, 0, "n"}},
                   RawHeader{.deletedCount = 1});
  auto db = Open();
  struct Scan {
    const char* name;
    std::function<bool(ErrorList&, uint32_t&, R&)> next;
    std::vector<uint32_t> numbers;
    std::string end;
  } scans[] = {
      {"modified",
       [&](ErrorList& e, uint32_t& k, R& r) { return db->ReadNextModified(e, k, r); },
       {2, 3, 4},
       "Could not find next modified record"},
      {"pending",
       [&](ErrorList& e, uint32_t& k, R& r) { return db->ReadNextPending(e, k, r); },
       {1, 4},
       "Could not find next pending record"},
  };
  for (const Scan& scan : scans) {
    SCOPED_TRACE(scan.name);
    std::vector<uint32_t> numbers;
    uint32_t k = 0;
    R record(db.get());
    ErrorList errors;
    while (scan.next(errors, k, record)) {
      EXPECT_EQ(See(record).recordId, k);  // the fixture's IDs equal their record numbers
      numbers.push_back(k);
    }
    EXPECT_EQ(numbers, scan.numbers);
    EXPECT_TRUE(HasDbError(errors, D::kErrNotFound, scan.end));
    // A start past the end, or one that would wrap onto the reserved
    // record, finds nothing either.
    for (uint32_t start : {4u, 0xFFFFFFFFu}) {
      ErrorList more;
      uint32_t from = start;
      EXPECT_FALSE(scan.next(more, from, record));
      EXPECT_EQ(from, start);
    }
  }
}

TEST_F(PalmDatabaseRecordsTest, RecordCountLeavesOutTheReservedRecordAndDeletedOnes) {
  WriteRawDatabase(path_,
                   {{1, 0, 0, 0, 0, "a"},
                    {2, 0, 1, 0, 0, ""},
                    {3, 0, 2, 0, 0, "c"},
                    {4, 0, 1, 0, 0, ""},
                    {5, 0, 3, 0, 0, "e"}},
                   RawHeader{.deletedCount = 2});
  auto db = Open();
  EXPECT_EQ(Count(*db, false), 3u);
  EXPECT_EQ(Count(*db, true), 5u);
}

TEST_F(PalmDatabaseRecordsTest, DeletedCountIsRecomputedFromTheRecordsOnOpen) {
  for (uint32_t stored : {0u, 7u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(stored);
    WriteRawDatabase(path_, {{1, 0, 1, 0, 0, ""}, {2, 0, 0, 0, 0, "b"}, {3, 0, 1, 0, 0, ""}},
                     RawHeader{.deletedCount = stored});
    {
      auto db = Open();
      EXPECT_EQ(Count(*db, false), 1u);
      EXPECT_TRUE(db->CheckInvariants());
      ASSERT_TRUE(db->PurgeAllDeleted(errors_)) << errors_.Summary();
      EXPECT_EQ(Count(*db, false), 1u);
      EXPECT_EQ(Count(*db, true), 1u);
    }
    EXPECT_EQ(Le32At(ReadRawDatabase(path_).header, 276), 0u);
  }
}

TEST_F(PalmDatabaseRecordsTest, DeletingANewRecordPurgesItAndAnUnchangedOneKeepsAZeroedPayload) {
  WriteRawDatabase(path_, {{1, 0, R::STATUS_UNCHANGED, 0, 0, "handheld-secret"},
                           {2, 1, R::STATUS_NEW, 0, 0, "desktop-secret"}});
  {
    auto db = Open();
    R fresh(db.get());
    ASSERT_TRUE(db->ReadRecordById(errors_, 2, true, fresh));
    ASSERT_TRUE(db->DeleteRecord(errors_, fresh)) << errors_.Summary();
    EXPECT_EQ(Count(*db, true), 1u);
    EXPECT_EQ(Le32At(db->GetHeader(), 276), 0u);
    EXPECT_FALSE(db->HasRecordId({2, true}));

    R old(db.get());
    ASSERT_TRUE(db->ReadRecordById(errors_, 1, false, old));
    ASSERT_TRUE(db->DeleteRecord(errors_, old)) << errors_.Summary();
    EXPECT_EQ(Count(*db, true), 1u);
    EXPECT_EQ(Count(*db, false), 0u);
    EXPECT_EQ(Le32At(db->GetHeader(), 276), 1u);
    EXPECT_TRUE(db->CheckInvariants());
  }
  RawContents raw = ReadRawDatabase(path_);
  ASSERT_EQ(raw.records.size(), 2u);
  EXPECT_EQ(raw.records[1], (Raw{1, 0, R::STATUS_DELETED, 0, 0, std::string(15, '\0')}.Bytes()));
  EXPECT_EQ(Le32At(raw.header, 276), 1u);
  // The ".bak" copy taken before compaction still holds the dead slots:
  // neither payload may be left in them.
  std::string bak = ReadBytes(path_ + ".bak");
  ASSERT_FALSE(bak.empty());
  EXPECT_EQ(bak.find("handheld-secret"), std::string::npos);
  EXPECT_EQ(bak.find("desktop-secret"), std::string::npos);
}

TEST_F(PalmDatabaseRecordsTest, PurgeZeroesThePayloadInTheFileBeforeGivingUpTheSlot) {
  struct Case {
    const char* name;
    uint32_t status;
    std::function<bool(PalmDatabase&, ErrorList&)> purge;
  } cases[] = {
      {"by position", R::STATUS_UNCHANGED,
       [](PalmDatabase& db, ErrorList& e) { return db.PurgeRecordAt(e, 1); }},
      {"by ID", R::STATUS_MODIFIED,
       [](PalmDatabase& db, ErrorList& e) { return db.PurgeRecordById(e, 2, false); }},
      {"all deleted", R::STATUS_DELETED,
       [](PalmDatabase& db, ErrorList& e) { return db.PurgeAllDeleted(e); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteRawDatabase(
        path_, {{1, 0, 0, 0, 0, "first"}, {2, 0, c.status, 0, 0, "purged-secret"}, {3, 0, 0, 0, 0, "third"}},
        RawHeader{.deletedCount = c.status == R::STATUS_DELETED ? 1u : 0u});
    {
      auto db = Open();
      const uint32_t changes = db->ChangeCount();
      ErrorList errors;
      ASSERT_TRUE(c.purge(*db, errors)) << errors.Summary();
      EXPECT_EQ(db->ChangeCount(), changes + 1);
      EXPECT_FALSE(db->HasRecordId({2, false}));
      EXPECT_EQ(All(*db), (std::vector<Seen>{{1, false, 0, 0, 0, "first"}, {3, false, 0, 0, 0, "third"}}));
      EXPECT_EQ(Le32At(db->GetHeader(), 276), 0u);
      EXPECT_TRUE(db->CheckInvariants());
    }
    EXPECT_EQ(ReadBytes(path_ + ".bak").find("purged-secret"), std::string::npos);
    EXPECT_EQ(ReadBytes(path_).find("purged-secret"), std::string::npos);
  }
}

TEST_F(PalmDatabaseRecordsTest, InsertingAKeyThatExistsOrIdZeroFailsAndLeavesTheFileAlone) {
  {
    auto db = Create();
    R first = MakeRecord(db.get(), 5, false, 0, 0, "first");
    ASSERT_TRUE(db->AppendNew(errors_, first, false));
    struct Case {
      uint32_t recordId;
      uint32_t code;
      std::string message;
    } cases[] = {
        {5, D::kErrDuplicateId,
         "Attempt to insert record with duplicate record ID!  Contact support@tallmark.com!"},
        {0, D::kErrInvalidId,
         "Attempt to insert record with invalid record ID!  Contact support@tallmark.com!"},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(c.recordId);
      for (int how = 0; how < 3; ++how) {
        ErrorList errors;
        R again = MakeRecord(db.get(), c.recordId, false, 0, 0, "second");
        bool ok = how == 0   ? db->AppendNew(errors, again, false)
                  : how == 1 ? db->InsertAt(errors, again, 0, false)
                             : db->InsertBeforeNth(errors, 0, again);
        EXPECT_FALSE(ok);
        EXPECT_TRUE(HasDbError(errors, c.code, c.message));
        EXPECT_EQ(Count(*db, true), 1u);
      }
    }
    EXPECT_TRUE(db->CheckInvariants());
  }
  EXPECT_EQ(ReadRawDatabase(path_).records.size(), 2u);
}

TEST_F(PalmDatabaseRecordsTest, DuplicateKeysAreRepairedWithFreshDesktopIdsOnOpen) {
  struct Case {
    const char* name;
    std::vector<Raw> records;
    uint32_t lastDesktopId;
    std::vector<Seen> after;
    uint32_t lastAfter;
  } cases[] = {
      {"handheld key twice",
       {{3, 0, 0, 0, 1, "r1"},
        {7, 0, 0, 0, 2, "r2"},
        {4, 1, 2, 0, 1, "r3"},
        {9, 0, 0, 0, 1, "r4"},
        {7, 0, 2, 0, 3, "r5"}},
       4,
       {{3, false, 0, 0, 1, "r1"},
        {5, true, 3, 0, 2, "r2"},
        {4, true, 2, 0, 1, "r3"},
        {9, false, 0, 0, 1, "r4"},
        {6, true, 3, 0, 3, "r5"}},
       6},
      // A damaged counter below an ID in use: the repair skips that ID.
      {"fresh ID already taken",
       {{3, 0, 0, 0, 1, "r1"},
        {7, 0, 0, 0, 2, "r2"},
        {5, 1, 2, 0, 1, "r3"},
        {9, 0, 0, 0, 1, "r4"},
        {7, 0, 2, 0, 3, "r5"}},
       4,
       {{3, false, 0, 0, 1, "r1"},
        {6, true, 3, 0, 2, "r2"},
        {5, true, 2, 0, 1, "r3"},
        {9, false, 0, 0, 1, "r4"},
        {7, true, 3, 0, 3, "r5"}},
       7},
      {"desktop key three times",
       {{2, 1, 0, 0, 0, "a"}, {2, 1, 1, 0, 0, "b"}, {2, 1, 3, 0, 0, "c"}},
       2,
       // The deleted one stays deleted rather than coming back as new.
       {{3, true, 3, 0, 0, "a"}, {4, true, 1, 0, 0, "b"}, {5, true, 3, 0, 0, "c"}},
       5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RawHeader header{.deletedCount = 0, .lastDesktopRecordId = c.lastDesktopId};
    WriteRawDatabase(path_, c.records, header);
    {
      ErrorList errors;
      D db(errors, path_, D::kOpenExisting, D::kPalmHeaderSize);
      ASSERT_TRUE(db.IsOpen()) << errors.Summary();
      EXPECT_FALSE(errors.HasErrors()) << errors.Summary();
      EXPECT_TRUE(errors.IsWarning());
      EXPECT_TRUE(
          HasDbError(errors, D::kWarnDuplicateIds,
                     "Duplicate record IDs found in this database!  Attempting to repair! Close "
                     "Lockwell/PC, backup your Palm Desktop folder, and perform a HotSync immediately.  "
                     "Email support@tallmark.com if you see this message."));
      EXPECT_EQ(All(db), c.after);
      const RecordKey duplicated = c.records[1].desktopByte ? RecordKey{2, true} : RecordKey{7, false};
      EXPECT_FALSE(db.HasRecordId(duplicated));
      uint32_t number = 0;
      ErrorList lookup;
      EXPECT_FALSE(db.FindPositionById(lookup, duplicated.recordId, duplicated.desktopId, number));
      EXPECT_EQ(Le32At(db.GetHeader(), 280), c.lastAfter);
      EXPECT_TRUE(db.CheckInvariants());
    }
    // The repair is in the file: a second open finds nothing to repair.
    ErrorList errors;
    D db(errors, path_, D::kOpenExisting, D::kPalmHeaderSize);
    EXPECT_TRUE(errors.Empty()) << errors.Summary();
    EXPECT_EQ(All(db), c.after);
  }
}

TEST_F(PalmDatabaseRecordsTest, RecordsTooShortForAPrefixRefuseTheOpen) {
  for (size_t length : {0u, 4u, 24u}) {
    SCOPED_TRACE(length);
    WriteRawDatabase(path_, RawHeader().Bytes(),
                     {Raw{1}.Bytes(), Raw{2}.Bytes().substr(0, length), Raw{3}.Bytes()});
    ErrorList errors;
    D db(errors, path_, D::kOpenExisting, D::kPalmHeaderSize);
    EXPECT_TRUE(HasDbError(errors, D::kErrCorruptRecord,
                           "Record 2 of the database holds " + std::to_string(length) +
                               " bytes, fewer than the 25 every record starts with.  Database corrupt!"));
  }
  // Exactly 25 bytes is a record with an empty payload.
  WriteRawDatabase(path_, {Raw{1, 0, 0, 0, 0, ""}});
  auto db = Open();
  EXPECT_EQ(All(*db), (std::vector<Seen>{{1, false, 0, 0, 0, ""}}));
}

TEST_F(PalmDatabaseRecordsTest, AFileWithoutTheReservedRecordGetsOne) {
  WriteRawDatabase(path_, {}, RawHeader());
  {
    ErrorList errors;
    uint32_t size = 0;
    DatabaseFile file(errors, path_, DatabaseFile::kOpenExisting, size);
    ASSERT_TRUE(file.DeleteRecord(errors, 0)) << errors.Summary();
  }
  {
    auto db = Open();
    EXPECT_EQ(Count(*db, true), 0u);
    R record = MakeRecord(db.get(), 1, false, 0, 0, "first");
    ASSERT_TRUE(db->AppendNew(errors_, record, false)) << errors_.Summary();
    std::string reserved = "x";
    ASSERT_TRUE(db->ReadReservedRecord(errors_, reserved));
    EXPECT_EQ(reserved, "");
  }
  EXPECT_EQ(ReadRawDatabase(path_).records.size(), 2u);
}

TEST_F(PalmDatabaseRecordsTest, ScansByCategorySkipDeletedRecords) {
  // Positions 0-7: categories and statuses.
  WriteRawDatabase(path_,
                   {{1, 0, 0, 0, 1, ""},
                    {2, 0, 1, 0, 1, ""},
                    {3, 0, 0, 0, 2, ""},
                    {4, 0, 2, 0, 1, ""},
                    {5, 0, 1, 0, 2, ""},
                    {6, 0, 3, 0, 2, ""},
                    {7, 0, 0, 0, 1, ""},
                    {8, 0, 1, 0, 1, ""}},
                   RawHeader{.deletedCount = 3});
  auto db = Open();
  struct Case {
    uint32_t category;
    std::vector<uint32_t> ids;  // live records in order
  } cases[] = {
      {1, {1, 4, 7}},
      {2, {3, 6}},
      {ALL_CATEGORIES, {1, 3, 4, 6, 7}},
      {5, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.category);
    const uint32_t n = static_cast<uint32_t>(c.ids.size());
    // Forward, backward and out of order, as callers walk.
    std::vector<uint32_t> order;
    for (uint32_t i = 0; i < n; ++i) order.push_back(i);
    for (uint32_t i = n; i-- > 0;) order.push_back(i);
    for (uint32_t i = 0; i < n; i += 2) order.push_back(i);
    for (uint32_t i : order) {
      R record(db.get());
      ASSERT_TRUE(db->ReadNthInCategory(errors_, c.category, i, record)) << errors_.Summary();
      EXPECT_EQ(See(record).recordId, c.ids[i]);
    }
    ErrorList errors;
    R record(db.get());
    EXPECT_FALSE(db->ReadNthInCategory(errors, c.category, n, record));
    EXPECT_TRUE(HasDbError(errors, D::kErrNotFound, "Could not find record"));

    // ReadNthInCategory for the first, then ReadNextInCategory until it fails.
    std::vector<uint32_t> walked;
    ErrorList walk;
    R cursor(db.get());
    for (bool ok = db->ReadNthInCategory(walk, c.category, 0, cursor); ok;
         ok = db->ReadNextInCategory(walk, c.category, cursor))
      walked.push_back(See(cursor).recordId);
    EXPECT_EQ(walked, c.ids);
    EXPECT_TRUE(HasDbError(walk, D::kErrNotFound, "Could not find record"));
  }
}

TEST_F(PalmDatabaseRecordsTest, ScansReadOnlyTheRecordsTheyReturn) {
  constexpr uint32_t kCount = 200;
  std::vector<Raw> records;
  for (uint32_t i = 1; i <= kCount; ++i) records.push_back({i, 0, i % 7 == 0 ? 1u : 0u, 0, i % 3, "body"});
  RawHeader header;
  header.deletedCount = kCount / 7;
  WriteRawDatabase(path_, records, header);
  auto db = Open();
  {
    // Searches, prefixes and counts come from memory: not one file read.
    ScopedIoFault noReads(IoOp::Read, 1, EIO);
    uint32_t value = 0;
    std::vector<uint32_t> positions;
    RecordPrefix prefix;
    EXPECT_TRUE(db->GetRecordCount(errors_, false, value));
    EXPECT_TRUE(db->FindNextInCategory(errors_, 2, 0, value));
    EXPECT_TRUE(db->FindPrevInCategory(errors_, 2, kCount - 1, value));
    EXPECT_TRUE(db->FindNthInCategory(errors_, ALL_CATEGORIES, 150, value));
    EXPECT_TRUE(db->FindPositionById(errors_, 123, false, value));
    EXPECT_TRUE(db->ReadPrefixAt(errors_, 99, prefix));
    EXPECT_TRUE(db->ListSortedPositions(errors_, positions));
    EXPECT_FALSE(noReads.Fired());
  }
  // Reading every n-th record, forward then backward, reads each record
  // a bounded number of times, not every record before it.
  uint32_t live = 0;
  ASSERT_TRUE(db->GetRecordCount(errors_, false, live));
  ScopedIoFault budget(IoOp::Read, static_cast<int>(2 * live * 8), EIO);
  R record(db.get());
  for (uint32_t n = 0; n < live; ++n) ASSERT_TRUE(db->ReadNthInCategory(errors_, ALL_CATEGORIES, n, record));
  for (uint32_t n = live; n-- > 0;) ASSERT_TRUE(db->ReadNthInCategory(errors_, ALL_CATEGORIES, n, record));
  EXPECT_FALSE(budget.Fired());
  EXPECT_TRUE(errors_.Empty()) << errors_.Summary();
}

TEST_F(PalmDatabaseRecordsTest, FindNextAndPrevLookAtTheStartItselfAndNeverAtTheReservedRecord) {
  WriteRawDatabase(path_,
                   {{1, 0, 0, 0, 1, ""}, {2, 0, 1, 0, 1, ""}, {3, 0, 0, 0, 2, ""}, {4, 0, 0, 0, 1, ""}},
                   RawHeader{.deletedCount = 1});
  auto db = Open();
  struct Case {
    bool forward;
    uint32_t category;
    uint32_t start;
    int64_t found;  // -1: "Could not find record"
  } cases[] = {
      {true, 1, 0, 0},   {true, 1, 1, 3},
      {true, 2, 3, -1},  {true, ALL_CATEGORIES, 1, 2},
      {true, 1, 4, -1},  {true, 1, 0xFFFFFFFF, -1},
      {false, 1, 0, 0},  {false, 1, 2, 0},
      {false, 2, 1, -1}, {false, ALL_CATEGORIES, 3, 3},
      {false, 1, 4, -1}, {false, 1, 0xFFFFFFFF, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << (c.forward ? "next" : "prev") << " " << c.category << " from " << c.start);
    ErrorList errors;
    uint32_t position = 77;
    bool ok = c.forward ? db->FindNextInCategory(errors, c.category, c.start, position)
                        : db->FindPrevInCategory(errors, c.category, c.start, position);
    EXPECT_EQ(ok, c.found >= 0);
    if (c.found >= 0) {
      EXPECT_EQ(position, c.found);
    } else {
      EXPECT_TRUE(HasDbError(errors, D::kErrNotFound, "Could not find record"));
    }
  }
}

TEST_F(PalmDatabaseRecordsTest, InsertBeforeNthCountsLiveRecordsAndMarksNew) {
  WriteRawDatabase(path_, {{1, 0, 0, 0, 0, "a"}, {2, 0, 1, 0, 0, ""}, {3, 0, 0, 0, 0, "c"}},
                   RawHeader{.deletedCount = 1});
  auto db = Open();
  R before = MakeRecord(db.get(), 10, true, R::STATUS_UNCHANGED, 0, "x");
  ASSERT_TRUE(db->InsertBeforeNth(errors_, 1, before)) << errors_.Summary();
  R atEnd = MakeRecord(db.get(), 11, true, R::STATUS_UNCHANGED, 0, "y");
  ASSERT_TRUE(db->InsertBeforeNth(errors_, 4, atEnd)) << errors_.Summary();
  EXPECT_TRUE(errors_.Empty()) << errors_.Summary();

  // A modified record cannot be marked new: the refusal is reported, the
  // insert goes on.
  ErrorList errors;
  R modified = MakeRecord(db.get(), 12, true, R::STATUS_MODIFIED, 0, "z");
  EXPECT_TRUE(db->InsertBeforeNth(errors, 0, modified));
  EXPECT_TRUE(HasRecordError(errors, R::kErrCannotMarkNew));

  // A record that is new already takes no mark and no refusal.
  ErrorList quiet;
  R fresh(quiet, db.get(), true);
  fresh.SetPayload(quiet, "w");
  EXPECT_TRUE(db->AppendNew(quiet, fresh, true));
  EXPECT_TRUE(quiet.Empty()) << quiet.Summary();

  EXPECT_EQ(All(*db), (std::vector<Seen>{{12, true, 2, 0, 0, "z"},
                                         {1, false, 0, 0, 0, "a"},
                                         {2, false, 1, 0, 0, ""},
                                         {10, true, 3, 0, 0, "x"},
                                         {3, false, 0, 0, 0, "c"},
                                         {11, true, 3, 0, 0, "y"},
                                         {1, true, 3, 0, 0, "w"}}));
  // With a deleted record present, an n between the live and the full count
  // names no live record.
  ErrorList gap;
  R lost = MakeRecord(db.get(), 13, true, 0, 0, "");
  EXPECT_FALSE(db->InsertBeforeNth(gap, 6, lost));
  EXPECT_TRUE(HasDbError(gap, D::kErrNotFound));
  EXPECT_FALSE(db->HasRecordId({13, true}));
  EXPECT_TRUE(db->CheckInvariants());
}

TEST_F(PalmDatabaseRecordsTest, WriteRecordRegistersAChangedKey) {
  WriteRawDatabase(path_, {{1, 0, 0, 0, 0, "a"}, {2, 0, 0, 0, 0, "b"}});
  {
    auto db = Open();
    R record(db.get());
    ASSERT_TRUE(db->ReadRecordAt(errors_, 0, record));
    record.SetRecordId(errors_, 2, false);
    EXPECT_FALSE(db->WriteRecord(errors_, record));
    EXPECT_TRUE(HasDbError(errors_, D::kErrDuplicateId));
    EXPECT_TRUE(db->HasRecordId({1, false}));

    ErrorList errors;
    record.SetRecordId(errors, 9, true);
    record.SetPayload(errors, "longer payload than before");
    ASSERT_TRUE(db->WriteRecord(errors, record)) << errors.Summary();
    EXPECT_FALSE(db->HasRecordId({1, false}));
    uint32_t number = 0;
    ASSERT_TRUE(db->FindPositionById(errors, 9, true, number));
    EXPECT_EQ(number, 1u);
    EXPECT_TRUE(db->CheckInvariants());
  }
  RawContents raw = ReadRawDatabase(path_);
  ASSERT_EQ(raw.records.size(), 3u);
  EXPECT_EQ(raw.records[1], (Raw{9, 1, 2, 0, 0, "longer payload than before"}.Bytes()));
}

TEST_F(PalmDatabaseRecordsTest, ARecordCanBeWrittenRightAfterItWasInserted) {
  auto db = Create();
  {
    ErrorList errors;
    R never(errors, db.get(), true);
    EXPECT_FALSE(db->WriteRecord(errors, never));
    EXPECT_TRUE(HasDbError(errors, D::kErrNeverStored, "Cannot write a record that was never stored"));
  }
  for (int how = 0; how < 3; ++how) {
    SCOPED_TRACE(how);
    ErrorList errors;
    R record(errors, db.get(), true);
    bool ok = how == 0   ? db->AppendNew(errors, record, true)
              : how == 1 ? db->InsertAt(errors, record, 0, true)
                         : db->InsertBeforeNth(errors, 0, record);
    ASSERT_TRUE(ok) << errors.Summary();
    record.SetPayload(errors, "edited");
    ASSERT_TRUE(db->WriteRecord(errors, record)) << errors.Summary();
    uint32_t id = 0;
    bool desktop = false;
    record.GetRecordId(errors, id, desktop);
    R read(db.get());
    ASSERT_TRUE(db->ReadRecordById(errors, id, desktop, read));
    EXPECT_EQ(See(read).payload, "edited");
  }
}

TEST_F(PalmDatabaseRecordsTest, PositionsOutsideTheRecordsAreRefusedAndRecordZeroStaysReserved) {
  auto db = Create();
  ASSERT_TRUE(db->WriteReservedRecord(errors_, "preferences"));
  R one = MakeRecord(db.get(), 1, false, 0, 0, "one");
  ASSERT_TRUE(db->AppendNew(errors_, one, false));
  struct Case {
    const char* name;
    std::function<bool(ErrorList&)> op;
  } cases[] = {
      {"read at -1",
       [&](ErrorList& e) {
         R r(db.get());
         return db->ReadRecordAt(e, 0xFFFFFFFF, r);
       }},
      {"read at count",
       [&](ErrorList& e) {
         R r(db.get());
         return db->ReadRecordAt(e, 1, r);
       }},
      {"prefix at -1",
       [&](ErrorList& e) {
         RecordPrefix p;
         return db->ReadPrefixAt(e, 0xFFFFFFFF, p);
       }},
      {"purge at -1", [&](ErrorList& e) { return db->PurgeRecordAt(e, 0xFFFFFFFF); }},
      {"purge at count", [&](ErrorList& e) { return db->PurgeRecordAt(e, 1); }},
      {"insert at -1",
       [&](ErrorList& e) {
         R r = MakeRecord(db.get(), 2, false, 0, 0, "");
         return db->InsertAt(e, r, 0xFFFFFFFF, false);
       }},
      {"insert past count",
       [&](ErrorList& e) {
         R r = MakeRecord(db.get(), 2, false, 0, 0, "");
         return db->InsertAt(e, r, 2, false);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ErrorList errors;
    EXPECT_FALSE(c.op(errors));
    EXPECT_TRUE(HasDbError(errors, D::kErrPosition, "Invalid record position specified"));
  }
  std::string reserved;
  ASSERT_TRUE(db->ReadReservedRecord(errors_, reserved));
  EXPECT_EQ(reserved, "preferences");
  EXPECT_EQ(All(*db), (std::vector<Seen>{{1, false, 0, 0, 0, "one"}}));
}

TEST_F(PalmDatabaseRecordsTest, PrefixesAndSortedPositionsComeFromTheRecords) {
  WriteRawDatabase(path_,
                   {{1, 0, 0, 0, 3, "a", "ABCDEFGH"},
                    {2, 0, 0, R::FLAG_UNSORTED, 0, "b"},
                    {3, 0, 1, 0, 0, ""},
                    {4, 1, 3, R::FLAG_PENDING, 0, "d"}},
                   RawHeader{.deletedCount = 1});
  auto db = Open();
  std::vector<uint32_t> positions{99};
  ASSERT_TRUE(db->ListSortedPositions(errors_, positions));
  EXPECT_EQ(positions, (std::vector<uint32_t>{0, 3}));

  RecordPrefix prefix;
  ASSERT_TRUE(db->ReadPrefixAt(errors_, 0, prefix));
  EXPECT_EQ(prefix.recordId, 1u);
  EXPECT_EQ(prefix.category, 3u);
  EXPECT_EQ(std::string(prefix.extra.begin(), prefix.extra.end()), "ABCDEFGH");
  ASSERT_TRUE(db->ReadPrefixAt(errors_, 3, prefix));
  EXPECT_TRUE(prefix.desktopId);
  EXPECT_EQ(prefix.status, R::STATUS_NEW);
  EXPECT_EQ(prefix.syncFlags, R::FLAG_PENDING);

  R first(db.get());
  ASSERT_TRUE(db->ReadFirstDesktopRecord(errors_, first));
  EXPECT_EQ(See(first).recordId, 4u);
}

TEST_F(PalmDatabaseRecordsTest, ReloadFromBackupPutsTheCopyBackAndReloadsTheRecords) {
  WriteRawDatabase(path_, {{1, 0, 0, 0, 0, "a"}});
  auto db = Open();
  ASSERT_TRUE(db->BackupNow(errors_));
  R added = MakeRecord(db.get(), 2, false, 0, 0, "b");
  ASSERT_TRUE(db->AppendNew(errors_, added, true));
  uint32_t category = 0;
  ASSERT_TRUE(db->AddCategory(errors_, "Later", category));
  const uint32_t changes = db->ChangeCount();

  ASSERT_TRUE(db->ReloadFromBackup(errors_)) << errors_.Summary();
  EXPECT_GT(db->ChangeCount(), changes);
  EXPECT_EQ(All(*db), (std::vector<Seen>{{1, false, 0, 0, 0, "a"}}));
  EXPECT_FALSE(db->HasRecordId({2, false}));
  std::string name;
  ASSERT_TRUE(db->GetCategoryName(errors_, 1, name));
  EXPECT_EQ(name, "");
  EXPECT_TRUE(db->CheckInvariants());
}

TEST_F(PalmDatabaseRecordsTest, FailedFileWritesLeaveMemoryInLineWithTheFile) {
  WriteRawDatabase(path_, {{1, 0, 0, 0, 0, "a"}, {2, 0, 0, 0, 0, "b"}});
  auto db = Open();
  {
    // A failed insert gives its key back, so the same key can be inserted
    // later.
    ErrorList errors;
    R record = MakeRecord(db.get(), 3, false, 0, 0, "c");
    ScopedIoFault fault(IoOp::Write, 1, ENOSPC);
    EXPECT_FALSE(db->InsertAt(errors, record, 0, true));
    EXPECT_TRUE(fault.Fired());
  }
  EXPECT_FALSE(db->HasRecordId({3, false}));
  EXPECT_TRUE(db->CheckInvariants());
  {
    // A failed key change keeps the old key.
    ErrorList errors;
    R record(db.get());
    ASSERT_TRUE(db->ReadRecordAt(errors, 1, record));
    record.SetRecordId(errors, 8, false);
    ScopedIoFault fault(IoOp::Write, 1, ENOSPC);
    EXPECT_FALSE(db->WriteRecord(errors, record));
    EXPECT_TRUE(fault.Fired());
  }
  EXPECT_TRUE(db->HasRecordId({2, false}));
  EXPECT_FALSE(db->HasRecordId({8, false}));
  EXPECT_TRUE(db->CheckInvariants());

  R record = MakeRecord(db.get(), 3, false, 0, 0, "c");
  ASSERT_TRUE(db->InsertAt(errors_, record, 0, false)) << errors_.Summary();
  EXPECT_EQ(All(*db), (std::vector<Seen>{
                          {3, false, 0, 0, 0, "c"}, {1, false, 0, 0, 0, "a"}, {2, false, 0, 0, 0, "b"}}));
}

TEST_F(PalmDatabaseRecordsTest, AClosedDatabaseRefusesEveryOperation) {
  D db;
  EXPECT_FALSE(db.IsOpen());
  R record(&db);
  uint32_t value = 0;
  std::string text;
  struct Case {
    const char* name;
    std::function<bool(ErrorList&)> op;
  } cases[] = {
      {"count", [&](ErrorList& e) { return db.GetRecordCount(e, true, value); }},
      {"read nth", [&](ErrorList& e) { return db.ReadNthInCategory(e, ALL_CATEGORIES, 0, record); }},
      {"append", [&](ErrorList& e) { return db.AppendNew(e, record, true); }},
      {"write", [&](ErrorList& e) { return db.WriteRecord(e, record); }},
      {"purge deleted", [&](ErrorList& e) { return db.PurgeAllDeleted(e); }},
      {"category name", [&](ErrorList& e) { return db.GetCategoryName(e, 0, text); }},
      {"add category", [&](ErrorList& e) { return db.AddCategory(e, "x", value); }},
      {"save header", [&](ErrorList& e) { return db.SaveHeader(e); }},
      {"reserved", [&](ErrorList& e) { return db.ReadReservedRecord(e, text); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ErrorList errors;
    EXPECT_FALSE(c.op(errors));
    EXPECT_TRUE(HasDbError(errors, D::kErrNotOpen, "Database not open!"));
  }
}

}  // namespace
}  // namespace lockwell::palmtest
