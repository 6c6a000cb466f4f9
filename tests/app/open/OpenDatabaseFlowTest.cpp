// The open flow end to end under the offscreen platform: the real
// open-database, error and conflict dialogs answered through the scripted
// Prompter, HotSync users from the Palm Desktop simulator, databases built
// the way a HotSync leaves them.
#include "app/open/OpenDatabaseFlow.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include "app/OpenSequence.h"
#include "app/Settings.h"
#include "cli/HandheldStyle.h"
#include "hotsync/ui/DialogScripts.h"
#include "hotsync/ui/PleaseWaitWindow.h"
#include "palmdb/CategoryConstants.h"
#include "platform/TestFolder.h"
#include "platform/ui/ControlIds.h"
#include "platform/ui/ScriptedPrompter.h"
#include "support/VaultFixture.h"
#include "vault/LockwellDatabase.h"
#include "vault/LockwellRecord.h"
#include "vault/ui/ConflictDialog.h"

namespace lockwell::testing {
namespace {

class RecordingHost : public OpenDatabaseHost {
 public:
  QWidget* DialogOwner() override { return nullptr; }
  void SetTitle(const QString& title) override { titles << title; }
  QStringList titles;
};

// Another process holding the file with an exclusive lock, as a running
// conduit or a second copy of the program does.
class OtherProcessHolding {
 public:
  explicit OtherProcessHolding(const std::string& path) {
    int ready[2];
    if (pipe(ready) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      const int fd = open(path.c_str(), O_RDWR);
      const char locked = (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0) ? 1 : 0;
      if (write(ready[1], &locked, 1) != 1) _exit(1);
      for (;;) pause();
    }
    char locked = 0;
    held_ = pid_ > 0 && read(ready[0], &locked, 1) == 1 && locked == 1;
    close(ready[0]);
    close(ready[1]);
  }
  ~OtherProcessHolding() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  bool Held() const { return held_; }

 private:
  pid_t pid_ = -1;
  bool held_ = false;
};

HandheldAccount Old(const std::string& title) { return {title, "login", "before", true, false}; }
HandheldAccount Current(const std::string& title) { return {title, "login", "", false, false}; }
HandheldAccount Unsorted(const std::string& title) { return {title, "login", "", false, true}; }

// Titles of the live accounts in stored order ("?" for one the current
// passphrase cannot read).
std::vector<std::string> Titles(LockwellDatabase& database) {
  std::vector<std::string> titles;
  ErrorList errors;
  uint32_t count = 0;
  EXPECT_TRUE(database.GetRecordCount(errors, false, count)) << errors.Summary();
  for (uint32_t i = 0; i < count; ++i) {
    LockwellRecord record(&database);
    ErrorList one;
    titles.push_back(database.ReadNthInCategory(one, ALL_CATEGORIES, i, record)
                         ? std::string(record.fields().title().view())
                         : "?");
  }
  return titles;
}

// The visible Please Wait window's text, empty when none shows.
QString PleaseWaitText() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* wait = qobject_cast<PleaseWaitWindow*>(widget);
    if (wait != nullptr && wait->isVisible()) return wait->Message();
  }
  return {};
}

class OpenDatabaseFlowTest : public ::testing::Test {
 protected:
  OpenDatabaseFlowTest() : palm_(folder_) {}

  std::optional<OpenedDatabase> Run() { return OpenDatabaseFlow(prompter_, palm_.Binding(), host_).Run(); }

  // Answers the conflict dialog with `old` (checking the update's Please
  // Wait text is up meanwhile), or with a confirmed Delete.
  void QueueConflictAnswer(const QString& old) {
    prompter_.QueueDialog([this, old](QDialog& d) {
      EXPECT_EQ(d.windowTitle(), ConflictDialog::kCaption);
      EXPECT_EQ(PleaseWaitText(), OpenSequence::kUpdatingPassphrase);
      ControlIds::Find<QLineEdit>(&d, ConflictDialog::kOldPassphraseId)->setText(old);
      ControlIds::Find<QPushButton>(&d, ConflictDialog::kOkId)->click();
    });
  }
  void QueueConflictDelete() {
    prompter_.QueueDialog(
        [](QDialog& d) { ControlIds::Find<QPushButton>(&d, ConflictDialog::kDeleteId)->click(); });
    prompter_.QueueAnswer(Prompter::Answer::Yes);
  }
  // Captions of the message boxes asked, in order.
  QStringList Messages() const {
    QStringList captions;
    for (const auto& request : prompter_.Requests())
      if (!request.isDialog) captions << request.caption;
    return captions;
  }
  void ExpectNoProblems() {
    EXPECT_TRUE(prompter_.Problems().isEmpty()) << prompter_.Problems().join("; ").toStdString();
    EXPECT_EQ(prompter_.Unused(), 0u);
  }

  TestFolder folder_;
  PalmDesktop palm_;
  ScriptedPrompter prompter_;
  RecordingHost host_;
  ShownErrors shown_;
};

TEST_F(OpenDatabaseFlowTest, PalmUserEntryOpensThatUsersHandheldDatabase) {
  // A name in Windows-1252 (0xE9 is "\u00e9"): shown as text, kept as bytes.
  const std::string jose = "Jos\xE9";
  palm_.Install({"Alpha", jose});
  BuildHandheldDatabase(palm_.UserDatabase(jose), "pw", {Current("Bank"), Current("Mail")});
  BuildHandheldDatabase(palm_.UserDatabase("Alpha"), "other", {Current("Shop")});
  prompter_.QueueDialog(ChooseEntry(QStringLiteral("Palm User: Jos\u00e9"), "pw"));
  auto opened = Run();
  ASSERT_TRUE(opened.has_value());
  ASSERT_NE(opened->database, nullptr);
  EXPECT_TRUE(opened->database->IsOpen());
  EXPECT_EQ(opened->path, palm_.UserFolder(jose) + "/lockwell/lockwell.lwdb");
  EXPECT_EQ(opened->entryText, "Palm User: " + jose);
  EXPECT_TRUE(opened->fromPalmUser);
  EXPECT_EQ(opened->title, QStringLiteral("Lockwell/PC - Palm User: Jos\u00e9"));
  EXPECT_EQ(host_.titles, QStringList({opened->title}));
  EXPECT_EQ(Titles(*opened->database), (std::vector<std::string>{"Bank", "Mail"}));
  EXPECT_EQ(ReadLastDatabase(), "Palm User: " + jose);
  ExpectNoProblems();
}

TEST_F(OpenDatabaseFlowTest, PalmUserThatIsGoneIsReportedAndTheDialogComesBack) {
  palm_.Install({"Alpha"});
  prompter_.QueueDialog([this](QDialog& d) {
    // The user goes away while the dialog is up.
    palm_.RemoveAllUsers();
    ChooseEntry("Palm User: Alpha", "pw")(d);
  });
  prompter_.QueueDialog(ReadErrorDialog(shown_));
  QStringList listed;
  prompter_.QueueDialog(ChooseEntry("none", "", &listed));  // cancels
  EXPECT_FALSE(Run().has_value());
  EXPECT_EQ(shown_.summaries, QStringList({OpenSequence::kPalmUserNotFound}));
  EXPECT_TRUE(host_.titles.isEmpty()) << "no file was tried";
  EXPECT_TRUE(listed.isEmpty());
  ExpectNoProblems();
}

TEST_F(OpenDatabaseFlowTest, DeletedPcDatabaseIsExplainedAndItsEntryDropped) {
  palm_.Install({"Alpha"});
  const std::string path = folder_ / "gone.lwdb";
  const std::string entry = MakePcDatabaseEntry(path);
  AddDatabaseEntry(entry);
  AddDatabaseEntry(MakePcDatabaseEntry(folder_ / "other.lwdb"));
  prompter_.QueueDialog(ChooseEntry(QString::fromStdString(entry), "pw"));
  prompter_.QueueDialog(ReadErrorDialog(shown_));
  QStringList listed;
  prompter_.QueueDialog(ChooseEntry("none", "", &listed));
  EXPECT_FALSE(Run().has_value());

  ASSERT_EQ(shown_.details.size(), 1);
  // The record file's error first, then the plain explanation.
  const QString& detail = shown_.details[0];
  const qsizetype fileError = detail.indexOf("Module: Tallmark Database Library");
  const qsizetype explanation = detail.indexOf(OpenSequence::kNotExist);
  EXPECT_GE(fileError, 0) << detail.toStdString();
  EXPECT_GT(explanation, fileError) << detail.toStdString();
  EXPECT_TRUE(detail.contains("Error Code: 80020005 (Error)"));
  EXPECT_TRUE(shown_.summaries[0].endsWith(QString(OpenSequence::kNotExist) + ")"));
  EXPECT_FALSE(listed.contains(QString::fromStdString(entry))) << "gone from the next dialog";
  EXPECT_TRUE(listed.contains(QString::fromStdString(MakePcDatabaseEntry(folder_ / "other.lwdb"))));
  EXPECT_EQ(ReadDatabaseEntries(), std::vector<std::string>{MakePcDatabaseEntry(folder_ / "other.lwdb")});
  EXPECT_EQ(host_.titles, QStringList({"Lockwell/PC - " + QString::fromStdString(entry)}))
      << "set before the attempt and not put back";
  ExpectNoProblems();
}

TEST_F(OpenDatabaseFlowTest, WrongPassphraseKeepsTheEntryAndAsksAgain) {
  palm_.Absent();
  const std::string path = folder_ / "mine.lwdb";
  BuildHandheldDatabase(path, "right", {Current("Bank")});
  const std::string entry = MakePcDatabaseEntry(path);
  AddDatabaseEntry(entry);
  prompter_.QueueDialog(ChooseEntry(QString::fromStdString(entry), "wrong"));
  prompter_.QueueDialog(ReadErrorDialog(shown_));
  QStringList listed;
  prompter_.QueueDialog(ChooseEntry(QString::fromStdString(entry), "right", &listed));
  auto opened = Run();
  ASSERT_TRUE(opened.has_value());
  EXPECT_FALSE(opened->fromPalmUser);
  EXPECT_EQ(opened->path, path);
  ASSERT_EQ(shown_.summaries.size(), 1);
  EXPECT_TRUE(shown_.summaries[0].startsWith("Invalid passphrase.  Please check your caps lock key"))
      << shown_.summaries[0].toStdString();
  EXPECT_FALSE(shown_.details[0].contains("Tallmark Lockwell Application")) << "no explanation of our own";
  EXPECT_TRUE(listed.contains(QString::fromStdString(entry)));
  EXPECT_EQ(ReadDatabaseEntries(), std::vector<std::string>{entry});
  ExpectNoProblems();
}

TEST_F(OpenDatabaseFlowTest, DatabaseHeldByAnotherProcessIsExplained) {
  palm_.Absent();
  const std::string path = folder_ / "held.lwdb";
  BuildHandheldDatabase(path, "pw", {Current("Bank")});
  const std::string entry = MakePcDatabaseEntry(path);
  AddDatabaseEntry(entry);
  OtherProcessHolding holder(path);
  ASSERT_TRUE(holder.Held());
  prompter_.QueueDialog(ChooseEntry(QString::fromStdString(entry), "pw"));
  prompter_.QueueDialog(ReadErrorDialog(shown_));
  prompter_.QueueDialogCancel();
  EXPECT_FALSE(Run().has_value());
  ASSERT_EQ(shown_.summaries.size(), 1);
  EXPECT_TRUE(shown_.summaries[0].endsWith(QString(OpenSequence::kInUse) + ")")) << shown_.summaries[0].toStdString();
  EXPECT_EQ(ReadDatabaseEntries(), std::vector<std::string>{entry}) << "a file in use is not forgotten";
  ExpectNoProblems();
}

TEST_F(OpenDatabaseFlowTest, WarningOfASuccessfulOpenIsShownAndTheDatabaseOpens) {
  palm_.Install({"Alpha"});
  // Two records with one handheld ID: the open repairs them and warns.
  VaultFixture fixture;
  fixture.passphrase = "pw";
  fixture.accounts = {FixtureAccount::Simple("A", "", ""), FixtureAccount::Simple("B", "", "")};
  fixture.accounts[0].recordId = 7;
  fixture.accounts[1].recordId = 7;
  std::string error;
  ASSERT_TRUE(fixture.Write(palm_.UserDatabase("Alpha"), error)) << error;
  prompter_.QueueDialog(ChooseEntry("Palm User: Alpha", "pw"));
  prompter_.QueueDialog(ReadErrorDialog(shown_));
  auto opened = Run();
  ASSERT_TRUE(opened.has_value());
  EXPECT_EQ(shown_.details.size(), 1);
  EXPECT_TRUE(shown_.details.value(0).contains("(Warning)")) << shown_.details.value(0).toStdString();
  EXPECT_EQ(Titles(*opened->database), (std::vector<std::string>{"A", "B"}));
  ExpectNoProblems();
}

TEST_F(OpenDatabaseFlowTest, OldPassphraseIsAskedOnceForThreeConflicts) {
  palm_.Install({"Alpha"});
  const std::string path = palm_.UserDatabase("Alpha");
  BuildHandheldDatabase(path, "now", {Old("A"), Current("B"), Old("C"), Old("D")});
  prompter_.QueueDialog(ChooseEntry("Palm User: Alpha", "now"));
  QueueConflictAnswer("before");
  prompter_.QueueAnswer(Prompter::Answer::Ok);  // Conflicts Resolved
  {
    auto opened = Run();
    ASSERT_TRUE(opened.has_value());
    EXPECT_FALSE(opened->database->passphraseChangedOnHandheld());
  }
  EXPECT_EQ(Messages(), QStringList({OpenSequence::kConflictsResolvedCaption}));
  int conflictDialogs = 0;
  for (const auto& request : prompter_.Requests())
    if (request.isDialog && request.caption == ConflictDialog::kCaption) ++conflictDialogs;
  EXPECT_EQ(conflictDialogs, 1);
  EXPECT_TRUE(PleaseWaitText().isEmpty()) << "closed after the update";

  // Reopened: the marker stays zero and every account reads under the
  // current passphrase.
  ErrorList errors;
  LockwellDatabase again(errors, path, SecureString("now"), false);
  ASSERT_TRUE(again.IsOpen()) << errors.Summary();
  EXPECT_FALSE(again.passphraseChangedOnHandheld());
  EXPECT_EQ(Titles(again), (std::vector<std::string>{"A", "B", "C", "D"}));
  ExpectNoProblems();
}

TEST_F(OpenDatabaseFlowTest, DeleteInTheConflictDialogSkipsNoRecord) {
  palm_.Install({"Alpha"});
  const std::string path = palm_.UserDatabase("Alpha");
  BuildHandheldDatabase(path, "now", {Old("A"), Old("B"), Current("C"), Old("D")});
  prompter_.QueueDialog(ChooseEntry("Palm User: Alpha", "now"));
  QueueConflictDelete();            // A goes; B moves into its place
  QueueConflictAnswer("before");    // asked about B: the next record, not skipped
  prompter_.QueueAnswer(Prompter::Answer::Ok);  // Conflicts Resolved
  auto opened = Run();
  ASSERT_TRUE(opened.has_value());
  EXPECT_EQ(Titles(*opened->database), (std::vector<std::string>{"B", "C", "D"}));
  EXPECT_EQ(Messages(), QStringList({ConflictDialog::kConfirmCaption, OpenSequence::kConflictsResolvedCaption}));
  ExpectNoProblems();
}

TEST_F(OpenDatabaseFlowTest, EscapeInTheConflictDialogOpensNothingAndKeepsTheMarker) {
  palm_.Install({"Alpha"});
  const std::string path = palm_.UserDatabase("Alpha");
  BuildHandheldDatabase(path, "now", {Current("A"), Old("B")});
  prompter_.QueueDialog(ChooseEntry("Palm User: Alpha", "now"));
  prompter_.QueueDialogCancel();
  EXPECT_FALSE(Run().has_value());
  EXPECT_TRUE(PleaseWaitText().isEmpty());
  ErrorList errors;
  LockwellDatabase again(errors, path, SecureString("now"), false);
  ASSERT_TRUE(again.IsOpen()) << errors.Summary();
  EXPECT_TRUE(again.passphraseChangedOnHandheld());
  ExpectNoProblems();
}

TEST_F(OpenDatabaseFlowTest, UnsortedRecordsComeOutSorted) {
  palm_.Install({"Alpha"});
  const std::string path = palm_.UserDatabase("Alpha");
  BuildHandheldDatabase(path, "pw", {Current("Bank"), Current("Shop"), Unsorted("Zoo"), Unsorted("Car"),
                                     Unsorted("Alarm")});
  prompter_.QueueDialog(ChooseEntry("Palm User: Alpha", "pw"));
  auto opened = Run();
  ASSERT_TRUE(opened.has_value());
  EXPECT_FALSE(opened->database->needsResort());
  EXPECT_EQ(Titles(*opened->database), (std::vector<std::string>{"Alarm", "Bank", "Car", "Shop", "Zoo"}));
  EXPECT_TRUE(PleaseWaitText().isEmpty());
  ExpectNoProblems();
}

TEST_F(OpenDatabaseFlowTest, CancelOpensNothingAndLeavesTheTitle) {
  palm_.Install({"Alpha"});
  prompter_.QueueDialogCancel();
  EXPECT_FALSE(Run().has_value());
  EXPECT_TRUE(host_.titles.isEmpty());
  EXPECT_EQ(ReadLastDatabase(), "");
  ExpectNoProblems();
}

TEST_F(OpenDatabaseFlowTest, ANewDatabaseFromCreateNewOpensAtOnce) {
  palm_.Absent();
  prompter_.QueueDialog([](QDialog&) { LetPostedRun(); });  // empty list: Create New starts
  prompter_.QueueAnswer(Prompter::Answer::Yes);
  prompter_.QueueDialog(PickFile(folder_ / "documents/My Lockwell/lockwell.lwdb"));
  prompter_.QueueDialog(NewPassphrase("fresh"));
  auto opened = Run();
  ASSERT_TRUE(opened.has_value());
  EXPECT_TRUE(opened->database->isPcOwned());
  EXPECT_EQ(opened->path, folder_ / "documents/My Lockwell/lockwell.lwdb");
  EXPECT_TRUE(Titles(*opened->database).empty());
  ExpectNoProblems();
}

}  // namespace
}  // namespace lockwell::testing
