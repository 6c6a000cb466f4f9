#include "cli/Accounts.h"

#include "cli/ExitCode.h"
#include "palmdb/CategoryConstants.h"
#include "palmdb/PalmDatabase.h"
#include "vault/LockwellDatabase.h"
#include "vault/LockwellRecord.h"

namespace lockwell {

bool Accounts::ForEach(ErrorList& errors, LockwellDatabase& database, uint32_t category,
                       const std::function<bool(LockwellRecord&, uint32_t)>& visit) {
  uint32_t count = 0;
  if (!database.GetRecordCount(errors, true, count)) return false;
  for (uint32_t start = 0; start < count;) {
    uint32_t position = 0;
    if (!database.FindNextInCategory(errors, category, start, position)) {
      // "Not found" is the normal end of the walk; anything else is a fault.
      for (const auto& reported : errors) {
        if (reported->ModuleId() != PalmDatabase::ModuleId() || reported->Code() != PalmDatabase::kErrNotFound) {
          return false;
        }
      }
      errors.Clear();
      return true;
    }
    LockwellRecord record(&database);
    if (!database.ReadRecordAt(errors, position, record)) return false;
    if (!visit(record, position)) return true;
    start = position + 1;
  }
  return true;
}

bool Accounts::FindByTitle(Session& session, LockwellDatabase& database, uint32_t category,
                           const SecureString& title, const std::string& shownTitle, LockwellRecord& record,
                           int& code) {
  ErrorList errors;
  int matches = 0;
  const bool walked = ForEach(errors, database, category, [&](LockwellRecord& candidate, uint32_t) {
    if (candidate.fields().title() == title) {
      if (++matches == 1) record = candidate;
    }
    return true;
  });
  if (!walked) {
    code = session.Fail(errors);
    return false;
  }
  if (matches == 0) {
    code = session.Fail(kExitFailure, "no account titled \"" + shownTitle + "\"");
    return false;
  }
  if (matches > 1) {
    code = session.Fail(kExitFailure, std::to_string(matches) + " accounts are titled \"" + shownTitle +
                                          "\"; name the category with -c");
    return false;
  }
  return true;
}

bool Accounts::OpenNamed(Session& session, std::unique_ptr<LockwellDatabase>& database,
                         std::unique_ptr<LockwellRecord>& record, int& code) {
  const Arguments& args = session.Args();
  const std::string& shownTitle = args.Positional().at(1);
  SecureString title;
  if (!session.ToStored(shownTitle, title, "title", code)) return false;
  database = session.Open(args.Positional().at(0), true, code);
  if (!database) return false;
  uint32_t category = ALL_CATEGORIES;
  if (args.Has("category") && !session.ResolveCategory(*database, args.Value("category"), category, code)) {
    return false;
  }
  record = std::make_unique<LockwellRecord>(database.get());
  return FindByTitle(session, *database, category, title, shownTitle, *record, code);
}

bool Accounts::Read(ErrorList& errors, const LockwellRecord& record, AccountTexts& texts) {
  LockwellRecord& mutableRecord = const_cast<LockwellRecord&>(record);
  if (!mutableRecord.GetCategory(errors, texts.category)) return false;
  if (!record.getTitle(errors, texts.title) || !record.getNote(errors, texts.note)) return false;
  for (int i = 0; i < 5; ++i) {
    if (!record.getField(errors, i, texts.labels[i], texts.values[i])) return false;
  }
  return true;
}

bool Accounts::IsSecretLabel(std::string_view label) { return label == "Pwd:" || label == "PIN:"; }

}  // namespace lockwell
