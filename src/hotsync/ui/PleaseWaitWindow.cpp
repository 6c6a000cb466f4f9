#include "hotsync/ui/PleaseWaitWindow.h"

#include "platform/ui/ControlIds.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QThread>
#include <QWindow>

namespace lockwell {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 96;
// How long to wait for a display server to map the window before painting
// anyway; the offscreen platform and most desktops need far less.
constexpr int kExposeWaitMs = 250;

}  // namespace

PleaseWaitWindow::PleaseWaitWindow(const QString& message, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      message_(message),
      text_(new QLabel(this)) {
  setObjectName("pleaseWaitWindow");
  setWindowTitle(QStringLiteral("Please Wait"));
  setFixedSize(kWidth, kHeight);
  text_->setObjectName("messageText");
  ControlIds::Set(text_, kMessageId);
  text_->setAlignment(Qt::AlignCenter);
  text_->setWordWrap(true);
  text_->setTextFormat(Qt::PlainText);
  text_->setGeometry(0, 0, kWidth, kHeight);
  text_->setText(message_);

  show();
  PumpUntilPainted();
}

PleaseWaitWindow::~PleaseWaitWindow() { hide(); }

void PleaseWaitWindow::closeEvent(QCloseEvent* event) { event->ignore(); }

void PleaseWaitWindow::PumpUntilPainted() {
  // User input stays queued: a click handled here would start another
  // command inside the one that is about to run its long operation.
  const auto flags = QEventLoop::ExcludeUserInputEvents;
  QDeadlineTimer deadline(kExposeWaitMs);
  for (;;) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(flags);
    const QWindow* window = windowHandle();
    if ((window != nullptr && window->isExposed()) || deadline.hasExpired()) break;
    QThread::msleep(2);
  }
  // Paint now rather than on the next pass of an event loop the caller is
  // about to block.
  repaint();
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(flags);
}

}  // namespace lockwell
