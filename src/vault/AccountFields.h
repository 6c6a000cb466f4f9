// The content of one account: a title, five labelled fields and a note.
//
// This is what an account record holds in clear once its body is decrypted;
// the record class delegates its field operations here and keeps the
// "changed since loaded" mark itself.  Every text lives in a SecureString.
//
// Line ends: CR LF in memory, LF in the stored plaintext.  Saving turns each
// CR LF pair into LF and keeps a lone CR or LF; loading turns every LF into
// CR LF.
//
// Texts are C strings in the stored plaintext, so a text handed in is taken
// only up to its first 0x00 byte: a NUL inside a field would shift every
// later field by one when the account is read back.
//
// Invariants kept by setField: a label is " " (no label) or a non-empty text
// ending in ':'; field numbers are 0..4.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "storage/ErrorList.h"
#include "storage/SecureString.h"

namespace lockwell {

class AccountFields {
 public:
  static constexpr int kFieldCount = 5;

  // All texts empty.
  AccountFields() = default;

  const SecureString& title() const { return title_; }
  void setTitle(std::string_view title);
  const SecureString& note() const { return note_; }
  void setNote(std::string_view note);

  // Fails with "Invalid field number specified" for a number outside 0..4.
  bool getField(ErrorList& errors, int fieldNumber, SecureString& label, SecureString& value) const;
  // Stores " " for an empty label and appends ':' to any other label that
  // does not end in one.  A failure changes nothing.
  bool setField(ErrorList& errors, int fieldNumber, std::string_view label, std::string_view value);

  // `name` gets a ':' unless it ends in one; "Title:" and "Note:" give the
  // title and the note, otherwise the value of the first field whose label
  // is byte for byte equal.  No such label: "Field name not found".
  bool findFieldValue(ErrorList& errors, std::string_view name, SecureString& value) const;

  // Whether `query` occurs in the title, the note, a label or a value (in
  // that order).  Without `caseSensitive` both sides are compared with ASCII
  // letters lowered, as the C locale's tolower does.  Never fails.
  bool containsText(ErrorList& errors, std::string_view query, bool caseSensitive, bool& found) const;

  // The sort order of accounts: title, label 1, value 1, ... label 5, value 5,
  // note; each compared as unsigned bytes, a prefix first.
  bool operator<(const AccountFields& other) const;

  // Empties every text.
  void clear();

  // The stored plaintext: twelve NUL-terminated texts (title, label 1,
  // value 1, ... label 5, value 5, note) with LF line ends.  Not padded.
  SecureBytes buildPlaintext() const;
  // Reads the twelve texts back; bytes after the note's terminator (the
  // cipher's padding) are ignored.  A missing terminator fails with
  // "Insufficient data in record" and leaves the texts as far as they were
  // read (the rest empty).
  bool parsePlaintext(ErrorList& errors, std::span<const uint8_t> plaintext);

 private:
  SecureString title_;
  SecureString note_;
  std::array<SecureString, kFieldCount> labels_;
  std::array<SecureString, kFieldCount> values_;
};

}  // namespace lockwell
