// The window's sizes and the pane layout: start and minimum size, the
// arithmetic on resize, and showing or hiding the account view.
#include <QTest>

#include "WindowFixture.h"

namespace lockwell::testing {
namespace {

class MainWindowLayoutTest : public WindowTest {
 protected:
  QRect Geometry(int id) const { return ControlIds::Find<QWidget>(window_.get(), id)->geometry(); }
  QSize Client() const { return window_->findChild<QWidget*>("clientArea")->size(); }

  // Checks every control against the layout rules for the current size.
  void ExpectLayout(bool expanded) const {
    const int W = Client().width();
    const int H = Client().height();
    const QRect quit = Geometry(MainWindow::kQuitButtonId);
    EXPECT_EQ(quit.right() + 1, W - 4);
    EXPECT_EQ(quit.bottom() + 1, H - 4);
    const QRect lock = Geometry(MainWindow::kLockButtonId);
    EXPECT_EQ(lock.right() + 1 + 4, quit.left());
    const QRect newButton = Geometry(MainWindow::kNewButtonId);
    EXPECT_EQ(newButton.bottom() + 1, H - 4);
    EXPECT_EQ(Geometry(MainWindow::kEditButtonId).bottom() + 1, H - 4);
    const int T = newButton.top();
    const int u = expanded ? (W - 8) / 6 : (W - 8) / 4;
    EXPECT_EQ(Geometry(MainWindow::kCategoryListId), QRect(4, 4, u - 1, T - 8));
    const QRect viewButton = Geometry(MainWindow::kViewButtonId);
    EXPECT_EQ(viewButton.right() + 1, W - 1);
    EXPECT_EQ(viewButton.top(), T / 2 - viewButton.height() / 2);
    const QRect accounts = Geometry(MainWindow::kAccountListId);
    EXPECT_EQ(accounts.left(), u + 4);
    EXPECT_EQ(accounts.top(), 4);
    EXPECT_EQ(accounts.height(), T - 8);
    EXPECT_EQ(accounts.right() + 1, expanded ? 4 * u + 3 : viewButton.left() - 1);
    if (expanded) {
      const QRect view = Geometry(MainWindow::kAccountViewId);
      EXPECT_EQ(view.left(), 4 * u + 5);
      EXPECT_EQ(view.right() + 1, viewButton.left() - 1);
      EXPECT_EQ(view.height(), T - 8);
    }
  }
};

TEST_F(MainWindowLayoutTest, StartsAt600By400AndRefusesToShrinkBelow425By200) {
  MainWindow& window = MakeWindow();
  EXPECT_EQ(window.size(), QSize(600, 400));
  EXPECT_EQ(window.minimumSize(), QSize(425, 200));
  window.resize(300, 120);
  EXPECT_EQ(window.size(), QSize(425, 200));
  // The message sits a third of the way down, across the window.
  const QRect message = Geometry(MainWindow::kMessageId);
  const int T = Geometry(MainWindow::kNewButtonId).top();
  EXPECT_EQ(message, QRect(4, (T - 4) / 3, Client().width() - 8, T - 4 - (T - 4) / 3));
}

TEST_F(MainWindowLayoutTest, PanesFollowTheSizeWithAndWithoutTheAccountView) {
  MainWindow& window = OpenWindow();
  for (QSize size : {QSize(600, 400), QSize(1000, 700), QSize(425, 200)}) {
    SCOPED_TRACE(size.width());
    window.resize(size);
    ExpectLayout(true);
  }
  QTest::mouseClick(Button(MainWindow::kViewButtonId), Qt::LeftButton);
  for (QSize size : {QSize(700, 400), QSize(431, 333)}) {
    SCOPED_TRACE(size.width());
    window.resize(size);
    ExpectLayout(false);
    EXPECT_FALSE(List(MainWindow::kAccountViewId)->isVisible());
  }
}

TEST_F(MainWindowLayoutTest, HidingTheViewTakesAThirdOffAndShowingAddsHalfAndTheDatabaseKeepsTheState) {
  MainWindow& window = OpenWindow();
  window.resize(900, 400);
  QPushButton* toggle = Button(MainWindow::kViewButtonId);
  EXPECT_EQ(toggle->text(), "<<");

  QTest::mouseClick(toggle, Qt::LeftButton);
  EXPECT_FALSE(window.ViewExpanded());
  EXPECT_EQ(toggle->text(), ">>");
  EXPECT_EQ(window.width(), 600);
  EXPECT_TRUE(List(MainWindow::kCategoryListId)->hasFocus());
  ErrorList errors;
  bool shown = true;
  ASSERT_TRUE(window.Database()->getDetailsShown(errors, shown));
  EXPECT_FALSE(shown);

  QTest::mouseClick(toggle, Qt::LeftButton);
  EXPECT_TRUE(window.ViewExpanded());
  EXPECT_EQ(toggle->text(), "<<");
  EXPECT_EQ(window.width(), 900);

  // From 600 a third off would give 400: the minimum width wins.
  window.resize(600, 400);
  QTest::mouseClick(toggle, Qt::LeftButton);
  EXPECT_EQ(window.width(), 425);
  window.Action(57602)->trigger();  // Close stores the state in the file
  auto database = OpenDatabase();
  ASSERT_TRUE(database->getDetailsShown(errors, shown));
  EXPECT_FALSE(shown);
}

TEST_F(MainWindowLayoutTest, ADatabaseWithTheViewHiddenOpensLaidOutForItInTheSameOuterSize) {
  {
    auto database = OpenDatabase();
    ErrorList errors;
    ASSERT_TRUE(database->setDetailsShown(errors, false));
    ASSERT_TRUE(database->saveCategoryPrefs(errors));
  }
  MainWindow& window = MakeWindow();
  ASSERT_TRUE(window.ViewExpanded());
  window.RunCommand(57601);  // Open
  ASSERT_NE(window.Database(), nullptr);
  EXPECT_FALSE(window.ViewExpanded());
  EXPECT_EQ(Button(MainWindow::kViewButtonId)->text(), ">>");
  EXPECT_EQ(window.size(), QSize(600, 400));
  EXPECT_FALSE(List(MainWindow::kAccountViewId)->isVisible());
  ExpectLayout(false);
}

}  // namespace
}  // namespace lockwell::testing
