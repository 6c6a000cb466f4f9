#include "installer/CFinishPage.h"

#include <QLayout>

namespace lockwell {

CFinishPage::CFinishPage(InstallerContext& context, QWidget* parent)
    : InstallerPage(context, QStringLiteral("Completed"), parent) {
  setObjectName("finishPage");
  AddText(QStringLiteral("The components you selected have been successfully installed!"), "doneText");
  AddText(QStringLiteral("If you installed Lockwell for the Palm, you should perform a HotSync operation now to "
                         "complete the installation."),
          "hotSyncText");
  static_cast<QBoxLayout*>(layout())->addStretch();
}

}  // namespace lockwell
