// Start-up: the command line, the modal run, Help > Index and the About
// box.
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "WindowFixture.h"
#include "app/Settings.h"
#include "app/ui/CommandIds.h"
#include "app/ui/LockwellApp.h"
#include "platform/Registry.h"

namespace lockwell::testing {
namespace {

class LockwellAppTest : public WindowTest {};

TEST_F(LockwellAppTest, TheCommandLineSwitchesOffTheOpenOrRemembersOneDatabase) {
  const struct {
    QStringList arguments;
    bool autoOpen;
    std::vector<std::string> entries;
  } cases[] = {
      {{}, true, {}},
      {{"/noopen"}, false, {}},
      {{"/NOOPEN"}, false, {}},
      {{"/NoOpen", "/x/y.lwdb"}, true, {}},
      {{"/x/y.lwdb", "/x/z.lwdb"}, true, {}},
      {{"/x/y.lwdb"}, true, {"PC Database: y.lwdb (/x/y.lwdb)"}},
      {{"/X/Y.LWDB"}, true, {"PC Database: y.lwdb (/x/y.lwdb)"}},
      {{"/My (old)/a.lwdb"}, true, {"PC Database: y.lwdb (/x/y.lwdb)", "/My (old)/a.lwdb"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    MainWindow window(prompter_);
    LockwellApp::ApplyCommandLine(c.arguments, window, prompter_);
    EXPECT_EQ(window.AutoOpen(), c.autoOpen);
    EXPECT_EQ(ReadDatabaseEntries(), c.entries);
  }
  EXPECT_EQ(ReadLastDatabase(), "/My (old)/a.lwdb");
}

TEST_F(LockwellAppTest, APathWindows1252CannotHoldIsRefusedAndNotRemembered) {
  MainWindow window(prompter_);
  prompter_.QueueAnswer(Prompter::Answer::Ok);
  LockwellApp::ApplyCommandLine({QString::fromUtf8("/data/\u0107.lwdb")}, window, prompter_);
  ASSERT_EQ(prompter_.Requests().size(), 1u);
  EXPECT_TRUE(ReadDatabaseEntries().empty());
  EXPECT_TRUE(ReadLastDatabase().empty());
  // A character Windows-1252 has is kept as it is.
  LockwellApp::ApplyCommandLine({QString::fromUtf8("/data/\u20ac.lwdb")}, window, prompter_);
  EXPECT_EQ(ReadLastDatabase(), "PC Database: \x80.lwdb (/data/\x80.lwdb)");
}

TEST_F(LockwellAppTest, TheWindowRunsModallyAndTheProgramEndsWhenItCloses) {
  for (bool noOpen : {false, true}) {
    int opens = 0;
    LockwellApp app([&opens](MainWindow& window) {
      ++opens;
      window.reject();  // the user closes the window at once
    });
    if (noOpen) QTimer::singleShot(50, [] { QApplication::activeModalWidget()->close(); });
    const int status = app.Run(prompter_, noOpen ? QStringList{"/noopen"} : QStringList{});
    EXPECT_EQ(status, 0);
    EXPECT_EQ(opens, noOpen ? 0 : 1);
  }
}

TEST_F(LockwellAppTest, HelpIndexOpensTheInstalledReadmeOrSaysItIsMissing) {
  MainWindow& window = MakeWindow();
  std::vector<QUrl> opened;
  window.SetUrlOpener([&opened](const QUrl& url) { opened.push_back(url); });

  prompter_.QueueAnswer(Prompter::Answer::Ok);
  window.Action(command::kHelpIndex)->trigger();
  ASSERT_EQ(prompter_.Requests().size(), 1u);
  EXPECT_EQ(prompter_.Requests()[0].caption, "Lockwell Help");
  EXPECT_EQ(prompter_.Requests()[0].text, "Could not find help file.");
  EXPECT_TRUE(opened.empty());

  RegistryKey key;
  ASSERT_EQ(Registry::CreateKey(Hive::LocalMachine, kSettingsKeyPath, key), RegistryStatus::Ok);
  ASSERT_EQ(key.SetText("InstallPath", "/opt/lockwell"), RegistryStatus::Ok);
  window.Action(command::kHelpIndex)->trigger();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], QUrl::fromLocalFile("/opt/lockwell/help/readme.html"));
}

TEST_F(LockwellAppTest, TheAboutBoxNamesTheVersionAndWhereToGetHelp) {
  MainWindow& window = MakeWindow();
  QStringList texts;
  QString title;
  prompter_.QueueDialog([&](QDialog& dialog) {
    title = dialog.windowTitle();
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
      if (!label->text().isEmpty()) texts << label->text();
    }
    dialog.findChild<QPushButton*>("okButton")->click();
  });
  window.Action(command::kAbout)->trigger();
  EXPECT_EQ(title, "About Lockwell/PC");
  ASSERT_EQ(texts.size(), 3);
  EXPECT_EQ(texts[0], "Lockwell/PC Version 4.0.9");
  EXPECT_TRUE(texts[1].contains("support@tallmark.com"));
  EXPECT_TRUE(texts[2].contains("www.tallmark.com"));
}

}  // namespace
}  // namespace lockwell::testing
