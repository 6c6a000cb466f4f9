// The licence agreement, read from "license.txt" beside setup the first time
// the page is shown.  Buttons: Back, Next.  Without a licence to show the
// installation is corrupt: the user is told and the wizard is cancelled.
#pragma once

#include <string>

#include "installer/InstallerPage.h"

class QPlainTextEdit;

namespace lockwell {

class CLicensePage : public InstallerPage {
  Q_OBJECT

 public:
  static constexpr int kLicenseId = 1001;

  explicit CLicensePage(InstallerContext& context, QWidget* parent = nullptr);

  void initializePage() override;

  // The licence as read: each line followed by CR LF.
  const std::string& LicenseText() const { return text_; }

  // Reads `path` line by line, each line followed by CR LF; empty when the
  // file cannot be read or is empty.
  static std::string ReadLicense(const std::string& path);

 private:
  QPlainTextEdit* license_;
  std::string text_;
};

}  // namespace lockwell
