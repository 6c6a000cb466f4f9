// The three components, each a check box with its description.  Without
// Palm Desktop only the desktop program can be chosen.  Buttons: Back, and
// Next while at least one box is checked.
#pragma once

#include "installer/InstallerPage.h"

class QCheckBox;
class QLabel;

namespace lockwell {

class CComponentsPage : public InstallerPage {
  Q_OBJECT

 public:
  static constexpr int kDesktopId = 1002;
  static constexpr int kHandheldId = 1003;
  static constexpr int kConduitId = 1004;
  static constexpr int kDesktopTextId = 1005;
  static constexpr int kHandheldTextId = 1006;
  static constexpr int kConduitTextId = 1007;

  explicit CComponentsPage(InstallerContext& context, QWidget* parent = nullptr);

  void initializePage() override;
  bool isComplete() const override;
  bool validatePage() override;
  void cleanupPage() override;
  int nextId() const override;

 private:
  void Store();

  QCheckBox* desktop_;
  QCheckBox* handheld_;
  QCheckBox* conduit_;
  QLabel* handheldText_;
  QLabel* conduitText_;
  bool initialised_ = false;
};

}  // namespace lockwell
