// Helpers for the account database tests: a scratch folder, fixture files,
// and readers that look at a database the way the conduit would (raw record
// bytes) or the way the main window does (decrypted accounts).
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "palmdb/PalmDatabaseRecord.h"
#include "storage/ErrorList.h"
#include "storage/ModuleRegistry.h"
#include "storage/SecureString.h"
#include "support/TempDir.h"
#include "support/VaultFixture.h"
#include "vault/LockwellDatabase.h"
#include "vault/LockwellRecord.h"

namespace lockwell::vaulttest {

using lockwell::testing::FixtureAccount;

using lockwell::testing::TempDir;
using lockwell::testing::VaultFixture;

// What one stored record looks like, payload included.
struct StoredRecord {
  uint32_t recordId = 0;
  bool desktopId = false;
  uint32_t status = 0;
  uint32_t flags = 0;
  uint32_t category = 0;
  std::string payload;
  bool operator==(const StoredRecord&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const StoredRecord& r) {
  return out << "{id " << r.recordId << (r.desktopId ? "d" : "h") << " status " << r.status << " flags " << r.flags
             << " cat " << r.category << " payload " << r.payload.size() << "B}";
}

inline std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class VaultDatabaseTest : public ::testing::Test {
 protected:
  std::string Write(const VaultFixture& fixture, const std::string& name = "vault.lwdb") {
    std::string path = dir_.File(name);
    std::string error;
    EXPECT_TRUE(fixture.Write(path, error)) << error;
    return path;
  }

  std::unique_ptr<LockwellDatabase> Open(const std::string& path, const std::string& passphrase,
                                         bool create = false) {
    return std::make_unique<LockwellDatabase>(errors_, path, SecureString(passphrase), create);
  }

  // Every record in file order, deleted ones included, without decrypting.
  std::vector<StoredRecord> Stored(LockwellDatabase& db) {
    std::vector<StoredRecord> all;
    uint32_t count = 0;
    EXPECT_TRUE(db.GetRecordCount(errors_, true, count));
    for (uint32_t p = 0; p < count; ++p) {
      PalmDatabaseRecord record(&db);
      EXPECT_TRUE(db.ReadRecordAt(errors_, p, record)) << errors_.Summary();
      StoredRecord s;
      record.GetRecordId(errors_, s.recordId, s.desktopId);
      record.GetStatus(errors_, s.status);
      record.GetSyncFlags(errors_, s.flags);
      record.GetCategory(errors_, s.category);
      record.GetPayload(errors_, s.payload);
      all.push_back(s);
    }
    return all;
  }

  // The titles of the live records in file order, decrypted.
  std::vector<std::string> Titles(LockwellDatabase& db) {
    std::vector<std::string> titles;
    uint32_t count = 0;
    EXPECT_TRUE(db.GetRecordCount(errors_, false, count));
    for (uint32_t n = 0; n < count; ++n) {
      LockwellRecord record(&db);
      EXPECT_TRUE(db.ReadNthInCategory(errors_, ALL_CATEGORIES, n, record)) << errors_.Summary();
      SecureString title;
      record.getTitle(errors_, title);
      titles.emplace_back(title.view());
    }
    return titles;
  }

  // A new record with `title`, given a fresh desktop ID by `db`.
  static void Fill(LockwellRecord& record, const std::string& title, const std::string& login = "") {
    ErrorList errors;
    record.setTitle(errors, title);
    record.setField(errors, 0, "Login:", login);
  }

  // The single error record of `errors` is `code` of the database module
  // with exactly `text`.
  static void ExpectDatabaseError(const ErrorList& errors, uint32_t code, const std::string& text) {
    ASSERT_EQ(errors.Size(), 1u) << errors.Summary();
    const ErrorRecord& record = **errors.begin();
    EXPECT_EQ(ModuleName(record.ModuleId()), "Tallmark Lockwell Database Class");
    EXPECT_EQ(record.Code(), code);
    EXPECT_EQ(record.Detail(), text);
    EXPECT_EQ(record.Line(), 0u);
    EXPECT_TRUE(record.SourceFile().empty());
  }

  TempDir dir_;
  ErrorList errors_;
};

}  // namespace lockwell::vaulttest
