// A main window on a small account database, for the window's tests.
//
// The database has four categories ("personal", "Business", "banking" and
// Unfiled) and six accounts; the window is shown (offscreen) with the
// automatic open switched off, and its Open command reopens the same file
// and hands it over, as the open sequence does.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <memory>
#include <string>

#include "app/ui/MainWindow.h"
#include "platform/TestFolder.h"
#include "platform/ui/ControlIds.h"
#include "platform/ui/ScriptedPrompter.h"
#include "storage/ErrorList.h"
#include "storage/SecureString.h"
#include "support/VaultFixture.h"
#include "vault/LockwellDatabase.h"

namespace lockwell::testing {

// Category numbers of the demo database.
inline constexpr uint32_t kPersonal = 1;
inline constexpr uint32_t kBusiness = 2;
inline constexpr uint32_t kBanking = 3;

class WindowTest : public ::testing::Test {
 protected:
  static constexpr const char* kPassphrase = "open sesame";

  static VaultFixture Demo() {
    VaultFixture fixture;
    fixture.passphrase = kPassphrase;
    fixture.categories = {"Unfiled", "personal", "Business", "banking"};
    auto add = [&](const char* title, const char* login, const char* password, uint32_t category) {
      FixtureAccount account = FixtureAccount::Simple(title, login, password);
      account.category = category;
      fixture.accounts.push_back(account);
    };
    // Stored in the database's own (byte-wise) order.
    add("Beta shop", "bee", "b-secret", kPersonal);
    add("Delta", "del", "d-secret", 0);
    add("Zeta mail", "zed", "z-secret", kBusiness);
    add("alpha bank", "al", "a-secret", kBanking);
    add("gamma", "gam", "g-secret", kBusiness);
    FixtureAccount noPassword = FixtureAccount::Simple("note only", "nobody", "");
    noPassword.labels = {"Login:", "URL:", " ", " ", " "};
    noPassword.values = {"nobody", "http://example.org", "", "", ""};
    noPassword.note = "line one\r\nline two";
    noPassword.category = kBusiness;
    fixture.accounts.push_back(noPassword);
    return fixture;
  }

  void SetUp() override { WriteDatabase(Demo()); }

  void TearDown() override {
    window_.reset();
    EXPECT_TRUE(prompter_.Problems().isEmpty()) << prompter_.Problems().join("; ").toStdString();
  }

  void WriteDatabase(const VaultFixture& fixture) {
    path_ = folder_ / "demo.lwdb";
    std::string error;
    ASSERT_TRUE(fixture.Write(path_, error)) << error;
  }

  std::unique_ptr<LockwellDatabase> OpenDatabase() {
    ErrorList errors;
    auto database = std::make_unique<LockwellDatabase>(errors, path_, SecureString(kPassphrase), false);
    EXPECT_TRUE(database->IsOpen()) << errors.Summary();
    return database;
  }

  std::string Entry() const { return "PC Database: demo.lwdb (" + path_ + ")"; }

  // A shown window with no database; Open (and Unlock) reopen the file.
  MainWindow& MakeWindow() {
    window_ = std::make_unique<MainWindow>(prompter_, [this](MainWindow& window) {
      ++opens_;
      if (cancelOpen_) return;
      window.TakeDatabase(OpenDatabase(), Entry());
    });
    window_->SetAutoOpen(false);
    window_->show();
    QApplication::processEvents();
    return *window_;
  }

  // A shown window with the demo database handed over.
  MainWindow& OpenWindow() {
    MainWindow& window = MakeWindow();
    window.TakeDatabase(OpenDatabase(), Entry());
    return window;
  }

  QTreeWidget* List(int id) const { return ControlIds::Find<QTreeWidget>(window_.get(), id); }
  QPushButton* Button(int id) const { return ControlIds::Find<QPushButton>(window_.get(), id); }
  QLabel* Message() const { return ControlIds::Find<QLabel>(window_.get(), MainWindow::kMessageId); }
  bool Enabled(int command) const { return window_->Action(command)->isEnabled(); }

  // Texts of one column of a list, top to bottom.
  QStringList Column(int id, int column = 0) const {
    QStringList texts;
    QTreeWidget* list = List(id);
    for (int row = 0; row < list->topLevelItemCount(); ++row) texts << list->topLevelItem(row)->text(column);
    return texts;
  }

  void SelectCategory(const QString& name) const {
    QTreeWidget* list = List(MainWindow::kCategoryListId);
    const auto found = list->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name.toStdString();
    list->setCurrentItem(found.first());
  }

  // Selects the account rows whose first cell is one of `titles`.
  void SelectAccounts(const QStringList& titles) const {
    QTreeWidget* list = List(MainWindow::kAccountListId);
    list->clearSelection();
    for (const QString& title : titles) {
      const auto found = list->findItems(title, Qt::MatchExactly, 0);
      ASSERT_EQ(found.size(), 1) << title.toStdString();
      found.first()->setSelected(true);
    }
  }

  // Enabled state of each item of a context menu, by command id.
  static std::map<int, bool> MenuState(QMenu& menu) {
    std::map<int, bool> state;
    for (QAction* action : menu.actions()) {
      if (!action->isSeparator()) state[ControlIds::Of(action)] = action->isEnabled();
    }
    return state;
  }

  TestFolder folder_;
  ScriptedPrompter prompter_;
  std::string path_;
  std::unique_ptr<MainWindow> window_;
  int opens_ = 0;
  bool cancelOpen_ = false;
};

}  // namespace lockwell::testing
