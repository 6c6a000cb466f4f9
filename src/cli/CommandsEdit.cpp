// The commands that change a database: create, add, edit, rm, mv,
// category, passwd.  Every input is converted and checked before the
// database is opened, so a bad argument writes nothing.
#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Accounts.h"
#include "cli/Commands.h"
#include "cli/ExitCode.h"
#include "cli/SecretInput.h"
#include "palmdb/CategoryConstants.h"
#include "vault/LockwellDatabase.h"
#include "vault/LockwellRecord.h"

namespace lockwell {
namespace {

std::string Path(Session& session) { return session.Args().Positional().at(0); }

// A label as the record stores it: " " for none, otherwise ending in ':'.
SecureString NormalisedLabel(std::string_view label) {
  if (label.empty()) return SecureString(" ");
  SecureString out(label);
  if (out != " " && out.back() != ':') out.push_back(':');
  return out;
}

struct FieldInput {
  SecureString label;  // normalised, stored text
  SecureString value;  // stored text
};

// --field LABEL=VALUE, or --field LABEL to type the value without echo.
bool ParseFields(Session& session, std::vector<FieldInput>& fields, int& code) {
  for (const std::string& option : session.Args().Values("field")) {
    const size_t eq = option.find('=');
    const std::string label = option.substr(0, eq);
    FieldInput field;
    if (!session.ToStored(label, field.label, "label", code)) return false;
    field.label = NormalisedLabel(field.label.view());
    SecureString typed;
    std::string_view value;
    if (eq != std::string::npos) {
      value = std::string_view(option).substr(eq + 1);
    } else {
      bool eof = false;
      std::string error;
      if (!SecretInput::FromTerminal(label + " (not shown): ", typed, eof, error)) {
        code = session.Fail(kExitUsage, error + " (or give --field " + label + "=VALUE)");
        return false;
      }
      value = typed.view();
    }
    if (!session.ToStored(value, field.value, "value of " + label, code)) return false;
    fields.push_back(std::move(field));
  }
  if (fields.size() > 5) {
    code = session.Fail(kExitUsage, "an account has at most five fields");
    return false;
  }
  return true;
}

bool CategoryForWriting(Session& session, LockwellDatabase& database, const std::string& name, uint32_t& category,
                        int& code) {
  if (!session.ResolveCategory(database, name, category, code)) return false;
  if (category == ALL_CATEGORIES) {
    code = session.Fail(kExitUsage, "\"All\" is not a category an account can be in");
    return false;
  }
  return true;
}

int Done(Session& session, ErrorList& errors, bool ok) { return ok ? kExitOk : session.Fail(errors); }

}  // namespace

int RunCreate(Session& session) {
  int code = kExitOk;
  const std::string path = Path(session);
  struct stat info {};
  if (lstat(path.c_str(), &info) == 0) return session.Fail(kExitFailure, path + " already exists");
  SecureString passphrase;
  const bool given = session.Args().Has("passphrase-file") || session.Args().Has("passphrase-fd");
  if (!(given ? session.Passphrase(passphrase, code) : session.NewPassphrase(passphrase, code))) return code;
  ErrorList errors;
  LockwellDatabase database(errors, path, passphrase, true);
  passphrase.wipe();
  if (errors.HasErrors() || !database.IsOpen()) return session.Fail(errors);
  return kExitOk;
}

int RunAdd(Session& session) {
  int code = kExitOk;
  const Arguments& args = session.Args();
  SecureString title;
  SecureString note;
  std::vector<FieldInput> fields;
  if (!session.ToStored(args.Value("title"), title, "title", code) ||
      !session.ToStored(args.Value("note"), note, "note", code) || !ParseFields(session, fields, code)) {
    return code;
  }
  auto database = session.Open(Path(session), true, code);
  if (!database) return code;
  uint32_t category = UNFILED_CATEGORY;
  if (args.Has("category") && !CategoryForWriting(session, *database, args.Value("category"), category, code)) {
    return code;
  }
  ErrorList errors;
  // The category's default labels first; a given field takes the slot of
  // its label, or else the first slot no given field took.
  std::array<SecureString, 5> labels;
  std::array<SecureString, 5> values;
  std::array<bool, 5> taken{};
  for (int i = 0; i < 5; ++i) {
    std::string label;
    if (!database->getDefaultLabel(errors, category, i, label)) return session.Fail(errors);
    labels[i] = SecureString(label);
  }
  for (FieldInput& field : fields) {
    int slot = -1;
    for (int i = 0; i < 5 && slot < 0; ++i) {
      if (!taken[i] && labels[i] == field.label && field.label != " ") slot = i;
    }
    for (int i = 0; i < 5 && slot < 0; ++i) {
      if (!taken[i]) slot = i;
    }
    taken[slot] = true;
    labels[slot] = field.label;
    values[slot] = field.value;
  }
  LockwellRecord record(errors, database.get(), true);
  bool ok = !errors.HasErrors() && record.SetCategory(errors, category) && record.setTitle(errors, title.view()) &&
            record.setNote(errors, note.view());
  for (int i = 0; ok && i < 5; ++i) ok = record.setField(errors, i, labels[i].view(), values[i].view());
  ok = ok && database->insertSorted(errors, record);
  return Done(session, errors, ok);
}

int RunEdit(Session& session) {
  int code = kExitOk;
  const Arguments& args = session.Args();
  SecureString newTitle;
  SecureString note;
  std::vector<FieldInput> fields;
  if ((args.Has("title") && !session.ToStored(args.Value("title"), newTitle, "new title", code)) ||
      (args.Has("note") && !session.ToStored(args.Value("note"), note, "note", code)) ||
      !ParseFields(session, fields, code)) {
    return code;
  }
  std::unique_ptr<LockwellDatabase> database;
  std::unique_ptr<LockwellRecord> named;
  if (!Accounts::OpenNamed(session, database, named, code)) return code;
  LockwellRecord& record = *named;
  ErrorList errors;
  AccountTexts texts;
  if (!Accounts::Read(errors, record, texts)) return session.Fail(errors);
  // Each field goes to the slot with its label, or else to the first slot
  // with neither label nor value; all slots are placed before anything
  // changes.
  std::array<int, 5> slots{};
  for (size_t f = 0; f < fields.size(); ++f) {
    int slot = -1;
    for (int i = 0; i < 5 && slot < 0; ++i) {
      if (texts.labels[i] == fields[f].label && fields[f].label != " ") slot = i;
    }
    for (int i = 0; i < 5 && slot < 0; ++i) {
      if (texts.labels[i] == " " && texts.values[i].empty()) slot = i;
    }
    if (slot < 0) {
      return session.Fail(kExitFailure, "the account has no field labelled " +
                                            std::string(Session::ToShown(fields[f].label.view()).view()) +
                                            " and no free field");
    }
    texts.labels[slot] = fields[f].label;
    texts.values[slot] = fields[f].value;
    slots[f] = slot;
  }
  bool ok = true;
  if (args.Has("title")) ok = record.setTitle(errors, newTitle.view());
  if (ok && args.Has("note")) ok = record.setNote(errors, note.view());
  for (size_t f = 0; ok && f < fields.size(); ++f) {
    ok = record.setField(errors, slots[f], fields[f].label.view(), fields[f].value.view());
  }
  ok = ok && record.MarkModified(errors) && database->WriteRecord(errors, record) &&
       database->repositionRecord(errors, record);
  return Done(session, errors, ok);
}

int RunRemove(Session& session) {
  int code = kExitOk;
  std::unique_ptr<LockwellDatabase> database;
  std::unique_ptr<LockwellRecord> record;
  if (!Accounts::OpenNamed(session, database, record, code)) return code;
  ErrorList errors;
  return Done(session, errors, database->DeleteRecord(errors, *record));
}

int RunMove(Session& session) {
  int code = kExitOk;
  std::unique_ptr<LockwellDatabase> database;
  std::unique_ptr<LockwellRecord> record;
  if (!Accounts::OpenNamed(session, database, record, code)) return code;
  uint32_t to = 0;
  if (!CategoryForWriting(session, *database, session.Args().Positional().at(2), to, code)) return code;
  ErrorList errors;
  return Done(session, errors, record->SetCategory(errors, to) && database->WriteRecord(errors, *record));
}

int RunCategory(Session& session) {
  int code = kExitOk;
  const std::vector<std::string>& positional = session.Args().Positional();
  const std::string& action = positional.at(0);
  const size_t wanted = action == "list" ? 2 : action == "add" || action == "rm" ? 3 : action == "rename" ? 4 : 0;
  if (wanted == 0) return session.Fail(kExitUsage, "unknown category action \"" + action + "\"; see --help");
  if (positional.size() != wanted) return session.Fail(kExitUsage, "wrong number of arguments; see --help");
  SecureString name;
  if (wanted >= 3 && !session.ToStored(positional[2], name, "category name", code)) return code;
  SecureString newName;
  if (wanted == 4 && !session.ToStored(positional[3], newName, "new category name", code)) return code;
  auto database = session.Open(positional[1], true, code);
  if (!database) return code;
  ErrorList errors;
  if (action == "list") {
    std::vector<std::string> names;
    std::vector<uint32_t> numbers;
    if (!database->ListCategories(errors, names, numbers)) return session.Fail(errors);
    for (const std::string& shown : names) std::printf("%s\n", Session::ToShown(shown).c_str());
    return kExitOk;
  }
  if (action == "add") {
    uint32_t category = 0;
    return Done(session, errors, database->AddCategory(errors, std::string(name.view()), category));
  }
  uint32_t category = 0;
  if (!CategoryForWriting(session, *database, positional[2], category, code)) return code;
  if (action == "rename") {
    return Done(session, errors, database->RenameCategory(errors, category, std::string(newName.view())));
  }
  return Done(session, errors, database->DeleteCategory(errors, category));
}

int RunPasswd(Session& session) {
  int code = kExitOk;
  auto database = session.Open(Path(session), true, code);
  if (!database) return code;
  ErrorList errors;
  // The vault refuses a database from the handheld too; saying so here
  // spares the user typing a new passphrase first.
  if (!database->isPcOwned()) {
    errors.Append(LockwellDatabase::ModuleId(), LockwellDatabase::kErrCannotChangePassphrase,
                  "Cannot change passphrase on the PC.  Change it on the Palm and then perform a HotSync "
                  "operation.");
    return session.Fail(errors);
  }
  SecureString passphrase;
  if (!session.NewPassphrase(passphrase, code)) return code;
  const bool ok = database->changePassphrase(errors, passphrase);
  passphrase.wipe();
  return Done(session, errors, ok);
}

}  // namespace lockwell
