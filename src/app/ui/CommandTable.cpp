#include "app/ui/CommandTable.h"

#include <array>

#include "app/ui/CommandIds.h"

namespace lockwell {
namespace {

using namespace command;

constexpr std::array<MenuItemSpec, 6> kFileItems = {{
    {kOpen, "&Open...\tCtrl+O"},
    {kClose, "&Close"},
    {kLock, CommandTable::kLockInitialText},
    {kChangePassphrase, "Change Passphrase..."},
    {0, nullptr},
    {kQuit, "Quit\tAlt+F4"},
}};

constexpr std::array<MenuItemSpec, 9> kEditItems = {{
    {kCut, "Cu&t\tCtrl+X"},
    {kCopy, "&Copy\tCtrl+C"},
    {kPaste, "&Paste\tCtrl+P"},
    {kSelectAll, "Select &All\tCtrl+A"},
    {0, nullptr},
    {kCopyPassword, "Copy Pass&word\tF5"},
    {0, nullptr},
    {kFind, "&Find...\tCtrl+F"},
    {kFindAgain, "Find A&gain\tF3"},
}};

constexpr std::array<MenuItemSpec, 3> kAccountItems = {{
    {kNewAccount, "&New...\tCtrl+N"},
    {kEditAccount, "&Edit...\tCtrl+E"},
    {kDeleteAccount, "&Delete...\tCtrl+D"},
}};

constexpr std::array<MenuItemSpec, 5> kCategoryItems = {{
    {kNewCategory, "&New..."},
    {kRenameCategory, "&Rename..."},
    {kDeleteCategory, "&Delete..."},
    {0, nullptr},
    {kCategoryPreferences, "Preferences..."},
}};

constexpr std::array<MenuItemSpec, 2> kHelpItems = {{
    {kHelpIndex, "&Index..."},
    {kAbout, "&About Lockwell/PC..."},
}};

constexpr std::array<MenuSpec, 5> kMenus = {{
    {"&File", kFileItems},
    {"&Edit", kEditItems},
    {"&Account", kAccountItems},
    {"&Category", kCategoryItems},
    {"&Help", kHelpItems},
}};

constexpr int kCtrl = static_cast<int>(Qt::ControlModifier);

const std::array<KeySpec, 15> kKeys = {{
    {kCtrl | Qt::Key_A, kSelectAll},
    {kCtrl | Qt::Key_C, kCopy},
    {kCtrl | Qt::Key_D, kDeleteAccount},
    {kCtrl | Qt::Key_E, kEditAccount},
    {kCtrl | Qt::Key_F, kFind},
    {kCtrl | Qt::Key_L, kLock},
    {kCtrl | Qt::Key_N, kNewAccount},
    {kCtrl | Qt::Key_O, kOpen},
    {kCtrl | Qt::Key_V, kPaste},
    {kCtrl | Qt::Key_X, kCut},
    {Qt::Key_Delete, kDeleteAccount},
    {Qt::Key_F3, kFindAgain},
    {Qt::Key_F5, kCopyPassword},
    {Qt::Key_Return, kEnter},
    {Qt::Key_Enter, kEnter},
}};

}  // namespace

std::span<const MenuSpec> CommandTable::Menus() { return kMenus; }
std::span<const KeySpec> CommandTable::Keys() { return kKeys; }

}  // namespace lockwell
