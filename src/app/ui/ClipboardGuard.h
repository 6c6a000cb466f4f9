// The password the program put on the system clipboard, and its removal.
//
// Copy Password places the text and remembers it; Close, Lock, Quit and
// closing the window call Release, which empties the clipboard only while
// it still holds exactly that text, so a text another program put there
// meanwhile is left alone.  The remembered copy is kept in a wiping string.
#pragma once

#include <string_view>

#include "storage/SecureString.h"

namespace lockwell {

class ClipboardGuard {
 public:
  ClipboardGuard() = default;
  ClipboardGuard(const ClipboardGuard&) = delete;
  ClipboardGuard& operator=(const ClipboardGuard&) = delete;

  // Empties the clipboard, puts `password` (Windows-1252 bytes) on it as
  // plain text and remembers it.  False when there is no clipboard.
  bool Put(std::string_view password);
  // When a password is remembered: empties the clipboard if its text is
  // still that password; forgets the password in any case.
  void Release();
  // The password still remembered (empty after Release).
  bool Remembers() const { return !copied_.empty(); }

 private:
  SecureString copied_;
};

}  // namespace lockwell
