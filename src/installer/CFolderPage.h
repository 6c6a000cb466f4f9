// Where the desktop program and the conduit go.  The default is the
// program-files folder with "Lockwell" added; "Browse..." picks a folder
// under which "Lockwell" is always added.  Buttons: Back, and Next while the
// folder text is not empty.
#pragma once

#include <QString>

#include "installer/InstallerPage.h"

class QLineEdit;
class QPushButton;

namespace lockwell {

class CFolderPage : public InstallerPage {
  Q_OBJECT

 public:
  static constexpr int kFolderId = 1008;
  static constexpr int kBrowseId = 1009;

  explicit CFolderPage(InstallerContext& context, QWidget* parent = nullptr);

  void initializePage() override;
  bool isComplete() const override;
  bool validatePage() override;
  void cleanupPage() override;
  int nextId() const override;

  // The default installation folder: the program-files folder, "/" and
  // "Lockwell".
  static std::string DefaultFolder();
  // The folder chosen in the browser with "/" and "Lockwell" added.
  static QString ProductFolderUnder(const QString& chosen);

 private:
  void Browse();
  void Store();

  QLineEdit* folder_;
  QPushButton* browse_;
  bool initialised_ = false;
};

}  // namespace lockwell
