// The category list, the account list and the account view: their order,
// columns and rows, sorting by a column, and the commands the selections
// offer.
#include <QHeaderView>
#include <QTest>

#include "WindowFixture.h"
#include "app/ui/CommandIds.h"
#include "app/ui/SortHeader.h"
#include "palmdb/CategoryConstants.h"
#include "vault/CategoryPrefsTable.h"

namespace lockwell::testing {
namespace {

using namespace command;

class MainWindowListsTest : public WindowTest {
 protected:
  // Shows Title, Login and Pwd in every category.
  void ShowLoginAndPassword(MainWindow& window) {
    CategoryPrefs prefs = CategoryPrefs::BuiltInDefaults();
    prefs.useDefault = false;
    prefs.shownFields = {"Title", "Login", "Pwd"};
    window.Database()->storeCategoryPrefs(CategoryPrefsTable::defaultPrefsKey, prefs);
    window.RefreshControls(true);
  }

  void ClickHeader(int column) {
    QHeaderView* header = List(MainWindow::kAccountListId)->header();
    const QPoint at(header->sectionViewportPosition(column) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  }

  // What column `column` of the account list's header looks like.
  QImage HeaderSection(int column) const {
    QHeaderView* header = List(MainWindow::kAccountListId)->header();
    const QRect section(header->sectionViewportPosition(column), 0, header->sectionSize(column),
                        header->height());
    return header->viewport()->grab(section).toImage();
  }

  int SortImage(int column) const {
    return static_cast<SortHeader*>(List(MainWindow::kAccountListId)->header())->ImageOf(column);
  }

  QStringList ViewRows() const {
    QStringList rows;
    QTreeWidget* view = List(MainWindow::kAccountViewId);
    for (int row = 0; row < view->topLevelItemCount(); ++row) {
      rows << view->topLevelItem(row)->text(0) + "|" + view->topLevelItem(row)->text(1);
    }
    return rows;
  }
};

TEST_F(MainWindowListsTest, CategoriesListAllFirstUnfiledLastAndTheRestByNameWithoutCase) {
  OpenWindow();
  EXPECT_EQ(Column(MainWindow::kCategoryListId),
            (QStringList{"All", "banking", "Business", "personal", "Unfiled"}));
  QTreeWidget* list = List(MainWindow::kCategoryListId);
  EXPECT_EQ(list->topLevelItem(0)->data(0, Qt::UserRole).toUInt(), ALL_CATEGORIES);
  EXPECT_EQ(list->topLevelItem(4)->data(0, Qt::UserRole).toUInt(), 0u);
  EXPECT_EQ(list->headerItem()->text(0), "Category");
  EXPECT_EQ(list->columnWidth(0), list->viewport()->width());
}

TEST_F(MainWindowListsTest, AllListsEveryAccountInAscendingOrderOfTheFirstCell) {
  MainWindow& window = OpenWindow();
  SelectCategory("All");
  EXPECT_EQ(window.CurrentCategory(), ALL_CATEGORIES);
  EXPECT_EQ(Column(MainWindow::kAccountListId),
            (QStringList{"alpha bank", "Beta shop", "Delta", "gamma", "note only", "Zeta mail"}));
  SelectCategory("Business");
  EXPECT_EQ(Column(MainWindow::kAccountListId), (QStringList{"gamma", "note only", "Zeta mail"}));
}

TEST_F(MainWindowListsTest, SelectedCategoryDecidesPasteRenameAndDelete) {
  MainWindow& window = OpenWindow();
  // Something in the copy buffer, so that only the category decides Paste.
  SelectCategory("Business");
  SelectAccounts({"gamma"});
  window.Action(kCopy)->trigger();
  ASSERT_FALSE(window.CopyBufferEmpty());

  const struct {
    const char* category;
    bool paste;
    bool renameAndDelete;
  } cases[] = {
      {"All", false, false},
      {"Unfiled", true, false},
      {"Business", true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.category);
    SelectCategory(c.category);
    EXPECT_EQ(Enabled(kPaste), c.paste);
    EXPECT_EQ(Enabled(kRenameCategory), c.renameAndDelete);
    EXPECT_EQ(Enabled(kDeleteCategory), c.renameAndDelete);
    EXPECT_TRUE(Enabled(kNewAccount));
    EXPECT_TRUE(Enabled(kCategoryPreferences));
    auto categoryMenu = window.BuildCategoryMenu();
    EXPECT_EQ(MenuState(*categoryMenu), (std::map<int, bool>{{kNewCategory, true},
                                                             {kRenameCategory, c.renameAndDelete},
                                                             {kDeleteCategory, c.renameAndDelete},
                                                             {kCategoryPreferences, true}}));
    auto accountMenu = window.BuildAccountMenu();
    EXPECT_EQ(MenuState(*accountMenu)[kPaste], c.paste);
  }
}

TEST_F(MainWindowListsTest, ColumnsFollowTheShownFieldsWithTheFirstTwiceAsWide) {
  MainWindow& window = OpenWindow();
  ShowLoginAndPassword(window);
  SelectCategory("Business");
  QTreeWidget* list = List(MainWindow::kAccountListId);
  ASSERT_EQ(list->columnCount(), 3);
  EXPECT_EQ(list->headerItem()->text(0), "Title");
  EXPECT_EQ(list->headerItem()->text(1), "Login");
  EXPECT_EQ(list->headerItem()->text(2), "Pwd");
  const int w = list->viewport()->width();
  EXPECT_EQ(list->columnWidth(0), 2 * w / 4);
  EXPECT_EQ(list->columnWidth(1), w / 4);
  EXPECT_EQ(list->columnWidth(2), w / 4);
  EXPECT_EQ(Column(MainWindow::kAccountListId, 1), (QStringList{"gam", "nobody", "zed"}));
  // An account without a Pwd field shows an empty cell.
  EXPECT_EQ(Column(MainWindow::kAccountListId, 2), (QStringList{"g-secret", "", "z-secret"}));
}

TEST_F(MainWindowListsTest, OneSelectedAccountFillsTheViewAndTwoEmptyIt) {
  MainWindow& window = OpenWindow();
  SelectCategory("Business");
  SelectAccounts({"note only"});
  QTreeWidget* view = List(MainWindow::kAccountViewId);
  EXPECT_TRUE(view->isEnabled());
  // Fields with a blank label and no value are left out; lines break at LF.
  EXPECT_EQ(ViewRows(), (QStringList{"Title:|note only", "Login:|nobody", "URL:|http://example.org",
                                     "Note:|line one\nline two"}));
  EXPECT_EQ(view->columnWidth(0), view->viewport()->width() / 3);
  EXPECT_TRUE(Enabled(kEditAccount));
  EXPECT_TRUE(Enabled(kCopyPassword));

  SelectAccounts({"gamma", "Zeta mail"});
  EXPECT_FALSE(view->isEnabled());
  EXPECT_EQ(view->topLevelItemCount(), 0);
  EXPECT_FALSE(Enabled(kEditAccount));
  EXPECT_FALSE(Enabled(kCopyPassword));
  EXPECT_TRUE(Enabled(kDeleteAccount));
  EXPECT_TRUE(Enabled(kCopy));
  EXPECT_FALSE(Button(MainWindow::kEditButtonId)->isEnabled());
  EXPECT_TRUE(Button(MainWindow::kDeleteButtonId)->isEnabled());
  auto menu = window.BuildAccountMenu();
  const std::map<int, bool> state = MenuState(*menu);
  EXPECT_TRUE(state.at(kCopyPassword)) << "the context menu still offers Copy Password";
  EXPECT_FALSE(state.at(kEditAccount));
  EXPECT_FALSE(state.at(kPaste)) << "nothing was copied";
}

TEST_F(MainWindowListsTest, ClickingAHeaderTwiceSortsUpThenDownAndAnotherCategoryDropsTheSort) {
  MainWindow& window = OpenWindow();
  ShowLoginAndPassword(window);
  SelectCategory("All");

  ClickHeader(1);
  EXPECT_EQ(window.SortColumn(), 1);
  EXPECT_EQ(Column(MainWindow::kAccountListId, 1), (QStringList{"al", "bee", "del", "gam", "nobody", "zed"}));
  EXPECT_EQ(SortImage(1), SortHeader::kAscendingImage);
  EXPECT_FALSE(SortHeader::Icon(SortHeader::kAscendingImage).isNull());
  EXPECT_FALSE(SortHeader::Icon(SortHeader::kDescendingImage).isNull());

  const QImage ascending = HeaderSection(1);

  ClickHeader(1);
  EXPECT_EQ(Column(MainWindow::kAccountListId, 1), (QStringList{"zed", "nobody", "gam", "del", "bee", "al"}));
  EXPECT_EQ(SortImage(1), SortHeader::kDescendingImage);
  const QImage descending = HeaderSection(1);
  EXPECT_NE(ascending, descending) << "the image is drawn beside the text";

  // Another column starts ascending and takes the image over.
  ClickHeader(0);
  EXPECT_EQ(SortImage(1), SortHeader::kNoImage);
  EXPECT_EQ(SortImage(0), SortHeader::kAscendingImage);
  EXPECT_EQ(Column(MainWindow::kAccountListId, 0).first(), "alpha bank");
  const QImage plain = HeaderSection(1);
  EXPECT_NE(plain, ascending);
  EXPECT_NE(plain, descending);

  SelectCategory("Business");
  EXPECT_EQ(window.SortColumn(), -1);
  EXPECT_EQ(SortImage(0), SortHeader::kNoImage);
  ClickHeader(0);
  EXPECT_EQ(SortImage(0), SortHeader::kAscendingImage) << "a fresh sort starts ascending";
}

TEST_F(MainWindowListsTest, AnUnreadableAccountIsReportedAndTheOthersStillListed) {
  VaultFixture fixture = Demo();
  FixtureAccount damaged = FixtureAccount::Simple("Damaged", "x", "y");
  damaged.rawPayload = true;
  damaged.payload = std::string(40, '\x5A');
  damaged.category = kBusiness;
  fixture.accounts.insert(fixture.accounts.begin() + 1, damaged);
  WriteDatabase(fixture);
  MainWindow& window = OpenWindow();

  prompter_.QueueDialogOk();
  SelectCategory("All");
  ASSERT_EQ(prompter_.Requests().size(), 1u);
  EXPECT_EQ(prompter_.Requests().back().caption, "Lockwell Error");
  EXPECT_EQ(Column(MainWindow::kAccountListId).size(), 6) << "every readable account is listed";
  (void)window;
}

}  // namespace
}  // namespace lockwell::testing
