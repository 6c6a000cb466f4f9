// Builds databases the way a HotSync leaves them: not owned by the PC,
// accounts still encrypted under the passphrase used before a change on the
// handheld (salted with their own extra bytes, as the handheld does), the
// passphrase-changed marker set, accounts appended out of order and marked
// unsorted with the header's re-sort flag.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "palmdb/PalmDatabaseRecord.h"
#include "storage/ErrorList.h"
#include "storage/SecureString.h"
#include "vault/LockwellDatabase.h"
#include "vault/LockwellRecord.h"
#include "vault/RecordCipher.h"

namespace lockwell::testing {

struct HandheldAccount {
  std::string title;
  std::string login;
  // Encrypted under this passphrase instead of the current one, when set.
  std::string oldPassphrase;
  bool oldSet = false;
  bool unsorted = false;  // appended at the end with FLAG_UNSORTED
};

// Creates `path` with `passphrase` and the accounts in the given order.
// Sorted accounts go first, at their sorted place; unsorted ones are
// appended in the order given.
inline void BuildHandheldDatabase(const std::string& path, const std::string& passphrase,
                                  const std::vector<HandheldAccount>& accounts) {
  ErrorList errors;
  LockwellDatabase database(errors, path, SecureString(passphrase), true);
  ASSERT_TRUE(database.IsOpen()) << errors.Summary();
  bool anyOld = false;
  bool anyUnsorted = false;
  for (const HandheldAccount& account : accounts) {
    LockwellRecord record(errors, &database, true);
    ASSERT_TRUE(record.setTitle(errors, account.title)) << errors.Summary();
    ASSERT_TRUE(record.setField(errors, 0, "Login:", account.login)) << errors.Summary();
    if (account.unsorted) {
      ASSERT_TRUE(record.SetSyncFlags(errors, PalmDatabaseRecord::FLAG_UNSORTED));
      ASSERT_TRUE(database.AppendNew(errors, record, false)) << errors.Summary();
      anyUnsorted = true;
    } else {
      ASSERT_TRUE(database.insertSorted(errors, record)) << errors.Summary();
    }
    if (account.oldSet) anyOld = true;
  }
  // Second pass, once every insert is done (a sorted insert decrypts the
  // records it passes): old accounts get the same plaintext under the old
  // passphrase's keys, salted with the record's extra bytes.
  uint32_t count = 0;
  ASSERT_TRUE(database.GetRecordCount(errors, true, count));
  for (uint32_t position = 0; position < count; ++position) {
    LockwellRecord record(&database);
    ASSERT_TRUE(database.ReadRecordAt(errors, position, record)) << errors.Summary();
    const HandheldAccount* account = nullptr;
    for (const HandheldAccount& a : accounts) {
      if (record.fields().title().view() == a.title && a.oldSet) account = &a;
    }
    // Every record synchronised (the handheld knows it); written through the
    // Palm record class, which stores the body as it is.
    PalmDatabaseRecord raw(&database);
    ASSERT_TRUE(database.ReadRecordAt(errors, position, raw)) << errors.Summary();
    if (account == nullptr) {
      ASSERT_TRUE(raw.SetStatus(errors, PalmDatabaseRecord::STATUS_UNCHANGED));
      ASSERT_TRUE(database.WriteRecord(errors, raw)) << errors.Summary();
      continue;
    }
    const Salt salt = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, static_cast<uint8_t>(position)};
    const SecureBytes plaintext = record.fields().buildPlaintext();
    const Iv iv = {1, 2, 3, 4, 5, 6, 7, static_cast<uint8_t>(position)};
    const std::string body =
        EncryptBody(VaultKeys::ForAlternatePassphrase(account->oldPassphrase, salt), iv, plaintext);
    ASSERT_TRUE(raw.SetExtra(errors, salt));
    ASSERT_TRUE(raw.SetPayload(errors, body));
    ASSERT_TRUE(raw.SetStatus(errors, PalmDatabaseRecord::STATUS_UNCHANGED));
    ASSERT_TRUE(database.WriteRecord(errors, raw)) << errors.Summary();
  }
  std::string& header = database.GetHeader();
  uint32_t flags = 0;
  for (int i = 0; i < 4; ++i) flags |= uint32_t(uint8_t(header[LockwellDatabase::kFlagsOffset + i])) << (8 * i);
  flags &= ~LockwellDatabase::kFlagPcOwned;
  if (anyUnsorted) flags |= LockwellDatabase::kFlagNeedsResort;
  for (int i = 0; i < 4; ++i) header[LockwellDatabase::kFlagsOffset + i] = char(flags >> (8 * i));
  if (anyOld) header[LockwellDatabase::kPassphraseChangedOffset] = 1;
  ASSERT_TRUE(database.SaveHeader(errors)) << errors.Summary();
}

}  // namespace lockwell::testing
