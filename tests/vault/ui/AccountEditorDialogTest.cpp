#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "platform/ui/ControlIds.h"
#include "platform/ui/ScriptedPrompter.h"
#include "vault/LockwellRecord.h"
#include "vault/ui/AccountEditorDialog.h"
#include "vault/ui/OpenVault.h"

namespace lockwell {
namespace {

using D = AccountEditorDialog;
using testing::OpenVault;
using Labels = std::array<std::string, 5>;

const Labels kBuiltInDefaults = {"Login:", "Pwd:", "URL:", " ", " "};
const Labels kBusinessDefaults = {"ID:", "PIN:", "Email:", " ", " "};

template <typename T>
T* Control(QWidget& dialog, int id) {
  T* control = ControlIds::Find<T>(&dialog, id);
  EXPECT_NE(control, nullptr) << id;
  return control;
}
QComboBox* Category(QWidget& d) { return Control<QComboBox>(d, D::kCategoryId); }
QLineEdit* Title(QWidget& d) { return Control<QLineEdit>(d, D::kTitleId); }
QComboBox* Label(QWidget& d, int n) { return Control<QComboBox>(d, D::kLabelIds[n]); }
QPlainTextEdit* Value(QWidget& d, int n) { return Control<QPlainTextEdit>(d, D::kValueIds[n]); }
QPlainTextEdit* Note(QWidget& d) { return Control<QPlainTextEdit>(d, D::kNoteId); }
void ClickOk(QWidget& d) { Control<QPushButton>(d, D::kOkId)->click(); }

QStringList Items(QComboBox* box) {
  QStringList items;
  for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
  return items;
}

class AccountEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Business has labels of its own; Personal follows the defaults.
    CategoryPrefs business = CategoryPrefs::BuiltInDefaults();
    business.availableLabels = {"ID:", "PIN:", "Email:", " "};
    business.defaultLabels = kBusinessDefaults;
    vault_.db().storeCategoryPrefs(2, business);
  }

  // A new account as the New command prepares it: Unfiled, default labels.
  LockwellRecord NewRecord() {
    LockwellRecord record(errors_, &vault_.db(), true);
    for (int n = 0; n < 5; ++n) record.setField(errors_, n, kBuiltInDefaults[n], "");
    return record;
  }

  LockwellRecord Existing() {
    LockwellRecord record(errors_, &vault_.db(), true);
    record.SetCategory(errors_, OpenVault::kPersonal);
    record.setTitle(errors_, "Bank");
    record.setNote(errors_, "line 1\r\nline 2");
    record.setField(errors_, 0, "Login:", "joe");
    record.setField(errors_, 1, "Pwd:", "s3cret");
    record.setField(errors_, 2, "URL:", "https://bank");
    record.setField(errors_, 3, " ", "");
    record.setField(errors_, 4, "Phone:", "555\r\n556");
    return record;
  }

  static Labels LabelsOf(const LockwellRecord& record) {
    Labels labels;
    ErrorList errors;
    SecureString label, value;
    for (int n = 0; n < 5; ++n) {
      record.getField(errors, n, label, value);
      labels[n] = std::string(label.view());
    }
    return labels;
  }
  static std::string ValueOf(const LockwellRecord& record, int n) {
    ErrorList errors;
    SecureString label, value;
    record.getField(errors, n, label, value);
    return std::string(value.view());
  }
  static uint32_t CategoryOf(LockwellRecord& record) {
    ErrorList errors;
    uint32_t category = 99;
    record.GetCategory(errors, category);
    return category;
  }

  OpenVault vault_;
  ErrorList errors_;
  ScriptedPrompter prompter_;
};

TEST_F(AccountEditorTest, ShowsTheAccountAndItsCategory) {
  LockwellRecord record = Existing();
  D dialog(record, vault_.db(), false, prompter_, nullptr);
  EXPECT_EQ(dialog.windowTitle(), "Edit Lockwell Account");
  EXPECT_EQ(Items(Category(dialog)), QStringList({"Unfiled", "Business", "Personal"}));
  EXPECT_EQ(Category(dialog)->currentText(), "Personal");
  EXPECT_EQ(Title(dialog)->text(), "Bank");
  EXPECT_EQ(Note(dialog)->toPlainText(), "line 1\nline 2");
  const char* labels[] = {"Login:", "Pwd:", "URL:", " ", "Phone:"};
  const char* values[] = {"joe", "s3cret", "https://bank", "", "555\n556"};
  for (int n = 0; n < 5; ++n) {
    EXPECT_EQ(Label(dialog, n)->currentText(), labels[n]) << n;
    EXPECT_EQ(Value(dialog, n)->toPlainText(), values[n]) << n;
    EXPECT_EQ(Items(Label(dialog, n)).size(), 12) << "built-in available labels";
  }
  EXPECT_FALSE(dialog.Touched());
  EXPECT_TRUE(prompter_.Problems().isEmpty());

  LockwellRecord added = NewRecord();
  D adding(added, vault_.db(), true, prompter_, nullptr);
  EXPECT_EQ(adding.windowTitle(), "Add Lockwell Account");
  EXPECT_EQ(Category(adding)->currentText(), "Unfiled");
}

// A category change resets the labels only while adding and before the
// user typed anything.
TEST_F(AccountEditorTest, CategoryChangeResetsLabelsOnlyWhileAddingUntouched) {
  struct Case {
    const char* name;
    bool adding;
    std::function<void(QWidget&)> before;  // what the user does first
    bool reset;
  } cases[] = {
      {"adding untouched", true, [](QWidget&) {}, true},
      {"adding, label picked from the list",
       true, [](QWidget& d) { QTest::keyClick(Label(d, 3), Qt::Key_Down); }, true},
      {"adding, one character in the title", true, [](QWidget& d) { QTest::keyClicks(Title(d), "x"); }, false},
      {"adding, one character in a value", true, [](QWidget& d) { QTest::keyClicks(Value(d, 4), "x"); }, false},
      {"adding, one character in the note", true, [](QWidget& d) { QTest::keyClicks(Note(d), "x"); }, false},
      {"adding, one character in a label box",
       true, [](QWidget& d) { QTest::keyClicks(Label(d, 2)->lineEdit(), "x"); }, false},
      {"editing untouched", false, [](QWidget&) {}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LockwellRecord record = c.adding ? NewRecord() : Existing();
    if (c.adding) record.setField(errors_, 1, "Pwd:", "typed before");
    const Labels labelsBefore = LabelsOf(record);
    D dialog(record, vault_.db(), c.adding, prompter_, nullptr);
    dialog.show();
    c.before(dialog);
    EXPECT_EQ(dialog.Touched(), !c.reset && c.adding);
    const QString pickedOrTyped = Label(dialog, 3)->currentText();
    Category(dialog)->setCurrentIndex(Category(dialog)->findText("Business"));

    if (c.reset) {
      EXPECT_EQ(LabelsOf(record), kBusinessDefaults);
      for (int n = 0; n < 5; ++n) {
        EXPECT_EQ(Label(dialog, n)->currentText().toStdString(), kBusinessDefaults[n]) << n;
        EXPECT_EQ(Items(Label(dialog, n)), QStringList({"ID:", "PIN:", "Email:", " "})) << n;
        EXPECT_TRUE(Value(dialog, n)->toPlainText().isEmpty()) << n;
      }
      // Reloading the controls is not typing: a second change resets again.
      Category(dialog)->setCurrentIndex(Category(dialog)->findText("Personal"));
      EXPECT_EQ(LabelsOf(record), kBuiltInDefaults);
      EXPECT_FALSE(dialog.Touched());
    } else {
      EXPECT_EQ(LabelsOf(record), labelsBefore);
      EXPECT_EQ(Label(dialog, 3)->currentText(), pickedOrTyped);
      EXPECT_EQ(Items(Label(dialog, 0)).size(), 12) << "the lists stay the first category's";
    }
    ClickOk(dialog);
    EXPECT_EQ(CategoryOf(record), c.reset ? OpenVault::kPersonal : OpenVault::kBusiness);
    if (!c.reset) {
      EXPECT_EQ(ValueOf(record, 1), c.adding ? "typed before" : "s3cret");
    }
  }
  EXPECT_TRUE(prompter_.Problems().isEmpty()) << prompter_.Problems().join("; ").toStdString();
}

TEST_F(AccountEditorTest, OkStoresTheTextsAsTheRecordKeepsThem) {
  LockwellRecord record = NewRecord();
  D dialog(record, vault_.db(), true, prompter_, nullptr);
  dialog.show();
  Label(dialog, 0)->setEditText("User");      // no colon
  Label(dialog, 1)->setEditText("");          // empty
  Label(dialog, 2)->setEditText(" ");         // no label
  QTest::keyClicks(Value(dialog, 0), "joe");
  Value(dialog, 1)->setFocus();
  QTest::keyClicks(Value(dialog, 1), "a");
  QTest::keyClick(Value(dialog, 1), Qt::Key_Return);  // Enter is a new line, not OK
  QTest::keyClicks(Value(dialog, 1), "b");
  Note(dialog)->setPlainText(QString::fromUtf8("caf\u00e9\n\u20ac"));
  ASSERT_TRUE(dialog.isVisible());
  ClickOk(dialog);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);

  SecureString text;
  record.getTitle(errors_, text);
  EXPECT_EQ(text.view(), " ") << "an empty title is stored as one blank";
  record.getNote(errors_, text);
  EXPECT_EQ(text.view(), "caf\xE9\r\n\x80");
  EXPECT_EQ(LabelsOf(record), (Labels{"User:", " ", " ", " ", " "}));
  EXPECT_EQ(ValueOf(record, 0), "joe");
  EXPECT_EQ(ValueOf(record, 1), "a\r\nb");
  EXPECT_TRUE(record.plaintextChanged());
  // Every control is emptied once the dialog is done.
  EXPECT_TRUE(Title(dialog)->text().isEmpty());
  EXPECT_TRUE(Note(dialog)->toPlainText().isEmpty());
  for (int n = 0; n < 5; ++n) {
    EXPECT_TRUE(Value(dialog, n)->toPlainText().isEmpty()) << n;
    EXPECT_TRUE(Label(dialog, n)->currentText().isEmpty()) << n;
  }
}

TEST_F(AccountEditorTest, CancelAndRefusedTextLeaveTheRecordAlone) {
  const AccountFields before = Existing().fields();
  {
    LockwellRecord record = Existing();
    record.setPlaintextChanged(false);
    D dialog(record, vault_.db(), false, prompter_, nullptr);
    dialog.show();
    QTest::keyClicks(Title(dialog), " changed");
    Category(dialog)->setCurrentIndex(0);
    Control<QPushButton>(dialog, D::kCancelId)->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(record.plaintextChanged());
    EXPECT_EQ(CategoryOf(record), OpenVault::kPersonal);
    EXPECT_FALSE(record.fields() < before || before < record.fields());
  }
  {
    LockwellRecord record = Existing();
    record.setPlaintextChanged(false);
    D dialog(record, vault_.db(), false, prompter_, nullptr);
    dialog.show();
    prompter_.QueueAnswer(Prompter::Answer::Ok);
    QTest::keyClicks(Title(dialog), " new");
    Value(dialog, 2)->setPlainText(QString::fromUtf8("\u2603 snow"));
    ClickOk(dialog);
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(prompter_.Requests().size(), 1u);
    EXPECT_EQ(prompter_.Requests()[0].caption, "Edit Lockwell Account");
    EXPECT_TRUE(prompter_.Requests()[0].text.startsWith("The character \"\u2603\" (U+2603) cannot be stored."));
    EXPECT_EQ(dialog.focusWidget(), Value(dialog, 2)) << "the refused field gets the focus";
    EXPECT_FALSE(record.plaintextChanged());
    EXPECT_FALSE(record.fields() < before || before < record.fields());
    // Fixed, it goes through.
    Value(dialog, 2)->setPlainText("snow");
    ClickOk(dialog);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(ValueOf(record, 2), "snow");
  }
}

TEST_F(AccountEditorTest, ResizingFollowsTheRowArithmetic) {
  LockwellRecord record = Existing();
  D dialog(record, vault_.db(), false, prompter_, nullptr);
  dialog.show();
  EXPECT_EQ(dialog.size(), QSize(D::kInitialWidth, D::kInitialHeight));

  struct Case {
    QSize asked, got;
    int rowHeight;  // g = (B - T - 4) * 14 / 100 with T = 62, B = H - 28
  } cases[] = {
      {{327, 366}, {327, 366}, 38},   // (338 - 62 - 4) * 14 / 100 = 38.08
      {{500, 600}, {500, 600}, 70},   // (572 - 62 - 4) * 14 / 100 = 70.84
      {{200, 100}, {327, 366}, 38},   // never below the first size
      {{400, 1000}, {400, 1000}, 126},
  };
  for (const auto& c : cases) {
    dialog.resize(c.asked);
    QCoreApplication::processEvents();
    const int w = c.got.width(), h = c.got.height();
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    ASSERT_EQ(dialog.size(), c.got);
    const int top = Title(dialog)->geometry().bottom() + 1 + 4;
    const QRect ok = Control<QPushButton>(dialog, D::kOkId)->geometry();
    const QRect cancel = Control<QPushButton>(dialog, D::kCancelId)->geometry();
    EXPECT_EQ(ok.bottom() + 1, h - 4);
    EXPECT_EQ(cancel.bottom() + 1, h - 4);
    EXPECT_EQ(cancel.right() + 1, w - 4);
    EXPECT_EQ(ok.x(), 163) << "OK keeps its x";
    EXPECT_EQ(Category(dialog)->geometry().right() + 1, w - 4);
    EXPECT_EQ(Control<QWidget>(dialog, D::kCategoryStaticId)->geometry().right() + 1,
              Category(dialog)->geometry().x() - 8);
    EXPECT_EQ(Title(dialog)->geometry().right() + 1, w - 4);
    EXPECT_EQ((ok.y() - top - 4) * 14 / 100, c.rowHeight);
    for (int n = 0; n < 5; ++n) {
      EXPECT_EQ(Label(dialog, n)->geometry().y(), top + n * c.rowHeight) << n;
      const QRect value = Value(dialog, n)->geometry();
      EXPECT_EQ(value.y(), top + n * c.rowHeight) << n;
      EXPECT_EQ(value.height(), c.rowHeight - 4) << n;
      EXPECT_EQ(value.right() + 1, w - 4) << n;
    }
    const QRect note = Note(dialog)->geometry();
    EXPECT_EQ(Control<QWidget>(dialog, D::kNoteStaticId)->geometry().y(), top + 5 * c.rowHeight);
    EXPECT_EQ(note.y(), top + 5 * c.rowHeight);
    EXPECT_EQ(note.bottom() + 1, ok.y() - 8);
    EXPECT_EQ(note.right() + 1, w - 4);
  }
}

}  // namespace
}  // namespace lockwell
