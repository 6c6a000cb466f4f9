// The commands that only read: info, ls, show, find, check.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Accounts.h"
#include "cli/Commands.h"
#include "cli/ExitCode.h"
#include "cli/TextTable.h"
#include "palmdb/CategoryConstants.h"
#include "palmdb/PalmDatabase.h"
#include "vault/LockwellDatabase.h"
#include "vault/LockwellRecord.h"

namespace lockwell {
namespace {

constexpr const char* kMask = "********";

std::string Path(Session& session) { return session.Args().Positional().at(0); }

bool IsSecretColumn(const std::string& name) { return name == "Pwd" || name == "PIN"; }

// ls and find: the category's shown fields as columns, one row per account
// that `query` (stored text; empty for every account) matches.
int ListAccounts(Session& session, const SecureString* query, bool caseSensitive) {
  int code = kExitOk;
  auto database = session.Open(Path(session), true, code);
  if (!database) return code;
  uint32_t category = ALL_CATEGORIES;
  if (session.Args().Has("category") &&
      !session.ResolveCategory(*database, session.Args().Value("category"), category, code)) {
    return code;
  }
  ErrorList errors;
  std::vector<std::string> columns;
  if (!database->getShownFields(errors, category, columns)) return session.Fail(errors);
  const bool reveal = session.Args().Has("reveal");
  TextTable table;
  std::vector<SecureString> header;
  for (const std::string& column : columns) header.push_back(Session::ToShown(column));
  table.AddRow(std::move(header));
  const bool walked = Accounts::ForEach(errors, *database, category, [&](LockwellRecord& record, uint32_t) {
    if (query != nullptr) {
      bool found = false;
      record.containsText(errors, query->view(), caseSensitive, found);
      if (!found) return true;
    }
    std::vector<SecureString> row;
    for (const std::string& column : columns) {
      SecureString value;
      ErrorList missing;  // a label the account does not use is an empty cell
      record.findFieldValue(missing, column, value);
      if (IsSecretColumn(column) && !reveal && !value.empty()) {
        row.emplace_back(kMask);
      } else {
        row.push_back(Session::ToShown(value.view()));
      }
    }
    table.AddRow(std::move(row));
    return true;
  });
  if (!walked) return session.Fail(errors);
  table.Print(stdout, session.Args().Has("tsv"));
  return kExitOk;
}

}  // namespace

int RunList(Session& session) { return ListAccounts(session, nullptr, false); }

int RunFind(Session& session) {
  int code = kExitOk;
  SecureString query;
  if (!session.ToStored(session.Args().Positional().at(1), query, "search text", code)) return code;
  if (query.empty()) return session.Fail(kExitUsage, "Cannot search for an empty string!");
  return ListAccounts(session, &query, session.Args().Has("case-sensitive"));
}

int RunShow(Session& session) {
  int code = kExitOk;
  std::unique_ptr<LockwellDatabase> database;
  std::unique_ptr<LockwellRecord> record;
  if (!Accounts::OpenNamed(session, database, record, code)) return code;
  ErrorList errors;
  AccountTexts texts;
  if (!Accounts::Read(errors, *record, texts)) return session.Fail(errors);
  std::string categoryName;
  if (!session.CategoryName(*database, texts.category, categoryName, code)) return code;
  const bool reveal = session.Args().Has("reveal");
  SecureString out;
  out += "Category: ";
  out += categoryName;
  out += "\nTitle: ";
  out += Session::ToShown(texts.title.view()).view();
  out += "\n";
  for (int i = 0; i < 5; ++i) {
    if (texts.labels[i] == " " && texts.values[i].empty()) continue;
    out += Session::ToShown(texts.labels[i].view()).view();
    out += " ";
    if (Accounts::IsSecretLabel(texts.labels[i].view()) && !reveal && !texts.values[i].empty()) {
      out += kMask;
    } else {
      out += Session::ToShown(texts.values[i].view()).view();
    }
    out += "\n";
  }
  if (!texts.note.empty()) {
    out += "Note:\n";
    out += Session::ToShown(texts.note.view()).view();
    if (out.back() != '\n') out += "\n";
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return kExitOk;
}

int RunInfo(Session& session) {
  int code = kExitOk;
  // The housekeeping is what info reports as pending, so it does not run.
  auto database = session.Open(Path(session), false, code);
  if (!database) return code;
  ErrorList errors;
  uint32_t live = 0;
  uint32_t all = 0;
  if (!database->GetRecordCount(errors, false, live) || !database->GetRecordCount(errors, true, all)) {
    return session.Fail(errors);
  }
  uint32_t waiting[4] = {0, 0, 0, 0};
  for (uint32_t p = 0; p < all; ++p) {
    RecordPrefix prefix;
    if (!database->ReadPrefixAt(errors, p, prefix)) return session.Fail(errors);
    if (prefix.status < 4) ++waiting[prefix.status];
  }
  std::vector<std::string> names;
  std::vector<uint32_t> numbers;
  if (!database->ListCategories(errors, names, numbers)) return session.Fail(errors);
  const std::string& header = database->GetHeader();
  const bool hasPassphrase = header[LockwellDatabase::kHasPassphraseOffset] != 0;
  std::printf("Format version: %u\n", static_cast<unsigned>(database->formatVersion()));
  std::printf("Owner: %s\n", database->isPcOwned() ? "PC (created here; passphrase changes allowed)"
                                                   : "handheld (HotSync; change the passphrase on the Palm)");
  std::printf("Passphrase: %s\n", hasPassphrase ? "yes" : "none");
  std::printf("Accounts: %u\n", live);
  std::printf("Categories: %zu\n", names.size());
  for (const std::string& name : names) std::printf("  %s\n", Session::ToShown(name).c_str());
  std::printf("Waiting for the next HotSync: %u new, %u modified, %u deleted\n",
              waiting[PalmDatabaseRecord::STATUS_NEW], waiting[PalmDatabaseRecord::STATUS_MODIFIED],
              waiting[PalmDatabaseRecord::STATUS_DELETED]);
  std::printf("Re-sort pending: %s\n", database->needsResort() ? "yes" : "no");
  std::printf("Passphrase update pending: %s\n", database->passphraseChangedOnHandheld() ? "yes" : "no");
  return kExitOk;
}

int RunCheck(Session& session) {
  int code = kExitOk;
  // The open itself checks the record file: magic number, index, every
  // record's place and the header area.
  auto database = session.Open(Path(session), false, code);
  if (!database) return code;
  ErrorList errors;
  uint32_t all = 0;
  if (!database->GetRecordCount(errors, true, all)) return session.Fail(errors);
  std::vector<std::string> names;
  std::vector<uint32_t> numbers;
  if (!database->ListCategories(errors, names, numbers)) return session.Fail(errors);
  uint32_t faults = 0;
  uint32_t checked = 0;
  auto report = [&](uint32_t position, const std::string& what) {
    ++faults;
    std::printf("account at position %u: %s\n", position, what.c_str());
  };
  if (!database->CheckInvariants()) {
    ++faults;
    std::printf("the record index does not agree with the file\n");
  }
  for (uint32_t p = 0; p < all; ++p) {
    RecordPrefix prefix;
    if (!database->ReadPrefixAt(errors, p, prefix)) {
      report(p, std::string(Session::ToShown(errors.Summary()).view()));
      errors.Clear();
      continue;
    }
    if (prefix.status == PalmDatabaseRecord::STATUS_DELETED) continue;
    ++checked;
    if (prefix.status > PalmDatabaseRecord::STATUS_NEW) report(p, "unknown status " + std::to_string(prefix.status));
    bool named = false;
    for (uint32_t n : numbers) named = named || n == prefix.category;
    if (!named) report(p, "category " + std::to_string(prefix.category) + " has no name");
    LockwellRecord record(database.get());
    if (!database->ReadRecordAt(errors, p, record)) {
      report(p, std::string(Session::ToShown(errors.Summary()).view()));
      errors.Clear();
    }
  }
  if (faults != 0 && database->passphraseChangedOnHandheld()) {
    std::printf("the passphrase was changed on the handheld; accounts still under the old one fail their "
                "digest until a command other than check or info updates them\n");
  }
  std::printf("%u accounts checked, %u fault%s\n", checked, faults, faults == 1 ? "" : "s");
  return faults == 0 ? kExitOk : kExitCheckFailed;
}

}  // namespace lockwell
