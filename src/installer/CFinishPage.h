// The page of the second wizard, shown after a successful installation.
// Buttons: Finish.
#pragma once

#include "installer/InstallerPage.h"

namespace lockwell {

class CFinishPage : public InstallerPage {
  Q_OBJECT

 public:
  explicit CFinishPage(InstallerContext& context, QWidget* parent = nullptr);
};

}  // namespace lockwell
