#include "app/AccountSearch.h"

#include "palmdb/CategoryConstants.h"
#include "palmdb/PalmDatabase.h"
#include "vault/LockwellDatabase.h"
#include "vault/LockwellRecord.h"

namespace lockwell {

bool AccountSearch::Start(ErrorList& errors, LockwellDatabase& database, uint32_t category,
                          std::string_view text, bool caseSensitive, bool backwards,
                          std::optional<uint32_t> selectedIndex) {
  uint32_t count = 0;
  if (!database.GetRecordCount(errors, true, count)) return false;
  findText_ = SecureString(text);
  caseSensitive_ = caseSensitive;
  backwards_ = backwards;
  // The search starts at the selected account itself, so a selected
  // account that matches is found again.
  position_ = selectedIndex.value_or(backwards ? count - 1 : 0);
  findCategory_ = category;
  findAgainEnabled_ = true;
  return true;
}

bool AccountSearch::Step(LockwellDatabase& database, Ui& ui, LockwellRecord& found) {
  if (findText_.empty()) {
    ui.Notice(kEmptyTextCaption, kEmptyText);
    return false;
  }
  if (!findAgainEnabled_) return false;
  for (;;) {
    ErrorList errors;
    uint32_t at = 0;
    const bool located = backwards_ ? database.FindPrevInCategory(errors, findCategory_, position_, at)
                                    : database.FindNextInCategory(errors, findCategory_, position_, at);
    if (!located) {
      if (!errors.Contains(PalmDatabase::ModuleId(), PalmDatabase::kErrNotFound)) {
        ui.ShowErrors(errors);
        return false;
      }
      if (!WrapAround(database, ui)) return false;
      continue;
    }
    position_ = backwards_ ? at - 1 : at + 1;
    if (!database.ReadRecordAt(errors, at, found)) {
      ui.ShowErrors(errors);
      return false;
    }
    bool matches = false;
    found.containsText(errors, findText_.view(), caseSensitive_, matches);
    if (matches) return true;
  }
}

bool AccountSearch::WrapAround(LockwellDatabase& database, Ui& ui) {
  if (!ui.AskWrapAround(backwards_ ? kWrapToEnd : kWrapToBeginning)) return false;
  if (!backwards_) {
    position_ = 0;
    return true;
  }
  ErrorList errors;
  uint32_t count = 0;
  if (!database.GetRecordCount(errors, true, count)) {
    ui.ShowErrors(errors);
    return false;
  }
  position_ = count - 1;
  return true;
}

void AccountSearch::CategoryChanged(uint32_t selectedCategory) {
  findAgainEnabled_ = !findText_.empty() && selectedCategory == findCategory_;
}

}  // namespace lockwell
