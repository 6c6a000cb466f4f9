// The main window's menu bar, keys and context menus, their enabling, and
// the dispatch of a command id to its action.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <map>

#include "app/ui/CommandIds.h"
#include "app/ui/CommandTable.h"
#include "app/ui/MainWindow.h"
#include "platform/ui/ControlIds.h"
#include "vault/LockwellDatabase.h"

namespace lockwell {
namespace {

QAction* MakeAction(QObject* parent, int id, const char* text) {
  auto* action = new QAction(QString::fromLatin1(text), parent);
  ControlIds::Set(action, id);
  // The text carries the key after a tab; the keys themselves are the
  // window's shortcuts (BuildKeys), not the menu's.
  return action;
}

}  // namespace

void MainWindow::BuildMenus() {
  for (const MenuSpec& spec : CommandTable::Menus()) {
    QMenu* menu = menuBar_->addMenu(QString::fromLatin1(spec.title));
    for (const MenuItemSpec& item : spec.items) {
      if (item.id == 0) {
        menu->addSeparator();
        continue;
      }
      QAction* action = MakeAction(menu, item.id, item.text);
      const int id = item.id;
      connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
      menu->addAction(action);
      actions_[id] = action;
    }
  }

  connect(newButton_, &QPushButton::clicked, this, [this] { RunCommand(command::kNewAccount); });
  connect(editButton_, &QPushButton::clicked, this, [this] { RunCommand(command::kEditAccount); });
  connect(deleteButton_, &QPushButton::clicked, this, [this] { RunCommand(command::kDeleteAccount); });
  connect(quitButton_, &QPushButton::clicked, this, [this] { RunCommand(command::kQuit); });
  // The button skips the enabled-window test the menu command makes.
  connect(lockButton_, &QPushButton::clicked, this, [this] { ToggleLock(); });
  connect(viewButton_, &QPushButton::clicked, this, [this] { ToggleAccountView(); });
}

void MainWindow::BuildKeys() {
  for (const KeySpec& key : CommandTable::Keys()) {
    // Window context: the keys work only while this window is the active
    // window, never while one of its modal dialogs is up.
    auto* shortcut = new QShortcut(QKeySequence(key.key), this);
    shortcut->setContext(Qt::WindowShortcut);
    shortcut->setAutoRepeat(false);
    const int id = key.id;
    connect(shortcut, &QShortcut::activated, this, [this, id] { RunKey(id); });
  }
}

QAction* MainWindow::Action(int id) const {
  auto found = actions_.find(id);
  return found == actions_.end() ? nullptr : found->second;
}

CommandContext MainWindow::Context() const {
  CommandContext c;
  c.databaseOpen = database_ != nullptr;
  c.pcOwned = database_ != nullptr && database_->isPcOwned();
  c.locked = locked_;
  if (auto selected = SelectedCategory()) {
    c.categorySelected = true;
    c.selectedCategory = *selected;
  }
  c.currentCategory = currentCategory_;
  c.selectedAccounts = database_ != nullptr ? SelectedAccountCount() : 0;
  c.copyBufferEmpty = copyBuffer_.empty();
  c.findAgainEnabled = search_.findAgainEnabled();
  return c;
}

void MainWindow::UpdateCommands() {
  const CommandContext c = Context();
  for (auto& [id, action] : actions_) action->setEnabled(CommandRules::MenuEnabled(id, c));
  QAction* lock = Action(command::kLock);
  if (c.databaseOpen) {
    lock->setText(QString::fromLatin1(CommandTable::kLockText));
  } else if (c.locked) {
    lock->setText(QString::fromLatin1(CommandTable::kUnlockText));
  }
  newButton_->setEnabled(c.categorySelected);
  editButton_->setEnabled(c.selectedAccounts == 1);
  deleteButton_->setEnabled(c.selectedAccounts >= 1);
}

void MainWindow::RunKey(int id) {
  // A key whose menu item is greyed does nothing; Enter has no menu item.
  QAction* action = Action(id);
  if (id != command::kEnter && (action == nullptr || !action->isEnabled())) return;
  RunCommand(id);
}

void MainWindow::RunCommand(int id) {
  using namespace command;
  using Handler = void (MainWindow::*)();
  static const std::map<int, Handler> kHandlers = {
      {kOpen, &MainWindow::OpenDatabase},
      {kClose, &MainWindow::CloseCurrentDatabase},
      {kChangePassphrase, &MainWindow::ChangePassphrase},
      {kQuit, &MainWindow::Quit},
      {kCut, &MainWindow::CutAccounts},
      {kCopy, &MainWindow::CopyAccounts},
      {kPaste, &MainWindow::PasteAccounts},
      {kSelectAll, &MainWindow::SelectAllAccounts},
      {kCopyPassword, &MainWindow::CopyPassword},
      {kFind, &MainWindow::Find},
      {kFindAgain, &MainWindow::FindAgain},
      {kNewAccount, &MainWindow::NewAccount},
      {kEditAccount, &MainWindow::EditAccount},
      {kDeleteAccount, &MainWindow::DeleteAccounts},
      {kNewCategory, &MainWindow::NewCategory},
      {kRenameCategory, &MainWindow::RenameCategory},
      {kDeleteCategory, &MainWindow::DeleteCategory},
      {kCategoryPreferences, &MainWindow::CategoryPreferences},
      {kHelpIndex, &MainWindow::ShowHelpIndex},
      {kAbout, &MainWindow::ShowAbout},
  };
  if (id == kLock) {
    // The menu command makes the enabled-window test; the button does not.
    if (isEnabled()) ToggleLock();
    return;
  }
  if (id == kEnter) {
    if (accountList_->hasFocus()) EditAccount();
    return;
  }
  auto found = kHandlers.find(id);
  if (found != kHandlers.end()) (this->*found->second)();
}

std::unique_ptr<QMenu> MainWindow::BuildCategoryMenu() {
  using namespace command;
  auto menu = std::make_unique<QMenu>(this);
  menu->setObjectName(QStringLiteral("categoryMenu"));
  const CommandContext c = Context();
  auto add = [&](int id, const char* text) {
    QAction* action = MakeAction(menu.get(), id, text);
    action->setEnabled(CommandRules::CategoryMenuEnabled(id, c));
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    menu->addAction(action);
  };
  add(kNewCategory, "New...");
  add(kRenameCategory, "Rename...");
  add(kDeleteCategory, "Delete...");
  menu->addSeparator();
  add(kCategoryPreferences, "Preferences...");
  return menu;
}

std::unique_ptr<QMenu> MainWindow::BuildAccountMenu() {
  using namespace command;
  auto menu = std::make_unique<QMenu>(this);
  menu->setObjectName(QStringLiteral("accountMenu"));
  const CommandContext c = Context();
  auto add = [&](int id, const char* text) {
    QAction* action = MakeAction(menu.get(), id, text);
    action->setEnabled(CommandRules::AccountMenuEnabled(id, c));
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    menu->addAction(action);
  };
  add(kNewAccount, "New...");
  add(kEditAccount, "Edit...");
  add(kDeleteAccount, "Delete...");
  menu->addSeparator();
  add(kCopyPassword, "Copy Password");
  menu->addSeparator();
  add(kCut, "Cut");
  add(kCopy, "Copy");
  add(kPaste, "Paste");
  return menu;
}

void MainWindow::ShowCategoryMenu(const QPoint& position) {
  if (!database_) return;
  std::unique_ptr<QMenu> menu = BuildCategoryMenu();
  menu->exec(categoryList_->viewport()->mapToGlobal(position));
}

void MainWindow::ShowAccountMenu(const QPoint& position) {
  if (!database_) return;
  std::unique_ptr<QMenu> menu = BuildAccountMenu();
  menu->exec(accountList_->viewport()->mapToGlobal(position));
}

}  // namespace lockwell
