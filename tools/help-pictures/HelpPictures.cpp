// help-pictures: renders the windows the user's guide shows into PNG files.
//
//   help-pictures OUTPUT-FOLDER
//
// Every picture is the real window of the program (or of setup), built with
// a small demonstration database and grabbed as it is drawn.  Dialogs that a
// command opens are grabbed on their way through the prompting seam and then
// cancelled, so nothing is changed.  The registry and the special folders are
// pointed into a scratch folder first: nothing of the user's is read or
// written.
#include <stdlib.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QTreeWidget>
#include <QWizard>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/Settings.h"
#include "app/ui/AboutDialog.h"
#include "app/ui/CommandIds.h"
#include "app/ui/MainWindow.h"
#include "hotsync/HotSyncBinding.h"
#include "hotsync/ui/OpenDatabaseDialog.h"
#include "installer/InstallerContext.h"
#include "installer/InstallerWizard.h"
#include "platform/ui/ControlIds.h"
#include "platform/ui/Prompter.h"
#include "storage/ErrorList.h"
#include "storage/SecureString.h"
#include "support/VaultFixture.h"
#include "vault/LockwellDatabase.h"
#include "vault/ui/ChooseLabelDialog.h"

namespace lockwell {
namespace {

constexpr char kPassphrase[] = "correct horse";

// Saves each widget it is given under the name asked for.
class Camera {
 public:
  explicit Camera(QString folder) : folder_(std::move(folder)) {}

  void Take(QWidget& widget, const QString& name) {
    widget.show();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    const QString path = folder_ + "/" + name + ".png";
    if (!widget.grab().save(path)) {
      std::fprintf(stderr, "help-pictures: cannot write %s\n", qPrintable(path));
      failed_ = true;
    }
  }
  bool Failed() const { return failed_; }

 private:
  QString folder_;
  bool failed_ = false;
};

// Grabs every dialog a command runs, under the name set beforehand, and
// cancels it; message boxes are answered No (or OK).
class CameraPrompter : public Prompter {
 public:
  explicit CameraPrompter(Camera& camera) : camera_(camera) {}
  void Next(QString name, std::function<void(QDialog&)> prepare = {}) {
    name_ = std::move(name);
    prepare_ = std::move(prepare);
  }

  Answer Message(QWidget*, const QString&, const QString&, Buttons buttons) override {
    return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
  }
  int RunDialog(QDialog& dialog) override {
    if (!name_.isEmpty()) {
      dialog.show();
      if (prepare_) prepare_(dialog);
      camera_.Take(dialog, name_);
      name_.clear();
    }
    dialog.hide();
    return QDialog::Rejected;
  }

 private:
  Camera& camera_;
  QString name_;
  std::function<void(QDialog&)> prepare_;
};

testing::VaultFixture DemoDatabase() {
  testing::VaultFixture fixture;
  fixture.passphrase = kPassphrase;
  fixture.pcOwned = true;
  fixture.categories = {"Unfiled", "Business", "Personal", "Banking", "Web"};
  auto add = [&](const char* title, const char* login, const char* password, const char* url, uint32_t category,
                 const char* note = "") {
    testing::FixtureAccount account = testing::FixtureAccount::Simple(title, login, password);
    account.values[2] = url;
    account.category = category;
    account.note = note;
    fixture.accounts.push_back(account);
  };
  add("City Savings", "jsmith", "7reE-fall", "https://citysavings.example", 3, "Branch: Main Street\r\nTel. 555-0142");
  add("Credit card", "4929 1234 5678 9012", "0417", "", 3, "Expires 09/29");
  add("Mail", "jane.smith", "Blue#Kettle9", "https://mail.example.org", 4);
  add("Office network", "JSMITH", "Qu1et-Harbour", "", 1, "Changes every 90 days");
  add("Online shop", "jane@example.org", "tr4in-Lamp", "https://shop.example.com", 4);
  add("Payroll", "0042117", "8812", "https://payroll.example", 1);
  add("Library card", "2930 1002", "1975", "", 2);
  add("Gym locker", "", "26-14-38", "", 2, "Locker 117, second floor");
  add("Wi-Fi at home", "smith-home", "moss-ladder-71", "", 0);
  return fixture;
}

QTreeWidget* List(QWidget& window, int id) { return ControlIds::Find<QTreeWidget>(&window, id); }

void SelectRow(QTreeWidget* list, const QString& first) {
  const auto found = list->findItems(first, Qt::MatchExactly);
  if (!found.isEmpty()) list->setCurrentItem(found.first());
}

bool DesktopPictures(Camera& camera, const std::string& scratch) {
  const std::string path = scratch + "/jane.lwdb";
  std::string error;
  if (!DemoDatabase().Write(path, error)) {
    std::fprintf(stderr, "help-pictures: %s\n", error.c_str());
    return false;
  }
  auto open = [&] {
    ErrorList errors;
    auto database = std::make_unique<LockwellDatabase>(errors, path, SecureString(kPassphrase), false);
    return database;
  };
  const std::string entry = MakePcDatabaseEntry(path);
  AddDatabaseEntry(entry);
  WriteLastDatabase(entry);

  CameraPrompter prompter(camera);
  MainWindow window(prompter, [&](MainWindow& w) { w.TakeDatabase(open(), entry); });
  window.SetAutoOpen(false);
  window.resize(MainWindow::kStartWidth + 80, MainWindow::kStartHeight);
  window.show();
  QApplication::processEvents();
  window.TakeDatabase(open(), entry);
  if (window.Database() == nullptr) return false;

  SelectRow(List(window, MainWindow::kCategoryListId), "Banking");
  SelectRow(List(window, MainWindow::kAccountListId), "City Savings");
  camera.Take(window, "pc-main");
  camera.Take(*List(window, MainWindow::kCategoryListId), "pc-category-pane");
  camera.Take(*List(window, MainWindow::kAccountListId), "pc-account-list");
  camera.Take(*List(window, MainWindow::kAccountViewId), "pc-account-view");

  auto run = [&](int command, const QString& name, std::function<void(QDialog&)> prepare = {}) {
    prompter.Next(name, std::move(prepare));
    if (QAction* action = window.Action(command)) action->trigger();
    QApplication::processEvents();
  };
  run(command::kEditAccount, "pc-edit-account");
  run(command::kNewAccount, "pc-add-account");
  run(command::kCategoryPreferences, "pc-category-prefs");
  run(command::kFind, "pc-find");
  run(command::kChangePassphrase, "pc-passphrase");
  run(command::kAbout, "about-pc");

  ChooseLabelDialog label(prompter, &window);
  label.SetChoices({"Login:", "Pwd:", "PIN:", "URL:", "Acct #:", "Custom..."});
  camera.Take(label, "pc-custom");
  label.hide();

  window.Action(command::kLock)->trigger();
  QApplication::processEvents();
  camera.Take(window, "pc-locked");

  HotSyncBinding binding;
  OpenDatabaseDialog chooser(prompter, binding, &window);
  camera.Take(chooser, "pc-enter-pass");
  chooser.hide();
  window.hide();
  return true;
}

void SetupPictures(Camera& camera, Prompter& prompter) {
  InstallerContext context(prompter);
  context.options.palmDesktopPresent = true;
  context.options.needUserChoice = false;
  context.options.palmUserName = "Jane Smith";
  context.options.sourceFolder = QDir::currentPath().toStdString() + "/";
  InstallerWizard wizard(context, InstallerWizard::Kind::Main);
  wizard.show();
  // Welcome, licence (none here: its failure message is answered and the
  // page is passed over), components.
  wizard.setStartId(kComponentsPageId);
  wizard.restart();
  camera.Take(wizard, "choose-component");
  wizard.next();
  wizard.next();
  camera.Take(wizard, "start-installation");
  wizard.hide();
}

}  // namespace
}  // namespace lockwell

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: help-pictures OUTPUT-FOLDER\n");
    return 2;
  }
  // A scratch machine: registry, documents and program folders.
  char pattern[] = "/tmp/help-pictures-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return 1;
  const std::string scratch = pattern;
  setenv("LOCKWELL_REGISTRY_DIR", (scratch + "/registry").c_str(), 1);
  setenv("LOCKWELL_DOCUMENTS_DIR", scratch.c_str(), 1);
  setenv("LOCKWELL_PROGRAM_FILES_DIR", "/home/jane/.local/opt/", 1);
  unsetenv("PALM_DESKTOP_SIM_DIR");

  QApplication app(argc, argv);
  lockwell::Camera camera(QString::fromLocal8Bit(argv[1]));
  lockwell::CameraPrompter prompter(camera);
  lockwell::SetupPictures(camera, prompter);
  const bool desktop = lockwell::DesktopPictures(camera, scratch);
  std::error_code ignored;
  std::filesystem::remove_all(scratch, ignored);
  return desktop && !camera.Failed() ? 0 : 1;
}
