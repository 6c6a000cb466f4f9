// Reading passphrases and other secrets: from the terminal without echo,
// from a file, or from an open file descriptor.  Never from an argument,
// which other users can read in the process list.
//
// One secret is one line: it ends at the first LF (a CR before it is
// dropped) or at the end of the input.  Everything read lands in wiping
// strings; the bytes are what was typed (UTF-8), not yet converted.
#pragma once

#include <string>

#include "storage/SecureString.h"

namespace lockwell {

class SecretInput {
 public:
  // The first line of the file at `path`.
  static bool FromFile(const std::string& path, SecureString& secret, std::string& error);
  // One line from descriptor `fd`, read byte by byte so that a second call
  // gets the next line.
  static bool FromFd(int fd, SecureString& secret, std::string& error);
  // Asks on the controlling terminal with echo off.  `eof` is set when the
  // user ended the input (Ctrl-D) without a line.  Fails when the process
  // has no terminal.
  static bool FromTerminal(const std::string& prompt, SecureString& secret, bool& eof, std::string& error);
  // Whether a controlling terminal can be opened.
  static bool HaveTerminal();
};

}  // namespace lockwell
