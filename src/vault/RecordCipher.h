// Encryption and verification of one account body (a record's payload).
//
// Body layout, L bytes.  WARNING: embedded in every database and shared with
// the handheld program and the conduit; never change it.
//   OFFSET  SIZE    MEANING
//        0  8       IV, in clear
//        8  N + 16  triple-DES EDE CBC under the IV of: the account plaintext
//                   followed by 0x00 bytes up to N, the next multiple of 8
//                   (none when it already is one), then the 16-byte MD5 of
//                   those N bytes
// So L = 8 + N + 16 is a multiple of 8 and never below 24.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "storage/ErrorList.h"
#include "storage/SecureString.h"
#include "vault/EntropyDigest.h"
#include "vault/KeyDerivation.h"
#include "vault/VaultKeys.h"

namespace lockwell {

inline constexpr size_t kIvSize = 8;
inline constexpr size_t kMinimumBodySize = kIvSize + kDigestSize;

using Iv = std::array<uint8_t, kIvSize>;

// A fresh IV for a record: the first 8 bytes of EntropyDigest over the owning
// database (may be null) with the record's 4-byte recordId as extra bytes.
Iv NewIv(const EntropyDatabase* database, uint32_t recordId);

// IV || ciphertext as laid out above.  Cannot fail.
std::string EncryptBody(const VaultKeys& keys, const Iv& iv, std::span<const uint8_t> plaintext);

// What decryption needs to know about the record that holds the body.
struct BodyRecord {
  uint32_t recordId = 0;  // named in the digest error
  Salt extra{};           // the record's 8 extra bytes: salt of the alternate keys
  // The record's alternate passphrase, or null when none is set.  An empty
  // one stands for the default key.
  const SecureString* alternatePassphrase = nullptr;
};

// Decrypts `body` with `keys` and checks its digest.  On a mismatch, when the
// record has an alternate passphrase, tries once more under the keys derived
// from it (salted with the record's extra bytes).  On success `plaintext`
// holds the N padded plaintext bytes; on failure it is empty and `errors` has
// one record of the record module with code RECORD_DIGEST_INCORRECT: the
// digest error, or the refusal of a body whose length can not be a body's.
bool DecryptBody(ErrorList& errors, const VaultKeys& keys, std::string_view body, const BodyRecord& record,
                 SecureBytes& plaintext);

}  // namespace lockwell
