// What is about to be installed, rebuilt each time the page is shown.
// Buttons: Back, and Finish captioned "Install", which ends the wizard.
#pragma once

#include <QString>

#include "installer/InstallerPage.h"

class QPlainTextEdit;

namespace lockwell {

class CSummaryPage : public InstallerPage {
  Q_OBJECT

 public:
  static constexpr int kSummaryId = 1011;

  explicit CSummaryPage(InstallerContext& context, QWidget* parent = nullptr);

  void initializePage() override;
  int nextId() const override { return -1; }

  // The summary of `options`, CR LF line ends.  Folders are file-system
  // text, the HotSync user name Windows-1252.
  static QString BuildSummary(const InstallOptions& options);

 private:
  QPlainTextEdit* field_;
};

}  // namespace lockwell
