#include "installer/CWelcomePage.h"

#include <QLayout>

namespace lockwell {

CWelcomePage::CWelcomePage(InstallerContext& context, QWidget* parent)
    : InstallerPage(context, QStringLiteral("Welcome"), parent) {
  setObjectName("welcomePage");
  AddText(QStringLiteral("Welcome to the Lockwell Installer.  This program will allow you to install the following "
                         "components:"),
          "welcomeText");
  AddText(QStringLiteral("- Lockwell/PC.  Store and access all of your accounts, credit card numbers,\n"
                         "  and more on your PC."),
          "desktopLine");
  AddText(QStringLiteral("- Lockwell for the Palm.  Store and access all of your accounts, credit card\n"
                         "  numbers, and more on your Palm-powered device."),
          "handheldLine");
  AddText(QStringLiteral("- Lockwell Conduit.  Synchronize the information between Lockwell/PC\n"
                         "  and Lockwell for the Palm."),
          "conduitLine");
  static_cast<QBoxLayout*>(layout())->addStretch();
}

}  // namespace lockwell
