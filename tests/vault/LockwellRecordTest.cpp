// The account record inside a database: bodies, unchanged records keeping
// their ciphertext, and the pieces of the conflict pass.
#include <gtest/gtest.h>

#include "VaultDatabaseFixture.h"
#include "VaultTestUtil.h"
#include "vault/RecordCipher.h"
#include "vault/RecordModule.h"

namespace lockwell::vaulttest {
namespace {

using RecordTest = VaultDatabaseTest;

TEST_F(RecordTest, EmptyAccountStoresTwelveTerminatorsAsAFortyByteBody) {
  auto db = Open(dir_.File("new.lwdb"), "", true);
  ASSERT_TRUE(db->IsOpen()) << errors_.Summary();
  LockwellRecord record(errors_, db.get(), true);
  ASSERT_TRUE(db->insertSorted(errors_, record)) << errors_.Summary();  // no text set at all
  std::vector<StoredRecord> stored = Stored(*db);
  ASSERT_EQ(stored.size(), 1u);
  ASSERT_EQ(stored[0].payload.size(), 40u);
  SecureBytes plaintext;
  ASSERT_TRUE(DecryptBody(errors_, VaultKeys::Default(), stored[0].payload, BodyRecord{}, plaintext));
  EXPECT_EQ(test::AsString(plaintext), std::string(16, '\0'));
}

// Reading and writing back without a text change keeps IV and ciphertext;
// a changed text gets a fresh body that decrypts to the new text.
TEST_F(RecordTest, UnchangedRecordKeepsItsBodyByteForByte) {
  VaultFixture fixture;
  fixture.passphrase = "pw";
  fixture.accounts = {FixtureAccount::Simple("Bank", "joe", "1234")};
  fixture.accounts[0].note = "line one\r\nline two";
  auto db = Open(Write(fixture), "pw");
  ASSERT_TRUE(db->IsOpen()) << errors_.Summary();
  const std::string before = Stored(*db)[0].payload;

  LockwellRecord record(db.get());
  ASSERT_TRUE(db->ReadNthInCategory(errors_, ALL_CATEGORIES, 0, record)) << errors_.Summary();
  EXPECT_FALSE(record.plaintextChanged());
  SecureString note;
  record.getNote(errors_, note);
  EXPECT_EQ(note.view(), "line one\r\nline two");
  ASSERT_TRUE(record.SetCategory(errors_, 2));
  ASSERT_TRUE(db->WriteRecord(errors_, record)) << errors_.Summary();
  StoredRecord after = Stored(*db)[0];
  EXPECT_EQ(after.payload, before);
  EXPECT_EQ(after.category, 2u);
  EXPECT_EQ(after.status, PalmDatabaseRecord::STATUS_MODIFIED);

  ASSERT_TRUE(record.setField(errors_, 1, "Pwd", "5678"));
  ASSERT_TRUE(db->WriteRecord(errors_, record)) << errors_.Summary();
  EXPECT_NE(Stored(*db)[0].payload, before);
  LockwellRecord again(db.get());
  ASSERT_TRUE(db->ReadNthInCategory(errors_, ALL_CATEGORIES, 0, again)) << errors_.Summary();
  SecureString label, value;
  again.getField(errors_, 1, label, value);
  EXPECT_EQ(label.view(), "Pwd:");
  EXPECT_EQ(value.view(), "5678");
}

TEST_F(RecordTest, RecordWithoutItsDatabaseCannotBeEncrypted) {
  LockwellRecord record;
  record.setTitle(errors_, "Orphan");
  std::string bytes;
  EXPECT_FALSE(record.Serialize(errors_, bytes));
  EXPECT_TRUE(errors_.Contains(PalmDatabaseRecord::ModuleId(), PalmDatabaseRecord::kErrNoDatabase));
}

TEST_F(RecordTest, DamagedBodyFailsWithTheRecordDigestError) {
  VaultFixture fixture;
  fixture.accounts = {FixtureAccount::Simple("Good", "", "")};
  FixtureAccount bad = FixtureAccount::Simple("", "", "");
  bad.rawPayload = true;
  bad.payload = std::string(40, '\x5A');
  fixture.accounts.push_back(bad);
  auto db = Open(Write(fixture), "");
  ASSERT_TRUE(db->IsOpen()) << errors_.Summary();
  LockwellRecord record(db.get());
  EXPECT_FALSE(db->ReadNthInCategory(errors_, ALL_CATEGORIES, 1, record));
  EXPECT_TRUE(errors_.Contains(RecordModuleId(), RECORD_DIGEST_INCORRECT)) << errors_.Summary();
}

// The conflict pass: records the handheld left under an older passphrase
// (salted with their own extra bytes) or the default key fail their digest,
// read with the right alternate passphrase, and are stored under the current
// keys, marked modified.
TEST_F(RecordTest, RecordsUnderAnOlderPassphraseReadWithTheAlternatePassphrase) {
  VaultFixture fixture;
  fixture.passphrase = "new pass";
  fixture.passphraseChanged = true;
  fixture.accounts = {FixtureAccount::Simple("Current", "", ""), FixtureAccount::Simple("Older", "", ""),
                      FixtureAccount::Simple("Default", "", "")};
  fixture.accounts[1].key = FixtureAccount::Key::kOlder;
  fixture.accounts[1].olderPassphrase = "old pass";
  fixture.accounts[2].key = FixtureAccount::Key::kDefault;
  const std::string path = Write(fixture);
  struct Case {
    uint32_t n;
    const char* wrongCandidate;  // nullptr: reads without one
    const char* rightCandidate;
  } cases[] = {{0, nullptr, nullptr}, {1, "", "old pass"}, {2, "old pass", ""}};
  {
    auto db = Open(path, "new pass");
    ASSERT_TRUE(db->IsOpen()) << errors_.Summary();
    EXPECT_TRUE(db->passphraseChangedOnHandheld());
    for (const Case& c : cases) {
      SCOPED_TRACE(c.n);
      LockwellRecord record(db.get());
      if (c.rightCandidate == nullptr) {
        EXPECT_TRUE(db->ReadNthInCategory(errors_, ALL_CATEGORIES, c.n, record)) << errors_.Summary();
        continue;
      }
      ErrorList first;
      EXPECT_FALSE(db->ReadNthInCategory(first, ALL_CATEGORIES, c.n, record));
      EXPECT_TRUE(first.Contains(RecordModuleId(), RECORD_DIGEST_INCORRECT));
      ErrorList second;
      record.setAlternatePassphrase(second, c.wrongCandidate);
      EXPECT_FALSE(db->ReadNthInCategory(second, ALL_CATEGORIES, c.n, record));
      EXPECT_TRUE(second.Contains(RecordModuleId(), RECORD_DIGEST_INCORRECT));
      record.setAlternatePassphrase(errors_, c.rightCandidate);
      ASSERT_TRUE(db->ReadNthInCategory(errors_, ALL_CATEGORIES, c.n, record)) << errors_.Summary();
      ASSERT_TRUE(record.MarkModified(errors_));
      record.setPlaintextChanged(true);
      ASSERT_TRUE(db->WriteRecord(errors_, record)) << errors_.Summary();
    }
    ASSERT_TRUE(db->clearPassphraseChangedFlag(errors_));
  }
  auto db = Open(path, "new pass");
  ASSERT_TRUE(db->IsOpen()) << errors_.Summary();
  EXPECT_FALSE(db->passphraseChangedOnHandheld());
  EXPECT_EQ(Titles(*db), (std::vector<std::string>{"Current", "Older", "Default"}));
  std::vector<StoredRecord> stored = Stored(*db);
  EXPECT_EQ(stored[0].status, PalmDatabaseRecord::STATUS_UNCHANGED);
  EXPECT_EQ(stored[1].status, PalmDatabaseRecord::STATUS_MODIFIED);
  EXPECT_EQ(stored[2].status, PalmDatabaseRecord::STATUS_MODIFIED);
}

}  // namespace
}  // namespace lockwell::vaulttest
