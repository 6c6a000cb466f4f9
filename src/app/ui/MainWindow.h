// The program's only top-level window: the category list, the account list
// of the selected category and the account view of the one selected
// account, side by side, with the menu, the buttons, the context menus and
// the keys from which every command starts.
//
// The window owns at most one open LockwellDatabase.  It is in one of three
// states: no database, a database open, or locked (no database object, but
// Unlock offered).  After every change RefreshControls brings panes, buttons
// and menu items in line with the state.
//
// The member functions are spread over several files, one family each:
// construction (MainWindow.cpp), the menus and keys (MainWindowCommands.cpp),
// the panes (MainWindowLists.cpp, MainWindowAccountView.cpp), the layout
// (MainWindowLayout.cpp), opening, closing and locking
// (MainWindowDatabase.cpp), and the command families (MainWindowFileCommands,
// MainWindowAccountCommands, MainWindowCategoryCommands,
// MainWindowFindCommands).
#pragma once

#include <QDialog>
#include <QIcon>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/AccountSearch.h"
#include "app/AccountTransfer.h"
#include "app/ui/ClipboardGuard.h"
#include "app/ui/CommandRules.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QTreeWidget;
class QUrl;

namespace lockwell {

class LockwellDatabase;
class LockwellRecord;
class Prompter;
class SortHeader;

class MainWindow : public QDialog {
  Q_OBJECT

 public:
  // Control ids.
  static constexpr int kCategoryListId = 1001;
  static constexpr int kAccountListId = 1002;
  static constexpr int kAccountViewId = 1038;
  static constexpr int kNewButtonId = 1003;
  static constexpr int kEditButtonId = 1004;
  static constexpr int kDeleteButtonId = 1005;
  static constexpr int kLockButtonId = 1051;
  static constexpr int kQuitButtonId = 1053;
  static constexpr int kViewButtonId = 1050;
  static constexpr int kMessageId = 1049;

  static constexpr int kMinWidth = 425;
  static constexpr int kMinHeight = 200;
  static constexpr int kStartWidth = 600;
  static constexpr int kStartHeight = 400;

  static constexpr const char* kTitle = "Lockwell/PC";
  static constexpr const char* kNoDatabaseMessage =
      "There is currently no database open.\nFrom the file menu, select \"Open...\" to open a database.";
  static constexpr const char* kLockedMessage =
      "The database is currently locked.\nClick Unlock to unlock it or select \"Open...\" from the File "
      "menu\nto open a new database.";

  // What File > Open, the automatic open at start-up and Unlock run: the
  // open sequence, which ends by handing a database to TakeDatabase.
  using OpenFlow = std::function<void(MainWindow&)>;
  // Opens a document with the desktop's default program (Help > Index).
  using UrlOpener = std::function<void(const QUrl&)>;

  // No database open; `autoOpen` set.  An empty `openFlow` makes Open do
  // nothing.
  explicit MainWindow(Prompter& prompter, OpenFlow openFlow = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Cleared by "/noopen": the window then does not start the open sequence
  // when it first shows.
  void SetAutoOpen(bool autoOpen) { autoOpen_ = autoOpen; }
  bool AutoOpen() const { return autoOpen_; }
  void SetUrlOpener(UrlOpener opener) { urlOpener_ = std::move(opener); }

  // --- Hand-over from the open sequence ---
  // "Lockwell/PC - " + the chosen entry (Windows-1252), set before the file
  // is tried.
  void ShowEntryInTitle(std::string_view entry);
  // Makes the open `database` the window's own: clears `locked`, takes the
  // account view state stored in the database (laying the panes out again
  // when it changes, without changing the window's size), shows the panes
  // and lists the stored category.  Titles the window with `entry`.
  void TakeDatabase(std::unique_ptr<LockwellDatabase> database, std::string_view entry);

  // Stores the selected category in the database, deletes the database,
  // empties the lists and the copy buffer, takes the program's password off
  // the clipboard and shows the "no database" or "locked" state.
  void CloseCurrentDatabase();

  // --- The panes ---
  // Brings panes, buttons and menus in line with the state; with `refill`
  // also refills the category list with the stored category selected.
  void RefreshControls(bool refill);
  // Refills the category list and selects `category`, or with -1 the
  // category stored in the database.
  void FillCategoryList(int64_t category);
  // Lists the accounts of the category at row `index` of the category list.
  void FillAccountList(int index);
  // Shows the single selected account in the account view.
  void FillAccountView();

  // --- State, for the commands and for tests ---
  LockwellDatabase* Database() const { return database_.get(); }
  bool IsLocked() const { return locked_; }
  bool ViewExpanded() const { return viewExpanded_; }
  uint32_t CurrentCategory() const { return currentCategory_; }
  int SortColumn() const { return sortColumn_; }
  bool SortAscending() const { return sortAscending_; }
  // The item data of the selected category, if one is selected.
  std::optional<uint32_t> SelectedCategory() const;
  // Selected rows of the account list.
  int SelectedAccountCount() const;
  Prompter& UserPrompter() { return prompter_; }
  bool CopyBufferEmpty() const { return copyBuffer_.empty(); }
  // The menu bar's action of command `id`, or null.
  QAction* Action(int id) const;
  // The context menus as a right click builds them (the caller owns them).
  std::unique_ptr<QMenu> BuildCategoryMenu();
  std::unique_ptr<QMenu> BuildAccountMenu();

  // Runs command `id` as its menu item, button or key would (no enabling
  // test: a greyed item cannot be chosen in the first place).
  void RunCommand(int id);

  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Construction pieces.
  void BuildControls();
  void BuildMenus();
  void BuildKeys();
  void ConnectNotifications();

  // Menus and keys.
  CommandContext Context() const;
  void UpdateCommands();
  // A key of the key table: runs its command when the menu item is offered.
  void RunKey(int id);

  // Layout.
  void LayOut();
  void ApplyColumnWidths();
  void SetAccountColumnWidths();
  void ToggleAccountView();

  // Notifications of the lists.
  void OnCategorySelectionChanged();
  void OnAccountSelectionChanged();
  void ReloadAccounts();
  void SortByColumn(int column);
  void ShowCategoryMenu(const QPoint& position);
  void ShowAccountMenu(const QPoint& position);

  // File commands.
  void OpenDatabase();
  void ToggleLock();
  void Quit();
  void ShowHelpIndex();
  void ShowAbout();
  void ChangePassphrase();

  // Account commands.
  void NewAccount();
  void EditAccount();
  void DeleteAccounts();
  void CutAccounts();
  void CopyAccounts();
  void PasteAccounts();
  void SelectAllAccounts();
  void CopyPassword();

  // Category commands.
  void NewCategory();
  void RenameCategory();
  void DeleteCategory();
  void CategoryPreferences();

  // Find.
  void Find();
  void FindAgain();
  void RecomputeFindAgain();
  // One search step, then the found account selected in the list.
  void RunSearchStep();
  // Selects, focuses and shows the row of the account `identity`; false
  // when the list has no such row.
  bool SelectAccountRow(uint32_t identity);
  // Selects the row of `record` after New and Edit; shows the errors when
  // its identity cannot be read.
  void SelectAccount(LockwellRecord& record);
  // The single selected account: exactly one row selected and its account
  // read into `record`; false (nothing shown) otherwise.
  bool ReadSingleSelected(LockwellRecord& record);
  // Item data of the selected rows, top to bottom.
  std::vector<uint32_t> SelectedIdentities() const;

  Prompter& prompter_;
  OpenFlow openFlow_;
  UrlOpener urlOpener_;

  std::unique_ptr<LockwellDatabase> database_;
  uint32_t currentCategory_ = 0;
  int sortColumn_ = -1;
  bool sortAscending_ = true;
  bool viewExpanded_ = true;
  bool locked_ = false;
  bool autoOpen_ = true;
  bool shownOnce_ = false;

  // Account identities of Copy and Cut and whether Paste moves them.
  AccountTransfer copyBuffer_;
  ClipboardGuard clipboard_;

  // Find state, kept across databases.
  AccountSearch search_;

  QIcon programIcon_;
  QMenuBar* menuBar_ = nullptr;
  QWidget* client_ = nullptr;
  QTreeWidget* categoryList_ = nullptr;
  QTreeWidget* accountList_ = nullptr;
  SortHeader* accountHeader_ = nullptr;
  QTreeWidget* accountView_ = nullptr;
  QPushButton* newButton_ = nullptr;
  QPushButton* editButton_ = nullptr;
  QPushButton* deleteButton_ = nullptr;
  QPushButton* lockButton_ = nullptr;
  QPushButton* quitButton_ = nullptr;
  QPushButton* viewButton_ = nullptr;
  QLabel* message_ = nullptr;
  std::map<int, QAction*> actions_;
};

}  // namespace lockwell
