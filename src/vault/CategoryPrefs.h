// The display preferences of one category: which fields the account list
// shows as columns, which labels the editor offers, and the five labels a new
// account starts with.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace lockwell {

struct CategoryPrefs {
  // True: this entry is ignored and the default preferences apply.
  bool useDefault = false;
  // Column names, left to right: "Title", "Note", or a label without its colon.
  std::vector<std::string> shownFields;
  // Labels offered by the editor, each ending in a colon, or " ".
  std::vector<std::string> availableLabels;
  // Labels of fields 1..5 of a new account.
  std::array<std::string, 5> defaultLabels;

  // The preferences a new database starts with, stored under the default key.
  static CategoryPrefs BuiltInDefaults();

  bool operator==(const CategoryPrefs&) const = default;
};

}  // namespace lockwell
