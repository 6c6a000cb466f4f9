// What is about to be installed, rebuilt each time the page is shown.
// Buttons: Back, and Finish captioned "Install", which ends the wizard.
#pragma once

#include <string>

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

  // The summary of `options`, CR LF line ends, in the installer's 8-bit text.
  static std::string BuildSummary(const InstallOptions& options);
  const std::string& SummaryText() const { return summary_; }

 private:
  QPlainTextEdit* field_;
  std::string summary_;
};

}  // namespace lockwell
