// When each command of the main window is offered.
//
// Plain rules over a snapshot of the window's state, kept apart from the
// widgets so the menu bar, the buttons, the keys and both context menus
// read the same answers.
#pragma once

#include <cstdint>

namespace lockwell {

struct CommandContext {
  bool databaseOpen = false;
  bool pcOwned = false;  // the open database was made on the PC
  bool categorySelected = false;
  uint32_t selectedCategory = 0;  // item data of the selected category, when any
  uint32_t currentCategory = 0;   // the category whose accounts are listed
  int selectedAccounts = 0;       // selected rows of the account list
  bool copyBufferEmpty = true;
  bool findAgainEnabled = false;
  bool locked = false;
};

class CommandRules {
 public:
  // The menu bar (and the keys that reach a menu command).  With no
  // database open only Open, Quit, Index and About are offered, and Lock
  // while the window is locked (as Unlock).
  static bool MenuEnabled(int id, const CommandContext& context);
  // The right-click menu of the category list.
  static bool CategoryMenuEnabled(int id, const CommandContext& context);
  // The right-click menu of the account list.
  static bool AccountMenuEnabled(int id, const CommandContext& context);
};

}  // namespace lockwell
