// The open sequence with a scripted interface: the explanations of a failed
// open, the passphrase update after a change on the handheld, the re-sort.
#include "app/OpenSequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "app/AppModule.h"
#include "cli/HandheldStyle.h"
#include "palmdb/CategoryConstants.h"
#include "storage/DatabaseFile.h"
#include "support/TempDir.h"
#include "vault/LockwellDatabase.h"
#include "vault/LockwellRecord.h"
#include "vault/RecordModule.h"

namespace lockwell::testing {
namespace {

using Choice = OpenSequenceUi::ConflictChoice;

// Answers from a script and writes down every call.
class ScriptedUi : public OpenSequenceUi {
 public:
  struct Answer {
    Choice choice;
    std::string passphrase;
  };
  std::deque<Answer> answers;
  std::deque<bool> confirmations;
  std::vector<std::string> log;

  void ShowErrors(const ErrorList& errors) override { log.push_back("errors: " + errors.Summary()); }
  void BeginPleaseWait(const std::string& text) override { log.push_back("wait: " + text); }
  void EndPleaseWait() override { log.push_back("end wait"); }
  Choice AskOldPassphrase(SecureString& oldPassphrase) override {
    log.push_back("ask");
    if (answers.empty()) return Choice::kCancel;
    const Answer answer = answers.front();
    answers.pop_front();
    oldPassphrase = SecureString(answer.passphrase);
    return answer.choice;
  }
  bool ConfirmDelete() override {
    log.push_back("confirm");
    const bool yes = !confirmations.empty() && confirmations.front();
    if (!confirmations.empty()) confirmations.pop_front();
    return yes;
  }
  void Notice(const std::string& caption, const std::string& text) override {
    log.push_back("notice: " + caption + ": " + text);
  }
};

class OpenSequenceTest : public ::testing::Test {
 protected:
  std::string Db() const { return dir_.File("handheld.lwdb"); }

  // Titles and logins of the live accounts in stored order, each decrypted
  // under the current passphrase ("?" for one that fails).
  std::vector<std::string> Accounts(const std::string& passphrase = "now") {
    ErrorList errors;
    LockwellDatabase database(errors, Db(), SecureString(passphrase), false);
    EXPECT_TRUE(database.IsOpen()) << errors.Summary();
    std::vector<std::string> titles;
    uint32_t count = 0;
    database.GetRecordCount(errors, false, count);
    for (uint32_t i = 0; i < count; ++i) {
      LockwellRecord record(&database);
      ErrorList one;
      if (database.ReadNthInCategory(one, ALL_CATEGORIES, i, record)) {
        titles.emplace_back(record.fields().title().view());
      } else {
        titles.push_back("?");
      }
    }
    return titles;
  }

  TempDir dir_;
  ScriptedUi ui_;
};

HandheldAccount Old(const std::string& title, const std::string& old = "before") {
  return {title, "login", old, true, false};
}
HandheldAccount Current(const std::string& title) { return {title, "login", "", false, false}; }
HandheldAccount Unsorted(const std::string& title) { return {title, "login", "", false, true}; }

TEST_F(OpenSequenceTest, FailedOpenIsExplainedAfterTheCauseOfTheFailure) {
  BuildHandheldDatabase(Db(), "now", {Current("A")});
  ErrorList heldErrors;
  uint32_t headerSize = 0;
  const std::string held = dir_.File("held.lwdb");
  BuildHandheldDatabase(held, "now", {Current("A")});
  DatabaseFile holder(heldErrors, held, DatabaseFile::kOpenExisting, headerSize);
  ASSERT_TRUE(holder.IsOpen());

  const struct {
    const char* name;
    std::string path;
    const char* passphrase;
    const char* explanation;  // null: nothing appended
    uint32_t code;
  } cases[] = {
      {"missing", dir_.File("absent.lwdb"), "now", OpenSequence::kNotExist, APP_OPEN_EXPLANATION},
      {"in use", held, "now", OpenSequence::kInUse, APP_OPEN_EXPLANATION},
      {"palm user not found", "", "now", OpenSequence::kPalmUserNotFound, APP_PALM_USER_NOT_FOUND},
      {"wrong passphrase", Db(), "later", nullptr, 0},
  };
  for (const auto& c : cases) {
    ErrorList errors;
    OpenSequence sequence(ui_);
    EXPECT_EQ(sequence.Attempt(errors, c.path, c.passphrase), nullptr) << c.name;
    ASSERT_FALSE(errors.Empty()) << c.name;
    const ErrorRecord& last = **std::prev(errors.end());
    if (c.explanation == nullptr) {
      EXPECT_NE(last.ModuleId(), AppModuleId()) << c.name;
      EXPECT_TRUE(errors.Contains(LockwellDatabase::ModuleId(), LockwellDatabase::kErrInvalidPassphrase));
      continue;
    }
    EXPECT_EQ(last.ModuleId(), AppModuleId()) << c.name;
    EXPECT_EQ(last.Code(), c.code) << c.name;
    EXPECT_EQ(last.Detail(), c.explanation) << c.name;
    // The cause comes first, except for a Palm user, which has none.
    EXPECT_EQ(errors.Size(), c.path.empty() ? 1u : 2u) << c.name << ": " << errors.Summary();
  }
  EXPECT_EQ(ModuleName(AppModuleId()), "Tallmark Lockwell Application");
}

TEST_F(OpenSequenceTest, OldPassphraseIsAskedOnceAndStoresEveryConflictUnderTheCurrentOne) {
  BuildHandheldDatabase(Db(), "now", {Old("A"), Current("B"), Old("C"), Old("D")});
  ui_.answers = {{Choice::kRetry, "before"}};
  OpenSequence::Outcome outcome{};
  {
    auto database = OpenSequence(ui_).Run(Db(), "now", outcome);
    ASSERT_NE(database, nullptr);
    EXPECT_FALSE(database->passphraseChangedOnHandheld());
    // Resolved records travel to the handheld at the next HotSync.
    ErrorList errors;
    LockwellRecord record(database.get());
    ASSERT_TRUE(database->ReadNthInCategory(errors, ALL_CATEGORIES, 0, record)) << errors.Summary();
    EXPECT_EQ(record.Status(), PalmDatabaseRecord::STATUS_MODIFIED);
  }
  EXPECT_EQ(outcome, OpenSequence::Outcome::kDone);
  EXPECT_EQ(ui_.log, (std::vector<std::string>{
                         std::string("wait: ") + OpenSequence::kUpdatingPassphrase,
                         "ask",
                         std::string("notice: Conflicts Resolved: ") + OpenSequence::kConflictsResolved,
                         "end wait",
                     }));
  // Readable under the current passphrase after reopening: the bodies were
  // encrypted afresh, not written back as they were.
  EXPECT_EQ(Accounts(), (std::vector<std::string>{"A", "B", "C", "D"}));
}

TEST_F(OpenSequenceTest, ConflictUnderTheDefaultKeyIsResolvedWithoutAsking) {
  BuildHandheldDatabase(Db(), "now", {Old("A", ""), Current("B")});
  OpenSequence::Outcome outcome{};
  ASSERT_NE(OpenSequence(ui_).Run(Db(), "now", outcome), nullptr);
  EXPECT_EQ(std::count(ui_.log.begin(), ui_.log.end(), "ask"), 0);
  EXPECT_EQ(Accounts(), (std::vector<std::string>{"A", "B"}));
}

TEST_F(OpenSequenceTest, DeleteOnlyAfterConfirmationAndTheNextRecordIsNotSkipped) {
  BuildHandheldDatabase(Db(), "now", {Old("A"), Old("B"), Current("C")});
  // A wrong guess, a Delete taken back, a confirmed Delete for A; then B is
  // asked about (the guess is still wrong) and deleted too.
  ui_.answers = {{Choice::kRetry, "guess"}, {Choice::kDelete, ""}, {Choice::kDelete, ""}, {Choice::kDelete, ""}};
  ui_.confirmations = {false, true, true};
  OpenSequence::Outcome outcome{};
  ASSERT_NE(OpenSequence(ui_).Run(Db(), "now", outcome), nullptr);
  EXPECT_EQ(std::count(ui_.log.begin(), ui_.log.end(), "ask"), 4);
  EXPECT_EQ(std::count(ui_.log.begin(), ui_.log.end(), "confirm"), 3);
  EXPECT_EQ(Accounts(), (std::vector<std::string>{"C"}));
}

TEST_F(OpenSequenceTest, CancelKeepsTheMarkerAndOpensNothing) {
  BuildHandheldDatabase(Db(), "now", {Current("A"), Old("B")});
  OpenSequence::Outcome outcome{};
  EXPECT_EQ(OpenSequence(ui_).Run(Db(), "now", outcome), nullptr);
  EXPECT_EQ(outcome, OpenSequence::Outcome::kCancelled);
  EXPECT_EQ(ui_.log.back(), "end wait");
  ErrorList errors;
  LockwellDatabase database(errors, Db(), SecureString("now"), false);
  ASSERT_TRUE(database.IsOpen()) << errors.Summary();
  EXPECT_TRUE(database.passphraseChangedOnHandheld());
}

TEST_F(OpenSequenceTest, UpdateThenResortWithTheirWaitTexts) {
  BuildHandheldDatabase(Db(), "now", {Current("B"), Current("D"), Unsorted("C"), Unsorted("A")});
  OpenSequence::Outcome outcome{};
  {
    auto database = OpenSequence(ui_).Run(Db(), "now", outcome);
    ASSERT_NE(database, nullptr);
    EXPECT_FALSE(database->needsResort());
  }
  EXPECT_EQ(ui_.log, (std::vector<std::string>{std::string("wait: ") + OpenSequence::kResorting, "end wait"}));
  EXPECT_EQ(Accounts(), (std::vector<std::string>{"A", "B", "C", "D"}));
}

}  // namespace
}  // namespace lockwell::testing
