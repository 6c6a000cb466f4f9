// Sorted insertion and the re-sort after a HotSync.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "VaultDatabaseFixture.h"

namespace lockwell::vaulttest {
namespace {

using R = PalmDatabaseRecord;

class SortTest : public VaultDatabaseTest {
 protected:
  // The straightforward re-sort: take each marked record out and insert it
  // again with insertSorted, decrypting every probe.
  bool PlainResort(LockwellDatabase& db) {
    uint32_t count = 0;
    if (!db.GetRecordCount(errors_, true, count)) return false;
    for (uint32_t i = 0; i < count;) {
      RecordPrefix prefix;
      if (!db.ReadPrefixAt(errors_, i, prefix)) return false;
      if (prefix.status == R::STATUS_DELETED || (prefix.syncFlags & R::FLAG_UNSORTED) == 0) {
        ++i;
        continue;
      }
      LockwellRecord record(&db);
      if (!db.ReadRecordAt(errors_, i, record)) return false;
      record.SetSyncFlags(errors_, prefix.syncFlags & ~R::FLAG_UNSORTED);
      if (!db.repositionRecord(errors_, record)) return false;
    }
    return true;
  }
};

struct InsertCase {
  const char* name;
  std::vector<FixtureAccount> stored;
  std::string title;
  std::vector<std::string> expected;  // live titles in file order afterwards
};

void PrintTo(const InsertCase& c, std::ostream* out) { *out << c.name; }

FixtureAccount Account(const char* title, uint32_t status = 0, uint32_t flags = 0) {
  FixtureAccount a = FixtureAccount::Simple(title, "", "");
  a.status = status;
  a.syncFlags = flags;
  return a;
}

class InsertSortedTest : public SortTest, public ::testing::WithParamInterface<InsertCase> {};

TEST_P(InsertSortedTest, NewAccountLandsAtItsSortedPlace) {
  const InsertCase& c = GetParam();
  VaultFixture fixture;
  fixture.accounts = c.stored;
  auto db = Open(Write(fixture), "");
  ASSERT_TRUE(db->IsOpen()) << errors_.Summary();
  LockwellRecord record(errors_, db.get(), true);
  Fill(record, c.title);
  ASSERT_TRUE(db->insertSorted(errors_, record)) << errors_.Summary();
  EXPECT_EQ(Titles(*db), c.expected);
  // The new record is new and was not marked again by the insert.
  LockwellRecord read(db.get());
  uint32_t recordId = 0;
  bool desktop = false;
  record.GetRecordId(errors_, recordId, desktop);
  ASSERT_TRUE(db->ReadRecordById(errors_, recordId, desktop, read)) << errors_.Summary();
  uint32_t status = 0;
  read.GetStatus(errors_, status);
  EXPECT_EQ(status, R::STATUS_NEW);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InsertSortedTest,
    ::testing::Values(
        InsertCase{"empty", {}, "M", {"M"}},
        InsertCase{"first", {Account("B"), Account("C")}, "A", {"A", "B", "C"}},
        InsertCase{"middle", {Account("A"), Account("C")}, "B", {"A", "B", "C"}},
        InsertCase{"equalGoesBefore", {Account("A"), Account("B")}, "B", {"A", "B", "B"}},
        InsertCase{"uppercaseFirst", {Account("Z"), Account("a")}, "b", {"Z", "a", "b"}},
        // After the last: the end of the file, behind the deleted records in
        // front too.
        InsertCase{"lastBehindDeleted", {Account("X", R::STATUS_DELETED), Account("A"), Account("B")}, "Z",
                   {"A", "B", "Z"}},
        InsertCase{"lastBehindTwoDeleted",
                   {Account("X", R::STATUS_DELETED), Account("A"), Account("Y", R::STATUS_DELETED), Account("B")},
                   "C", {"A", "B", "C"}},
        // Unsorted records are not probed; the new one goes before the first
        // sorted record that is not less.
        InsertCase{"skipsUnsorted", {Account("A"), Account("Q", 0, R::FLAG_UNSORTED), Account("C")}, "B",
                   {"A", "Q", "B", "C"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SortTest, RepositionMovesAnEditedAccount) {
  VaultFixture fixture;
  fixture.accounts = {Account("A"), Account("B"), Account("C")};
  auto db = Open(Write(fixture), "");
  LockwellRecord record(db.get());
  ASSERT_TRUE(db->ReadNthInCategory(errors_, ALL_CATEGORIES, 0, record));
  record.setTitle(errors_, "D");
  ASSERT_TRUE(db->repositionRecord(errors_, record)) << errors_.Summary();
  EXPECT_EQ(Titles(*db), (std::vector<std::string>{"B", "C", "D"}));
}

// The re-sort gives the same file as the straightforward algorithm: same
// order, same IDs, statuses, flags and bodies.
TEST_F(SortTest, ResortMatchesTheStraightforwardAlgorithm) {
  VaultFixture fixture = VaultFixture::Generated(80, 4, "pw", 25, 7);
  // A few things the conduit leaves behind: deleted records between the
  // sorted ones, equal accounts, a pending mark, a record both unsorted and
  // deleted.
  fixture.accounts[3].status = R::STATUS_DELETED;
  fixture.accounts[40].status = R::STATUS_DELETED;
  fixture.accounts[70].status = R::STATUS_DELETED;
  fixture.accounts[60].syncFlags |= R::FLAG_PENDING;
  fixture.accounts[61] = fixture.accounts[10];
  fixture.accounts[61].recordId = 5;
  fixture.accounts[61].syncFlags = R::FLAG_UNSORTED;
  fixture.accounts[62].title = fixture.accounts[20].title;
  const std::string fast = Write(fixture, "fast.lwdb");
  std::filesystem::copy_file(fast, dir_.File("plain.lwdb"));

  std::vector<StoredRecord> fastResult, plainResult;
  {
    auto db = Open(fast, "pw");
    ASSERT_TRUE(db->IsOpen()) << errors_.Summary();
    EXPECT_TRUE(db->needsResort());
    ASSERT_TRUE(db->resortAfterHotSync(errors_)) << errors_.Summary();
    EXPECT_FALSE(db->needsResort());
    fastResult = Stored(*db);
    std::vector<std::string> titles = Titles(*db);
    EXPECT_TRUE(std::is_sorted(titles.begin(), titles.end()));
  }
  {
    auto db = Open(dir_.File("plain.lwdb"), "pw");
    ASSERT_TRUE(PlainResort(*db)) << errors_.Summary();
    plainResult = Stored(*db);
  }
  EXPECT_EQ(fastResult, plainResult);
  ASSERT_EQ(fastResult.size(), 80u);
  for (const StoredRecord& r : fastResult) {
    if (r.status == R::STATUS_DELETED) continue;
    EXPECT_EQ(r.flags & R::FLAG_UNSORTED, 0u) << r;
    EXPECT_EQ(r.status, R::STATUS_UNCHANGED) << r;  // moving is no change
  }
  auto reopened = Open(fast, "pw");
  EXPECT_FALSE(reopened->needsResort());
}

}  // namespace
}  // namespace lockwell::vaulttest
