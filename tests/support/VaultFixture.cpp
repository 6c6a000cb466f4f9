#include "support/VaultFixture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <tuple>

#include "palmdb/PalmHeaderView.h"
#include "storage/DatabaseFile.h"
#include "storage/ErrorList.h"
#include "storage/SecureString.h"
#include "vault/AccountFields.h"
#include "vault/RecordCipher.h"
#include "vault/VaultKeys.h"

namespace lockwell::testing {
namespace {

constexpr uint32_t kHeaderSize = 4416;

void PutLe32(std::string& bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

std::string Le32(uint32_t value) {
  std::string bytes(4, '\0');
  PutLe32(bytes, 0, value);
  return bytes;
}

// A small deterministic generator (xorshift), so that fixtures do not depend
// on the standard library's distributions.
struct Random {
  uint64_t state;
  explicit Random(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
  uint32_t Next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return static_cast<uint32_t>(state >> 11);
  }
  uint32_t Below(uint32_t n) { return Next() % n; }
  std::string Word(size_t minLength, size_t maxLength, bool capital) {
    size_t length = minLength + Below(static_cast<uint32_t>(maxLength - minLength + 1));
    std::string word;
    for (size_t i = 0; i < length; ++i)
      word.push_back(static_cast<char>((capital && i == 0 ? 'A' : 'a') + Below(26)));
    return word;
  }
};

auto SortKey(const FixtureAccount& a) {
  return std::tie(a.title, a.labels[0], a.values[0], a.labels[1], a.values[1], a.labels[2], a.values[2],
                  a.labels[3], a.values[3], a.labels[4], a.values[4], a.note);
}

// The account's body under the key its fixture entry asks for.
//   current: the database's own keys, derived once per fixture
std::string Body(const VaultKeys& current, const FixtureAccount& account, uint32_t recordId,
                 const std::array<uint8_t, 8>& extra, uint32_t serial) {
  AccountFields fields;
  fields.setTitle(account.title);
  fields.setNote(account.note);
  ErrorList ignored;
  for (int i = 0; i < 5; ++i) fields.setField(ignored, i, account.labels[i], account.values[i]);
  SecureBytes plaintext = fields.buildPlaintext();

  Iv iv;
  for (size_t i = 0; i < iv.size(); ++i) iv[i] = static_cast<uint8_t>((recordId * 131 + serial * 7 + i * 29) & 0xFF);

  switch (account.key) {
    case FixtureAccount::Key::kDefault:
      return EncryptBody(VaultKeys::Default(), iv, plaintext);
    case FixtureAccount::Key::kOlder:
      return EncryptBody(VaultKeys::ForAlternatePassphrase(account.olderPassphrase, extra), iv, plaintext);
    case FixtureAccount::Key::kCurrent:
      break;
  }
  return EncryptBody(current, iv, plaintext);
}

std::string Header(const VaultFixture& fixture, uint32_t deletedCount, uint32_t lastDesktopId) {
  std::string header(kHeaderSize, '\0');
  PalmHeaderView view(header);
  uint8_t lastUniqId = 0;
  for (size_t i = 0; i < fixture.categories.size() && i < 16; ++i) {
    if (fixture.categories[i].empty()) continue;
    view.SetCategoryName(static_cast<uint32_t>(i), fixture.categories[i].substr(0, 15));
    uint8_t id = i < fixture.categoryUniqIds.size() ? fixture.categoryUniqIds[i] : static_cast<uint8_t>(i + 1);
    view.SetCategoryUniqId(static_cast<uint32_t>(i), id);
    lastUniqId = std::max(lastUniqId, id);
  }
  view.SetLastUniqId(lastUniqId);
  view.SetDeletedCount(deletedCount);
  view.SetLastDesktopRecordId(lastDesktopId);

  header[284] = static_cast<char>(fixture.version & 0xFF);
  header[285] = static_cast<char>(fixture.version >> 8);
  if (!fixture.passphrase.empty()) {
    header[286] = 1;
    Digest digest = PassphraseDigest(fixture.passphrase, fixture.salt);
    std::memcpy(header.data() + 287, digest.data(), digest.size());
  }
  std::memcpy(header.data() + 304, fixture.salt.data(), fixture.salt.size());
  if (fixture.passphraseChanged) header[312] = 1;
  PutLe32(header, 316, (fixture.needsResort ? 1u : 0u) | (fixture.pcOwned ? 2u : 0u));
  return header;
}

}  // namespace

FixtureAccount FixtureAccount::Simple(std::string title, std::string login, std::string password) {
  FixtureAccount account;
  account.title = std::move(title);
  account.values[0] = std::move(login);
  account.values[1] = std::move(password);
  return account;
}

bool FixtureLess(const FixtureAccount& a, const FixtureAccount& b) { return SortKey(a) < SortKey(b); }

bool VaultFixture::Write(const std::string& path, std::string& error) const {
  std::error_code ignoredCode;
  std::filesystem::remove(path, ignoredCode);

  const VaultKeys current = passphrase.empty() ? VaultKeys::Default() : VaultKeys::Derived(passphrase, salt);
  // Records first, so that the header can carry their counts.
  std::vector<std::string> records;
  uint32_t nextHandheldId = 1;
  uint32_t deletedCount = 0;
  uint32_t lastDesktopId = 0;
  for (const FixtureAccount& account : accounts) {
    uint32_t recordId = account.recordId != 0 ? account.recordId : nextHandheldId;
    if (!account.desktopId) nextHandheldId = std::max(nextHandheldId, recordId + 1);
    if (account.desktopId) lastDesktopId = std::max(lastDesktopId, recordId);
    if (account.status == 1) ++deletedCount;

    std::array<uint8_t, 8> extra = account.extra;
    if (std::all_of(extra.begin(), extra.end(), [](uint8_t b) { return b == 0; })) {
      for (size_t i = 0; i < extra.size(); ++i) extra[i] = static_cast<uint8_t>((recordId >> (i % 4 * 8)) ^ (0xA5 + i * 17));
    }
    std::string bytes = Le32(recordId) + std::string(1, account.desktopId ? '\1' : '\0') + Le32(account.status) +
                        Le32(account.syncFlags) + Le32(account.category) +
                        std::string(reinterpret_cast<const char*>(extra.data()), extra.size());
    bytes += account.rawPayload ? account.payload
                                : Body(current, account, recordId, extra, static_cast<uint32_t>(records.size()));
    records.push_back(std::move(bytes));
  }

  ErrorList errors;
  uint32_t headerSize = kHeaderSize;
  DatabaseFile file(errors, path, DatabaseFile::kCreateNew, headerSize);
  bool ok = file.IsOpen() && file.WriteHeader(errors, Header(*this, deletedCount, lastDesktopId)) &&
            file.AppendRecord(errors, preferences);
  for (size_t i = 0; ok && i < records.size(); ++i) ok = file.AppendRecord(errors, records[i]);
  if (!ok) error = errors.Summary();
  return ok;
}

VaultFixture VaultFixture::Generated(uint32_t count, uint32_t categoryCount, const std::string& passphrase,
                                     uint32_t unsorted, uint32_t seed) {
  static const char* const kNames[] = {"Unfiled", "Business", "Personal", "Banking", "Email",   "Web",
                                       "Travel",  "Shopping", "Work",     "Games",   "Family",  "Health",
                                       "Phone",   "Servers",  "Cards",    "Misc"};
  VaultFixture fixture;
  fixture.passphrase = passphrase;
  fixture.categories.clear();
  categoryCount = std::clamp<uint32_t>(categoryCount, 1, 16);
  for (uint32_t i = 0; i < categoryCount; ++i) fixture.categories.push_back(kNames[i]);

  Random random(seed);
  std::vector<FixtureAccount> accounts;
  accounts.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    FixtureAccount account;
    account.title = random.Word(4, 12, true) + " " + random.Word(3, 8, false);
    account.values[0] = random.Word(5, 10, false);
    account.values[1] = random.Word(8, 14, false) + std::to_string(random.Below(1000));
    account.values[2] = "https://www." + random.Word(4, 10, false) + ".example";
    if (random.Below(4) == 0) account.note = "Created " + std::to_string(2000 + random.Below(20)) + "\r\nSee also " + random.Word(4, 9, false);
    account.category = random.Below(categoryCount);
    accounts.push_back(std::move(account));
  }
  unsorted = std::min(unsorted, count);
  std::sort(accounts.begin(), accounts.end() - unsorted, FixtureLess);
  for (uint32_t i = count - unsorted; i < count; ++i) accounts[i].syncFlags = 2;  // FLAG_UNSORTED
  // Handheld IDs in a shuffled order, as a long-lived handheld has them.
  std::vector<uint32_t> ids(count);
  for (uint32_t i = 0; i < count; ++i) ids[i] = 1000 + i * 3;
  for (uint32_t i = count; i > 1; --i) std::swap(ids[i - 1], ids[random.Below(i)]);
  for (uint32_t i = 0; i < count; ++i) accounts[i].recordId = ids[i];
  fixture.accounts = std::move(accounts);
  fixture.needsResort = unsorted > 0;
  return fixture;
}

}  // namespace lockwell::testing
