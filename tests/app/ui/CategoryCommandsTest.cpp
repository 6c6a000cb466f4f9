// The category commands (New, Rename, Delete, Preferences) and Change
// Passphrase, run on the real window with their dialogs answered by script.
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "WindowFixture.h"
#include "app/ui/CommandIds.h"
#include "hotsync/ui/QuestionDialog.h"
#include "palmdb/CategoryConstants.h"
#include "vault/ui/CategoryPrefsDialog.h"
#include "vault/ui/ChangePassphraseDialog.h"

namespace lockwell::testing {
namespace {

using namespace command;

constexpr const char* kCannotChangeText =
    "Cannot change passphrase on the PC.  Change it on the Palm and then perform a HotSync operation.";

// Replaces the field's text as typing would.  (Characters outside ASCII
// have no key to press: they are inserted as an input method would.)
void Type(QLineEdit* field, const QString& text) {
  field->selectAll();
  for (const QChar c : text) {
    if (c.unicode() < 0x80) {
      QTest::keyClicks(field, QString(c));
    } else {
      field->insert(QString(c));
    }
  }
}

class CategoryCommandsTest : public WindowTest {
 protected:
  // Answers the Question dialog: checks its prompt and pre-filled answer,
  // replaces the answer with `answer` and presses OK (Cancel when `answer`
  // is null).
  void QueueQuestion(QString expectedPrompt, QString expectedInitial, const char* answer) {
    prompter_.QueueDialog([=](QDialog& dialog) {
      EXPECT_EQ(ControlIds::Find<QLabel>(&dialog, QuestionDialog::kPromptId)->text(), expectedPrompt);
      QLineEdit* field = ControlIds::Find<QLineEdit>(&dialog, QuestionDialog::kAnswerId);
      EXPECT_EQ(field->text(), expectedInitial);
      if (answer == nullptr) {
        dialog.reject();
        return;
      }
      Type(field, QString::fromUtf8(answer));
      ControlIds::Find<QPushButton>(&dialog, QuestionDialog::kOkId)->click();
    });
  }

  // Answers the error dialog, keeping its summary in `summary`.
  void QueueErrorDialog(QString& summary) {
    prompter_.QueueDialog([&summary](QDialog& dialog) {
      EXPECT_EQ(dialog.objectName(), "errorDialog");
      summary = dialog.findChild<QPlainTextEdit*>("summaryText")->toPlainText();
      dialog.accept();
    });
  }

  // Answers the change-passphrase dialog with the three fields typed.
  void QueueChangePassphrase(const char* current, const char* fresh, const char* confirm) {
    prompter_.QueueDialog([=](QDialog& dialog) {
      QTest::keyClicks(ControlIds::Find<QLineEdit>(&dialog, ChangePassphraseDialog::kCurrentId), current);
      QTest::keyClicks(ControlIds::Find<QLineEdit>(&dialog, ChangePassphraseDialog::kNewId), fresh);
      QTest::keyClicks(ControlIds::Find<QLineEdit>(&dialog, ChangePassphraseDialog::kConfirmId), confirm);
      ControlIds::Find<QPushButton>(&dialog, ChangePassphraseDialog::kOkId)->click();
    });
  }

  QStringList Headers() const {
    QTreeWidget* list = List(MainWindow::kAccountListId);
    QStringList headers;
    for (int column = 0; column < list->columnCount(); ++column) headers << list->headerItem()->text(column);
    return headers;
  }

  QStringList Sorted(QStringList texts) const {
    texts.sort(Qt::CaseInsensitive);
    return texts;
  }

  uint32_t PrefsKey(uint32_t category) const {
    ErrorList errors;
    uint32_t key = 0;
    EXPECT_TRUE(window_->Database()->getCategoryPrefsKey(errors, category, key)) << errors.Summary();
    return key;
  }

  // Closes the window's database and tries the file with `passphrase`.
  bool FileOpensWith(const std::string& passphrase) {
    window_->CloseCurrentDatabase();
    ErrorList errors;
    LockwellDatabase database(errors, path_, SecureString(passphrase), false);
    return database.IsOpen();
  }

  // The demo database as made on the PC (Change Passphrase offered).
  void WritePcOwned() {
    VaultFixture fixture = Demo();
    fixture.pcOwned = true;
    WriteDatabase(fixture);
  }
};

TEST_F(CategoryCommandsTest, NewCategoryIsAddedAndSelected) {
  MainWindow& window = OpenWindow();
  SelectCategory("personal");
  QueueQuestion("Choose a name for the new category.", "", "Travel");
  window.RunCommand(kNewCategory);

  EXPECT_EQ(Column(MainWindow::kCategoryListId),
            QStringList({"All", "banking", "Business", "personal", "Travel", "Unfiled"}));
  ASSERT_TRUE(window.SelectedCategory().has_value());
  ErrorList errors;
  std::string name;
  ASSERT_TRUE(window.Database()->GetCategoryName(errors, *window.SelectedCategory(), name));
  EXPECT_EQ(name, "Travel");
  EXPECT_TRUE(Column(MainWindow::kAccountListId).isEmpty()) << "the new category's accounts are listed";

  // Cancel adds nothing.
  QueueQuestion("Choose a name for the new category.", "", nullptr);
  window.RunCommand(kNewCategory);
  EXPECT_EQ(Column(MainWindow::kCategoryListId).size(), 6);
}

TEST_F(CategoryCommandsTest, RenamePreFillsTheCurrentNameAndKeepsTheCategorySelected) {
  MainWindow& window = OpenWindow();
  SelectCategory("Business");
  QueueQuestion("Choose a new name for this category.", "Business", "Work");
  window.RunCommand(kRenameCategory);

  EXPECT_EQ(Column(MainWindow::kCategoryListId), QStringList({"All", "banking", "personal", "Work", "Unfiled"}));
  EXPECT_EQ(window.SelectedCategory(), std::optional<uint32_t>(kBusiness));
  EXPECT_EQ(Sorted(Column(MainWindow::kAccountListId)), QStringList({"gamma", "note only", "Zeta mail"}));

  // Cancel leaves the name.
  QueueQuestion("Choose a new name for this category.", "Work", nullptr);
  window.RunCommand(kRenameCategory);
  EXPECT_TRUE(Column(MainWindow::kCategoryListId).contains("Work"));
}

// A refused name changes nothing, and the window stays as it was.
TEST_F(CategoryCommandsTest, FailuresAreShownAndChangeNothing) {
  struct Case {
    const char* name;
    int command;
    const char* answer;
    const char* caption;  // of the message or dialog that reports it
  } cases[] = {
      {"new: a name already used", kNewCategory, "banking", "Lockwell Error"},
      {"new: longer than 15 characters", kNewCategory, "sixteen letters!", "Lockwell Error"},
      {"rename: to another category's name", kRenameCategory, "personal", "Lockwell Error"},
      // A character with no Windows-1252 byte is refused, not dropped.
      {"rename: a character the file cannot hold", kRenameCategory, "Ω trips", "Lockwell/PC"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MainWindow& window = OpenWindow();
    SelectCategory("Business");
    const QStringList before = Column(MainWindow::kCategoryListId);
    const size_t asked = prompter_.Requests().size();
    prompter_.QueueDialog([&](QDialog& dialog) {
      QLineEdit* field = ControlIds::Find<QLineEdit>(&dialog, QuestionDialog::kAnswerId);
      Type(field, QString::fromUtf8(c.answer));
      ControlIds::Find<QPushButton>(&dialog, QuestionDialog::kOkId)->click();
    });
    if (QString(c.caption) == "Lockwell Error") {
      prompter_.QueueDialogOk();
    } else {
      prompter_.QueueAnswer(Prompter::Answer::Ok);
    }
    window.RunCommand(c.command);

    ASSERT_EQ(prompter_.Requests().size(), asked + 2);
    EXPECT_EQ(prompter_.Requests().back().caption, c.caption);
    EXPECT_EQ(Column(MainWindow::kCategoryListId), before);
    EXPECT_EQ(window.SelectedCategory(), std::optional<uint32_t>(kBusiness));
    window.CloseCurrentDatabase();
    ErrorList errors;
    std::string name;
    LockwellDatabase reopened(errors, path_, SecureString(kPassphrase), false);
    ASSERT_TRUE(reopened.GetCategoryName(errors, kBusiness, name)) << errors.Summary();
    EXPECT_EQ(name, "Business") << "nothing reached the file";
  }
}

TEST_F(CategoryCommandsTest, DeleteAsksThenMovesTheAccountsToUnfiledAndDropsThePreferences) {
  for (const Prompter::Answer answer : {Prompter::Answer::No, Prompter::Answer::Yes}) {
    const bool yes = answer == Prompter::Answer::Yes;
    SCOPED_TRACE(yes ? "Yes" : "No");
    WriteDatabase(Demo());
    MainWindow& window = OpenWindow();
    // Business has preferences of its own.
    const uint32_t key = PrefsKey(kBusiness);
    CategoryPrefs own = CategoryPrefs::BuiltInDefaults();
    own.shownFields = {"Title", "Pwd"};
    window.Database()->storeCategoryPrefs(key, own);
    ErrorList saveErrors;
    ASSERT_TRUE(window.Database()->saveCategoryPrefs(saveErrors)) << saveErrors.Summary();

    SelectCategory("Business");
    const size_t asked = prompter_.Requests().size();
    prompter_.QueueAnswer(answer);
    window.RunCommand(kDeleteCategory);

    ASSERT_EQ(prompter_.Requests().size(), asked + 1);
    const auto& question = prompter_.Requests().back();
    EXPECT_EQ(question.caption, "Confirm Category Delete");
    EXPECT_EQ(question.text,
              "Are you sure you want to delete this category?  This operation cannot be undone!  Any accounts "
              "in this category will be moved to the Unfiled category.");
    EXPECT_EQ(question.buttons, Prompter::Buttons::YesNo);

    if (!yes) {
      EXPECT_TRUE(Column(MainWindow::kCategoryListId).contains("Business"));
      EXPECT_EQ(window.SelectedCategory(), std::optional<uint32_t>(kBusiness));
      ASSERT_NE(window.Database()->findCategoryPrefs(key), nullptr);
      continue;
    }
    EXPECT_EQ(Column(MainWindow::kCategoryListId), QStringList({"All", "banking", "personal", "Unfiled"}));
    EXPECT_EQ(window.SelectedCategory(), std::optional<uint32_t>(0));
    EXPECT_EQ(Sorted(Column(MainWindow::kAccountListId)), QStringList({"Delta", "gamma", "note only", "Zeta mail"}));
    EXPECT_EQ(window.Database()->findCategoryPrefs(key), nullptr);

    // The same in the file.
    window.CloseCurrentDatabase();
    std::unique_ptr<LockwellDatabase> reopened = OpenDatabase();
    EXPECT_EQ(reopened->findCategoryPrefs(key), nullptr);
    window.TakeDatabase(std::move(reopened), Entry());
    SelectCategory("Unfiled");
    EXPECT_EQ(Column(MainWindow::kAccountListId).size(), 4);
  }
}

// The dialog is run for the selected category; after OK the account list
// shows the stored columns, after Cancel it keeps its own.
TEST_F(CategoryCommandsTest, PreferencesRunForTheSelectedCategoryAndTheColumnsFollowOk) {
  for (const bool ok : {false, true}) {
    SCOPED_TRACE(ok ? "OK" : "Cancel");
    WriteDatabase(Demo());
    MainWindow& window = OpenWindow();
    SelectCategory("Business");
    const QStringList before = Headers();
    ASSERT_EQ(before, QStringList({"Title", "Login", "URL"}));
    prompter_.QueueDialog([&](QDialog& dialog) {
      EXPECT_EQ(dialog.windowTitle(), "Business Category Preferences");
      auto* useDefault = ControlIds::Find<QCheckBox>(&dialog, CategoryPrefsDialog::kUseDefaultId);
      EXPECT_TRUE(useDefault->isChecked()) << "Business follows the defaults";
      useDefault->click();
      // Column 0 is selected at start: Title moves to the right of Login.
      ControlIds::Find<QPushButton>(&dialog, CategoryPrefsDialog::kMoveRightId)->click();
      if (ok) {
        ControlIds::Find<QPushButton>(&dialog, CategoryPrefsDialog::kOkId)->click();
      } else {
        dialog.reject();
      }
    });
    window.RunCommand(kCategoryPreferences);

    const QStringList expected = ok ? QStringList({"Login", "Title", "URL"}) : before;
    EXPECT_EQ(Headers(), expected);
    EXPECT_EQ(window.SelectedCategory(), std::optional<uint32_t>(kBusiness));
    EXPECT_EQ(Column(MainWindow::kAccountListId).size(), 3);
    SelectCategory("personal");
    EXPECT_EQ(Headers(), before) << "another category still follows the defaults";
    SelectCategory("Business");
    EXPECT_EQ(Headers(), expected);
    window.CloseCurrentDatabase();
  }
}

// After a change the file opens with the new passphrase only and every
// account decrypts; an empty new passphrase removes the passphrase.
TEST_F(CategoryCommandsTest, ChangePassphraseReEncryptsEveryAccount) {
  for (const char* fresh : {"a new phrase", ""}) {
    SCOPED_TRACE(fresh);
    WritePcOwned();
    MainWindow& window = OpenWindow();
    ASSERT_TRUE(Enabled(kChangePassphrase));
    QueueChangePassphrase(kPassphrase, fresh, fresh);
    prompter_.QueueAnswer(Prompter::Answer::Ok);
    window.RunCommand(kChangePassphrase);

    const auto& told = prompter_.Requests().back();
    EXPECT_EQ(told.caption, "Passphrase Changed");
    EXPECT_EQ(told.text, "Passphrase successfully changed");
    EXPECT_TRUE(window.findChildren<QDialog*>("pleaseWaitWindow").isEmpty()) << "Please Wait closed";

    EXPECT_FALSE(FileOpensWith(kPassphrase));
    ErrorList errors;
    auto database = std::make_unique<LockwellDatabase>(errors, path_, SecureString(fresh), false);
    ASSERT_TRUE(database->IsOpen()) << errors.Summary();
    window.TakeDatabase(std::move(database), Entry());
    SelectCategory("All");  // an account that fails to decrypt would bring the error dialog
    EXPECT_EQ(Sorted(Column(MainWindow::kAccountListId)),
              QStringList({"alpha bank", "Beta shop", "Delta", "gamma", "note only", "Zeta mail"}));
    SelectAccounts({"alpha bank"});
    EXPECT_TRUE(Column(MainWindow::kAccountViewId, 1).contains("a-secret"));
    window.CloseCurrentDatabase();
  }
}

TEST_F(CategoryCommandsTest, ChangePassphraseThatFailsChangesNothing) {
  struct Case {
    const char* name;
    bool pcOwned;
    const char* current;
    const char* error;
  } cases[] = {
      {"wrong current passphrase", true, "open sesame?",
       "Invalid passphrase.  Please check your caps lock key and make sure you entered the passphrase correctly."},
      // The menu does not offer the command for a HotSync database; the
      // vault refuses it too, once the current passphrase was accepted.
      {"HotSync database", false, kPassphrase, kCannotChangeText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VaultFixture fixture = Demo();
    fixture.pcOwned = c.pcOwned;
    WriteDatabase(fixture);
    MainWindow& window = OpenWindow();
    EXPECT_EQ(Enabled(kChangePassphrase), c.pcOwned);
    QueueChangePassphrase(c.current, "other", "other");
    QString summary;
    QueueErrorDialog(summary);
    window.RunCommand(kChangePassphrase);

    EXPECT_TRUE(summary.contains(c.error)) << summary.toStdString();
    EXPECT_EQ(prompter_.Unused(), 0u);
    EXPECT_FALSE(FileOpensWith("other"));
    EXPECT_TRUE(FileOpensWith(kPassphrase));
  }
}

TEST_F(CategoryCommandsTest, ChangePassphraseCancelledAsksNothingMore) {
  WritePcOwned();
  MainWindow& window = OpenWindow();
  prompter_.QueueDialogCancel();
  window.RunCommand(kChangePassphrase);
  EXPECT_EQ(prompter_.Requests().size(), 1u);
  EXPECT_TRUE(FileOpensWith(kPassphrase));
}

}  // namespace
}  // namespace lockwell::testing
