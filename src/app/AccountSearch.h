// Find and Find Again over the accounts of one category: the state the main
// window keeps between searches and the search step that walks the
// database positions, decrypting one record at a time.
//
// The state outlives any one database: text, options, category and position
// stay when a database is closed and another opened.  Positions are database
// positions (deleted records included), so accounts added or removed between
// Find and Find Again shift what the next step looks at; nothing corrects
// for that.
//
// Plain C++: the wrap-around question and the error dialog come through
// AccountSearch::Ui, so the window answers with message boxes and tests with
// a script.  Not thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "storage/ErrorList.h"
#include "storage/SecureString.h"

namespace lockwell {

class LockwellDatabase;
class LockwellRecord;

class AccountSearch {
 public:
  static constexpr const char* kEmptyText = "Cannot search for an empty string!";
  static constexpr const char* kEmptyTextCaption = "Lockwell Error";
  static constexpr const char* kWrapCaption = "Wrap Around";
  static constexpr const char* kWrapToBeginning =
      "Lockwell has reached the end of the category.  Would you like to wrap around to the beginning and "
      "continue searching?";
  static constexpr const char* kWrapToEnd =
      "Lockwell has reached the beginning of the category.  Would you like to wrap around to the end and "
      "continue searching?";
  // No category was searched yet.
  static constexpr uint32_t kNoCategory = 0xFFFFFFFF;

  class Ui {
   public:
    virtual ~Ui() = default;
    virtual void ShowErrors(const ErrorList& errors) = 0;
    virtual void Notice(const std::string& caption, const std::string& text) = 0;
    // A Yes/No question under kWrapCaption; true for Yes.
    virtual bool AskWrapAround(const std::string& text) = 0;
  };

  // Find confirmed: keeps the text and options, searches `category` from
  // `selectedIndex` (the record-file index of the selected account) when
  // given, else from the first (or, backwards, the last) position.  False,
  // with the errors in `errors`, when the record count can not be read;
  // nothing is kept then.
  bool Start(ErrorList& errors, LockwellDatabase& database, uint32_t category, std::string_view text,
             bool caseSensitive, bool backwards, std::optional<uint32_t> selectedIndex);

  // The search step: true with the matching account in `found`; false when
  // the search ended without one (the user declined to wrap around, or a
  // failure was shown through `ui`).
  bool Step(LockwellDatabase& database, Ui& ui, LockwellRecord& found);

  // Find Again is offered exactly while a text is kept and
  // `selectedCategory` (ALL_CATEGORIES when none is selected) is the
  // category of the last Find.
  void CategoryChanged(uint32_t selectedCategory);
  bool findAgainEnabled() const { return findAgainEnabled_; }

  const SecureString& text() const { return findText_; }
  bool caseSensitive() const { return caseSensitive_; }
  bool backwards() const { return backwards_; }
  uint32_t category() const { return findCategory_; }
  uint32_t position() const { return position_; }

 private:
  // The wrap-around question; on Yes moves the position to the other end.
  bool WrapAround(LockwellDatabase& database, Ui& ui);

  SecureString findText_;
  bool caseSensitive_ = false;
  bool backwards_ = false;
  uint32_t findCategory_ = kNoCategory;
  // Where the next step starts.  Backwards past position 0 it wraps to
  // 0xFFFFFFFF, which no record has: the next step then meets the
  // beginning of the category at once.
  uint32_t position_ = 0;
  bool findAgainEnabled_ = false;
};

}  // namespace lockwell
