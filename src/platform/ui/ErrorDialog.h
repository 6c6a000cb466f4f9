// The error dialog: a list's summary on top and, on request, the detail
// report with one paragraph per record.
//
// The dialog shows the list it was given and neither owns nor clears it; the
// list must outlive the dialog.  It is drawn with the detail box shown and
// first laid out with the box hidden; the Details button moves the bottom
// edge by the box's height plus 8 pixels each way.
#pragma once

#include <QDialog>

#include "storage/ErrorList.h"

class QPlainTextEdit;
class QPushButton;

namespace lockwell {

class Prompter;

class ErrorDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kSummaryId = 1046;
  static constexpr int kOkId = 1;
  static constexpr int kDetailsId = 1047;
  static constexpr int kDetailId = 1048;

  explicit ErrorDialog(const ErrorList& list, QWidget* owner = nullptr);

  // Whether the user asked for the detail box.
  bool DetailsWanted() const { return detailsWanted_; }

 private:
  void ToggleDetails();
  // Brings the window in line with the wanted state of the detail box.
  void LayOut();

  const ErrorList& list_;
  QPlainTextEdit* summary_;
  QPushButton* ok_;
  QPushButton* details_;
  QPlainTextEdit* detail_;
  bool detailsWanted_ = false;
  // The state the window is laid out for: the template shows the box.
  bool laidOutShown_ = true;
};

// Runs the error dialog on `list` through `prompter`, owned by `owner`.
// Shows whatever the list holds and leaves the list as it is.
void ShowErrors(Prompter& prompter, QWidget* owner, const ErrorList& list);

}  // namespace lockwell
