#include "installer/CFolderPage.h"

#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "installer/FileSteps.h"
#include "platform/SpecialFolders.h"
#include "platform/ui/ControlIds.h"
#include "platform/ui/Prompter.h"

namespace lockwell {

CFolderPage::CFolderPage(InstallerContext& context, QWidget* parent)
    : InstallerPage(context, QStringLiteral("Choose Installation Folder"), parent),
      folder_(new QLineEdit(this)),
      browse_(new QPushButton(QStringLiteral("Browse..."), this)) {
  setObjectName("folderPage");
  AddText(QStringLiteral("Choose the folder where Lockwell/PC and/or the Lockwell Conduit will be installed, or "
                         "click Next to accept the default."),
          "introText");
  folder_->setObjectName("folderEdit");
  ControlIds::Set(folder_, kFolderId);
  browse_->setObjectName("browseButton");
  ControlIds::Set(browse_, kBrowseId);
  auto* row = new QHBoxLayout;
  row->addWidget(folder_, 1);
  row->addWidget(browse_);
  static_cast<QBoxLayout*>(layout())->addLayout(row);
  static_cast<QBoxLayout*>(layout())->addStretch();

  connect(folder_, &QLineEdit::textChanged, this, &CFolderPage::completeChanged);
  connect(browse_, &QPushButton::clicked, this, &CFolderPage::Browse);
}

std::string CFolderPage::DefaultFolder() {
  // SpecialFolders answers the registry's "ProgramFilesDir" or its own
  // fallback, so the folder is never empty here.
  return WithTrailingSlash(SpecialFolders::ProgramFilesDir()) + "Lockwell";
}

QString CFolderPage::ProductFolderUnder(const QString& chosen) {
  QString folder = chosen;
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  return folder + QStringLiteral("Lockwell");
}

void CFolderPage::initializePage() {
  if (initialised_) return;
  initialised_ = true;
  folder_->setText(QFile::decodeName(QByteArray::fromStdString(DefaultFolder())));
}

void CFolderPage::Browse() {
  QFileDialog dialog(this, QStringLiteral("Select an Installation Directory"));
  dialog.setObjectName("folderBrowser");
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  if (context_.prompter.RunDialog(dialog) != QDialog::Accepted) return;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return;
  folder_->setText(ProductFolderUnder(chosen.front()));
}

bool CFolderPage::isComplete() const { return !folder_->text().isEmpty(); }

void CFolderPage::Store() { context_.options.installFolder = QFile::encodeName(folder_->text()).toStdString(); }

bool CFolderPage::validatePage() {
  Store();
  return true;
}

void CFolderPage::cleanupPage() { Store(); }

int CFolderPage::nextId() const {
  const InstallOptions& options = context_.options;
  return options.installHandheld && options.needUserChoice ? kPalmUserPageId : kSummaryPageId;
}

}  // namespace lockwell
