// export and import: every account in clear text, as CSV or JSON.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <string.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cli/Accounts.h"
#include "cli/Commands.h"
#include "cli/Csv.h"
#include "cli/ExitCode.h"
#include "palmdb/CategoryConstants.h"
#include "vault/LockwellDatabase.h"
#include "vault/LockwellRecord.h"

namespace lockwell {
namespace {

const char* const kCsvHeader[13] = {"Category", "Title",   "Label 1", "Value 1", "Label 2", "Value 2", "Label 3",
                                    "Value 3",  "Label 4", "Value 4", "Label 5", "Value 5", "Note"};

void AppendJsonString(std::string_view text, SecureString& out) {
  out.push_back('"');
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      out += escape;
    } else {
      out.push_back(c);
    }
  }
  out.push_back('"');
}

// Writes `bytes` to `path` through a private temporary file (mode 0600 from
// its creation on) renamed into place, so the clear text is never readable
// by others, not even for a moment, and a failure leaves no half file.
bool WritePrivateFile(const std::string& path, const SecureString& bytes, std::string& error) {
  const std::filesystem::path target(path);
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  std::string temp = (folder / ".lockwell-export-XXXXXX").string();
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    error = "cannot create a file in " + folder.string() + ": " + strerror(errno);
    return false;
  }
  size_t done = 0;
  bool ok = fchmod(fd, 0600) == 0;
  while (ok && done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<size_t>(n);
  }
  ok = ok && fsync(fd) == 0;
  const int saved = errno;
  ok = close(fd) == 0 && ok;
  if (ok && rename(temp.c_str(), path.c_str()) == 0) return true;
  error = "cannot write " + path + ": " + strerror(ok ? errno : saved);
  unlink(temp.c_str());
  return false;
}

}  // namespace

int RunExport(Session& session) {
  int code = kExitOk;
  const std::string format = session.Args().Value("format", "csv");
  if (format != "csv" && format != "json") return session.Fail(kExitUsage, "--format must be csv or json");
  auto database = session.Open(session.Args().Positional().at(0), true, code);
  if (!database) return code;
  ErrorList errors;
  std::map<uint32_t, std::string> categoryNames;
  SecureString out;
  if (format == "csv") {
    Csv::Row header;
    for (const char* name : kCsvHeader) header.emplace_back(name);
    Csv::AppendRow(header, out);
  } else {
    out += "[";
  }
  bool first = true;
  const bool walked = Accounts::ForEach(errors, *database, ALL_CATEGORIES, [&](LockwellRecord& record, uint32_t) {
    AccountTexts texts;
    if (!Accounts::Read(errors, record, texts)) return false;
    auto name = categoryNames.find(texts.category);
    if (name == categoryNames.end()) {
      std::string shown;
      if (!session.CategoryName(*database, texts.category, shown, code)) shown.clear();
      name = categoryNames.emplace(texts.category, shown).first;
    }
    if (format == "csv") {
      Csv::Row row;
      row.emplace_back(name->second);
      row.push_back(Session::ToShown(texts.title.view()));
      for (int i = 0; i < 5; ++i) {
        row.push_back(Session::ToShown(texts.labels[i].view()));
        row.push_back(Session::ToShown(texts.values[i].view()));
      }
      row.push_back(Session::ToShown(texts.note.view()));
      Csv::AppendRow(row, out);
    } else {
      out += first ? "\n  {\"category\": " : ",\n  {\"category\": ";
      AppendJsonString(name->second, out);
      out += ", \"title\": ";
      AppendJsonString(Session::ToShown(texts.title.view()).view(), out);
      out += ", \"fields\": [";
      for (int i = 0; i < 5; ++i) {
        out += i == 0 ? "{\"label\": " : ", {\"label\": ";
        AppendJsonString(Session::ToShown(texts.labels[i].view()).view(), out);
        out += ", \"value\": ";
        AppendJsonString(Session::ToShown(texts.values[i].view()).view(), out);
        out += "}";
      }
      out += "], \"note\": ";
      AppendJsonString(Session::ToShown(texts.note.view()).view(), out);
      out += "}";
    }
    first = false;
    return true;
  });
  if (!walked) return session.Fail(errors);
  if (format == "json") out += first ? "]\n" : "\n]\n";
  session.Warn("the export holds every account, passwords included, in clear text.  Keep it safe and delete it "
               "when it is no longer needed.");
  if (!session.Args().Has("output")) {
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? kExitOk : session.Fail(kExitFailure, "cannot write the output");
  }
  std::string error;
  if (!WritePrivateFile(session.Args().Value("output"), out, error)) return session.Fail(kExitFailure, error);
  return kExitOk;
}

int RunImport(Session& session) {
  int code = kExitOk;
  const std::string file = session.Args().Positional().at(1);
  // The whole file is read, parsed and converted before the database opens.
  SecureString text;
  {
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return session.Fail(kExitFailure, "cannot read " + file + ": " + strerror(errno));
    char buffer[65536];
    for (;;) {
      const ssize_t n = read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        const int saved = errno;
        close(fd);
        WipeBytes(buffer, sizeof buffer);
        return session.Fail(kExitFailure, "cannot read " + file + ": " + strerror(saved));
      }
      if (n == 0) break;
      text.append(buffer, static_cast<size_t>(n));
    }
    WipeBytes(buffer, sizeof buffer);
    close(fd);
  }
  std::vector<Csv::Row> rows;
  std::string error;
  if (!Csv::Parse(text.view(), rows, error)) return session.Fail(kExitFailure, file + ": " + error);
  text.wipe();
  bool headerOk = !rows.empty() && rows[0].size() == 13;
  for (size_t i = 0; headerOk && i < 13; ++i) headerOk = rows[0][i] == kCsvHeader[i];
  if (!headerOk) return session.Fail(kExitFailure, file + ": not a CSV written by lockwell export (first row)");
  struct Account {
    std::string category;  // terminal text, as the user named it
    SecureString texts[12];
  };
  std::vector<Account> accounts;
  for (size_t r = 1; r < rows.size(); ++r) {
    const std::string where = file + " row " + std::to_string(r + 1);
    if (rows[r].size() != 13) return session.Fail(kExitFailure, where + ": 13 fields expected");
    Account account;
    account.category = std::string(rows[r][0].view());
    for (int i = 0; i < 12; ++i) {
      if (!session.ToStored(rows[r][i + 1].view(), account.texts[i], where, code)) return code;
    }
    accounts.push_back(std::move(account));
  }
  rows.clear();

  auto database = session.Open(session.Args().Positional().at(0), true, code);
  if (!database) return code;
  ErrorList errors;
  std::map<std::string, uint32_t> categories;
  {
    std::vector<std::string> names;
    std::vector<uint32_t> numbers;
    if (!database->ListCategories(errors, names, numbers)) return session.Fail(errors);
    for (size_t i = 0; i < names.size(); ++i) categories.emplace(Session::ToShown(names[i]).view(), numbers[i]);
  }
  for (const Account& account : accounts) {
    if (account.category == "All") return session.Fail(kExitFailure, "\"All\" is not a category an account can be in");
  }
  // From here on the file changes; a failure puts the copy taken now back.
  if (!database->BackupNow(errors)) return session.Fail(errors);
  bool ok = true;
  for (const Account& account : accounts) {
    uint32_t category = UNFILED_CATEGORY;
    if (!account.category.empty()) {
      auto found = categories.find(account.category);
      if (found == categories.end()) {
        SecureString stored;
        if (!session.ToStored(account.category, stored, "category", code)) {
          ok = false;
          break;
        }
        uint32_t added = 0;
        ok = database->AddCategory(errors, std::string(stored.view()), added);
        if (!ok) break;
        found = categories.emplace(account.category, added).first;
      }
      category = found->second;
    }
    LockwellRecord record(errors, database.get(), true);
    ok = !errors.HasErrors() && record.SetCategory(errors, category) &&
         record.setTitle(errors, account.texts[0].view()) && record.setNote(errors, account.texts[11].view());
    for (int i = 0; ok && i < 5; ++i) {
      ok = record.setField(errors, i, account.texts[1 + 2 * i].view(), account.texts[2 + 2 * i].view());
    }
    ok = ok && database->insertSorted(errors, record);
    if (!ok) break;
  }
  if (ok) return kExitOk;
  ErrorList restore;
  if (!database->ReloadFromBackup(restore)) {
    for (const auto& record : restore) errors.Append(record->ModuleId(), record->Code(), record->Detail());
  }
  return errors.Empty() ? code : session.Fail(errors);
}

}  // namespace lockwell
