#include "app/ui/CommandRules.h"

#include "app/ui/CommandIds.h"
#include "palmdb/CategoryConstants.h"

namespace lockwell {
namespace {

// A selected category that may be renamed or deleted: neither "All" nor
// Unfiled.
bool RenameableSelected(const CommandContext& c) {
  return c.categorySelected && c.selectedCategory != ALL_CATEGORIES && c.selectedCategory != UNFILED_CATEGORY;
}

}  // namespace

bool CommandRules::MenuEnabled(int id, const CommandContext& c) {
  using namespace command;
  switch (id) {
    case kOpen:
    case kQuit:
    case kHelpIndex:
    case kAbout:
      return true;
    case kLock:
      return c.databaseOpen || c.locked;
    default:
      break;
  }
  if (!c.databaseOpen) return false;
  switch (id) {
    case kClose:
    case kFind:
    case kNewCategory:
      return true;
    case kChangePassphrase:
      return c.pcOwned;
    case kCut:
    case kCopy:
    case kDeleteAccount:
      return c.selectedAccounts >= 1;
    case kPaste:
      return c.categorySelected && c.selectedCategory != ALL_CATEGORIES && !c.copyBufferEmpty;
    case kSelectAll:
    case kNewAccount:
    case kCategoryPreferences:
      return c.categorySelected;
    case kCopyPassword:
    case kEditAccount:
      return c.selectedAccounts == 1;
    case kFindAgain:
      return c.findAgainEnabled;
    case kRenameCategory:
    case kDeleteCategory:
      return RenameableSelected(c);
    default:
      return false;
  }
}

bool CommandRules::CategoryMenuEnabled(int id, const CommandContext& c) {
  using namespace command;
  switch (id) {
    case kNewCategory:
      return true;
    case kRenameCategory:
    case kDeleteCategory:
      return c.categorySelected && c.currentCategory != ALL_CATEGORIES &&
             c.currentCategory != UNFILED_CATEGORY;
    case kCategoryPreferences:
      return c.categorySelected;
    default:
      return false;
  }
}

bool CommandRules::AccountMenuEnabled(int id, const CommandContext& c) {
  using namespace command;
  switch (id) {
    case kNewAccount:
      return true;
    case kEditAccount:
      return c.selectedAccounts == 1;
    case kDeleteAccount:
    case kCopyPassword:
    case kCut:
    case kCopy:
      return c.selectedAccounts >= 1;
    case kPaste:
      // With no category selected the buffer alone decides.
      return !c.copyBufferEmpty && !(c.categorySelected && c.selectedCategory == ALL_CATEGORIES);
    default:
      return false;
  }
}

}  // namespace lockwell
