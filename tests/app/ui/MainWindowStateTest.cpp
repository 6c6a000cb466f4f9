// The window's three states, the command table's enabling in each, and
// the moves between them: open, close, lock and unlock, automatic open.
#include <QClipboard>
#include <QTest>

#include "WindowFixture.h"
#include "app/ui/CommandIds.h"
#include "app/ui/CommandTable.h"

namespace lockwell::testing {
namespace {

using namespace command;

const std::vector<int> kAllCommands = {
    kOpen,        kClose,          kLock,           kChangePassphrase,    kQuit,
    kCut,         kCopy,           kPaste,          kSelectAll,           kCopyPassword,
    kFind,        kFindAgain,      kNewAccount,     kEditAccount,         kDeleteAccount,
    kNewCategory, kRenameCategory, kDeleteCategory, kCategoryPreferences, kHelpIndex,
    kAbout};

class MainWindowStateTest : public WindowTest {
 protected:
  // The commands of the menu bar that are offered.
  std::set<int> Offered() const {
    std::set<int> offered;
    for (int id : kAllCommands) {
      if (Enabled(id)) offered.insert(id);
    }
    return offered;
  }
  bool Shown(int id) const { return ControlIds::Find<QWidget>(window_.get(), id)->isVisible(); }
};

TEST_F(MainWindowStateTest, WithoutADatabaseOnlyOpenQuitIndexAndAboutAreOffered) {
  MainWindow& window = MakeWindow();
  EXPECT_EQ(window.windowTitle(), "Lockwell/PC");
  EXPECT_EQ(Offered(), (std::set<int>{kOpen, kQuit, kHelpIndex, kAbout}));
  EXPECT_EQ(window.Action(kLock)->text(), "&Lock...\tCtrl+L");
  EXPECT_TRUE(Message()->isVisible());
  EXPECT_EQ(Message()->text(), MainWindow::kNoDatabaseMessage);
  for (int id : {MainWindow::kCategoryListId, MainWindow::kAccountListId, MainWindow::kAccountViewId,
                 MainWindow::kNewButtonId, MainWindow::kEditButtonId, MainWindow::kDeleteButtonId,
                 MainWindow::kViewButtonId, MainWindow::kLockButtonId}) {
    EXPECT_FALSE(Shown(id)) << id;
  }
  EXPECT_TRUE(Shown(MainWindow::kQuitButtonId));
  EXPECT_EQ(opens_, 0) << "the automatic open was switched off";
}

TEST_F(MainWindowStateTest, MenuTextsAndIdsAreTheProgramsOwn) {
  MainWindow& window = MakeWindow();
  const std::map<int, QString> texts = {
      {kOpen, "&Open...\tCtrl+O"},
      {kClose, "&Close"},
      {kChangePassphrase, "Change Passphrase..."},
      {kQuit, "Quit\tAlt+F4"},
      {kCut, "Cu&t\tCtrl+X"},
      {kCopy, "&Copy\tCtrl+C"},
      {kPaste, "&Paste\tCtrl+P"},
      {kSelectAll, "Select &All\tCtrl+A"},
      {kCopyPassword, "Copy Pass&word\tF5"},
      {kFind, "&Find...\tCtrl+F"},
      {kFindAgain, "Find A&gain\tF3"},
      {kNewAccount, "&New...\tCtrl+N"},
      {kEditAccount, "&Edit...\tCtrl+E"},
      {kDeleteAccount, "&Delete...\tCtrl+D"},
      {kNewCategory, "&New..."},
      {kRenameCategory, "&Rename..."},
      {kDeleteCategory, "&Delete..."},
      {kCategoryPreferences, "Preferences..."},
      {kHelpIndex, "&Index..."},
      {kAbout, "&About Lockwell/PC..."},
  };
  for (const auto& [id, text] : texts) {
    ASSERT_NE(window.Action(id), nullptr) << id;
    EXPECT_EQ(window.Action(id)->text(), text) << id;
    EXPECT_EQ(ControlIds::Of(window.Action(id)), id);
  }
}

TEST_F(MainWindowStateTest, AnOpenDatabaseShowsThePanesAndTheStoredCategory) {
  MainWindow& window = OpenWindow();
  EXPECT_EQ(window.windowTitle(), QString::fromStdString("Lockwell/PC - " + Entry()));
  EXPECT_FALSE(Message()->isVisible());
  for (int id : {MainWindow::kCategoryListId, MainWindow::kAccountListId, MainWindow::kAccountViewId,
                 MainWindow::kNewButtonId, MainWindow::kEditButtonId, MainWindow::kDeleteButtonId,
                 MainWindow::kViewButtonId, MainWindow::kLockButtonId}) {
    EXPECT_TRUE(Shown(id)) << id;
  }
  EXPECT_EQ(Button(MainWindow::kLockButtonId)->text(), "Lock");
  EXPECT_EQ(window.Action(kLock)->text(), "&Lock\tCtrl+L");
  // A new database remembers Unfiled; nothing is selected in the accounts.
  EXPECT_EQ(window.SelectedCategory(), std::optional<uint32_t>(0));
  EXPECT_EQ(Offered(), (std::set<int>{kOpen, kClose, kLock, kQuit, kSelectAll, kFind, kNewAccount,
                                      kNewCategory, kCategoryPreferences, kHelpIndex, kAbout}));
}

TEST_F(MainWindowStateTest, ChangePassphraseIsOfferedForADatabaseMadeOnThePc) {
  VaultFixture fixture = Demo();
  fixture.pcOwned = true;
  WriteDatabase(fixture);
  OpenWindow();
  EXPECT_TRUE(Enabled(kChangePassphrase));
}

TEST_F(MainWindowStateTest, CloseReturnsToNoDatabaseAndTheBareTitle) {
  MainWindow& window = OpenWindow();
  window.Action(kClose)->trigger();
  EXPECT_EQ(window.Database(), nullptr);
  EXPECT_FALSE(window.IsLocked());
  EXPECT_EQ(window.windowTitle(), "Lockwell/PC");
  EXPECT_EQ(Message()->text(), MainWindow::kNoDatabaseMessage);
  EXPECT_FALSE(Shown(MainWindow::kLockButtonId));
  EXPECT_FALSE(Enabled(kLock));
  EXPECT_EQ(List(MainWindow::kCategoryListId)->topLevelItemCount(), 0);
  EXPECT_EQ(List(MainWindow::kAccountListId)->topLevelItemCount(), 0);
}

TEST_F(MainWindowStateTest, LockKeepsTheTitleAndOffersUnlock) {
  MainWindow& window = OpenWindow();
  const QString title = window.windowTitle();
  QTest::mouseClick(Button(MainWindow::kLockButtonId), Qt::LeftButton);
  EXPECT_TRUE(window.IsLocked());
  EXPECT_EQ(window.Database(), nullptr);
  EXPECT_EQ(window.windowTitle(), title);
  EXPECT_EQ(Message()->text(), MainWindow::kLockedMessage);
  EXPECT_TRUE(Shown(MainWindow::kLockButtonId));
  EXPECT_EQ(Button(MainWindow::kLockButtonId)->text(), "Unlock...");
  EXPECT_EQ(window.Action(kLock)->text(), "Un&lock...\tCtrl+L");
  EXPECT_EQ(Offered(), (std::set<int>{kOpen, kLock, kQuit, kHelpIndex, kAbout}));
  EXPECT_EQ(List(MainWindow::kAccountListId)->topLevelItemCount(), 0)
      << "nothing of the database stays listed";
}

TEST_F(MainWindowStateTest, UnlockReturnsToTheCategorySelectedAtLockTime) {
  MainWindow& window = OpenWindow();
  SelectCategory("banking");
  window.Action(kLock)->trigger();
  ASSERT_TRUE(window.IsLocked());

  window.Action(kLock)->trigger();  // Unlock runs the open sequence
  EXPECT_EQ(opens_, 1);
  EXPECT_FALSE(window.IsLocked());
  ASSERT_NE(window.Database(), nullptr);
  EXPECT_EQ(window.SelectedCategory(), std::optional<uint32_t>(kBanking));
  EXPECT_EQ(Column(MainWindow::kAccountListId), QStringList{"alpha bank"});
}

TEST_F(MainWindowStateTest, ACancelledUnlockStaysLocked) {
  MainWindow& window = OpenWindow();
  window.Action(kLock)->trigger();
  cancelOpen_ = true;
  QTest::mouseClick(Button(MainWindow::kLockButtonId), Qt::LeftButton);
  EXPECT_EQ(opens_, 1);
  EXPECT_TRUE(window.IsLocked());
  EXPECT_EQ(Message()->text(), MainWindow::kLockedMessage);
}

TEST_F(MainWindowStateTest, OpenWhileLockedOpensAndClearsTheLock) {
  MainWindow& window = OpenWindow();
  window.Action(kLock)->trigger();
  window.Action(kOpen)->trigger();
  EXPECT_FALSE(window.IsLocked());
  EXPECT_NE(window.Database(), nullptr);
}

TEST_F(MainWindowStateTest, QuitClosesTheDatabaseAndEndsWithOk) {
  MainWindow& window = OpenWindow();
  SelectCategory("Business");
  QTest::mouseClick(Button(MainWindow::kQuitButtonId), Qt::LeftButton);
  EXPECT_EQ(window.result(), QDialog::Accepted);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.Database(), nullptr);
  // The category was stored on the way out.
  auto database = OpenDatabase();
  ErrorList errors;
  uint32_t stored = 99;
  ASSERT_TRUE(database->getLastCategory(errors, stored));
  EXPECT_EQ(stored, kBusiness);
}

TEST_F(MainWindowStateTest, TheWindowStartsTheOpenSequenceWhenItFirstShowsUnlessToldNotTo) {
  for (bool autoOpen : {true, false}) {
    int opens = 0;
    MainWindow window(prompter_, [&opens](MainWindow&) { ++opens; });
    window.SetAutoOpen(autoOpen);
    window.show();
    QTest::qWait(20);
    window.hide();
    window.show();
    QTest::qWait(20);
    EXPECT_EQ(opens, autoOpen ? 1 : 0) << autoOpen;
  }
}

TEST_F(MainWindowStateTest, KeysRunOnlyCommandsTheMenuOffers) {
  MainWindow& window = OpenWindow();
  window.activateWindow();
  QApplication::setActiveWindow(&window);
  // Ctrl+L locks; with no database, Ctrl+L unlocks (reopens) again.
  QTest::keyClick(&window, Qt::Key_L, Qt::ControlModifier);
  EXPECT_TRUE(window.IsLocked());
  QTest::keyClick(&window, Qt::Key_L, Qt::ControlModifier);
  EXPECT_FALSE(window.IsLocked());
  EXPECT_EQ(opens_, 1);

  // F5 needs exactly one account; with none selected nothing is copied.
  SelectCategory("Business");
  QApplication::clipboard()->setText("before");
  QTest::keyClick(&window, Qt::Key_F5);
  EXPECT_EQ(QApplication::clipboard()->text(), "before");
  SelectAccounts({"gamma"});
  QTest::keyClick(&window, Qt::Key_F5);
  EXPECT_EQ(QApplication::clipboard()->text(), "g-secret");

  // Ctrl+A selects every row of the account list.
  QTest::keyClick(List(MainWindow::kAccountListId), Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(window.SelectedAccountCount(), 3);
  // Ctrl+C in the list copies accounts inside the program, never a cell's
  // text to the clipboard.
  QApplication::clipboard()->setText("before");
  QTest::keyClick(List(MainWindow::kAccountListId), Qt::Key_C, Qt::ControlModifier);
  EXPECT_FALSE(window.CopyBufferEmpty());
  EXPECT_EQ(QApplication::clipboard()->text(), "before");
  window.Action(kClose)->trigger();
}

// The lists never put a cell's text on the clipboard, whichever copy key
// is pressed: a password shown in the account view or a column would stay
// there after Close and Lock, where only Copy Password's text is taken off.
TEST_F(MainWindowStateTest, CopyKeysInTheListsNeverCopyACell) {
  struct Case {
    int list;
    int row;  // the row made current; its second cell is the Pwd value in the view
    QKeyCombination key;
  };
  const Case cases[] = {
      {MainWindow::kAccountViewId, 2, Qt::ControlModifier | Qt::Key_Insert},
      {MainWindow::kAccountViewId, 2, Qt::ControlModifier | Qt::Key_C},
      {MainWindow::kAccountListId, 0, Qt::ControlModifier | Qt::Key_Insert},
      {MainWindow::kCategoryListId, 0, Qt::ControlModifier | Qt::Key_Insert},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "list " << c.list << ", key " << c.key.toCombined());
    MainWindow& window = OpenWindow();
    QApplication::setActiveWindow(&window);
    SelectCategory("Business");
    SelectAccounts({"gamma"});
    QTreeWidget* list = List(c.list);
    ASSERT_GT(list->topLevelItemCount(), c.row);
    if (c.list == MainWindow::kAccountViewId) {
      ASSERT_EQ(list->topLevelItem(c.row)->text(1), "g-secret");
    }
    list->setFocus();
    list->setCurrentItem(list->topLevelItem(c.row), 1);
    QApplication::clipboard()->setText("before");
    QTest::keyClick(list, c.key.key(), c.key.keyboardModifiers());
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "before");
    window.Action(kClose)->trigger();
  }
}

TEST_F(MainWindowStateTest, EnterDoesNotEndTheWindowAndEscapeDoes) {
  MainWindow& window = OpenWindow();
  QApplication::setActiveWindow(&window);
  QTest::keyClick(&window, Qt::Key_Return);
  QTest::keyClick(List(MainWindow::kAccountListId), Qt::Key_Enter);
  EXPECT_TRUE(window.isVisible());
  QTest::keyClick(&window, Qt::Key_Escape);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.result(), QDialog::Rejected);
}

}  // namespace
}  // namespace lockwell::testing
