// The three DES key schedules (K1, K2, K3) that encrypt every account body.
//
// Built from a 24-byte key: each 8-byte third gets odd parity and becomes one
// schedule, without the library's weak-key or parity check, so every key the
// handheld may have used is accepted.  The schedules are wiped when the object
// goes away and before it is assigned over; copies are independent (the
// database keeps the old keys beside the new ones during a passphrase change).
// Not thread-safe; the program is single-threaded.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "vault/KeyDerivation.h"

namespace lockwell {

class VaultKeys {
 public:
  // The schedules of the default key.
  VaultKeys();
  // REQUIRES: `key` points at kVaultKeySize bytes.
  explicit VaultKeys(const uint8_t* key);
  ~VaultKeys();

  VaultKeys(const VaultKeys& other);
  VaultKeys& operator=(const VaultKeys& other);

  // The keys of a database without a passphrase.
  static VaultKeys Default();
  // Derived from key prefix || passphrase and the salt (101 rounds).
  static VaultKeys Derived(std::string_view passphrase, const Salt& salt);
  // The keys a record's alternate passphrase stands for: an empty one means
  // the default key, any other is derived with `salt` (the record's extra).
  static VaultKeys ForAlternatePassphrase(std::string_view passphrase, const Salt& salt);

  // Triple-DES EDE CBC over `size` bytes from `in` to `out`.  `iv` is 8
  // bytes and is not changed.
  // REQUIRES: size is a multiple of 8; `in` and `out` do not overlap.
  void EncryptCbc(const uint8_t* in, uint8_t* out, size_t size, const uint8_t* iv) const;
  void DecryptCbc(const uint8_t* in, uint8_t* out, size_t size, const uint8_t* iv) const;

 private:
  struct Schedules;                       // the library's DES_key_schedule x 3, kept out of this header
  std::unique_ptr<Schedules> schedules_;  // never null
};

}  // namespace lockwell
