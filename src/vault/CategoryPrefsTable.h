// The category preferences of one database and two words of main-window
// state, kept in the reserved record 0 of the record file (the handheld never
// sees it).
//
// Stored form, all numbers 32-bit little-endian.  WARNING: these bytes live in
// every database file; never change the layout.
//
//   last category      4   the category the main window showed last
//   view flags         4   bit 0: the account view is collapsed
//   entry count E      4
//   E times:
//     key              4   category unique ID, 4095 (All) or 0xFFFFFFFF (default)
//     use-default      1   1 or 0; when 1 nothing else of the entry is stored
//     shown count      4   then each field name as length (4) + bytes
//     label count      4   then each available label as length (4) + bytes
//     default labels       five times length (4) + bytes, no count
//
// Entries are written in ascending unsigned key order, so the default entry
// is always last.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "vault/CategoryPrefs.h"

namespace lockwell {

class CategoryPrefsTable {
 public:
  static constexpr uint32_t allCategoriesKey = 4095;
  static constexpr uint32_t defaultPrefsKey = 0xFFFFFFFFu;

  // Empties the table and marks it not loaded.
  void Clear();
  // Replaces the table with the stored form in `blob`.  An empty blob loads
  // nothing and succeeds.  Every count and length is checked against the
  // bytes left before it is used; a blob that ends early fails and leaves the
  // table empty and not loaded.  A key stored twice keeps its last entry.
  bool Load(const std::string& blob);
  // The stored form of the whole table.
  std::string Serialize() const;

  bool IsLoaded() const { return loaded_; }
  // Puts the built-in defaults under the default key and marks the table
  // loaded.
  void InstallDefaults();
  // Removes every entry whose key is not in `keep`.
  void RemoveEntriesExcept(const std::set<uint32_t>& keep);

  // The entry stored under `key`, or null.
  const CategoryPrefs* Find(uint32_t key) const;
  // Stores `prefs` under `key`, replacing any previous entry.
  void Store(uint32_t key, CategoryPrefs prefs);
  void Remove(uint32_t key);
  const std::map<uint32_t, CategoryPrefs>& Entries() const { return entries_; }

  // Lookups for a category's key: its own entry unless it follows the
  // defaults, else the default entry, else the built-in fallback ("Title";
  // "Login:"; " ").  Answers are copies.
  std::vector<std::string> ShownFields(uint32_t key) const;
  std::vector<std::string> AvailableLabels(uint32_t key) const;
  std::string DefaultLabel(uint32_t key, int n) const;

  uint32_t LastCategory() const { return lastCategory_; }
  void SetLastCategory(uint32_t category) { lastCategory_ = category; }
  // The account view is shown unless bit 0 of the view flags is set.
  bool DetailsShown() const { return (viewFlags_ & 1u) == 0; }
  void SetDetailsShown(bool shown) { viewFlags_ = shown ? (viewFlags_ & ~1u) : (viewFlags_ | 1u); }
  uint32_t ViewFlags() const { return viewFlags_; }

 private:
  // The entry lookups answer from, or null for the built-in fallback.
  const CategoryPrefs* Effective(uint32_t key) const;

  std::map<uint32_t, CategoryPrefs> entries_;
  uint32_t lastCategory_ = 0;
  uint32_t viewFlags_ = 0;
  bool loaded_ = false;
};

}  // namespace lockwell
