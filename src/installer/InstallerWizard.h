// The installer's wizards, titled "Lockwell Installer": the main one with its
// six pages, and the one that shows only the Completed page.  While a page is
// up the title is that page's own.  There is no Help button; Cancel ends the
// program without installing anything.
#pragma once

#include <QWizard>

#include "installer/InstallerContext.h"

namespace lockwell {

class InstallerWizard : public QWizard {
  Q_OBJECT

 public:
  enum class Kind { Main, Completed };

  InstallerWizard(InstallerContext& context, Kind kind, QWidget* parent = nullptr);

 private:
  void ShowCaption();
};

}  // namespace lockwell
