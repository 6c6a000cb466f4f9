// The common ground of the installer's pages: the shared context, the title
// the wizard shows while the page is up ("Lockwell Installer - " + its own
// name), and a text block helper.
#pragma once

#include <QString>
#include <QWizardPage>

#include "installer/InstallerContext.h"

class QLabel;

namespace lockwell {

class InstallerPage : public QWizardPage {
  Q_OBJECT

 public:
  InstallerPage(InstallerContext& context, const QString& titleEnd, QWidget* parent = nullptr);

  // The wizard's title while this page is shown.
  const QString& Caption() const { return caption_; }

 protected:
  // A word-wrapped block of plain text.
  QLabel* AddText(const QString& text, const char* objectName);

  InstallerContext& context_;

 private:
  QString caption_;
};

}  // namespace lockwell
