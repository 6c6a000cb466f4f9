#include "installer/InstallerPage.h"

#include <QLabel>
#include <QVBoxLayout>

namespace lockwell {

InstallerPage::InstallerPage(InstallerContext& context, const QString& titleEnd, QWidget* parent)
    : QWizardPage(parent), context_(context), caption_(QStringLiteral("Lockwell Installer - ") + titleEnd) {
  new QVBoxLayout(this);
}

QLabel* InstallerPage::AddText(const QString& text, const char* objectName) {
  auto* label = new QLabel(text, this);
  label->setObjectName(objectName);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  layout()->addWidget(label);
  return label;
}

}  // namespace lockwell
