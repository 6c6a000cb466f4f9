// The About box: the program icon, the version line, the maker's support
// e-mail and web address, and a Close button.
#pragma once

#include <QDialog>

namespace lockwell {

// The maker's web address, shown beside the support e-mail address.
inline constexpr char kWebAddress[] = "http://www.tallmark.com/";

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kCloseId = 1;

  explicit AboutDialog(QWidget* owner);

  // "Lockwell/PC Version 4.0.9".
  static QString VersionLine();
};

}  // namespace lockwell
