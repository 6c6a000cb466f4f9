// The Please Wait window: a message shown while a long operation blocks
// the program (re-encrypting, re-sorting, changing the passphrase).
//
// Constructing the object shows the window and lets the program process the
// waiting window events, so the message is on the screen before the caller
// starts its work; destroying the object hides the window.  The window is
// not modal and the user cannot close it.  Use it on the stack around the
// operation:
//   { PleaseWaitWindow wait(text, this); LongOperation(); }
#pragma once

#include <QDialog>
#include <QString>

class QLabel;

namespace lockwell {

class PleaseWaitWindow : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kMessageId = 1049;

  PleaseWaitWindow(const QString& message, QWidget* owner);
  ~PleaseWaitWindow() override;

  const QString& Message() const { return message_; }

  // Only destruction closes the window.
  void reject() override {}

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Processes what is waiting until the window has been painted once.
  void PumpUntilPainted();

  QString message_;
  QLabel* text_;
};

}  // namespace lockwell
