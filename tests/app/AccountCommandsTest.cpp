// Find, Copy/Cut/Paste and Delete of accounts on real database files, with
// the wrap-around question and the error dialog answered by a script.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "app/AccountIdentity.h"
#include "app/AccountSearch.h"
#include "app/AccountTransfer.h"
#include "app/DeleteAccounts.h"
#include "palmdb/CategoryConstants.h"
#include "palmdb/PalmDatabaseRecord.h"
#include "support/TempDir.h"
#include "support/VaultFixture.h"
#include "vault/LockwellDatabase.h"
#include "vault/LockwellRecord.h"

namespace lockwell::testing {
namespace {

constexpr uint32_t kBusiness = 1;
constexpr uint32_t kPersonal = 2;

class ScriptedSearchUi : public AccountSearch::Ui {
 public:
  std::deque<bool> wrapAnswers;
  std::vector<std::string> log;

  void ShowErrors(const ErrorList& errors) override { log.push_back("errors: " + errors.Summary()); }
  void Notice(const std::string& caption, const std::string& text) override {
    log.push_back(caption + ": " + text);
  }
  bool AskWrapAround(const std::string& text) override {
    log.push_back(text);
    const bool yes = !wrapAnswers.empty() && wrapAnswers.front();
    if (!wrapAnswers.empty()) wrapAnswers.pop_front();
    return yes;
  }
};

// One live account as the tests look at it.
struct Seen {
  std::string title;
  uint32_t category;
  uint32_t status;
  bool desktopId;
};

class AccountCommandsTest : public ::testing::Test {
 protected:
  // Accounts "Account 1" .. "Account n" in `category` (titles sort in that
  // order for n < 10), each stored unchanged with a handheld ID.
  void Build(std::vector<FixtureAccount> accounts) {
    VaultFixture fixture;
    fixture.passphrase = "pass";
    fixture.accounts = std::move(accounts);
    std::string error;
    ASSERT_TRUE(fixture.Write(path_, error)) << error;
    ErrorList errors;
    db_ = std::make_unique<LockwellDatabase>(errors, path_, SecureString("pass"), false);
    ASSERT_TRUE(db_->IsOpen()) << errors.Summary();
  }

  static FixtureAccount Account(int n, uint32_t category, const std::string& value = "plain") {
    FixtureAccount account = FixtureAccount::Simple("Account " + std::to_string(n), value, "pw");
    account.category = category;
    return account;
  }

  uint32_t IdentityOf(LockwellRecord& record) {
    ErrorList errors;
    uint32_t recordId = 0;
    bool desktopId = false;
    EXPECT_TRUE(record.GetRecordId(errors, recordId, desktopId)) << errors.Summary();
    return AccountIdentity::Make(recordId, desktopId);
  }

  // Identity of the n-th live account of `category`.
  uint32_t Nth(uint32_t category, uint32_t n) {
    ErrorList errors;
    LockwellRecord record(db_.get());
    EXPECT_TRUE(db_->ReadNthInCategory(errors, category, n, record)) << errors.Summary();
    return IdentityOf(record);
  }

  std::string TitleOf(LockwellRecord& record) { return std::string(record.fields().title().view()); }

  std::vector<Seen> Live() {
    std::vector<Seen> seen;
    ErrorList errors;
    uint32_t count = 0;
    EXPECT_TRUE(db_->GetRecordCount(errors, false, count));
    for (uint32_t n = 0; n < count; ++n) {
      LockwellRecord record(db_.get());
      EXPECT_TRUE(db_->ReadNthInCategory(errors, ALL_CATEGORIES, n, record)) << errors.Summary();
      uint32_t category = 0, status = 0, recordId = 0;
      bool desktopId = false;
      record.GetCategory(errors, category);
      record.GetStatus(errors, status);
      record.GetRecordId(errors, recordId, desktopId);
      seen.push_back({TitleOf(record), category, status, desktopId});
    }
    return seen;
  }

  // Runs the search step and returns the title found, or
  // "" when the search ended without one.
  std::string Search() {
    LockwellRecord found(db_.get());
    return search_.Step(*db_, ui_, found) ? TitleOf(found) : "";
  }

  TempDir dir_;
  std::string path_ = dir_.File("accounts.lwdb");
  std::unique_ptr<LockwellDatabase> db_;
  AccountSearch search_;
  ScriptedSearchUi ui_;
};

TEST_F(AccountCommandsTest, FindWrapsAroundOnRequest) {
  Build({Account(1, kBusiness), Account(2, kBusiness, "xABCx"), Account(3, kBusiness), Account(4, kPersonal, "abc"),
         Account(5, kBusiness, "ABC"), Account(6, kBusiness)});
  ErrorList errors;
  ASSERT_TRUE(search_.Start(errors, *db_, kBusiness, "abc", false, false, std::nullopt));
  EXPECT_EQ(Search(), "Account 2");
  EXPECT_EQ(Search(), "Account 5");
  ui_.wrapAnswers = {true};
  EXPECT_EQ(Search(), "Account 2");
  EXPECT_EQ(ui_.log, std::vector<std::string>{AccountSearch::kWrapToBeginning});
}

TEST_F(AccountCommandsTest, CaseSensitiveSearchThatFindsNothingAsksUntilNo) {
  Build({Account(1, kBusiness), Account(2, kBusiness, "ABC")});
  ErrorList errors;
  ASSERT_TRUE(search_.Start(errors, *db_, kBusiness, "abc", true, false, std::nullopt));
  ui_.wrapAnswers = {true, true, false};
  EXPECT_EQ(Search(), "");
  EXPECT_EQ(ui_.log, std::vector<std::string>(3, AccountSearch::kWrapToBeginning));
}

TEST_F(AccountCommandsTest, BackwardsFromNothingSelectedStartsAtTheLastRecord) {
  Build({Account(1, kBusiness, "hit"), Account(2, kBusiness), Account(3, kBusiness, "hit")});
  ErrorList errors;
  ASSERT_TRUE(search_.Start(errors, *db_, ALL_CATEGORIES, "hit", false, true, std::nullopt));
  EXPECT_EQ(Search(), "Account 3");
  EXPECT_EQ(Search(), "Account 1");
  ui_.wrapAnswers = {true};
  EXPECT_EQ(Search(), "Account 3");
  EXPECT_EQ(ui_.log, std::vector<std::string>{AccountSearch::kWrapToEnd});
}

TEST_F(AccountCommandsTest, FindStartsAtTheSelectedAccountAndFindAgainMovesOn) {
  Build({Account(1, kBusiness, "hit"), Account(2, kBusiness, "hit"), Account(3, kBusiness, "hit")});
  LockwellRecord selected(db_.get());
  ErrorList errors;
  uint32_t index = 0;
  ASSERT_TRUE(db_->ReadNthInCategory(errors, kBusiness, 1, selected) && selected.GetIndex(errors, index));
  ASSERT_TRUE(search_.Start(errors, *db_, kBusiness, "HIT", false, false, index));
  EXPECT_EQ(Search(), "Account 2");
  EXPECT_EQ(Search(), "Account 3");
}

TEST_F(AccountCommandsTest, LabelsAndTitlesMatchToo) {
  Build({Account(1, kBusiness), Account(2, kBusiness)});
  for (const char* text : {"login", "Account 2", "PW"}) {
    SCOPED_TRACE(text);
    ErrorList errors;
    ASSERT_TRUE(search_.Start(errors, *db_, kBusiness, text, false, false, std::nullopt));
    EXPECT_NE(Search(), "");
  }
}

TEST_F(AccountCommandsTest, FindAgainIsOfferedOnlyInTheCategoryOfTheLastFind) {
  Build({Account(1, kBusiness)});
  search_.CategoryChanged(kBusiness);
  EXPECT_FALSE(search_.findAgainEnabled());
  ErrorList errors;
  ASSERT_TRUE(search_.Start(errors, *db_, kBusiness, "x", false, false, std::nullopt));
  EXPECT_TRUE(search_.findAgainEnabled());
  search_.CategoryChanged(kPersonal);
  EXPECT_FALSE(search_.findAgainEnabled());
  ui_.log.clear();
  EXPECT_EQ(Search(), "");  // greyed: the step does nothing
  EXPECT_TRUE(ui_.log.empty());
  search_.CategoryChanged(kBusiness);
  EXPECT_TRUE(search_.findAgainEnabled());
}

TEST_F(AccountCommandsTest, AnEmptyTextIsRefused) {
  Build({Account(1, kBusiness)});
  ErrorList errors;
  ASSERT_TRUE(search_.Start(errors, *db_, kBusiness, "", false, false, std::nullopt));
  EXPECT_EQ(Search(), "");
  EXPECT_EQ(ui_.log, std::vector<std::string>{std::string("Lockwell Error: ") + AccountSearch::kEmptyText});
}

TEST_F(AccountCommandsTest, CopyIntoAnotherCategoryMakesNewAccountsForTheNextHotSync) {
  Build({Account(1, kBusiness), Account(2, kBusiness), Account(3, kPersonal)});
  AccountTransfer transfer;
  transfer.Fill({Nth(kBusiness, 0), Nth(kBusiness, 1), Nth(kBusiness, 0)}, false);
  std::vector<std::string> shown;
  auto show = [&](const ErrorList& errors) { shown.push_back(errors.Summary()); };
  EXPECT_EQ(transfer.Paste(*db_, kPersonal, show), AccountTransfer::PasteResult::kPasted);
  EXPECT_TRUE(shown.empty());
  int copies = 0;
  for (const Seen& seen : Live()) {
    if (seen.category == kPersonal && seen.title != "Account 3") {
      ++copies;
      EXPECT_TRUE(seen.desktopId) << seen.title;
      EXPECT_EQ(seen.status, PalmDatabaseRecord::STATUS_NEW) << seen.title;
    }
  }
  EXPECT_EQ(copies, 2);
  EXPECT_EQ(Live().size(), 5u);
  EXPECT_EQ(transfer.Paste(*db_, kPersonal, show), AccountTransfer::PasteResult::kNothing);

  // The copies decrypt after a reopen and have bodies of their own.
  db_.reset();
  ErrorList errors;
  db_ = std::make_unique<LockwellDatabase>(errors, path_, SecureString("pass"), false);
  ASSERT_TRUE(db_->IsOpen()) << errors.Summary();
  EXPECT_EQ(Live().size(), 5u);
}

TEST_F(AccountCommandsTest, CutAndPasteMovesAndLeavesTheTargetsOwnAlone) {
  Build({Account(1, kBusiness), Account(2, kBusiness), Account(3, kPersonal)});
  AccountTransfer transfer;
  auto fail = [](const ErrorList& errors) { ADD_FAILURE() << errors.Summary(); };

  transfer.Fill({Nth(kBusiness, 0), Nth(kBusiness, 1)}, true);
  const auto before = Live();
  EXPECT_EQ(transfer.Paste(*db_, kBusiness, fail), AccountTransfer::PasteResult::kPasted);
  EXPECT_TRUE(transfer.empty());
  const auto after = Live();
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) EXPECT_EQ(after[i].status, before[i].status);

  transfer.Fill({Nth(kBusiness, 0), Nth(kPersonal, 0)}, true);
  EXPECT_EQ(transfer.Paste(*db_, ALL_CATEGORIES, fail), AccountTransfer::PasteResult::kIntoAll);
  EXPECT_FALSE(transfer.empty());
  EXPECT_EQ(transfer.Paste(*db_, kPersonal, fail), AccountTransfer::PasteResult::kPasted);
  int personal = 0;
  for (const Seen& seen : Live()) {
    if (seen.category != kPersonal) continue;
    ++personal;
    EXPECT_EQ(seen.status, seen.title == "Account 1" ? PalmDatabaseRecord::STATUS_MODIFIED
                                                     : PalmDatabaseRecord::STATUS_UNCHANGED);
  }
  EXPECT_EQ(personal, 2);
}

TEST_F(AccountCommandsTest, DeleteSkipsWhatIsGoneAndMarksTheRest) {
  Build({Account(1, kBusiness), Account(2, kBusiness), Account(3, kBusiness)});
  const uint32_t first = Nth(kBusiness, 0);
  const uint32_t third = Nth(kBusiness, 2);
  auto fail = [](const ErrorList& errors) { ADD_FAILURE() << errors.Summary(); };
  EXPECT_EQ(DeleteAccounts(*db_, {first, third}, fail), 2u);
  EXPECT_EQ(DeleteAccounts(*db_, {first}, fail), 0u);  // already gone: skipped
  const auto live = Live();
  ASSERT_EQ(live.size(), 1u);
  EXPECT_EQ(live[0].title, "Account 2");
  ErrorList errors;
  uint32_t all = 0;
  ASSERT_TRUE(db_->GetRecordCount(errors, true, all));
  EXPECT_EQ(all, 3u);  // handheld accounts stay, marked deleted, for the next HotSync
}

}  // namespace
}  // namespace lockwell::testing
