// Walking and finding the accounts of an open database for the commands.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/Session.h"
#include "storage/ErrorList.h"
#include "storage/SecureString.h"

namespace lockwell {

class LockwellDatabase;
class LockwellRecord;

// An account's texts as stored (Windows-1252, CR LF).
struct AccountTexts {
  uint32_t category = 0;
  SecureString title;
  SecureString labels[5];
  SecureString values[5];
  SecureString note;
};

class Accounts {
 public:
  // Calls `visit` with every live account of `category` (ALL_CATEGORIES for
  // all) in stored order, each read and decrypted at its position; stops
  // early when `visit` returns false.  A record that cannot be read ends
  // the walk with its errors.
  static bool ForEach(ErrorList& errors, LockwellDatabase& database, uint32_t category,
                      const std::function<bool(LockwellRecord&, uint32_t position)>& visit);
  // The one account of `category` whose title is `title` (stored text).
  // None, or more than one, fails with a message and `code` set.
  static bool FindByTitle(Session& session, LockwellDatabase& database, uint32_t category,
                          const SecureString& title, const std::string& shownTitle, LockwellRecord& record,
                          int& code);
  // The account a command names: opens DB (the first argument, with its
  // housekeeping) and finds the account titled by the second argument in
  // the category of -c, or in all.  The record refers to the database, so
  // both come back together.
  static bool OpenNamed(Session& session, std::unique_ptr<LockwellDatabase>& database,
                        std::unique_ptr<LockwellRecord>& record, int& code);
  static bool Read(ErrorList& errors, const LockwellRecord& record, AccountTexts& texts);
  // Whether a label hides its value unless revealed.
  static bool IsSecretLabel(std::string_view label);
};

}  // namespace lockwell
