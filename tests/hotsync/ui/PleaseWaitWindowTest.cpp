#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTest>

#include "platform/ui/ControlIds.h"
#include "hotsync/ui/PleaseWaitWindow.h"

namespace lockwell {
namespace {

const QString kText = QStringLiteral("Please wait while the accounts are sorted.  This may take a while.");

// Notes every paint of a label, whatever the label; installed on the whole
// application so it sees paints that happen inside a constructor.
class PaintRecorder : public QObject {
 public:
  PaintRecorder() { qApp->installEventFilter(this); }
  ~PaintRecorder() override { qApp->removeEventFilter(this); }
  QStringList painted;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      if (auto* label = qobject_cast<QLabel*>(watched); label != nullptr && ControlIds::Of(label) == 1049) {
        painted << label->text();
      }
    }
    return false;
  }
};

bool AnyVisiblePleaseWait() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible() && widget->windowTitle() == "Please Wait") return true;
  }
  return false;
}

TEST(PleaseWaitWindowTest, MessageIsPaintedBeforeTheConstructorReturns) {
  QWidget owner;
  owner.show();
  PaintRecorder recorder;
  {
    PleaseWaitWindow wait(kText, &owner);
    // No event loop ran since: an operation that never yields starts here.
    EXPECT_TRUE(recorder.painted.contains(kText));
    EXPECT_TRUE(wait.isVisible());
    EXPECT_EQ(wait.windowTitle(), "Please Wait");
    auto* label = ControlIds::Find<QLabel>(&wait, PleaseWaitWindow::kMessageId);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->alignment(), Qt::AlignCenter);
    EXPECT_EQ(label->geometry(), wait.rect()) << "the text fills the window";
    EXPECT_FALSE(wait.isModal());
    EXPECT_TRUE(owner.isEnabled());
  }
  EXPECT_FALSE(AnyVisiblePleaseWait()) << "destruction hides the window";
}

TEST(PleaseWaitWindowTest, TheUserCannotCloseIt) {
  PleaseWaitWindow wait(kText, nullptr);
  EXPECT_FALSE(wait.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(wait.windowFlags() & Qt::WindowSystemMenuHint);

  EXPECT_FALSE(wait.close());
  QTest::keyClick(&wait, Qt::Key_Escape);
  EXPECT_TRUE(wait.isVisible());
  EXPECT_EQ(wait.Message(), kText);
}

}  // namespace
}  // namespace lockwell
