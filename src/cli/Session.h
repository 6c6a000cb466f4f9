// What every subcommand of `lockwell` shares: the parsed options, the
// passphrase sources, the open sequence with its questions asked on the
// terminal, error printing with exit codes, and the text conversion between
// the terminal (UTF-8, LF) and the database (Windows-1252, CR LF in memory).
//
// Output goes to stdout; errors, warnings and notices to stderr.  Nothing
// secret is ever printed unless a command was asked to reveal it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "app/OpenSequenceUi.h"
#include "cli/Arguments.h"
#include "storage/ErrorList.h"
#include "storage/SecureString.h"

namespace lockwell {

class LockwellDatabase;

class Session : public OpenSequenceUi {
 public:
  explicit Session(const Arguments& args);

  const Arguments& Args() const { return args_; }

  // Prints the list's summary (every record with -v) and returns the exit
  // status it calls for.
  int Fail(const ErrorList& errors);
  // Prints "lockwell: message" and returns `code`.
  int Fail(int code, const std::string& message);
  void Warn(const std::string& message);

  // The passphrase of the database: --passphrase-file, --passphrase-fd or
  // the terminal, converted to Windows-1252.  On failure `code` is set and
  // the reason printed.
  bool Passphrase(SecureString& passphrase, int& code, const char* prompt = "Passphrase: ");
  // A new passphrase: from --new-passphrase-file / --new-passphrase-fd, or
  // asked twice on the terminal (the two must agree).
  bool NewPassphrase(SecureString& passphrase, int& code);

  // Opens `path` through the open sequence; with `housekeeping` the
  // passphrase update and the re-sort a HotSync may call for run first.
  std::unique_ptr<LockwellDatabase> Open(const std::string& path, bool housekeeping, int& code);

  // Terminal text (UTF-8, LF line ends) -> stored text (Windows-1252, CR LF
  // line ends).  A character Windows-1252 cannot hold is refused with a
  // message naming `what`.
  bool ToStored(std::string_view text, SecureString& stored, const std::string& what, int& code);
  // Stored text -> terminal text.
  static SecureString ToShown(std::string_view stored);

  // The category named `name` (terminal text; "All" is ALL_CATEGORIES).
  bool ResolveCategory(LockwellDatabase& database, const std::string& name, uint32_t& category, int& code);
  // The category's name as terminal text ("All" for ALL_CATEGORIES).
  bool CategoryName(LockwellDatabase& database, uint32_t category, std::string& name, int& code);

  // OpenSequenceUi, answered on the terminal.
  void ShowErrors(const ErrorList& errors) override;
  void BeginPleaseWait(const std::string& text) override;
  void EndPleaseWait() override;
  ConflictChoice AskOldPassphrase(SecureString& oldPassphrase) override;
  bool ConfirmDelete() override;
  void Notice(const std::string& caption, const std::string& text) override;

 private:
  bool ReadSecret(const char* fileOption, const char* fdOption, const char* prompt, SecureString& raw,
                  int& code);
  bool ConvertSecret(SecureString& raw, SecureString& passphrase, int& code);

  const Arguments& args_;
  bool verbose_;
  bool askedOnTerminal_ = false;  // the passphrase came from the terminal
  bool oldPassphraseOffered_ = false;
};

}  // namespace lockwell
