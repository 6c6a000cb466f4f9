// From a passphrase to the vault's check value and triple-DES key.
//
// Both follow the MD5 form of EVP_BytesToKey with an 8-byte salt:
//   D_1   = MD5^count(data || salt)            (MD5 once, then count-1 more
//   D_i+1 = MD5^count(D_i || data || salt)      times over the previous digest)
//   output = D_1 || D_2 || ... cut to the length wanted.
// The handheld program and the conduit derive the same bytes; the prefix,
// the default key and both counts are fixed by the stored databases and may
// never change.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "storage/SecureString.h"

namespace lockwell {

inline constexpr size_t kSaltSize = 8;
inline constexpr size_t kDigestSize = 16;
inline constexpr size_t kVaultKeySize = 24;

// Put in front of the passphrase before key derivation (14 bytes).
inline constexpr std::string_view kKeyPrefix = "Orvane Pelt 14";
// The triple-DES key of a database that has no passphrase (24 bytes).
inline constexpr std::string_view kDefaultKey = "Tovari-Default-Key-0024!";
inline constexpr int kPassphraseDigestRounds = 91;
inline constexpr int kKeyDerivationRounds = 101;

using Salt = std::array<uint8_t, kSaltSize>;
using Digest = std::array<uint8_t, kDigestSize>;

// The MD5 form of EVP_BytesToKey above; `outSize` bytes of key output, no
// IV.  REQUIRES: count >= 1.
void BytesToKeyMd5(std::string_view data, const Salt& salt, int count, uint8_t* out, size_t outSize);

// The check value stored in the header: 91 rounds over the passphrase bytes
// (no prefix, no terminator) and the header's salt.
Digest PassphraseDigest(std::string_view passphrase, const Salt& salt);

// Compares a computed check value with the stored 16 bytes in constant time.
bool PassphraseDigestsEqual(const Digest& computed, const uint8_t* stored);

// The 24-byte key of a database with a passphrase: 101 rounds over
// key prefix || passphrase, salted.  The passphrase may be empty here; the
// default key is the caller's choice (VaultKeys::ForPassphrase).
SecureBytes DeriveKeyBytes(std::string_view passphrase, const Salt& salt);

}  // namespace lockwell
