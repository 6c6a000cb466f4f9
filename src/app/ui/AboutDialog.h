// The About box: the program icon, the version line, the maker's support
// e-mail and web address, and a Close button.
#pragma once

#include <QDialog>

#include "palmdb/ProductConstants.h"

namespace lockwell {

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kCloseId = 1;

  explicit AboutDialog(QWidget* owner);

  // "Lockwell/PC Version 4.0.9".
  static QString VersionLine();
};

}  // namespace lockwell
