#include "cli/Session.h"

#include <cstdio>
#include <cstdlib>

#include "app/OpenSequence.h"
#include "cli/Cp1252Text.h"
#include "cli/ExitCode.h"
#include "cli/SecretInput.h"
#include "palmdb/CategoryConstants.h"
#include "storage/ModuleRegistry.h"
#include "vault/LockwellDatabase.h"

namespace lockwell {
namespace {

void PrintLine(const std::string& text) { std::fprintf(stderr, "lockwell: %s\n", text.c_str()); }

// LF -> CR LF, keeping a CR LF pair as it is.
void AppendWithCrLf(std::string_view text, SecureString& out) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
    out.push_back(text[i]);
  }
}

}  // namespace

Session::Session(const Arguments& args) : args_(args), verbose_(args.Has("verbose")) {}

int Session::Fail(const ErrorList& errors) {
  if (errors.Empty()) return Fail(kExitFailure, "the command failed without a reported reason");
  ShowErrors(errors);
  return ExitCodeFor(errors);
}

int Session::Fail(int code, const std::string& message) {
  PrintLine(message);
  return code;
}

void Session::Warn(const std::string& message) { PrintLine("warning: " + message); }

void Session::ShowErrors(const ErrorList& errors) {
  if (errors.Empty()) return;
  const bool warningOnly = !errors.HasErrors();
  const SecureString summary = ToShown(errors.Summary());
  PrintLine((warningOnly ? "warning: " : "") + std::string(summary.view()));
  if (!verbose_) return;
  for (const auto& record : errors) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", record->Code());
    const SecureString detail = ToShown(record->Detail());
    std::fprintf(stderr, "  %s %s: %s\n", ModuleName(record->ModuleId()).c_str(), code, detail.c_str());
  }
}

bool Session::ReadSecret(const char* fileOption, const char* fdOption, const char* prompt, SecureString& raw,
                         int& code) {
  std::string error;
  if (args_.Has(fileOption)) {
    if (SecretInput::FromFile(args_.Value(fileOption), raw, error)) return true;
  } else if (args_.Has(fdOption)) {
    char* end = nullptr;
    const std::string text = args_.Value(fdOption);
    const long fd = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || fd < 0 || fd > 1000000) {
      code = Fail(kExitUsage, "--" + std::string(fdOption) + " needs a file descriptor number");
      return false;
    }
    if (SecretInput::FromFd(static_cast<int>(fd), raw, error)) return true;
  } else {
    bool eof = false;
    if (SecretInput::FromTerminal(prompt, raw, eof, error)) {
      askedOnTerminal_ = true;
      if (!eof) return true;
      code = Fail(kExitFailure, "no passphrase given");
      return false;
    }
    code = Fail(kExitUsage, error);
    return false;
  }
  code = Fail(kExitFailure, error);
  return false;
}

bool Session::ConvertSecret(SecureString& raw, SecureString& passphrase, int& code) {
  std::string refusal;
  const bool ok = Cp1252Text::FromUtf8(raw.view(), passphrase, refusal);
  raw.wipe();
  // The refusal names the character; a passphrase's characters are not
  // printed.
  if (!ok) code = Fail(kExitFailure, "the passphrase holds a character that Windows-1252 cannot store");
  return ok;
}

bool Session::Passphrase(SecureString& passphrase, int& code, const char* prompt) {
  SecureString raw;
  return ReadSecret("passphrase-file", "passphrase-fd", prompt, raw, code) && ConvertSecret(raw, passphrase, code);
}

bool Session::NewPassphrase(SecureString& passphrase, int& code) {
  SecureString raw;
  if (args_.Has("new-passphrase-file") || args_.Has("new-passphrase-fd")) {
    return ReadSecret("new-passphrase-file", "new-passphrase-fd", "", raw, code) &&
           ConvertSecret(raw, passphrase, code);
  }
  if (!ReadSecret("", "", "New passphrase: ", raw, code)) return false;
  SecureString again;
  if (!ReadSecret("", "", "Confirm passphrase: ", again, code)) return false;
  if (raw != again) {
    code = Fail(kExitFailure, "the two passphrases differ; nothing was changed");
    return false;
  }
  return ConvertSecret(raw, passphrase, code);
}

std::unique_ptr<LockwellDatabase> Session::Open(const std::string& path, bool housekeeping, int& code) {
  SecureString passphrase;
  if (!Passphrase(passphrase, code)) return nullptr;
  OpenSequence sequence(*this);
  ErrorList errors;
  std::unique_ptr<LockwellDatabase> database = sequence.Attempt(errors, path, passphrase.view());
  passphrase.wipe();
  if (!database) {
    code = Fail(errors);
    return nullptr;
  }
  if (errors.IsWarning()) ShowErrors(errors);
  if (!housekeeping) return database;
  switch (sequence.Housekeeping(*database)) {
    case OpenSequence::Outcome::kDone:
      return database;
    case OpenSequence::Outcome::kFailed:
      code = kExitFailure;
      return nullptr;
    case OpenSequence::Outcome::kCancelled:
      code = Fail(kExitFailure,
                  "the passphrase update was not finished: some accounts are still encrypted under the "
                  "passphrase used before the change on the handheld.  Give it with --old-passphrase-file, "
                  "or remove those accounts with --delete-conflicts.");
      return nullptr;
  }
  return nullptr;
}

bool Session::ToStored(std::string_view text, SecureString& stored, const std::string& what, int& code) {
  SecureString converted;
  std::string refusal;
  if (!Cp1252Text::FromUtf8(text, converted, refusal)) {
    code = Fail(kExitFailure, what + ": " + refusal);
    return false;
  }
  stored.wipe();
  AppendWithCrLf(converted.view(), stored);
  return true;
}

SecureString Session::ToShown(std::string_view stored) {
  SecureString shown;
  shown.reserve(stored.size());
  SecureString utf8 = Cp1252Text::ToUtf8(stored);
  for (size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;
    shown.push_back(utf8[i]);
  }
  return shown;
}

bool Session::ResolveCategory(LockwellDatabase& database, const std::string& name, uint32_t& category,
                              int& code) {
  if (name == "All") {
    category = ALL_CATEGORIES;
    return true;
  }
  SecureString stored;
  if (!ToStored(name, stored, "category", code)) return false;
  ErrorList errors;
  std::vector<std::string> names;
  std::vector<uint32_t> numbers;
  if (!database.ListCategories(errors, names, numbers)) {
    code = Fail(errors);
    return false;
  }
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] == stored.view()) {
      category = numbers[i];
      return true;
    }
  }
  code = Fail(kExitFailure, "no category named \"" + name + "\"");
  return false;
}

bool Session::CategoryName(LockwellDatabase& database, uint32_t category, std::string& name, int& code) {
  if (category == ALL_CATEGORIES) {
    name = "All";
    return true;
  }
  ErrorList errors;
  std::string stored;
  if (!database.GetCategoryName(errors, category, stored)) {
    code = Fail(errors);
    return false;
  }
  name = std::string(ToShown(stored).view());
  return true;
}

void Session::BeginPleaseWait(const std::string& text) { PrintLine(text); }

void Session::EndPleaseWait() {}

OpenSequenceUi::ConflictChoice Session::AskOldPassphrase(SecureString& oldPassphrase) {
  const ConflictChoice giveUp = args_.Has("delete-conflicts") ? ConflictChoice::kDelete : ConflictChoice::kCancel;
  int code = 0;
  SecureString raw;
  if (args_.Has("old-passphrase-file")) {
    // The file is offered once; when it does not open a record either, the
    // remaining conflicts are deleted or the update given up.
    if (oldPassphraseOffered_) return giveUp;
    oldPassphraseOffered_ = true;
    std::string error;
    if (!SecretInput::FromFile(args_.Value("old-passphrase-file"), raw, error)) {
      PrintLine(error);
      return ConflictChoice::kCancel;
    }
    return ConvertSecret(raw, oldPassphrase, code) ? ConflictChoice::kRetry : ConflictChoice::kCancel;
  }
  // Only a user who typed the passphrase is asked; a script is not stopped
  // by a question.
  if (!askedOnTerminal_) return giveUp;
  PrintLine("an account is still encrypted under the passphrase used before it was changed on the Palm.");
  bool eof = false;
  std::string error;
  if (!SecretInput::FromTerminal("OLD passphrase (Ctrl-D to give up): ", raw, eof, error) || eof) return giveUp;
  return ConvertSecret(raw, oldPassphrase, code) ? ConflictChoice::kRetry : ConflictChoice::kCancel;
}

bool Session::ConfirmDelete() {
  // --delete-conflicts is the confirmation; without it nothing is deleted.
  if (!args_.Has("delete-conflicts")) return false;
  PrintLine("deleting an account that cannot be decrypted (--delete-conflicts)");
  return true;
}

void Session::Notice(const std::string& caption, const std::string& text) { PrintLine(caption + ": " + text); }

}  // namespace lockwell
