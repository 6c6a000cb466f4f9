// An open account database for the dialog tests: the conduit's categories
// "Unfiled", "Business" and "Personal" (unique IDs 1, 2, 3), no accounts,
// the built-in default preferences.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "storage/ErrorList.h"
#include "storage/SecureString.h"
#include "support/TempDir.h"
#include "support/VaultFixture.h"
#include "vault/LockwellDatabase.h"

namespace lockwell::testing {

class OpenVault {
 public:
  static constexpr uint32_t kUnfiled = 0, kBusiness = 1, kPersonal = 2;

  OpenVault() {
    VaultFixture fixture;
    fixture.passphrase = "pw";
    path_ = dir_.File("vault.lwdb");
    std::string error;
    EXPECT_TRUE(fixture.Write(path_, error)) << error;
    Reopen();
  }

  LockwellDatabase& db() { return *db_; }
  const std::string& path() const { return path_; }

  // Closes the database (preferences saved) and opens the file again.
  void Reopen() {
    db_.reset();
    ErrorList errors;
    db_ = std::make_unique<LockwellDatabase>(errors, path_, SecureString("pw"), false);
    EXPECT_TRUE(db_->IsOpen()) << errors.Summary();
  }

 private:
  TempDir dir_;
  std::string path_;
  std::unique_ptr<LockwellDatabase> db_;
};

}  // namespace lockwell::testing
