// The Find dialog: the text to look for and the two search options.  It
// opens with the previous text and options; OK is enabled exactly while the
// text is not empty (an empty text that still reaches the search is refused
// there).  The text leaves the dialog in a wiping string and the edit box
// is emptied when the dialog ends.
#pragma once

#include <QDialog>
#include <QString>
#include <string_view>

#include "storage/SecureString.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lockwell {

class Prompter;

class FindDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kTemplateId = 144;
  static constexpr int kTextId = 1056;
  static constexpr int kCaseSensitiveId = 1057;
  static constexpr int kBackwardsId = 1058;
  static constexpr int kOkId = 1;
  static constexpr int kCancelId = 2;
  static constexpr const char* kCaptionPrefix = "Find Account in ";

  // `categoryName` in Windows-1252, as the database holds it.
  FindDialog(std::string_view categoryName, std::string_view text, bool caseSensitive, bool backwards,
             Prompter& prompter, QWidget* owner);
  ~FindDialog() override;

  // After OK: the text (Windows-1252) and the options.
  const SecureString& Text() const { return text_; }
  bool CaseSensitive() const { return caseSensitive_; }
  bool Backwards() const { return backwards_; }

  void accept() override;
  void done(int result) override;

 private:
  void OnTextChanged(const QString& text);

  Prompter& prompter_;
  SecureString text_;
  bool caseSensitive_ = false;
  bool backwards_ = false;

  QLabel* prompt_;
  QLineEdit* field_;
  QCheckBox* caseBox_;
  QCheckBox* backwardsBox_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace lockwell
