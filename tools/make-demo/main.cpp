// make-demo: writes the demonstration database the way the conduit leaves
// it after a HotSync: not owned by the PC, every record synchronised, a few
// categories and a dozen fictitious accounts.  Prints nothing secret; the
// passphrase is the fixed demo one that scripts/run --demo shows.
//
//   make-demo DB
#include <cstdint>
#include <cstdio>
#include <string>

#include "palmdb/CategoryConstants.h"
#include "palmdb/PalmDatabaseRecord.h"
#include "storage/ErrorList.h"
#include "storage/SecureString.h"
#include "vault/LockwellDatabase.h"
#include "vault/LockwellRecord.h"

namespace {

// A demonstration passphrase, printed for the user to type; it guards only
// made-up accounts.
constexpr const char* kDemoPassphrase = "demo demo";

struct DemoAccount {
  const char* category;
  const char* title;
  const char* login;
  const char* password;
  const char* url;
  const char* note;
};

constexpr const char* kCategories[] = {"Business", "Personal", "Banking", "Web"};

constexpr DemoAccount kAccounts[] = {
    {"Business", "Acme Corp VPN", "jdoe", "Vp7!river-stone", "vpn.acme.example", ""},
    {"Business", "Acme Corp Mail", "jane.doe@acme.example", "Mail#2004harbor", "mail.acme.example",
     "Help desk: extension 4410"},
    {"Business", "Expense Reports", "jdoe", "Rcpt$42summer", "expenses.acme.example", ""},
    {"Personal", "Home Alarm", "", "4815", "", "Code for the front panel"},
    {"Personal", "Gym Locker", "", "12-30-07", "", ""},
    {"Personal", "Library Card", "2039 0044 1187", "tulip77", "library.example.org", ""},
    {"Banking", "First Example Bank", "janedoe71", "Ledger&Quill9", "bank.example.com",
     "Branch: 12 Main Street"},
    {"Banking", "Example Credit Union", "jdoe-cu", "Coin%Stack33", "cu.example.net", ""},
    {"Banking", "Visa Card PIN", "", "2718", "", ""},
    {"Web", "Example Mail", "jane.doe@mail.example", "Owl^Lantern5", "mail.example", ""},
    {"Web", "Auction Site", "janed", "Gavel*Blue8", "auction.example", ""},
    {"Web", "Book Shop", "jane.doe@mail.example", "Chapter!12", "books.example", ""},
    {"Web", "News Forum", "jdoe_reads", "Quill-Ink-4", "forum.example.net", ""},
};

}  // namespace

int main(int argc, char** argv) {
  using namespace lockwell;
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-demo DB\n");
    return 2;
  }
  ErrorList errors;
  LockwellDatabase database(errors, argv[1], SecureString(std::string(kDemoPassphrase)), true);
  auto fail = [&errors]() {
    std::fprintf(stderr, "make-demo: %s\n", errors.Summary().c_str());
    return 1;
  };
  if (errors.HasErrors() || !database.IsOpen()) return fail();

  uint32_t numbers[sizeof kCategories / sizeof kCategories[0]] = {};
  for (size_t i = 0; i < sizeof kCategories / sizeof kCategories[0]; ++i) {
    if (!database.AddCategory(errors, kCategories[i], numbers[i])) return fail();
  }
  for (const DemoAccount& account : kAccounts) {
    uint32_t category = 0;
    for (size_t i = 0; i < sizeof kCategories / sizeof kCategories[0]; ++i) {
      if (std::string(kCategories[i]) == account.category) category = numbers[i];
    }
    LockwellRecord record(errors, &database, true);
    const bool ok = record.setTitle(errors, account.title) &&
                    record.setField(errors, 0, "Login:", account.login) &&
                    record.setField(errors, 1, "Pwd:", account.password) &&
                    record.setField(errors, 2, "URL:", account.url) && record.setField(errors, 3, " ", "") &&
                    record.setField(errors, 4, " ", "") && record.setNote(errors, account.note) &&
                    record.SetCategory(errors, category) && database.insertSorted(errors, record);
    if (!ok) return fail();
  }

  // The window opens on every account, as if the user had last looked at "All".
  if (!database.setLastCategory(errors, ALL_CATEGORIES) || !database.saveCategoryPrefs(errors)) return fail();

  // After a HotSync every record is known to the handheld.
  uint32_t count = 0;
  if (!database.GetRecordCount(errors, true, count)) return fail();
  for (uint32_t position = 0; position < count; ++position) {
    PalmDatabaseRecord raw(&database);
    if (!database.ReadRecordAt(errors, position, raw) ||
        !raw.SetStatus(errors, PalmDatabaseRecord::STATUS_UNCHANGED) || !database.WriteRecord(errors, raw)) {
      return fail();
    }
  }
  // The conduit's database belongs to the handheld, not the PC.
  std::string& header = database.GetHeader();
  uint32_t flags = 0;
  for (int i = 0; i < 4; ++i) flags |= uint32_t(uint8_t(header[LockwellDatabase::kFlagsOffset + i])) << (8 * i);
  flags &= ~LockwellDatabase::kFlagPcOwned;
  for (int i = 0; i < 4; ++i) header[LockwellDatabase::kFlagsOffset + i] = char(flags >> (8 * i));
  if (!database.SaveHeader(errors)) return fail();
  std::printf("%s\n", kDemoPassphrase);
  return 0;
}
