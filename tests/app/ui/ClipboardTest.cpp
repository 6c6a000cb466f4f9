// Copy Password and the removal of the program's password from the
// clipboard when the database goes away, however it goes.
#include <QClipboard>
#include <QTest>
#include <functional>

#include "WindowFixture.h"
#include "app/ui/CommandIds.h"

namespace lockwell::testing {
namespace {

using namespace command;

class ClipboardTest : public WindowTest {
 protected:
  QClipboard* Clipboard() const { return QApplication::clipboard(); }

  // Opens the window and copies the password of "gamma".
  MainWindow& CopyGammaPassword() {
    MainWindow& window = OpenWindow();
    Clipboard()->setText("unrelated");
    SelectCategory("Business");
    SelectAccounts({"gamma"});
    window.Action(kCopyPassword)->trigger();
    EXPECT_EQ(Clipboard()->text(), "g-secret");
    return window;
  }
};

const struct Ending {
  const char* name;
  std::function<void(MainWindow&)> end;
} kEndings[] = {
    {"Lock", [](MainWindow& w) { w.Action(kLock)->trigger(); }},
    {"Close", [](MainWindow& w) { w.Action(kClose)->trigger(); }},
    {"Quit", [](MainWindow& w) { w.Action(kQuit)->trigger(); }},
    {"Escape", [](MainWindow& w) { QTest::keyClick(&w, Qt::Key_Escape); }},
    {"title bar", [](MainWindow& w) { w.close(); }},
};

TEST_F(ClipboardTest, TheCopiedPasswordLeavesTheClipboardWithTheDatabase) {
  for (const Ending& ending : kEndings) {
    SCOPED_TRACE(ending.name);
    MainWindow& window = CopyGammaPassword();
    ending.end(window);
    EXPECT_TRUE(Clipboard()->text().isEmpty());
  }
}

TEST_F(ClipboardTest, ATextAnotherProgramPutThereMeanwhileStays) {
  for (const Ending& ending : kEndings) {
    SCOPED_TRACE(ending.name);
    MainWindow& window = CopyGammaPassword();
    Clipboard()->setText("someone else's");
    ending.end(window);
    EXPECT_EQ(Clipboard()->text(), "someone else's");
  }
}

TEST_F(ClipboardTest, AnAccountWithoutAPwdFieldIsRefusedWithANotice) {
  MainWindow& window = OpenWindow();
  Clipboard()->setText("unchanged");
  SelectCategory("Business");
  SelectAccounts({"note only"});
  prompter_.QueueAnswer(Prompter::Answer::Ok);
  window.Action(kCopyPassword)->trigger();
  ASSERT_EQ(prompter_.Requests().size(), 1u);
  EXPECT_EQ(prompter_.Requests()[0].caption, "No Password Found");
  EXPECT_EQ(prompter_.Requests()[0].text, "This account does not have a Pwd entry.");
  EXPECT_EQ(Clipboard()->text(), "unchanged");
}

TEST_F(ClipboardTest, TwoSelectedAccountsCopyNothingFromTheContextMenu) {
  MainWindow& window = OpenWindow();
  Clipboard()->setText("unchanged");
  SelectCategory("Business");
  SelectAccounts({"gamma", "Zeta mail"});
  auto menu = window.BuildAccountMenu();
  for (QAction* action : menu->actions()) {
    if (ControlIds::Of(action) == kCopyPassword) action->trigger();
  }
  EXPECT_EQ(Clipboard()->text(), "unchanged");
}

TEST_F(ClipboardTest, AnEmptyPasswordIsCopiedAsAnEmptyText) {
  VaultFixture fixture = Demo();
  FixtureAccount blank = FixtureAccount::Simple("Blank", "b", "");
  blank.category = kPersonal;
  fixture.accounts.insert(fixture.accounts.begin(), blank);
  WriteDatabase(fixture);
  MainWindow& window = OpenWindow();
  Clipboard()->setText("before");
  SelectCategory("personal");
  SelectAccounts({"Blank"});
  window.Action(kCopyPassword)->trigger();
  EXPECT_TRUE(Clipboard()->text().isEmpty());
}

}  // namespace
}  // namespace lockwell::testing
