// Changing the passphrase of a database made on the PC.
#include <gtest/gtest.h>

#include <filesystem>

#include "VaultDatabaseFixture.h"
#include "VaultTestUtil.h"
#include "vault/RecordCipher.h"
#include "vault/RecordModule.h"

namespace lockwell::vaulttest {
namespace {

constexpr char kCannotChange[] =
    "Cannot change passphrase on the PC.  Change it on the Palm and then perform a HotSync operation.";

class PassphraseChangeTest : public VaultDatabaseTest {
 protected:
  VaultFixture PcDatabase(const std::string& passphrase) {
    VaultFixture fixture;
    fixture.pcOwned = true;
    fixture.passphrase = passphrase;
    fixture.accounts = {FixtureAccount::Simple("Alpha", "a", "1"), FixtureAccount::Simple("Beta", "b", "2"),
                        FixtureAccount::Simple("Gamma", "c", "3")};
    fixture.accounts[1].status = PalmDatabaseRecord::STATUS_NEW;
    return fixture;
  }
  const std::vector<std::string> kTitles = {"Alpha", "Beta", "Gamma"};
};

struct ChangeCase {
  const char* name;
  std::string from;
  std::string to;
};

void PrintTo(const ChangeCase& c, std::ostream* out) { *out << c.name; }

class ChangeTest : public PassphraseChangeTest, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(ChangeTest, EveryRecordMovesToTheNewKeyAndOnlyTheNewPassphraseOpens) {
  const ChangeCase& c = GetParam();
  const std::string path = Write(PcDatabase(c.from));
  {
    auto db = Open(path, c.from);
    ASSERT_TRUE(db->IsOpen()) << errors_.Summary();
    const std::string saltBefore = db->GetHeader().substr(304, 8);
    ASSERT_TRUE(db->changePassphrase(errors_, SecureString(c.to))) << errors_.Summary();
    EXPECT_EQ(Titles(*db), kTitles);
    const std::string& header = db->GetHeader();
    if (c.to.empty()) {
      // No passphrase: flag, digest and reserved byte cleared, salt kept,
      // bodies under the default key.
      EXPECT_EQ(header.substr(286, 18), std::string(18, '\0'));
      EXPECT_EQ(header.substr(304, 8), saltBefore);
      for (const StoredRecord& r : Stored(*db)) {
        SecureBytes plaintext;
        EXPECT_TRUE(DecryptBody(errors_, VaultKeys::Default(), r.payload, BodyRecord{}, plaintext)) << r;
      }
    } else {
      EXPECT_EQ(header[286], 1);
      EXPECT_NE(header.substr(304, 8), saltBefore);
    }
  }
  auto db = Open(path, c.to);
  ASSERT_TRUE(db->IsOpen()) << errors_.Summary();
  EXPECT_EQ(Titles(*db), kTitles);
  if (c.from != c.to) {
    db.reset();
    ErrorList wrong;
    LockwellDatabase again(wrong, path, SecureString(c.from), false);
    EXPECT_FALSE(again.IsOpen());
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ChangeTest,
                         ::testing::Values(ChangeCase{"set", "", "first"}, ChangeCase{"change", "old", "new"},
                                           ChangeCase{"remove", "old", ""}, ChangeCase{"same", "same", "same"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PassphraseChangeTest, HotSyncDatabaseRefusesAndNothingChanges) {
  VaultFixture fixture = PcDatabase("pw");
  fixture.pcOwned = false;
  const std::string path = Write(fixture);
  auto db = Open(path, "pw");
  ASSERT_TRUE(db->IsOpen()) << errors_.Summary();
  const std::string header = db->GetHeader();
  const std::vector<StoredRecord> before = Stored(*db);
  EXPECT_FALSE(db->changePassphrase(errors_, SecureString("other")));
  ExpectDatabaseError(errors_, 0x80010002, kCannotChange);
  EXPECT_EQ(db->GetHeader(), header);
  EXPECT_EQ(Stored(*db), before);
  EXPECT_FALSE(std::filesystem::exists(path + ".bak"));
  errors_.Clear();
  EXPECT_EQ(Titles(*db), kTitles);  // the keys still read every record
}

// One record that does not decrypt: the file goes back to its backup, the
// old keys and passphrase stay, and the old passphrase still opens the file.
TEST_F(PassphraseChangeTest, FailureOnOneRecordRestoresTheBackup) {
  VaultFixture fixture = PcDatabase("old");
  FixtureAccount damaged = FixtureAccount::Simple("", "", "");
  damaged.rawPayload = true;
  damaged.payload = std::string(48, '\x33');
  fixture.accounts.push_back(damaged);
  fixture.accounts.push_back(FixtureAccount::Simple("Omega", "", ""));
  const std::string path = Write(fixture);
  {
    auto db = Open(path, "old");
    ASSERT_TRUE(db->IsOpen()) << errors_.Summary();
    const std::string header = db->GetHeader();
    const std::vector<StoredRecord> before = Stored(*db);
    EXPECT_FALSE(db->changePassphrase(errors_, SecureString("new")));
    EXPECT_TRUE(errors_.Contains(RecordModuleId(), RECORD_DIGEST_INCORRECT)) << errors_.Summary();
    errors_.Clear();
    ASSERT_TRUE(db->IsOpen());
    EXPECT_EQ(db->GetHeader(), header);
    EXPECT_EQ(Stored(*db), before);
    LockwellRecord record(db.get());
    ASSERT_TRUE(db->ReadNthInCategory(errors_, ALL_CATEGORIES, 0, record)) << errors_.Summary();
  }
  errors_.Clear();
  EXPECT_FALSE(Open(path, "new")->IsOpen());
  errors_.Clear();
  auto db = Open(path, "old");
  ASSERT_TRUE(db->IsOpen()) << errors_.Summary();
  LockwellRecord record(db.get());
  ASSERT_TRUE(db->ReadNthInCategory(errors_, ALL_CATEGORIES, 4, record)) << errors_.Summary();
  SecureString title;
  record.getTitle(errors_, title);
  EXPECT_EQ(title.view(), "Omega");
}

}  // namespace
}  // namespace lockwell::vaulttest
