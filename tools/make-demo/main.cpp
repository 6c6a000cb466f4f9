// make-demo: writes the demonstration database the way the conduit leaves
// it after a HotSync: not owned by the PC, every record synchronised, a few
// categories and a dozen fictitious accounts.  Prints nothing secret; the
// passphrase is the fixed demo one that scripts/run --demo shows.
//
//   make-demo DB
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>
#include <string_view>

#include "palmdb/CategoryConstants.h"
#include "storage/ErrorList.h"
#include "storage/SecureString.h"
#include "support/VaultFixture.h"
#include "vault/LockwellDatabase.h"

namespace lockwell {
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

// By category number; Unfiled is number 0 in every database.
constexpr const char* kCategories[] = {"Unfiled", "Business", "Personal", "Banking", "Web"};

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

// The conduit's file: records with handheld IDs, synchronised and in sorted
// order, in a database that belongs to the handheld (VaultFixture's defaults).
testing::VaultFixture DemoDatabase() {
  testing::VaultFixture fixture;
  fixture.passphrase = kDemoPassphrase;
  fixture.categories.assign(std::begin(kCategories), std::end(kCategories));
  for (const DemoAccount& demo : kAccounts) {
    auto account = testing::FixtureAccount::Simple(demo.title, demo.login, demo.password);
    account.values[2] = demo.url;
    account.note = demo.note;
    const auto* found = std::find_if(std::begin(kCategories), std::end(kCategories),
                                     [&](const char* name) { return std::string_view(name) == demo.category; });
    account.category = static_cast<uint32_t>(found - std::begin(kCategories));
    fixture.accounts.push_back(account);
  }
  std::sort(fixture.accounts.begin(), fixture.accounts.end(), testing::FixtureLess);
  return fixture;
}

}  // namespace
}  // namespace lockwell

int main(int argc, char** argv) {
  using namespace lockwell;
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-demo DB\n");
    return 2;
  }
  std::string error;
  if (!DemoDatabase().Write(argv[1], error)) {
    std::fprintf(stderr, "make-demo: %s\n", error.c_str());
    return 1;
  }
  // The window opens on every account, as if the user had last looked at "All".
  ErrorList errors;
  LockwellDatabase database(errors, argv[1], SecureString(kDemoPassphrase), false);
  if (errors.HasErrors() || !database.IsOpen() || !database.setLastCategory(errors, ALL_CATEGORIES) ||
      !database.saveCategoryPrefs(errors)) {
    std::fprintf(stderr, "make-demo: %s\n", errors.Summary().c_str());
    return 1;
  }
  std::printf("%s\n", kDemoPassphrase);
  return 0;
}
