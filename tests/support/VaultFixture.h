// Builds account database files the way the handheld's conduit writes them,
// for tests and benchmarks.
//
// The file is written straight through the record file, below the Palm and
// vault layers, so it can hold what those layers never write themselves:
// handheld record IDs, duplicate keys, records flagged unsorted, records
// still encrypted under an older passphrase or under the default key, the
// passphrase-changed marker, an empty preferences record.
//
// Usage:
//   VaultFixture fixture;
//   fixture.passphrase = "secret";
//   fixture.accounts.push_back(FixtureAccount::Simple("Bank", "joe", "pw"));
//   std::string error;
//   ASSERT_TRUE(fixture.Write(path, error)) << error;
//   ... then open `path` with LockwellDatabase.
//
// Everything is deterministic: salts, IVs and extra bytes come from the
// fixture's fields, so two writes of the same fixture give the same bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace lockwell::testing {

// One account record of the fixture.
struct FixtureAccount {
  // Which key encrypts the body.
  enum class Key {
    kCurrent,  // the database's key (passphrase and salt, or the default key)
    kDefault,  // the default key, whatever the database uses
    kOlder,    // derived from `olderPassphrase` salted with this record's
               // extra bytes, as the handheld left it before a change
  };

  std::string title;
  std::array<std::string, 5> labels = {"Login:", "Pwd:", "URL:", " ", " "};
  std::array<std::string, 5> values;
  std::string note;

  uint32_t recordId = 0;   // 0: the next free handheld ID (1, 2, ...)
  bool desktopId = false;  // handheld IDs unless set
  uint32_t status = 0;     // STATUS_UNCHANGED unless set
  uint32_t syncFlags = 0;  // e.g. 2 (FLAG_UNSORTED)
  uint32_t category = 0;   // category number 0..15
  // Extra bytes; all zero means "derive from the record ID" (each record
  // gets its own, as the handheld gives them).
  std::array<uint8_t, 8> extra{};

  Key key = Key::kCurrent;
  std::string olderPassphrase;  // for Key::kOlder; empty stands for the default key
  // Stored instead of an encrypted body when set (a damaged record).
  bool rawPayload = false;
  std::string payload;

  // Title, login and password, the labels "Login:", "Pwd:", "URL:", " ", " ".
  static FixtureAccount Simple(std::string title, std::string login, std::string password);
};

class VaultFixture {
 public:
  std::string passphrase;       // empty: no passphrase (default key)
  std::array<uint8_t, 8> salt = {0x5A, 0x17, 0xC3, 0x02, 0x9E, 0x44, 0x81, 0x6B};
  bool pcOwned = false;         // flags bit 1; conduit files are not PC-owned
  bool needsResort = false;     // flags bit 0
  bool passphraseChanged = false;  // marker at 312
  uint16_t version = 1024;      // written little-endian at 284
  // Category names by number (empty name: free slot); unique ID = number + 1
  // unless `categoryUniqIds` says otherwise.
  std::vector<std::string> categories = {"Unfiled", "Business", "Personal"};
  std::vector<uint8_t> categoryUniqIds;
  // The content of record 0; empty as the conduit leaves it.
  std::string preferences;
  std::vector<FixtureAccount> accounts;

  // Writes a new file at `path` (replacing one that exists).  False with a
  // reason in `error` when the record file could not be written.
  bool Write(const std::string& path, std::string& error) const;

  // A deterministic database of `count` accounts spread over `categoryCount`
  // categories (at most 16), with `passphrase`.  The first count - unsorted
  // accounts are stored in sorted order; the last `unsorted` ones follow in
  // random order with FLAG_UNSORTED, and the header asks for a re-sort when
  // there are any.  `seed` varies the texts.
  static VaultFixture Generated(uint32_t count, uint32_t categoryCount, const std::string& passphrase,
                                uint32_t unsorted = 0, uint32_t seed = 1);
};

// The sort order of accounts (title, label 1, value 1, ... note; unsigned
// bytes), for tests that check the order a database ends up in.
bool FixtureLess(const FixtureAccount& a, const FixtureAccount& b);

}  // namespace lockwell::testing
