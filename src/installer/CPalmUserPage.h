// The HotSync user whose handheld gets the handheld program.  The list holds
// every user found at start-up, sorted by the control, with the first user
// in byte order selected.  Buttons: Back, Next.
#pragma once

#include <string>

#include "installer/InstallerPage.h"

class QComboBox;

namespace lockwell {

class CPalmUserPage : public InstallerPage {
  Q_OBJECT

 public:
  static constexpr int kUserListId = 1010;

  explicit CPalmUserPage(InstallerContext& context, QWidget* parent = nullptr);

  void initializePage() override;
  bool validatePage() override;
  void cleanupPage() override;
  int nextId() const override;

 private:
  void Store();

  QComboBox* users_;
  bool initialised_ = false;
};

}  // namespace lockwell
