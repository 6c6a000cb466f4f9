#include "vault/KeyDerivation.h"

#include <openssl/crypto.h>
#include <openssl/md5.h>

#include <algorithm>
#include <cassert>

namespace lockwell {

void BytesToKeyMd5(std::string_view data, const Salt& salt, int count, uint8_t* out, size_t outSize) {
  assert(count >= 1);
  uint8_t digest[MD5_DIGEST_LENGTH];
  MD5_CTX context;
  size_t produced = 0;
  bool first = true;
  while (produced < outSize) {
    MD5_Init(&context);
    if (!first) MD5_Update(&context, digest, sizeof digest);
    MD5_Update(&context, data.data(), data.size());
    MD5_Update(&context, salt.data(), salt.size());
    MD5_Final(digest, &context);
    for (int round = 1; round < count; ++round) {
      MD5_Init(&context);
      MD5_Update(&context, digest, sizeof digest);
      MD5_Final(digest, &context);
    }
    size_t take = std::min(outSize - produced, sizeof digest);
    std::copy(digest, digest + take, out + produced);
    produced += take;
    first = false;
  }
  OPENSSL_cleanse(digest, sizeof digest);
  OPENSSL_cleanse(&context, sizeof context);
}

Digest PassphraseDigest(std::string_view passphrase, const Salt& salt) {
  Digest result;
  BytesToKeyMd5(passphrase, salt, kPassphraseDigestRounds, result.data(), result.size());
  return result;
}

bool PassphraseDigestsEqual(const Digest& computed, const uint8_t* stored) {
  return CRYPTO_memcmp(computed.data(), stored, computed.size()) == 0;
}

SecureBytes DeriveKeyBytes(std::string_view passphrase, const Salt& salt) {
  SecureString data;
  data.reserve(kKeyPrefix.size() + passphrase.size());
  data.append(kKeyPrefix.data(), kKeyPrefix.size());
  data.append(passphrase.data(), passphrase.size());
  SecureBytes key(kVaultKeySize);
  BytesToKeyMd5(data.view(), salt, kKeyDerivationRounds, key.data(), key.size());
  return key;
}

}  // namespace lockwell
