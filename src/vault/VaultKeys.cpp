#include "vault/VaultKeys.h"

#include <openssl/crypto.h>
#include <openssl/des.h>

#include <cassert>
#include <cstring>

namespace lockwell {

struct VaultKeys::Schedules {
  DES_key_schedule k[3];
  ~Schedules() { OPENSSL_cleanse(k, sizeof k); }
};

VaultKeys::VaultKeys() : VaultKeys(reinterpret_cast<const uint8_t*>(kDefaultKey.data())) {}

VaultKeys::VaultKeys(const uint8_t* key) : schedules_(std::make_unique<Schedules>()) {
  static_assert(kDefaultKey.size() == kVaultKeySize);
  for (int i = 0; i < 3; ++i) {
    DES_cblock part;
    std::memcpy(part, key + 8 * i, sizeof part);
    DES_set_odd_parity(&part);
    DES_set_key_unchecked(&part, &schedules_->k[i]);
    OPENSSL_cleanse(part, sizeof part);
  }
}

VaultKeys::~VaultKeys() = default;  // Schedules wipes itself

VaultKeys::VaultKeys(const VaultKeys& other) : schedules_(std::make_unique<Schedules>()) {
  std::memcpy(schedules_->k, other.schedules_->k, sizeof schedules_->k);
}

VaultKeys& VaultKeys::operator=(const VaultKeys& other) {
  if (this != &other) {
    OPENSSL_cleanse(schedules_->k, sizeof schedules_->k);
    std::memcpy(schedules_->k, other.schedules_->k, sizeof schedules_->k);
  }
  return *this;
}

VaultKeys VaultKeys::Default() { return VaultKeys(); }

VaultKeys VaultKeys::Derived(std::string_view passphrase, const Salt& salt) {
  SecureBytes key = DeriveKeyBytes(passphrase, salt);
  return VaultKeys(key.data());
}

VaultKeys VaultKeys::ForAlternatePassphrase(std::string_view passphrase, const Salt& salt) {
  return passphrase.empty() ? Default() : Derived(passphrase, salt);
}

void VaultKeys::EncryptCbc(const uint8_t* in, uint8_t* out, size_t size, const uint8_t* iv) const {
  assert(size % 8 == 0);
  DES_cblock chain;
  std::memcpy(chain, iv, sizeof chain);
  DES_ede3_cbc_encrypt(in, out, static_cast<long>(size), &schedules_->k[0], &schedules_->k[1],
                       &schedules_->k[2], &chain, DES_ENCRYPT);
}

void VaultKeys::DecryptCbc(const uint8_t* in, uint8_t* out, size_t size, const uint8_t* iv) const {
  assert(size % 8 == 0);
  DES_cblock chain;
  std::memcpy(chain, iv, sizeof chain);
  DES_ede3_cbc_encrypt(in, out, static_cast<long>(size), &schedules_->k[0], &schedules_->k[1],
                       &schedules_->k[2], &chain, DES_DECRYPT);
}

}  // namespace lockwell
