#include "installer/CComponentsPage.h"

#include <QCheckBox>
#include <QLabel>
#include <QLayout>

#include "platform/ui/ControlIds.h"

namespace lockwell {

namespace {

QCheckBox* AddBox(QWidget* page, const QString& text, const char* name, int id) {
  auto* box = new QCheckBox(text, page);
  box->setObjectName(name);
  ControlIds::Set(box, id);
  page->layout()->addWidget(box);
  return box;
}

}  // namespace

CComponentsPage::CComponentsPage(InstallerContext& context, QWidget* parent)
    : InstallerPage(context, QStringLiteral("Choose Components"), parent) {
  setObjectName("componentsPage");
  AddText(QStringLiteral("Choose which components you would like to install."), "titleText");

  desktop_ = AddBox(this, QStringLiteral("Lockwell/PC"), "desktopBox", kDesktopId);
  ControlIds::Set(AddText(QStringLiteral("Manage a password-protected list of accounts, credit card numbers, and "
                                         "more on your PC."),
                          "desktopText"),
                  kDesktopTextId);
  handheld_ = AddBox(this, QStringLiteral("Lockwell for the Palm"), "handheldBox", kHandheldId);
  handheldText_ = AddText(QStringLiteral("Manage a password-protected list of accounts, credit card numbers, and "
                                         "more on your Palm."),
                          "handheldText");
  ControlIds::Set(handheldText_, kHandheldTextId);
  conduit_ = AddBox(this, QStringLiteral("Lockwell Conduit"), "conduitBox", kConduitId);
  conduitText_ = AddText(QStringLiteral("Synchronize your PC and Palm Lockwell information to keep you up-to-date "
                                        "where ever you are."),
                         "conduitText");
  ControlIds::Set(conduitText_, kConduitTextId);
  static_cast<QBoxLayout*>(layout())->addStretch();

  for (QCheckBox* box : {desktop_, handheld_, conduit_}) {
    connect(box, &QCheckBox::toggled, this, &CComponentsPage::completeChanged);
  }
}

void CComponentsPage::initializePage() {
  if (initialised_) return;
  initialised_ = true;
  desktop_->setChecked(true);
  handheld_->setChecked(true);
  conduit_->setChecked(true);
  if (!context_.options.palmDesktopPresent) {
    const QString absent = QStringLiteral("The Palm Desktop software is not installed.");
    for (QCheckBox* box : {handheld_, conduit_}) {
      box->setChecked(false);
      box->setEnabled(false);
    }
    handheldText_->setText(absent);
    conduitText_->setText(absent);
  }
}

bool CComponentsPage::isComplete() const {
  return desktop_->isChecked() || handheld_->isChecked() || conduit_->isChecked();
}

void CComponentsPage::Store() {
  context_.options.installDesktop = desktop_->isChecked();
  context_.options.installHandheld = handheld_->isChecked();
  context_.options.installConduit = conduit_->isChecked();
}

bool CComponentsPage::validatePage() {
  Store();
  return true;
}

void CComponentsPage::cleanupPage() { Store(); }

int CComponentsPage::nextId() const {
  if (desktop_->isChecked() || conduit_->isChecked()) return kFolderPageId;
  if (handheld_->isChecked() && context_.options.needUserChoice) return kPalmUserPageId;
  return kSummaryPageId;
}

}  // namespace lockwell
