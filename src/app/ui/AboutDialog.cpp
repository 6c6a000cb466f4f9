#include "app/ui/AboutDialog.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "hotsync/ProductVersion.h"
#include "palmdb/ProductConstants.h"
#include "platform/ui/ControlIds.h"

namespace lockwell {

QString AboutDialog::VersionLine() {
  return QStringLiteral("Lockwell/PC Version ") + QString::fromStdString(ProductVersion().Text());
}

AboutDialog::AboutDialog(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("aboutDialog"));
  setWindowTitle(QStringLiteral("About Lockwell/PC"));
  setModal(true);

  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("icon"));
  icon->setPixmap(QIcon(QStringLiteral(":/lockwell/program.png")).pixmap(32, 32));
  auto* version = new QLabel(VersionLine(), this);
  version->setObjectName(QStringLiteral("version"));
  auto* mail = new QLabel(QStringLiteral("Support: ") + QString::fromLatin1(kSupportEmail), this);
  mail->setObjectName(QStringLiteral("supportEmail"));
  auto* web = new QLabel(QStringLiteral("Web: ") + QString::fromLatin1(kWebAddress), this);
  web->setObjectName(QStringLiteral("webAddress"));
  for (QLabel* label : {version, mail, web}) {
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  }
  auto* close = new QPushButton(QStringLiteral("Close"), this);
  close->setObjectName(QStringLiteral("okButton"));
  ControlIds::Set(close, kCloseId);
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QGridLayout(this);
  layout->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
  layout->addWidget(version, 0, 1);
  layout->addWidget(mail, 1, 1);
  layout->addWidget(web, 2, 1);
  layout->addWidget(close, 0, 2, Qt::AlignTop);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace lockwell
