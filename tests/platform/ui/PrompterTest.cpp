#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/ui/ControlIds.h"
#include "platform/ui/QtPrompter.h"
#include "platform/ui/ScriptedPrompter.h"

namespace lockwell {
namespace {

struct SeenBox {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::Warning;
  QMessageBox::StandardButtons buttons;
};

// Answers the next message box the program opens, as a person would, and
// notes what it looked like.
void AnswerNextBox(SeenBox& seen, std::function<void(QMessageBox&)> act) {
  QTimer::singleShot(0, [&seen, act] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
    act(*box);
  });
}

TEST(QtPrompterTest, MessageBoxesHaveCaptionNoIconAndTheirButtons) {
  struct Case {
    const char* name;
    Prompter::Buttons buttons;
    std::function<void(QMessageBox&)> act;
    Prompter::Answer answer;
    QMessageBox::StandardButtons shown;
  } cases[] = {
      {"notice", Prompter::Buttons::Ok, [](QMessageBox& b) { b.button(QMessageBox::Ok)->click(); },
       Prompter::Answer::Ok, QMessageBox::Ok},
      {"confirm yes", Prompter::Buttons::YesNo, [](QMessageBox& b) { b.button(QMessageBox::Yes)->click(); },
       Prompter::Answer::Yes, QMessageBox::Yes | QMessageBox::No},
      {"confirm no", Prompter::Buttons::YesNo, [](QMessageBox& b) { b.button(QMessageBox::No)->click(); },
       Prompter::Answer::No, QMessageBox::Yes | QMessageBox::No},
      {"escape does not go ahead", Prompter::Buttons::YesNo, [](QMessageBox& b) { QTest::keyClick(&b, Qt::Key_Escape); },
       Prompter::Answer::No, QMessageBox::Yes | QMessageBox::No},
  };
  QtPrompter prompter;
  for (const auto& c : cases) {
    SeenBox seen;
    AnswerNextBox(seen, c.act);
    const auto answer =
        prompter.Message(nullptr, "Confirm Delete", "Delete <b>2</b> accounts?  Really.", c.buttons);
    EXPECT_EQ(answer, c.answer) << c.name;
    EXPECT_EQ(seen.title, "Confirm Delete") << c.name;
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon) << c.name;
    EXPECT_EQ(seen.buttons, c.shown) << c.name;
    EXPECT_EQ(seen.text, "Delete <b>2</b> accounts?  Really.") << c.name;
  }
}

// A dialog with an OK button named as the program's dialogs name theirs.
struct NameDialog : QDialog {
  NameDialog() {
    setWindowTitle("Name");
    setObjectName("nameDialog");
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("okButton");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  }
};

TEST(ScriptedPrompterTest, AnswersInOrderAndReportsWhatItWasNotToldToAnswer) {
  ScriptedPrompter prompter;
  prompter.QueueAnswer(Prompter::Answer::Yes);
  prompter.QueueDialogOk();
  prompter.QueueDialogCancel();
  prompter.QueueDialog([](QDialog&) {});  // forgets to end the dialog

  EXPECT_EQ(prompter.Message(nullptr, "Confirm Delete", "Sure?", Prompter::Buttons::YesNo), Prompter::Answer::Yes);
  NameDialog first, second, third, fourth;
  EXPECT_EQ(prompter.RunDialog(first), QDialog::Accepted);
  EXPECT_EQ(prompter.RunDialog(second), QDialog::Rejected);
  EXPECT_TRUE(prompter.Problems().isEmpty());

  EXPECT_EQ(prompter.RunDialog(third), QDialog::Rejected);
  EXPECT_FALSE(third.isVisible());
  EXPECT_EQ(prompter.Problems().size(), 1);

  // Nothing left in the queue: the cautious answers, each one noted.
  EXPECT_EQ(prompter.Message(nullptr, "Confirm Delete", "Sure?", Prompter::Buttons::YesNo), Prompter::Answer::No);
  EXPECT_EQ(prompter.RunDialog(fourth), QDialog::Rejected);
  EXPECT_EQ(prompter.Problems().size(), 3);
  ASSERT_EQ(prompter.Requests().size(), 6u);
  EXPECT_TRUE(prompter.Requests()[1].isDialog);
  EXPECT_EQ(prompter.Requests()[1].text, "nameDialog");
}

TEST(ControlIdsTest, FindsNestedControlsByIdAndType) {
  QWidget window;
  auto* panel = new QWidget(&window);
  auto* button = new QPushButton("OK", panel);
  auto* label = new QLabel(panel);
  ControlIds::Set(button, 1);
  ControlIds::Set(label, 1049);

  EXPECT_EQ(ControlIds::Find(&window, 1), button);
  EXPECT_EQ(ControlIds::Find<QLabel>(&window, 1049), label);
  EXPECT_EQ(ControlIds::Find<QLabel>(&window, 1), nullptr);
  EXPECT_EQ(ControlIds::Find(&window, 2), nullptr);
  EXPECT_EQ(ControlIds::Of(panel), -1);
  EXPECT_EQ(button->property("controlId").toInt(), 1);
}

}  // namespace
}  // namespace lockwell
