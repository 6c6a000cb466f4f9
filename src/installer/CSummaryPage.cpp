#include "installer/CSummaryPage.h"

#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QPlainTextEdit>
#include <QWizard>

#include "platform/ui/ControlIds.h"
#include "platform/ui/Cp1252.h"

namespace lockwell {

CSummaryPage::CSummaryPage(InstallerContext& context, QWidget* parent)
    : InstallerPage(context, QStringLiteral("Start Installation"), parent), field_(new QPlainTextEdit(this)) {
  setObjectName("summaryPage");
  AddText(QStringLiteral("The Lockwell Installer now has enough information to begin installing.  Review your "
                         "choices and then press Next to start the installation, or press Back if you want to "
                         "change any of your selections."),
          "introText");
  AddText(QStringLiteral("Installation Summary:"), "summaryLabel");
  field_->setObjectName("summaryText");
  ControlIds::Set(field_, kSummaryId);
  field_->setReadOnly(true);
  layout()->addWidget(field_);
  setButtonText(QWizard::FinishButton, QStringLiteral("Install"));
}

std::string CSummaryPage::BuildSummary(const InstallOptions& options) {
  std::string text;
  if (options.installDesktop) {
    text += "Install Lockwell/PC\r\n    Installation Path: " + options.installFolder + "\r\n\r\n";
  }
  if (options.installHandheld) {
    text += "Install Lockwell for the Palm\r\n    Palm User Name: " + options.palmUserName + "\r\n\r\n";
  }
  if (options.installConduit) {
    text += "Install Lockwell Conduit\r\n    Installation Path: " + options.installFolder + "\r\n\r\n";
  }
  return text;
}

void CSummaryPage::initializePage() {
  summary_ = BuildSummary(context_.options);
  // Folders are file-system text, the user name Windows-1252: each line is
  // shown through its own conversion.
  const InstallOptions& o = context_.options;
  QString shown;
  const QString folder = QFile::decodeName(QByteArray::fromStdString(o.installFolder));
  if (o.installDesktop) shown += QStringLiteral("Install Lockwell/PC\n    Installation Path: ") + folder + "\n\n";
  if (o.installHandheld) {
    shown += QStringLiteral("Install Lockwell for the Palm\n    Palm User Name: ") + Cp1252::ToQString(o.palmUserName) +
             "\n\n";
  }
  if (o.installConduit) shown += QStringLiteral("Install Lockwell Conduit\n    Installation Path: ") + folder + "\n\n";
  field_->setPlainText(shown);
}

}  // namespace lockwell
