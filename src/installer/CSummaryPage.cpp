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

QString CSummaryPage::BuildSummary(const InstallOptions& options) {
  const QString folder = QFile::decodeName(QByteArray::fromStdString(options.installFolder));
  QString text;
  if (options.installDesktop) {
    text += QStringLiteral("Install Lockwell/PC\r\n    Installation Path: ") + folder + "\r\n\r\n";
  }
  if (options.installHandheld) {
    text += QStringLiteral("Install Lockwell for the Palm\r\n    Palm User Name: ") +
            Cp1252::ToQString(options.palmUserName) + "\r\n\r\n";
  }
  if (options.installConduit) {
    text += QStringLiteral("Install Lockwell Conduit\r\n    Installation Path: ") + folder + "\r\n\r\n";
  }
  return text;
}

void CSummaryPage::initializePage() {
  QString shown = BuildSummary(context_.options);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  field_->setPlainText(shown);
}

}  // namespace lockwell
