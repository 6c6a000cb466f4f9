#include "hotsync/ui/OpenDatabaseDialog.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <memory>

#include "app/Settings.h"
#include "hotsync/HotSyncBinding.h"
#include "hotsync/ui/DefaultDatabaseFolder.h"
#include "hotsync/ui/NewPassphraseDialog.h"
#include "hotsync/ui/ResolveDatabasePath.h"
#include "platform/ui/ControlIds.h"
#include "platform/ui/Cp1252.h"
#include "platform/ui/ErrorDialog.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/SecretText.h"
#include "storage/ErrorList.h"
#include "vault/LockwellDatabase.h"

namespace lockwell {
namespace {

constexpr int kWidth = 384;
constexpr int kHeight = 176;
constexpr QRect kGroupRect(8, 6, 368, 130);
constexpr QRect kListLabelRect(20, 28, 110, 24);
constexpr QRect kListRect(134, 28, 230, 24);
constexpr QRect kBrowseRect(264, 58, 100, 24);
constexpr QRect kPassphraseLabelRect(20, 98, 110, 24);
constexpr QRect kPassphraseRect(134, 98, 230, 24);
constexpr QRect kOkRect(8, 144, 90, 24);
constexpr QRect kCancelRect(106, 144, 90, 24);
constexpr QRect kCreateNewRect(266, 144, 110, 24);

QByteArray Bytes(const std::string& text) {
  return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// The list control's order: letters compare without regard to case; equal
// texts keep the order they were added in.
bool SortsBefore(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; }

}  // namespace

OpenDatabaseDialog::OpenDatabaseDialog(Prompter& prompter, HotSyncBinding& binding, QWidget* owner)
    : QDialog(owner), prompter_(prompter), binding_(binding) {
  setObjectName("openDatabaseDialog");
  setWindowTitle(QStringLiteral("Lockwell Passphrase"));
  setFixedSize(kWidth, kHeight);

  ControlIds::Place(new QGroupBox(QStringLiteral("Please enter your Lockwell passphrase"), this),
                    "passphraseGroup", -1, kGroupRect);
  ControlIds::Place(new QLabel(QStringLiteral("Choose Database:"), this), "listLabel", -1, kListLabelRect);
  list_ = ControlIds::Place(new QComboBox(this), "databaseList", kListId, kListRect);
  list_->setEditable(false);
  browse_ = ControlIds::Place(new QPushButton(QStringLiteral("Browse..."), this), "browseButton", kBrowseId,
                              kBrowseRect);
  ControlIds::Place(new QLabel(QStringLiteral("Passphrase:"), this), "passphraseLabel", -1,
                    kPassphraseLabelRect);
  passphraseEdit_ = ControlIds::Place(new QLineEdit(this), "passphraseEdit", kPassphraseId, kPassphraseRect);
  passphraseEdit_->setEchoMode(QLineEdit::Password);
  passphraseEdit_->setMaxLength(kMaxPassphraseChars);
  ok_ = ControlIds::Place(new QPushButton(QStringLiteral("OK"), this), "okButton", kOkId, kOkRect);
  cancel_ = ControlIds::Place(new QPushButton(QStringLiteral("Cancel"), this), "cancelButton", kCancelId,
                              kCancelRect);
  createNew_ = ControlIds::Place(new QPushButton(QStringLiteral("Create New..."), this), "createNewButton",
                                 kCreateNewId, kCreateNewRect);
  ok_->setDefault(true);
  for (QPushButton* button : {browse_, cancel_, createNew_}) button->setAutoDefault(false);

  connect(list_, &QComboBox::currentIndexChanged, this, &OpenDatabaseDialog::UpdateOkButton);
  connect(browse_, &QPushButton::clicked, this, &OpenDatabaseDialog::Browse);
  connect(createNew_, &QPushButton::clicked, this, &OpenDatabaseDialog::CreateNew);
  connect(ok_, &QPushButton::clicked, this, &OpenDatabaseDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  Fill();
}

OpenDatabaseDialog::~OpenDatabaseDialog() { SecretText::WipeEdit(*passphraseEdit_); }

void OpenDatabaseDialog::Fill() {
  HotSyncUserMap users;
  binding_.ListHotSyncUsers(users);
  for (const auto& user : users) AddEntry(kPalmUserPrefix + user.first);
  for (const std::string& entry : ReadDatabaseEntries()) AddEntry(entry);

  list_->setCurrentIndex(-1);
  const std::string last = ReadLastDatabase();
  if (!last.empty()) {
    SelectByPrefix(last);
    passphraseEdit_->setFocus();
  } else if (list_->count() > 0) {
    list_->setCurrentIndex(0);
    passphraseEdit_->setFocus();
  }
  UpdateOkButton();
}

void OpenDatabaseDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // With nothing to choose from, creating a database is the only way on;
  // start it once the dialog is on the screen.
  if (!createNewPosted_ && list_->count() == 0) {
    createNewPosted_ = true;
    QTimer::singleShot(0, this, &OpenDatabaseDialog::CreateNew);
  }
}

int OpenDatabaseDialog::AddEntry(const std::string& entry) {
  const QString text = Cp1252::ToQString(entry);
  int index = 0;
  while (index < list_->count() && !SortsBefore(text, list_->itemText(index))) ++index;
  list_->insertItem(index, text, Bytes(entry));
  return index;
}

void OpenDatabaseDialog::SelectByPrefix(const std::string& prefix) {
  const QString wanted = Cp1252::ToQString(prefix);
  for (int i = 0; i < list_->count(); ++i) {
    if (list_->itemText(i).startsWith(wanted, Qt::CaseInsensitive)) {
      list_->setCurrentIndex(i);
      return;
    }
  }
}

void OpenDatabaseDialog::UpdateOkButton() { ok_->setEnabled(!list_->currentText().isEmpty()); }

std::string OpenDatabaseDialog::ResolveDatabasePath() const {
  return lockwell::ResolveDatabasePath(entryText_, binding_);
}

bool OpenDatabaseDialog::RunFileDialog(const QString& name, bool save, std::string& path) {
  QFileDialog files(this);
  files.setObjectName(name);
  files.setNameFilter(QString::fromLatin1(kFileFilter));
  files.setDefaultSuffix(QStringLiteral("lwdb"));
  if (save) {
    files.setWindowTitle(QStringLiteral("Save As"));
    files.setAcceptMode(QFileDialog::AcceptSave);
    files.setFileMode(QFileDialog::AnyFile);
    const QString folder = QFile::decodeName(QByteArray::fromStdString(DefaultDatabaseFolder()));
    files.setDirectory(folder);
    files.selectFile(folder + QStringLiteral("lockwell.lwdb"));
  } else {
    files.setWindowTitle(QStringLiteral("Open"));
    files.setAcceptMode(QFileDialog::AcceptOpen);
    files.setFileMode(QFileDialog::ExistingFile);
    files.selectFile(QStringLiteral("lockwell.lwdb"));
  }
  if (prompter_.RunDialog(files) != QDialog::Accepted) return false;
  const QStringList chosen = files.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return false;
  // Paths stay as the file system names them, so the file opens again.
  path = QFile::encodeName(chosen.front()).toStdString();
  return true;
}

void OpenDatabaseDialog::Browse() {
  std::string path;
  if (!RunFileDialog(QString::fromLatin1(kBrowseDialogName), false, path)) return;
  const std::string entry = MakePcDatabaseEntry(path);
  AddDatabaseEntry(entry);
  list_->setCurrentIndex(AddEntry(entry));
  UpdateOkButton();
}

bool OpenDatabaseDialog::AskToCreate() {
  const QString caption = QString::fromLatin1(kCreateNewCaption);
  if (binding_.LoadUserData()) {
    return prompter_.Message(this, caption, QString::fromLatin1(kCreateNewPalmWarning),
                             Prompter::Buttons::YesNo) == Prompter::Answer::Yes;
  }
  if (list_->count() == 0) {
    return prompter_.Message(this, caption, QString::fromLatin1(kCreateNewNoDatabases),
                             Prompter::Buttons::YesNo) == Prompter::Answer::Yes;
  }
  return true;
}

void OpenDatabaseDialog::CreateNew() {
  // The posted start may arrive after the dialog has already ended.
  if (!isVisible()) return;
  if (!AskToCreate()) return;
  std::string path;
  if (!RunFileDialog(QString::fromLatin1(kSaveDialogName), true, path)) return;
  NewPassphraseDialog ask(prompter_, this);
  if (prompter_.RunDialog(ask) != QDialog::Accepted) return;
  const SecureString passphrase = ask.GetPassphrase();
  {
    ErrorList errors;
    auto database = std::make_unique<LockwellDatabase>(errors, path, passphrase, true);
    if (errors.HasErrors() || !database->IsOpen()) {
      ShowErrors(prompter_, this, errors);
      return;
    }
    // Closed here; the caller opens the file like any other.
  }
  const std::string entry = MakePcDatabaseEntry(path);
  AddDatabaseEntry(entry);
  list_->setCurrentIndex(AddEntry(entry));
  UpdateOkButton();
  // Whatever was typed before Create New gives way to the new passphrase.
  SecretText::WipeEdit(*passphraseEdit_);
  QString text = Cp1252::ToQString(passphrase.view());
  passphraseEdit_->setText(text);
  SecretText::Wipe(text);
  accept();
}

void OpenDatabaseDialog::accept() {
  const int index = list_->currentIndex();
  if (index < 0 || list_->currentText().isEmpty()) return;
  QString refusal;
  SecureString typed;
  if (!SecretText::Read(*passphraseEdit_, typed, refusal, kMaxPassphraseChars)) {
    prompter_.Message(this, windowTitle(), refusal, Prompter::Buttons::Ok);
    return;
  }
  entryText_ = list_->itemData(index).toByteArray().toStdString();
  passphrase_ = std::move(typed);
  WriteLastDatabase(entryText_);
  QDialog::accept();
}

void OpenDatabaseDialog::done(int result) {
  SecretText::WipeEdit(*passphraseEdit_);
  QDialog::done(result);
}

}  // namespace lockwell
