// The open-database dialog, its new-database passphrase dialog, the entry
// to path resolution and the default folder for new databases, with the
// HotSync users of the Palm Desktop simulator and a registry of the test's
// own.
#include <gtest/gtest.h>

#include <filesystem>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "app/Settings.h"
#include "hotsync/ui/DefaultDatabaseFolder.h"
#include "hotsync/ui/DialogScripts.h"
#include "hotsync/ui/NewPassphraseDialog.h"
#include "hotsync/ui/OpenDatabaseDialog.h"
#include "hotsync/ui/ResolveDatabasePath.h"
#include "platform/TestFolder.h"
#include "platform/ui/ControlIds.h"
#include "platform/ui/ScriptedPrompter.h"
#include "storage/ErrorList.h"
#include "vault/LockwellDatabase.h"

namespace lockwell::testing {
namespace {

class OpenDatabaseDialogTest : public ::testing::Test {
 protected:
  OpenDatabaseDialogTest() : palm_(folder_) {}

  static QComboBox* List(QDialog& d) { return ControlIds::Find<QComboBox>(&d, OpenDatabaseDialog::kListId); }
  static QLineEdit* Passphrase(QDialog& d) {
    return ControlIds::Find<QLineEdit>(&d, OpenDatabaseDialog::kPassphraseId);
  }
  static QPushButton* Button(QDialog& d, int id) { return ControlIds::Find<QPushButton>(&d, id); }
  static QStringList Items(QDialog& d) {
    QStringList items;
    for (int i = 0; i < List(d)->count(); ++i) items << List(d)->itemText(i);
    return items;
  }
  void ExpectNoProblems() {
    EXPECT_TRUE(prompter_.Problems().isEmpty()) << prompter_.Problems().join("; ").toStdString();
    EXPECT_EQ(prompter_.Unused(), 0u);
  }

  TestFolder folder_;
  PalmDesktop palm_;
  ScriptedPrompter prompter_;
};

TEST_F(OpenDatabaseDialogTest, ListsHotSyncUsersAndRememberedDatabasesSorted) {
  palm_.Install({"zed", "Alpha"});
  AddDatabaseEntry("PC Database: home.lwdb (/data/home.lwdb)");
  OpenDatabaseDialog dialog(prompter_, palm_.Binding(), nullptr);
  EXPECT_EQ(dialog.windowTitle(), "Lockwell Passphrase");
  EXPECT_EQ(Items(dialog),
            QStringList({"Palm User: Alpha", "Palm User: zed", "PC Database: home.lwdb (/data/home.lwdb)"}));
  EXPECT_EQ(Passphrase(dialog)->echoMode(), QLineEdit::Password);
  EXPECT_TRUE(Button(dialog, OpenDatabaseDialog::kOkId)->isDefault());
  for (int id : {OpenDatabaseDialog::kBrowseId, OpenDatabaseDialog::kCreateNewId, OpenDatabaseDialog::kCancelId})
    EXPECT_NE(Button(dialog, id), nullptr) << id;
}

TEST_F(OpenDatabaseDialogTest, PreselectsTheLastDatabaseByPrefix) {
  struct Case {
    const char* last;
    const char* selected;  // empty: nothing selected
  };
  const Case cases[] = {
      {"", "Palm User: Alpha"},                  // nothing remembered: the first entry
      {"Palm User: zed", "Palm User: zed"},      // the entry itself
      {"palm user: z", "Palm User: zed"},        // a prefix, ignoring case
      {"PC Database", "PC Database: home.lwdb (/data/home.lwdb)"},
      {"PC Database: gone.lwdb (/x/gone.lwdb)", ""},  // no longer listed
  };
  palm_.Install({"zed", "Alpha"});
  AddDatabaseEntry("PC Database: home.lwdb (/data/home.lwdb)");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.last);
    WriteLastDatabase(c.last);
    OpenDatabaseDialog dialog(prompter_, palm_.Binding(), nullptr);
    EXPECT_EQ(List(dialog)->currentText(), c.selected);
    EXPECT_EQ(Button(dialog, OpenDatabaseDialog::kOkId)->isEnabled(), *c.selected != '\0');
    if (*c.selected != '\0') {
      EXPECT_EQ(dialog.focusWidget(), Passphrase(dialog));
    }
  }
}

TEST_F(OpenDatabaseDialogTest, OkTakesTheEntryAndPassphraseAndRemembersTheEntry) {
  palm_.Install({"Alpha"});
  AddDatabaseEntry("PC Database: home.lwdb (/data/home.lwdb)");
  WriteLastDatabase("Gone");
  OpenDatabaseDialog dialog(prompter_, palm_.Binding(), nullptr);
  prompter_.QueueDialog([&](QDialog& d) {
    EXPECT_FALSE(Button(d, OpenDatabaseDialog::kOkId)->isEnabled()) << "nothing chosen yet";
    List(d)->setCurrentIndex(List(d)->findText("Palm User: Alpha"));
    EXPECT_TRUE(Button(d, OpenDatabaseDialog::kOkId)->isEnabled());
    Passphrase(d)->setText(QStringLiteral("caf\u00e9 secret"));
    Button(d, OpenDatabaseDialog::kOkId)->click();
  });
  ASSERT_EQ(prompter_.RunDialog(dialog), QDialog::Accepted);
  EXPECT_EQ(dialog.GetEntryText(), "Palm User: Alpha");
  EXPECT_EQ(dialog.GetPassphrase(), SecureString("caf\xE9 secret")) << "Windows-1252 bytes";
  EXPECT_EQ(ReadLastDatabase(), "Palm User: Alpha");
  EXPECT_TRUE(Passphrase(dialog)->text().isEmpty()) << "the field is wiped when the dialog ends";
  ExpectNoProblems();
}

TEST_F(OpenDatabaseDialogTest, PassphraseWithACharacterWindows1252LacksIsRefused) {
  palm_.Install({"Alpha"});
  OpenDatabaseDialog dialog(prompter_, palm_.Binding(), nullptr);
  prompter_.QueueDialog([&](QDialog& d) {
    Passphrase(d)->setText(QStringLiteral("\u0101bc"));
    Button(d, OpenDatabaseDialog::kOkId)->click();
    EXPECT_TRUE(d.isVisible()) << "the dialog stays for a passphrase it cannot store";
    Passphrase(d)->setText(QStringLiteral("abc"));
    Button(d, OpenDatabaseDialog::kOkId)->click();
  });
  prompter_.QueueAnswer(Prompter::Answer::Ok);
  ASSERT_EQ(prompter_.RunDialog(dialog), QDialog::Accepted);
  EXPECT_EQ(dialog.GetPassphrase(), SecureString("abc"));
  ASSERT_EQ(prompter_.Requests().size(), 2u);
  EXPECT_TRUE(prompter_.Requests()[1].text.contains(QChar(0x0101))) << prompter_.Requests()[1].text.toStdString();
  ExpectNoProblems();
}

TEST_F(OpenDatabaseDialogTest, BrowsingTwiceToOneFileListsItTwiceAndStoresItOnce) {
  palm_.Absent();
  const std::string file = folder_.Make("data") + "/home.lwdb";
  WriteFile(file, "any bytes");
  const std::string entry = "PC Database: home.lwdb (" + file + ")";
  OpenDatabaseDialog dialog(prompter_, palm_.Binding(), nullptr);
  prompter_.QueueDialog([&](QDialog& d) {
    Button(d, OpenDatabaseDialog::kBrowseId)->click();
    Button(d, OpenDatabaseDialog::kBrowseId)->click();
    EXPECT_EQ(Items(d), QStringList({QString::fromStdString(entry), QString::fromStdString(entry)}));
    EXPECT_EQ(List(d)->currentText().toStdString(), entry);
    Button(d, OpenDatabaseDialog::kBrowseId)->click();  // cancelled: nothing changes
    EXPECT_EQ(List(d)->count(), 2);
    d.reject();
  });
  prompter_.QueueDialog(PickFile(file));
  prompter_.QueueDialog(PickFile(file));
  prompter_.QueueDialogCancel();
  EXPECT_EQ(prompter_.RunDialog(dialog), QDialog::Rejected);
  EXPECT_EQ(ReadDatabaseEntries(), std::vector<std::string>{entry});
  EXPECT_EQ(ReadLastDatabase(), "") << "only OK remembers the last database";
  EXPECT_EQ(prompter_.Requests()[1].text, OpenDatabaseDialog::kBrowseDialogName);
  ExpectNoProblems();
}

// Create New asks first (depending on Palm Desktop and the list), then
// takes a file and a passphrase, creates the database and ends with OK.
TEST_F(OpenDatabaseDialogTest, CreateNewAsksWhatItMustThenCreatesAndEndsWithOk) {
  struct Case {
    const char* name;
    bool palmDesktop;
    const char* question;  // null: none
  };
  const Case cases[] = {
      {"with Palm Desktop", true, OpenDatabaseDialog::kCreateNewPalmWarning},
      {"without Palm Desktop", false, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestFolder folder;
    PalmDesktop palm(folder);
    ScriptedPrompter prompter;
    if (c.palmDesktop) {
      palm.Install({"Alpha"});
    } else {
      palm.Absent();
      AddDatabaseEntry("PC Database: old.lwdb (/data/old.lwdb)");
    }
    const std::string path = DefaultDatabaseFolder() + "lockwell.lwdb";
    OpenDatabaseDialog dialog(prompter, palm.Binding(), nullptr);
    prompter.QueueDialog([&](QDialog& d) { Button(d, OpenDatabaseDialog::kCreateNewId)->click(); });
    if (c.question != nullptr) prompter.QueueAnswer(Prompter::Answer::Yes);
    prompter.QueueDialog([&](QDialog& d) {
      // The proposed file is "lockwell.lwdb" in "My Lockwell" under the
      // documents folder.
      auto& files = static_cast<QFileDialog&>(d);
      EXPECT_EQ(files.acceptMode(), QFileDialog::AcceptSave);
      ASSERT_FALSE(files.selectedFiles().isEmpty());
      EXPECT_EQ(files.selectedFiles().front().toStdString(), path);
      d.accept();
    });
    prompter.QueueDialog(NewPassphrase("new one"));
    ASSERT_EQ(prompter.RunDialog(dialog), QDialog::Accepted);

    const std::string entry = MakePcDatabaseEntry(path);
    EXPECT_EQ(dialog.GetEntryText(), entry);
    EXPECT_EQ(dialog.GetPassphrase(), SecureString("new one"));
    EXPECT_EQ(ReadLastDatabase(), entry);
    const std::vector<std::string> stored = ReadDatabaseEntries();
    EXPECT_EQ(stored.back(), entry);
    ErrorList errors;
    LockwellDatabase created(errors, path, SecureString("new one"), false);
    EXPECT_TRUE(created.IsOpen()) << errors.Summary();
    EXPECT_TRUE(created.isPcOwned());

    std::vector<QString> questions;
    for (const auto& request : prompter.Requests())
      if (!request.isDialog) questions.push_back(request.text);
    if (c.question != nullptr) {
      ASSERT_EQ(questions.size(), 1u);
      EXPECT_EQ(questions[0], c.question);
      EXPECT_EQ(prompter.Requests()[1].caption, OpenDatabaseDialog::kCreateNewCaption);
    } else {
      EXPECT_TRUE(questions.empty());
    }
    EXPECT_TRUE(prompter.Problems().isEmpty()) << prompter.Problems().join("; ").toStdString();
  }
}

TEST_F(OpenDatabaseDialogTest, CreateNewStopsAtEveryNoOrCancel) {
  // Stop at the question, at the save dialog, at the passphrase dialog.
  for (int stopAt = 0; stopAt < 3; ++stopAt) {
    SCOPED_TRACE(stopAt);
    TestFolder folder;
    PalmDesktop palm(folder);
    ScriptedPrompter prompter;
    palm.Install({"Alpha"});
    OpenDatabaseDialog dialog(prompter, palm.Binding(), nullptr);
    prompter.QueueDialog([&](QDialog& d) {
      Button(d, OpenDatabaseDialog::kCreateNewId)->click();
      EXPECT_TRUE(d.isVisible());
      EXPECT_EQ(Items(d), QStringList({"Palm User: Alpha"}));
      d.reject();
    });
    prompter.QueueAnswer(stopAt == 0 ? Prompter::Answer::No : Prompter::Answer::Yes);
    if (stopAt >= 1) prompter.QueueDialog(stopAt == 1 ? ScriptedPrompter::DialogScript([](QDialog& d) { d.reject(); })
                                                      : PickFile(DefaultDatabaseFolder() + "x.lwdb"));
    if (stopAt >= 2) prompter.QueueDialogCancel();
    EXPECT_EQ(prompter.RunDialog(dialog), QDialog::Rejected);
    EXPECT_TRUE(ReadDatabaseEntries().empty());
    EXPECT_FALSE(std::filesystem::exists(DefaultDatabaseFolder() + "x.lwdb"));
    EXPECT_TRUE(prompter.Problems().isEmpty()) << prompter.Problems().join("; ").toStdString();
    EXPECT_EQ(prompter.Unused(), 0u);
  }
}

TEST_F(OpenDatabaseDialogTest, CreateNewThatFailsShowsTheErrorsAndAddsNothing) {
  palm_.Absent();
  AddDatabaseEntry("PC Database: old.lwdb (/data/old.lwdb)");
  const std::string path = folder_ / "no-such-folder/new.lwdb";
  ShownErrors shown;
  OpenDatabaseDialog dialog(prompter_, palm_.Binding(), nullptr);
  prompter_.QueueDialog([&](QDialog& d) {
    Button(d, OpenDatabaseDialog::kCreateNewId)->click();
    EXPECT_TRUE(d.isVisible()) << "the dialog stays as it was";
    EXPECT_EQ(List(d)->count(), 1);
    d.reject();
  });
  prompter_.QueueDialog([&](QDialog& d) {
    // Qt's own save dialog refuses a missing folder; choose it as typed.
    auto& files = static_cast<QFileDialog&>(d);
    files.selectFile(QString::fromStdString(path));
    files.QDialog::done(QDialog::Accepted);
  });
  prompter_.QueueDialog(NewPassphrase(""));
  prompter_.QueueDialog(ReadErrorDialog(shown));
  EXPECT_EQ(prompter_.RunDialog(dialog), QDialog::Rejected);
  EXPECT_EQ(shown.summaries.size(), 1);
  EXPECT_EQ(ReadDatabaseEntries().size(), 1u);
  ExpectNoProblems();
}

TEST_F(OpenDatabaseDialogTest, AnEmptyListStartsCreateNew) {
  struct Case {
    const char* name;
    bool palmDesktop;
    const char* question;
  };
  const Case cases[] = {
      {"without Palm Desktop", false, OpenDatabaseDialog::kCreateNewNoDatabases},
      {"with Palm Desktop but no users", true, OpenDatabaseDialog::kCreateNewPalmWarning},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestFolder folder;
    PalmDesktop palm(folder);
    ScriptedPrompter prompter;
    if (c.palmDesktop) {
      palm.Install({});
    } else {
      palm.Absent();
    }
    OpenDatabaseDialog dialog(prompter, palm.Binding(), nullptr);
    prompter.QueueDialog([&](QDialog& d) {
      LetPostedRun();
      // Declined: the empty dialog stays, OK disabled.
      EXPECT_TRUE(d.isVisible());
      EXPECT_EQ(List(d)->count(), 0);
      EXPECT_FALSE(Button(d, OpenDatabaseDialog::kOkId)->isEnabled());
      LetPostedRun();  // asked once only
      d.reject();
    });
    prompter.QueueAnswer(Prompter::Answer::No);
    EXPECT_EQ(prompter.RunDialog(dialog), QDialog::Rejected);
    ASSERT_EQ(prompter.Requests().size(), 2u);
    EXPECT_EQ(prompter.Requests()[1].caption, OpenDatabaseDialog::kCreateNewCaption);
    EXPECT_EQ(prompter.Requests()[1].text, c.question);
    EXPECT_TRUE(prompter.Problems().isEmpty()) << prompter.Problems().join("; ").toStdString();
  }
}

TEST_F(OpenDatabaseDialogTest, AnEmptyListGoesStraightOnToANewDatabase) {
  palm_.Absent();
  OpenDatabaseDialog dialog(prompter_, palm_.Binding(), nullptr);
  prompter_.QueueDialog([](QDialog&) { LetPostedRun(); });
  prompter_.QueueAnswer(Prompter::Answer::Yes);
  prompter_.QueueDialog(PickFile(DefaultDatabaseFolder() + "first.lwdb"));
  prompter_.QueueDialog(NewPassphrase("pw"));
  ASSERT_EQ(prompter_.RunDialog(dialog), QDialog::Accepted);
  EXPECT_EQ(dialog.ResolveDatabasePath(), DefaultDatabaseFolder() + "first.lwdb");
  EXPECT_EQ(dialog.GetPassphrase(), SecureString("pw"));
  ExpectNoProblems();
}

TEST_F(OpenDatabaseDialogTest, ResolvesEntriesToPaths) {
  palm_.Install({"Alpha", "Bob Smith"});
  struct Case {
    std::string entry;
    std::string path;
  };
  const Case cases[] = {
      {"Palm User: Alpha", palm_.UserFolder("Alpha") + "/lockwell/lockwell.lwdb"},
      {"Palm User: Bob Smith", palm_.UserFolder("Bob Smith") + "/lockwell/lockwell.lwdb"},
      {"Palm User: alpha", ""},  // names match exactly
      {"Palm User: Gone", ""},
      {"PC Database: home.lwdb (/data/home.lwdb)", "/data/home.lwdb"},
      {"PC Database: /data/home.lwdb", "/data/home.lwdb"},  // no parentheses
      {"PC Database: x )y( z", "x )y( z"},                    // ")" before "(": as if missing
      {"palm user: Alpha", "palm user: Alpha"},               // prefixes are case-sensitive
      {"/data/my (old)/a.lwdb", "/data/my (old)/a.lwdb"},      // a bare path
  };
  for (const Case& c : cases) EXPECT_EQ(ResolveDatabasePath(c.entry, palm_.Binding()), c.path) << c.entry;
}

TEST_F(OpenDatabaseDialogTest, DefaultFolderIsMyLockwellUnderDocumentsAndIsCreated) {
  folder_.Set("LOCKWELL_DOCUMENTS_DIR", folder_ / "docs/");
  std::filesystem::create_directories(folder_ / "docs");
  EXPECT_EQ(DefaultDatabaseFolder(), folder_ / "docs/My Lockwell/");
  EXPECT_TRUE(std::filesystem::is_directory(folder_ / "docs/My Lockwell"));
  folder_.Set("LOCKWELL_DOCUMENTS_DIR", folder_ / "docs");
  EXPECT_EQ(DefaultDatabaseFolder(), folder_ / "docs/My Lockwell/");
}

TEST(NewPassphraseDialogTest, OkIsEnabledExactlyWhileBothFieldsAgree) {
  ScriptedPrompter prompter;
  NewPassphraseDialog dialog(prompter, nullptr);
  auto* first = ControlIds::Find<QLineEdit>(&dialog, NewPassphraseDialog::kPassphraseId);
  auto* second = ControlIds::Find<QLineEdit>(&dialog, NewPassphraseDialog::kConfirmId);
  auto* ok = ControlIds::Find<QPushButton>(&dialog, NewPassphraseDialog::kOkId);
  EXPECT_EQ(dialog.windowTitle(), "Enter Passphrase");
  EXPECT_EQ(first->echoMode(), QLineEdit::Password);
  EXPECT_EQ(second->echoMode(), QLineEdit::Password);
  struct Step {
    const char* first;
    const char* second;
    bool enabled;
  };
  const Step steps[] = {
      {"", "", true},  // both empty count as equal
      {"secret", "", false},
      {"secret", "secret", true},
      {"secret", "secreT", false},
      {"secrex", "secret", false},
      {"", "", true},
  };
  for (const Step& s : steps) {
    first->setText(s.first);
    second->setText(s.second);
    EXPECT_EQ(ok->isEnabled(), s.enabled) << s.first << " / " << s.second;
  }
}

TEST(NewPassphraseDialogTest, AcceptsTheTypedBytesAndRefusesWhatCannotBeStored) {
  ScriptedPrompter prompter;
  NewPassphraseDialog dialog(prompter, nullptr);
  auto* first = ControlIds::Find<QLineEdit>(&dialog, NewPassphraseDialog::kPassphraseId);
  auto* second = ControlIds::Find<QLineEdit>(&dialog, NewPassphraseDialog::kConfirmId);
  prompter.QueueDialog([&](QDialog& d) {
    first->setText(QStringLiteral("\u20ac\u4e00"));
    second->setText(QStringLiteral("\u20ac\u4e00"));
    ControlIds::Find<QPushButton>(&d, NewPassphraseDialog::kOkId)->click();
    EXPECT_TRUE(d.isVisible());
    first->setText(QStringLiteral("\u20ac5"));
    second->setText(QStringLiteral("\u20ac5"));
    ControlIds::Find<QPushButton>(&d, NewPassphraseDialog::kOkId)->click();
  });
  prompter.QueueAnswer(Prompter::Answer::Ok);
  ASSERT_EQ(prompter.RunDialog(dialog), QDialog::Accepted);
  EXPECT_EQ(dialog.GetPassphrase(), SecureString("\x80" "5"));
  EXPECT_TRUE(first->text().isEmpty());
  EXPECT_TRUE(second->text().isEmpty());
  EXPECT_TRUE(prompter.Problems().isEmpty()) << prompter.Problems().join("; ").toStdString();
}

}  // namespace
}  // namespace lockwell::testing
