// The main window's menu bar and keys as data: the menus with their items
// (id and text, accelerator shown after a tab) and the key table.
//
// Keys work only while the main window itself is the active window; a key
// whose menu item is greyed does nothing, as with the menu.
#pragma once

#include <Qt>
#include <span>

namespace lockwell {

struct MenuItemSpec {
  int id;            // 0 for a separator
  const char* text;  // the item's text, "\t" before the key shown
};

struct MenuSpec {
  const char* title;
  std::span<const MenuItemSpec> items;
};

struct KeySpec {
  int key;  // Qt key combination
  int id;   // the command it runs
};

class CommandTable {
 public:
  static std::span<const MenuSpec> Menus();
  // Every key and the command it runs; Enter appears for both Return and
  // the keypad's Enter.
  static std::span<const KeySpec> Keys();

  // Texts of the Lock item in its three forms.
  static constexpr const char* kLockInitialText = "&Lock...\tCtrl+L";
  static constexpr const char* kLockText = "&Lock\tCtrl+L";
  static constexpr const char* kUnlockText = "Un&lock...\tCtrl+L";
};

}  // namespace lockwell
