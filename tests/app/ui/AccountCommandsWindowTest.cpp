// The account commands and Find driven through the real main window
// (offscreen): the editor and the Find dialog are answered by script, the
// message boxes by queued answers, and the file is reopened afterwards to
// see what the next HotSync will find.
#include <gmock/gmock.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <map>
#include <vector>

#include "WindowFixture.h"
#include "app/AccountIdentity.h"
#include "app/AccountSearch.h"
#include "app/AccountTransfer.h"
#include "app/ui/CommandIds.h"
#include "app/ui/FindDialog.h"
#include "palmdb/PalmDatabaseRecord.h"
#include "palmdb/RecordPrefix.h"
#include "vault/LockwellRecord.h"
#include "vault/ui/AccountEditorDialog.h"

namespace lockwell::testing {
namespace {

constexpr uint32_t kUnchanged = PalmDatabaseRecord::STATUS_UNCHANGED;
constexpr uint32_t kDeleted = PalmDatabaseRecord::STATUS_DELETED;
constexpr uint32_t kNew = PalmDatabaseRecord::STATUS_NEW;

// One stored account as the next HotSync sees it.
struct Stored {
  std::string title;
  uint32_t category = 0;
  uint32_t status = 0;
  uint32_t identity = 0;
  bool operator==(const Stored&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Stored& s) {
  return out << "{" << s.title << ", category " << s.category << ", status " << s.status << ", id 0x"
             << std::hex << s.identity << std::dec << "}";
}

class AccountCommandsWindowTest : public WindowTest {
 protected:
  // Closes the window's database, reopens the file, checks its structure
  // and lists every record (deleted ones with an empty title).
  std::vector<Stored> Reopen() {
    window_->CloseCurrentDatabase();
    auto database = OpenDatabase();
    EXPECT_TRUE(database->CheckInvariants());
    std::vector<Stored> stored;
    ErrorList errors;
    uint32_t count = 0;
    EXPECT_TRUE(database->GetRecordCount(errors, true, count)) << errors.Summary();
    for (uint32_t p = 0; p < count; ++p) {
      RecordPrefix prefix;
      EXPECT_TRUE(database->ReadPrefixAt(errors, p, prefix)) << errors.Summary();
      Stored s{"", prefix.category, prefix.status, AccountIdentity::Make(prefix.recordId, prefix.desktopId)};
      if (prefix.status != kDeleted) {
        LockwellRecord record(database.get());
        SecureString title;
        EXPECT_TRUE(database->ReadRecordAt(errors, p, record) && record.getTitle(errors, title))
            << errors.Summary();
        s.title = std::string(title.view());
      }
      stored.push_back(s);
    }
    return stored;
  }

  static std::vector<Stored> Titled(const std::vector<Stored>& all, const std::string& title) {
    std::vector<Stored> found;
    for (const Stored& s : all)
      if (s.title == title) found.push_back(s);
    return found;
  }

  QStringList SelectedTitles() const {
    QStringList titles;
    for (QTreeWidgetItem* item : List(MainWindow::kAccountListId)->selectedItems()) titles << item->text(0);
    return titles;
  }

  // The captions of the message boxes asked so far, from `from` on.
  QStringList Texts(size_t from = 0) const {
    QStringList texts;
    const auto& requests = prompter_.Requests();
    for (size_t i = from; i < requests.size(); ++i)
      if (!requests[i].isDialog) texts << requests[i].text;
    return texts;
  }

  // Queues a Find dialog answered with `text` and the options.
  void QueueFind(const QString& text, bool caseSensitive, bool backwards) {
    prompter_.QueueDialog([=](QDialog& dialog) {
      auto* edit = ControlIds::Find<QLineEdit>(&dialog, FindDialog::kTextId);
      auto* ok = ControlIds::Find<QPushButton>(&dialog, FindDialog::kOkId);
      ASSERT_NE(edit, nullptr);
      edit->setText(text);
      ControlIds::Find<QCheckBox>(&dialog, FindDialog::kCaseSensitiveId)->setChecked(caseSensitive);
      ControlIds::Find<QCheckBox>(&dialog, FindDialog::kBackwardsId)->setChecked(backwards);
      ok->click();
    });
  }
};

TEST_F(AccountCommandsWindowTest, NewInAllStoresInUnfiledWithTheDefaultLabels) {
  OpenWindow();
  SelectCategory("All");
  QString caption;
  prompter_.QueueDialog([&](QDialog& dialog) {
    caption = dialog.windowTitle();
    ControlIds::Find<QLineEdit>(&dialog, AccountEditorDialog::kTitleId)->setText("Kappa club");
    ControlIds::Find<QPushButton>(&dialog, AccountEditorDialog::kOkId)->click();
  });
  window_->RunCommand(command::kNewAccount);
  EXPECT_EQ(caption, AccountEditorDialog::kAddCaption);
  EXPECT_EQ(SelectedTitles(), QStringList{"Kappa club"});
  SelectCategory("Unfiled");
  EXPECT_EQ(Column(MainWindow::kAccountListId), (QStringList{"Delta", "Kappa club"}));

  window_->CloseCurrentDatabase();
  auto database = OpenDatabase();
  ErrorList errors;
  uint32_t count = 0;
  ASSERT_TRUE(database->GetRecordCount(errors, true, count));
  bool found = false;
  for (uint32_t p = 0; p < count; ++p) {
    LockwellRecord record(database.get());
    SecureString title;
    ASSERT_TRUE(database->ReadRecordAt(errors, p, record) && record.getTitle(errors, title));
    if (title.view() != "Kappa club") continue;
    found = true;
    uint32_t category = 99, status = 99;
    EXPECT_TRUE(record.GetCategory(errors, category) && record.GetStatus(errors, status));
    EXPECT_EQ(category, 0u);
    EXPECT_EQ(status, kNew);
    const std::array<std::string, 5> defaults = {"Login:", "Pwd:", "URL:", " ", " "};
    for (int n = 0; n < 5; ++n) {
      SecureString label, value;
      ASSERT_TRUE(record.getField(errors, n, label, value)) << n;
      EXPECT_EQ(label.view(), defaults[n]) << n;
      EXPECT_TRUE(value.view().empty()) << n;
    }
  }
  EXPECT_TRUE(found);
  EXPECT_TRUE(database->CheckInvariants());
}

TEST_F(AccountCommandsWindowTest, CancelledNewStoresNothing) {
  OpenWindow();
  SelectCategory("Business");
  prompter_.QueueDialogCancel();
  window_->RunCommand(command::kNewAccount);
  EXPECT_EQ(Reopen().size(), 6u);
}

// Edit on the one selected account: the change is stored at its sorted
// place under the same identity, marked modified, and the account stays
// selected when it is still in the list.
TEST_F(AccountCommandsWindowTest, EditStoresTheChangeInPlaceOfTheOriginal) {
  struct Case {
    const char* name;
    QString category;
    QString account;
    QString newTitle;     // empty: left as it is
    QString newCategory;  // empty: left as it is
    bool ok;
    QStringList rowsAfter;
    QStringList selectedAfter;
    uint32_t storedCategory;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"retitled", "Business", "Zeta mail", "Alpha mail", "", true, {"Alpha mail", "gamma", "note only"},
       {"Alpha mail"}, kBusiness},
      {"moved", "Business", "gamma", "", "banking", true, {"note only", "Zeta mail"}, {}, kBanking},
      {"cancelled", "Business", "gamma", "Omega", "", false, {"gamma", "note only", "Zeta mail"}, {"gamma"},
       kBusiness},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteDatabase(Demo());
    OpenWindow();
    const std::vector<Stored> original = Titled(Reopen(), c.account.toStdString());
    ASSERT_EQ(original.size(), 1u);
    OpenWindow();
    SelectCategory(c.category);
    SelectAccounts({c.account});
    QString caption;
    prompter_.QueueDialog([&](QDialog& dialog) {
      caption = dialog.windowTitle();
      if (!c.newTitle.isEmpty()) {
        ControlIds::Find<QLineEdit>(&dialog, AccountEditorDialog::kTitleId)->setText(c.newTitle);
      }
      if (!c.newCategory.isEmpty()) {
        auto* combo = ControlIds::Find<QComboBox>(&dialog, AccountEditorDialog::kCategoryId);
        combo->setCurrentIndex(combo->findText(c.newCategory));
      }
      ControlIds::Find<QPlainTextEdit>(&dialog, AccountEditorDialog::kValueIds[1])
          ->setPlainText("new secret");
      if (c.ok) {
        ControlIds::Find<QPushButton>(&dialog, AccountEditorDialog::kOkId)->click();
      } else {
        dialog.reject();
      }
    });
    window_->RunCommand(command::kEditAccount);
    EXPECT_EQ(caption, AccountEditorDialog::kEditCaption);
    EXPECT_EQ(Column(MainWindow::kAccountListId), c.rowsAfter);
    EXPECT_EQ(SelectedTitles(), c.selectedAfter);

    const std::string title = (c.ok && !c.newTitle.isEmpty() ? c.newTitle : c.account).toStdString();
    const std::vector<Stored> after = Reopen();
    EXPECT_EQ(after.size(), 6u);
    const Stored expected{title, c.storedCategory, c.ok ? PalmDatabaseRecord::STATUS_MODIFIED : kUnchanged,
                          original[0].identity};
    EXPECT_THAT(Titled(after, title), ::testing::ElementsAre(expected));

    auto database = OpenDatabase();
    LockwellRecord record(database.get());
    ErrorList errors;
    SecureString label, password;
    ASSERT_TRUE(database->ReadRecordById(errors, AccountIdentity::RecordId(expected.identity),
                                         AccountIdentity::DesktopId(expected.identity), record) &&
                record.getField(errors, 1, label, password))
        << errors.Summary();
    EXPECT_EQ(password.view() == "new secret", c.ok);
  }
}

TEST_F(AccountCommandsWindowTest, CopyTwoIntoAnotherCategoryMakesNewAccounts) {
  OpenWindow();
  const std::vector<Stored> before = Reopen();
  OpenWindow();
  SelectCategory("Business");
  SelectAccounts({"Zeta mail", "gamma"});
  window_->RunCommand(command::kCopy);
  SelectCategory("banking");
  window_->RunCommand(command::kPaste);
  EXPECT_EQ(Column(MainWindow::kAccountListId), (QStringList{"alpha bank", "gamma", "Zeta mail"}));
  EXPECT_TRUE(window_->CopyBufferEmpty());
  prompter_.QueueAnswer(Prompter::Answer::Ok);
  window_->RunCommand(command::kPaste);
  EXPECT_EQ(Texts(), QStringList{AccountTransfer::kEmpty});

  const std::vector<Stored> after = Reopen();
  for (const std::string title : {"Zeta mail", "gamma"}) {
    const std::vector<Stored> copies = Titled(after, title);
    ASSERT_EQ(copies.size(), 2u) << title;
    const Stored original = Titled(before, title).front();
    // The account copied from stays as it was, in Business.
    EXPECT_TRUE(copies[0] == original || copies[1] == original) << title;
    const Stored& copy = copies[0] == original ? copies[1] : copies[0];
    EXPECT_EQ(copy.category, kBanking);
    EXPECT_EQ(copy.status, kNew);
    EXPECT_TRUE(AccountIdentity::DesktopId(copy.identity)) << copy;
    EXPECT_NE(copy.identity, original.identity);
  }
}

TEST_F(AccountCommandsWindowTest, CutAndPasteIntoTheSameCategoryChangesNothing) {
  OpenWindow();
  const std::vector<Stored> before = Reopen();
  OpenWindow();
  SelectCategory("Business");
  SelectAccounts({"Zeta mail", "gamma"});
  window_->RunCommand(command::kCut);
  EXPECT_FALSE(window_->CopyBufferEmpty());
  window_->RunCommand(command::kPaste);
  EXPECT_TRUE(window_->CopyBufferEmpty());
  EXPECT_TRUE(Texts().isEmpty());
  EXPECT_EQ(Reopen(), before);
}

TEST_F(AccountCommandsWindowTest, CutAndPasteElsewhereMovesAndMarksModified) {
  OpenWindow();
  SelectCategory("Business");
  SelectAccounts({"gamma"});
  window_->RunCommand(command::kCut);
  SelectCategory("personal");
  window_->RunCommand(command::kPaste);
  EXPECT_EQ(Column(MainWindow::kAccountListId), (QStringList{"Beta shop", "gamma"}));
  const std::vector<Stored> moved = Titled(Reopen(), "gamma");
  ASSERT_EQ(moved.size(), 1u);
  EXPECT_EQ(moved[0].category, kPersonal);
  EXPECT_EQ(moved[0].status, PalmDatabaseRecord::STATUS_MODIFIED);
}

TEST_F(AccountCommandsWindowTest, PasteIntoAllIsRefusedAndTheBufferKept) {
  OpenWindow();
  SelectCategory("Business");
  SelectAccounts({"gamma"});
  window_->RunCommand(command::kCopy);
  SelectCategory("All");
  prompter_.QueueAnswer(Prompter::Answer::Ok);
  window_->RunCommand(command::kPaste);
  ASSERT_EQ(prompter_.Requests().size(), 1u);
  EXPECT_EQ(prompter_.Requests()[0].caption, AccountTransfer::kIntoAllCaption);
  EXPECT_EQ(prompter_.Requests()[0].text, AccountTransfer::kIntoAll);
  EXPECT_FALSE(window_->CopyBufferEmpty());
  SelectCategory("banking");
  window_->RunCommand(command::kPaste);
  EXPECT_EQ(Column(MainWindow::kAccountListId), (QStringList{"alpha bank", "gamma"}));
}

TEST_F(AccountCommandsWindowTest, DeleteAfterCutEmptiesTheBuffer) {
  OpenWindow();
  SelectCategory("Business");
  SelectAccounts({"Zeta mail", "gamma"});
  window_->RunCommand(command::kCut);
  SelectAccounts({"gamma"});
  prompter_.QueueAnswer(Prompter::Answer::Yes);
  window_->RunCommand(command::kDeleteAccount);
  EXPECT_TRUE(window_->CopyBufferEmpty());
}

// Delete in "All" of the five accounts (the demo without "note only"),
// rows sorted: alpha bank, Beta shop, Delta, gamma, Zeta mail.
TEST_F(AccountCommandsWindowTest, DeleteConfirmsAndSelectsTheSuccessor) {
  const QString one = "Are you sure you want to delete this account?  This operation cannot be undone!";
  const QString many = "Are you sure you want to delete all of these accounts?  This operation cannot be undone!";
  struct Case {
    QStringList selected;
    Prompter::Answer answer;
    QString question;
    QStringList rowsAfter;
    QStringList selectedAfter;
  };
  const std::vector<Case> cases = {
      {{"Zeta mail"}, Prompter::Answer::Yes, one, {"alpha bank", "Beta shop", "Delta", "gamma"}, {"gamma"}},
      {{"Beta shop"}, Prompter::Answer::Yes, one, {"alpha bank", "Delta", "gamma", "Zeta mail"}, {"Delta"}},
      {{"alpha bank", "gamma"}, Prompter::Answer::Yes, many, {"Beta shop", "Delta", "Zeta mail"}, {}},
      {{"Delta"}, Prompter::Answer::No, one, {"alpha bank", "Beta shop", "Delta", "gamma", "Zeta mail"}, {"Delta"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.selected.join(",").toStdString());
    VaultFixture fixture = Demo();
    fixture.accounts.pop_back();
    WriteDatabase(fixture);
    OpenWindow();
    SelectCategory("All");
    SelectAccounts(c.selected);
    const size_t asked = prompter_.Requests().size();
    prompter_.QueueAnswer(c.answer);
    window_->RunCommand(command::kDeleteAccount);
    EXPECT_EQ(Texts(asked), QStringList{c.question});
    EXPECT_EQ(prompter_.Requests().back().caption, "Confirm Delete");
    EXPECT_EQ(Column(MainWindow::kAccountListId), c.rowsAfter);
    EXPECT_EQ(SelectedTitles(), c.selectedAfter);

    const std::vector<Stored> after = Reopen();
    size_t deleted = 0;
    for (const Stored& s : after) deleted += s.status == kDeleted ? 1 : 0;
    EXPECT_EQ(deleted, c.answer == Prompter::Answer::Yes ? c.selected.size() : 0u);
    EXPECT_EQ(after.size(), 5u);
  }
}

TEST_F(AccountCommandsWindowTest, CopyPasswordNeedsOneAccountAndCopiesAnEmptyValue) {
  VaultFixture fixture = Demo();
  FixtureAccount blank = FixtureAccount::Simple("blank pwd", "someone", "");
  blank.category = kPersonal;
  fixture.accounts.insert(fixture.accounts.begin() + 1, blank);
  WriteDatabase(fixture);
  OpenWindow();
  SelectCategory("personal");
  QApplication::clipboard()->setText("unrelated");
  SelectAccounts({"Beta shop", "blank pwd"});
  window_->RunCommand(command::kCopyPassword);
  EXPECT_EQ(QApplication::clipboard()->text(), "unrelated");
  SelectAccounts({"blank pwd"});
  window_->RunCommand(command::kCopyPassword);
  EXPECT_EQ(QApplication::clipboard()->text(), "");
  EXPECT_TRUE(prompter_.Requests().empty());
}

// Find over five accounts of "personal" stored in this order; the second
// and the fifth hold "ABC" in a value.
class FindWindowTest : public AccountCommandsWindowTest {
 protected:
  void SetUp() override {
    VaultFixture fixture = Demo();
    fixture.accounts.clear();
    for (const char* title : {"acct 1", "acct 2", "acct 3", "acct 4", "acct 5"}) {
      const std::string t = title;
      const bool holds = t == "acct 2" || t == "acct 5";
      FixtureAccount account = FixtureAccount::Simple(t, holds ? "xxABCxx" : "nobody", "pw");
      account.category = kPersonal;
      fixture.accounts.push_back(account);
    }
    WriteDatabase(fixture);
    OpenWindow();
    SelectCategory("personal");
  }

  // The message texts asked since the last call.
  QStringList NewTexts() {
    const QStringList texts = Texts(seen_);
    seen_ = prompter_.Requests().size();
    return texts;
  }
  size_t seen_ = 0;
};

TEST_F(FindWindowTest, FindsTheNextMatchAndWrapsAround) {
  QueueFind("abc", false, false);
  window_->RunCommand(command::kFind);
  EXPECT_EQ(SelectedTitles(), QStringList{"acct 2"});
  EXPECT_TRUE(Enabled(command::kFindAgain));
  window_->RunCommand(command::kFindAgain);
  EXPECT_EQ(SelectedTitles(), QStringList{"acct 5"});
  NewTexts();
  prompter_.QueueAnswer(Prompter::Answer::Yes);
  window_->RunCommand(command::kFindAgain);
  EXPECT_EQ(NewTexts(), QStringList{AccountSearch::kWrapToBeginning});
  EXPECT_EQ(prompter_.Requests().back().caption, AccountSearch::kWrapCaption);
  EXPECT_EQ(SelectedTitles(), QStringList{"acct 2"});
  // A selected account that matches is found again by Find.
  QueueFind("abc", false, false);
  window_->RunCommand(command::kFind);
  EXPECT_EQ(SelectedTitles(), QStringList{"acct 2"});
}

TEST_F(FindWindowTest, CaseSensitiveAsksToWrapUntilNo) {
  QueueFind("abc", true, false);
  prompter_.QueueAnswer(Prompter::Answer::Yes);
  prompter_.QueueAnswer(Prompter::Answer::Yes);
  prompter_.QueueAnswer(Prompter::Answer::No);
  window_->RunCommand(command::kFind);
  EXPECT_EQ(NewTexts(), QStringList(3, AccountSearch::kWrapToBeginning));
  EXPECT_TRUE(SelectedTitles().isEmpty());
}

TEST_F(FindWindowTest, BackwardsFromNothingSelectedStartsAtTheEnd) {
  QueueFind("abc", false, true);
  window_->RunCommand(command::kFind);
  EXPECT_EQ(SelectedTitles(), QStringList{"acct 5"});
  window_->RunCommand(command::kFindAgain);
  EXPECT_EQ(SelectedTitles(), QStringList{"acct 2"});
  prompter_.QueueAnswer(Prompter::Answer::No);
  NewTexts();
  window_->RunCommand(command::kFindAgain);
  EXPECT_EQ(NewTexts(), QStringList{AccountSearch::kWrapToEnd});
}

TEST_F(FindWindowTest, FindAgainFollowsTheCategoryOfTheLastFind) {
  QueueFind("abc", false, false);
  window_->RunCommand(command::kFind);
  SelectCategory("Unfiled");
  EXPECT_FALSE(Enabled(command::kFindAgain));
  SelectCategory("personal");
  EXPECT_TRUE(Enabled(command::kFindAgain));
}

// A found account missing from the list (stored behind the window's back,
// the list not reloaded) is reported, not selected.
TEST_F(FindWindowTest, FoundAccountMissingFromTheListIsAnInternalError) {
  ErrorList errors;
  LockwellRecord hidden(errors, window_->Database(), true);
  ASSERT_TRUE(hidden.SetCategory(errors, kPersonal) && hidden.setTitle(errors, "acct 0") &&
              hidden.setField(errors, 0, "Login:", "ABC") &&
              window_->Database()->insertSorted(errors, hidden))
      << errors.Summary();
  QueueFind("abc", false, false);
  prompter_.QueueAnswer(Prompter::Answer::Ok);
  window_->RunCommand(command::kFind);
  EXPECT_EQ(NewTexts(), QStringList{"Internal error: Could not select item!"});
  EXPECT_EQ(prompter_.Requests().back().caption, "Lockwell Internal Error");
  EXPECT_TRUE(SelectedTitles().isEmpty());
  // The search goes on from the account it found.
  window_->RunCommand(command::kFindAgain);
  EXPECT_EQ(SelectedTitles(), QStringList{"acct 2"});
}

TEST_F(FindWindowTest, DialogCaptionPreviousTextAndOkEnabling) {
  QueueFind("abc", true, false);
  prompter_.QueueAnswer(Prompter::Answer::No);
  window_->RunCommand(command::kFind);
  QString caption, text;
  bool caseChecked = false, okAtStart = false, okAfterErase = true;
  prompter_.QueueDialog([&](QDialog& dialog) {
    caption = dialog.windowTitle();
    auto* edit = ControlIds::Find<QLineEdit>(&dialog, FindDialog::kTextId);
    auto* ok = ControlIds::Find<QPushButton>(&dialog, FindDialog::kOkId);
    text = edit->text();
    caseChecked = ControlIds::Find<QCheckBox>(&dialog, FindDialog::kCaseSensitiveId)->isChecked();
    okAtStart = ok->isEnabled();
    edit->selectAll();
    edit->del();
    okAfterErase = ok->isEnabled();
    dialog.reject();
  });
  SelectCategory("All");
  window_->RunCommand(command::kFind);
  EXPECT_EQ(caption, "Find Account in All");
  EXPECT_EQ(text, "abc");
  EXPECT_TRUE(caseChecked);
  EXPECT_TRUE(okAtStart);
  EXPECT_FALSE(okAfterErase);
}

}  // namespace
}  // namespace lockwell::testing
