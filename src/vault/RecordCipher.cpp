#include "vault/RecordCipher.h"

#include <openssl/crypto.h>
#include <openssl/md5.h>

#include <cstdio>
#include <cstring>

#include "vault/RecordModule.h"

namespace lockwell {
namespace {

Digest Md5(const uint8_t* data, size_t size) {
  MD5_CTX context;
  MD5_Init(&context);
  MD5_Update(&context, data, size);
  Digest digest;
  MD5_Final(digest.data(), &context);
  OPENSSL_cleanse(&context, sizeof context);  // its buffer held plaintext
  return digest;
}

void AppendHex(std::string& text, const uint8_t* bytes, size_t size) {
  static const char kHex[] = "0123456789ABCDEF";
  for (size_t i = 0; i < size; ++i) {
    text.push_back(kHex[bytes[i] >> 4]);
    text.push_back(kHex[bytes[i] & 0x0F]);
  }
}

// The text of the digest error.  It carries decrypted bytes, so it is built
// in a buffer reserved once (no reallocation leaves a copy behind) and moved
// into the error record, which wipes it when it goes away.
//   decrypted: the L - 8 decrypted bytes (plaintext, then the stored digest)
void ReportDigestError(ErrorList& errors, uint32_t recordId, const SecureBytes& decrypted,
                       const Digest& computed) {
  const size_t plaintextSize = decrypted.size() - kDigestSize;
  const uint8_t* stored = decrypted.data() + plaintextSize;
  char number[32];

  std::string text;
  text.reserve(200 + decrypted.size());
  std::snprintf(number, sizeof number, "%lu", static_cast<unsigned long>(recordId));
  text += "Record digest incorrect (record# ";
  text += number;
  text += ").  Digest: ";
  // The computed digest stands after "Digest: ", the stored one after
  // ", Computed: "; readers of the message expect them that way round.
  AppendHex(text, computed.data(), computed.size());
  text += ", Computed: ";
  AppendHex(text, stored, kDigestSize);
  std::snprintf(number, sizeof number, "%lu", static_cast<unsigned long>(plaintextSize));
  text += ", Decrypted Size: ";
  text += number;
  text += ", Possible data: ";
  for (uint8_t byte : decrypted) text.push_back(byte >= 0x20 && byte <= 0x7F ? static_cast<char>(byte) : ',');
  errors.Append(RecordModuleId(), RECORD_DIGEST_INCORRECT, std::move(text));
}

// One attempt: decrypts into `decrypted` and returns the digest computed over
// its plaintext part; `matches` tells whether it equals the stored one.
Digest DecryptOnce(const VaultKeys& keys, std::string_view body, SecureBytes& decrypted, bool& matches) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(body.data());
  decrypted.assign(body.size() - kIvSize, 0);
  keys.DecryptCbc(bytes + kIvSize, decrypted.data(), decrypted.size(), bytes);
  const size_t plaintextSize = decrypted.size() - kDigestSize;
  Digest computed = Md5(decrypted.data(), plaintextSize);
  matches = CRYPTO_memcmp(computed.data(), decrypted.data() + plaintextSize, kDigestSize) == 0;
  return computed;
}

}  // namespace

Iv NewIv(const EntropyDatabase* database, uint32_t recordId) {
  uint8_t extra[sizeof recordId];
  std::memcpy(extra, &recordId, sizeof recordId);  // as held in memory
  Digest digest = EntropyDigest(database, extra);
  Iv iv;
  std::memcpy(iv.data(), digest.data(), iv.size());
  return iv;
}

std::string EncryptBody(const VaultKeys& keys, const Iv& iv, std::span<const uint8_t> plaintext) {
  const size_t padded = (plaintext.size() + 7) / 8 * 8;
  SecureBytes clear(padded + kDigestSize, 0);
  if (!plaintext.empty()) std::memcpy(clear.data(), plaintext.data(), plaintext.size());
  Digest digest = Md5(clear.data(), padded);
  std::memcpy(clear.data() + padded, digest.data(), digest.size());

  std::string body(kIvSize + clear.size(), '\0');
  auto* out = reinterpret_cast<uint8_t*>(body.data());
  std::memcpy(out, iv.data(), kIvSize);
  keys.EncryptCbc(clear.data(), out + kIvSize, clear.size(), iv.data());
  return body;
}

bool DecryptBody(ErrorList& errors, const VaultKeys& keys, std::string_view body, const BodyRecord& record,
                 SecureBytes& plaintext) {
  plaintext.clear();
  if (body.size() < kMinimumBodySize || (body.size() - kIvSize) % 8 != 0) {
    char text[128];
    std::snprintf(text, sizeof text,
                  "Record body has an impossible length (record# %lu, %lu bytes); it is damaged.",
                  static_cast<unsigned long>(record.recordId), static_cast<unsigned long>(body.size()));
    errors.Append(RecordModuleId(), RECORD_DIGEST_INCORRECT, text);
    return false;
  }

  SecureBytes decrypted;
  bool matches = false;
  Digest computed = DecryptOnce(keys, body, decrypted, matches);
  if (!matches && record.alternatePassphrase != nullptr) {
    // A record the handheld still holds under an older passphrase.
    VaultKeys alternate = VaultKeys::ForAlternatePassphrase(record.alternatePassphrase->view(), record.extra);
    computed = DecryptOnce(alternate, body, decrypted, matches);
  }  // the alternate schedules are wiped here
  if (!matches) {
    ReportDigestError(errors, record.recordId, decrypted, computed);
    return false;
  }
  decrypted.resize(decrypted.size() - kDigestSize);
  plaintext = std::move(decrypted);
  return true;
}

}  // namespace lockwell
