#include "installer/CLicensePage.h"

#include <fstream>

#include <QLayout>
#include <QPlainTextEdit>
#include <QWizard>

#include "installer/InstallFiles.h"
#include "platform/ui/ControlIds.h"
#include "platform/ui/Cp1252.h"
#include "platform/ui/Prompter.h"

namespace lockwell {

CLicensePage::CLicensePage(InstallerContext& context, QWidget* parent)
    : InstallerPage(context, QStringLiteral("License"), parent), license_(new QPlainTextEdit(this)) {
  setObjectName("licensePage");
  AddText(QStringLiteral("Below is the Lockwell/PC end user license agreement.  Please read it in its entirety "
                         "before clicking the Next button.  If you continue, that means that you accept the terms "
                         "of this agreement."),
          "introText");
  license_->setObjectName("licenseText");
  ControlIds::Set(license_, kLicenseId);
  license_->setReadOnly(true);
  license_->setLineWrapMode(QPlainTextEdit::NoWrap);
  license_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  license_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  layout()->addWidget(license_);
  AddText(QStringLiteral("Click Next when you have read the agreement and agree with its terms."), "closingText");
}

std::string CLicensePage::ReadLicense(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text, line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    text += line;
    text += "\r\n";
  }
  return text;
}

void CLicensePage::initializePage() {
  if (!text_.empty()) return;
  text_ = ReadLicense(context_.options.sourceFolder + install_files::kLicense);
  QString shown = Cp1252::ToQString(text_);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  license_->setPlainText(shown);
  if (text_.empty()) {
    context_.prompter.Message(wizard(), QStringLiteral("Could not install"),
                              QStringLiteral("Could not display license file.  Corrupt installation."),
                              Prompter::Buttons::Ok);
    wizard()->reject();
  }
}

}  // namespace lockwell
