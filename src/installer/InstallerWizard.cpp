#include "installer/InstallerWizard.h"

#include "installer/CComponentsPage.h"
#include "installer/CFinishPage.h"
#include "installer/CFolderPage.h"
#include "installer/CLicensePage.h"
#include "installer/CPalmUserPage.h"
#include "installer/CSummaryPage.h"
#include "installer/CWelcomePage.h"

namespace lockwell {

namespace {
constexpr int kWidth = 540;
constexpr int kHeight = 400;
}  // namespace

InstallerWizard::InstallerWizard(InstallerContext& context, Kind kind, QWidget* parent) : QWizard(parent) {
  setObjectName(kind == Kind::Main ? "installerWizard" : "completedWizard");
  setWindowTitle(QStringLiteral("Lockwell Installer"));
  setWizardStyle(QWizard::ClassicStyle);
  setOption(QWizard::NoBackButtonOnStartPage, true);
  setOption(QWizard::HaveHelpButton, false);
  setOption(QWizard::NoDefaultButton, false);
  resize(kWidth, kHeight);

  if (kind == Kind::Main) {
    setPage(kWelcomePageId, new CWelcomePage(context));
    setPage(kLicensePageId, new CLicensePage(context));
    setPage(kComponentsPageId, new CComponentsPage(context));
    setPage(kFolderPageId, new CFolderPage(context));
    setPage(kPalmUserPageId, new CPalmUserPage(context));
    setPage(kSummaryPageId, new CSummaryPage(context));
    setStartId(kWelcomePageId);
  } else {
    setOption(QWizard::NoCancelButton, true);
    setPage(kFinishPageId, new CFinishPage(context));
    setStartId(kFinishPageId);
  }
  connect(this, &QWizard::currentIdChanged, this, &InstallerWizard::ShowCaption);
}

void InstallerWizard::ShowCaption() {
  auto* page = qobject_cast<InstallerPage*>(currentPage());
  setWindowTitle(page != nullptr ? page->Caption() : QStringLiteral("Lockwell Installer"));
}

}  // namespace lockwell
