// The first page: what the installer can install.  Buttons: Next.
#pragma once

#include "installer/InstallerPage.h"

namespace lockwell {

class CWelcomePage : public InstallerPage {
  Q_OBJECT

 public:
  explicit CWelcomePage(InstallerContext& context, QWidget* parent = nullptr);
};

}  // namespace lockwell
