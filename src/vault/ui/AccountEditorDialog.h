// The account editor: adds a new account or edits an existing one.
//
// It edits a LockwellRecord the caller owns, in memory only: OK puts the
// category, the title, the five labelled fields and the note into the
// record, Cancel leaves the record untouched, and the caller stores the
// record afterwards.  The open LockwellDatabase supplies the category list
// and the labels each category offers.
//
// While adding, and only until the user has typed anything, choosing
// another category gives the record that category's five default labels and
// empty values.  Picking a label from a label box's list is not typing.
//
// Texts are shown through the Windows-1252 conversion of the user-interface
// edge; OK refuses a character the database cannot hold with a message and
// changes nothing.  Every text read from a control goes through a wiping
// string, and the controls are emptied when the dialog ends.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <QDialog>
#include <QSize>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QResizeEvent;

namespace lockwell {

class LockwellDatabase;
class LockwellRecord;
class Prompter;

class AccountEditorDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kFieldCount = 5;
  static constexpr int kCategoryStaticId = 1036;
  static constexpr int kCategoryId = 1021;
  static constexpr int kTitleStaticId = 1034;
  static constexpr int kTitleId = 1022;
  static constexpr std::array<int, kFieldCount> kLabelIds = {1023, 1025, 1027, 1029, 1031};
  static constexpr std::array<int, kFieldCount> kValueIds = {1024, 1026, 1028, 1030, 1032};
  static constexpr int kNoteStaticId = 1035;
  static constexpr int kNoteId = 1033;
  static constexpr int kOkId = 1;
  static constexpr int kCancelId = 2;

  // Client size of the template (218 x 225 dialog units); also the least
  // size the window can be given.
  static constexpr int kInitialWidth = 327;
  static constexpr int kInitialHeight = 366;
  static constexpr int kMargin = 4;

  static constexpr const char* kAddCaption = "Add Lockwell Account";
  static constexpr const char* kEditCaption = "Edit Lockwell Account";

  // Fills the controls from `record`; failures on the way are shown with
  // the error dialog through `prompter`.  Both the record and the database
  // must outlive the dialog.
  AccountEditorDialog(LockwellRecord& record, LockwellDatabase& database, bool adding, Prompter& prompter,
                      QWidget* parent);
  ~AccountEditorDialog() override;

  // Whether the user has typed into the title, the note, a value or a label
  // box since the dialog opened.
  bool Touched() const { return touched_; }

  void accept() override;
  void done(int result) override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  // The label boxes' lists for the record's category.
  void FillLabelLists(uint32_t category);
  void FillCategories();
  // Title, labels, values and note from the record.
  void LoadFields();
  void OnCategoryChanged(int index);
  void OnTyped();
  void LayOut(int width, int height);
  void WipeControls();

  LockwellRecord& record_;
  LockwellDatabase& database_;
  const bool adding_;
  Prompter& prompter_;
  // Category numbers, parallel to the category box's items.
  std::vector<uint32_t> categoryNumbers_;
  bool touched_ = false;
  // Set while the dialog itself puts text into the controls.
  bool loading_ = false;

  QLabel* categoryStatic_;
  QComboBox* category_;
  QLabel* titleStatic_;
  QLineEdit* title_;
  std::array<QComboBox*, kFieldCount> labels_{};
  std::array<QPlainTextEdit*, kFieldCount> values_{};
  QLabel* noteStatic_;
  QPlainTextEdit* note_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace lockwell
