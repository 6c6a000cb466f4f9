#include "installer/CPalmUserPage.h"

#include <algorithm>
#include <vector>

#include <QComboBox>
#include <QLayout>

#include "platform/ui/ControlIds.h"
#include "platform/ui/Cp1252.h"

namespace lockwell {

CPalmUserPage::CPalmUserPage(InstallerContext& context, QWidget* parent)
    : InstallerPage(context, QStringLiteral("Choose Palm User"), parent), users_(new QComboBox(this)) {
  setObjectName("palmUserPage");
  AddText(QStringLiteral("Choose the Palm user that corresponds to the Palm where you want Lockwell to be "
                         "installed."),
          "introText");
  users_->setObjectName("userList");
  ControlIds::Set(users_, kUserListId);
  users_->setEditable(false);
  layout()->addWidget(users_);
  static_cast<QBoxLayout*>(layout())->addStretch();
}

void CPalmUserPage::initializePage() {
  if (initialised_) return;
  initialised_ = true;
  // The list sorts as a sorted list control does, without regard to case;
  // each item keeps the user's name as bytes, so it comes back unchanged.
  std::vector<std::string> names;
  for (const auto& [name, folder] : context_.users) names.push_back(name);
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return Cp1252::ToQString(a).compare(Cp1252::ToQString(b), Qt::CaseInsensitive) < 0;
  });
  for (const std::string& name : names) {
    users_->addItem(Cp1252::ToQString(name), QByteArray::fromStdString(name));
  }
  if (!context_.users.empty()) {
    users_->setCurrentIndex(users_->findData(QByteArray::fromStdString(context_.users.begin()->first)));
  }
}

void CPalmUserPage::Store() {
  context_.options.palmUserName = users_->currentIndex() < 0 ? std::string()
                                                             : users_->currentData().toByteArray().toStdString();
}

bool CPalmUserPage::validatePage() {
  Store();
  return true;
}

void CPalmUserPage::cleanupPage() { Store(); }

int CPalmUserPage::nextId() const { return kSummaryPageId; }

}  // namespace lockwell
