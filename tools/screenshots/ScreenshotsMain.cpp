// Captures the main window as a user sees it, in its three states, for the
// README: no database open, a database open (several categories and
// accounts, one account shown), and locked; and the account editor adding
// an account.
//
// Usage: lockwell_screenshots <output folder>
// Run it on a display (take-screenshots.sh starts one under Xvfb).  The
// demo database and the registry live in a temporary folder that is
// removed afterwards.
#include <stdlib.h>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTreeWidget>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "app/ui/MainWindow.h"
#include "platform/ui/ControlIds.h"
#include "platform/ui/QtPrompter.h"
#include "storage/ErrorList.h"
#include "storage/SecureString.h"
#include "support/VaultFixture.h"
#include "vault/CategoryPrefsTable.h"
#include "vault/LockwellDatabase.h"
#include "vault/LockwellRecord.h"
#include "vault/ui/AccountEditorDialog.h"

namespace lockwell {
namespace {

const char kPassphrase[] = "demo passphrase";

testing::VaultFixture DemoDatabase() {
  testing::VaultFixture fixture;
  fixture.passphrase = kPassphrase;
  fixture.categories = {"Unfiled", "Business", "Personal", "Banking", "Email", "Web"};
  struct Demo {
    const char* title;
    const char* login;
    const char* password;
    const char* url;
    uint32_t category;
  } const demos[] = {
      {"Alpine Savings", "m.keller", "sn0w-L1ne!", "https://alpine.example", 3},
      {"Bookshop", "mkeller", "pages&ink", "https://books.example", 5},
      {"City Library", "10448213", "4471", "", 2},
      {"Company VPN", "mkeller", "Vpn#2026", "vpn.corp.example", 1},
      {"Credit Card", "4000 1234 5678 9010", "0715", "", 3},
      {"Expense Portal", "m.keller@corp.example", "receipts-9", "https://expenses.example", 1},
      {"Family Mail", "maria", "kitchen-table", "imap.home.example", 4},
      {"Gym", "MK-2290", "lift4life", "", 2},
      {"Payroll", "keller.m", "pay-day-28", "https://payroll.example", 1},
      {"Router", "admin", "blinkenlights", "http://192.168.1.1", 0},
      {"Time Sheets", "mkeller", "hours&hours", "https://time.example", 1},
      {"Work Mail", "m.keller@corp.example", "inbox-zero", "mail.corp.example", 1},
  };
  for (const Demo& demo : demos) {
    testing::FixtureAccount account = testing::FixtureAccount::Simple(demo.title, demo.login, demo.password);
    account.values[2] = demo.url;
    account.category = demo.category;
    fixture.accounts.push_back(account);
  }
  fixture.accounts[3].note = "Token app on the phone.\r\nHelp desk: extension 4400.";
  return fixture;
}

bool Capture(QWidget& window, const std::filesystem::path& file) {
  for (int i = 0; i < 10; ++i) {
    QApplication::processEvents();
    QTest::qWait(50);
  }
  const QPixmap pixmap = window.screen()->grabWindow(window.winId());
  if (pixmap.isNull() || !pixmap.save(QString::fromStdString(file.string()), "PNG")) {
    fprintf(stderr, "could not write %s\n", file.c_str());
    return false;
  }
  printf("%s\n", file.c_str());
  return true;
}

int Run(const std::filesystem::path& out) {
  std::string pattern = (std::filesystem::temp_directory_path() / "lockwell-shots-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return 1;
  const std::filesystem::path folder = pattern;
  setenv("LOCKWELL_REGISTRY_DIR", (folder / "registry").c_str(), 1);
  const std::string path = (folder / "Keller.lwdb").string();
  std::string error;
  if (!DemoDatabase().Write(path, error)) {
    fprintf(stderr, "demo database: %s\n", error.c_str());
    return 1;
  }
  std::filesystem::create_directories(out);

  int status = 0;
  {
    QtPrompter prompter;
    MainWindow window(prompter);
    window.SetAutoOpen(false);
    window.move(40, 40);
    window.show();
    if (!Capture(window, out / "no-database.png")) status = 1;

    ErrorList errors;
    auto database = std::make_unique<LockwellDatabase>(errors, path, SecureString(kPassphrase), false);
    if (!database->IsOpen()) {
      fprintf(stderr, "open: %s\n", errors.Summary().c_str());
      return 1;
    }
    CategoryPrefs prefs = CategoryPrefs::BuiltInDefaults();
    prefs.useDefault = false;
    prefs.shownFields = {"Title", "Login", "URL"};
    database->storeCategoryPrefs(CategoryPrefsTable::defaultPrefsKey, prefs);
    window.TakeDatabase(std::move(database), "PC Database: Keller.lwdb (" + path + ")");
    window.resize(760, 420);
    auto* categories = ControlIds::Find<QTreeWidget>(&window, MainWindow::kCategoryListId);
    categories->setCurrentItem(categories->findItems("Business", Qt::MatchExactly).first());
    auto* accounts = ControlIds::Find<QTreeWidget>(&window, MainWindow::kAccountListId);
    emit accounts->header()->sectionClicked(1);  // sorted by Login, ascending
    accounts->setCurrentItem(accounts->findItems("Company VPN", Qt::MatchExactly).first());
    if (!Capture(window, out / "database-open.png")) status = 1;

    {
      // The editor as New opens it in Business, filled in by the user.
      ErrorList recordErrors;
      LockwellRecord record(recordErrors, window.Database(), true);
      record.SetCategory(recordErrors, 1);
      const char* const labels[] = {"Login:", "Pwd:", "URL:", " ", " "};
      for (int n = 0; n < 5; ++n) record.setField(recordErrors, n, labels[n], {});
      AccountEditorDialog editor(record, *window.Database(), true, prompter, &window);
      ControlIds::Find<QLineEdit>(&editor, AccountEditorDialog::kTitleId)->setText("Travel Booking");
      const char* const values[] = {"m.keller@corp.example", "window-seat-17", "https://travel.corp.example"};
      for (int n = 0; n < 3; ++n) {
        ControlIds::Find<QPlainTextEdit>(&editor, AccountEditorDialog::kValueIds[n])->setPlainText(values[n]);
      }
      ControlIds::Find<QPlainTextEdit>(&editor, AccountEditorDialog::kNoteId)
          ->setPlainText("Approver: team lead.\nPolicy code CX-12.");
      editor.move(80, 60);
      editor.show();
      if (!Capture(editor, out / "account-editor.png")) status = 1;
      editor.reject();
    }

    ControlIds::Find<QPushButton>(&window, MainWindow::kLockButtonId)->click();
    if (!Capture(window, out / "locked.png")) status = 1;
    window.hide();
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return status;
}

}  // namespace
}  // namespace lockwell

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 2) {
    fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  return lockwell::Run(argv[1]);
}
