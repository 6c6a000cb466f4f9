#include "vault/CategoryPrefs.h"

namespace lockwell {

CategoryPrefs CategoryPrefs::BuiltInDefaults() {
  CategoryPrefs prefs;
  prefs.shownFields = {"Title", "Login", "URL"};
  prefs.availableLabels = {"Login:", "ID:",    "Acct#:",  "Pwd:",     "PIN:",      "URL:",
                           "Phone:", "Owner:", "Dialup#:", "Email:", "Exp.Date:", " "};
  prefs.defaultLabels = {"Login:", "Pwd:", "URL:", " ", " "};
  return prefs;
}

}  // namespace lockwell
