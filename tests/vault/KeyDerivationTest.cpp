#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <string>

#include "VaultTestUtil.h"
#include "vault/KeyDerivation.h"

namespace lockwell {
namespace {

using test::Hex;

constexpr Salt kSalt = {1, 2, 3, 4, 5, 6, 7, 8};

// clang-format off
// Expected bytes made with the openssl command-line tool (OpenSSL 3.0), MD5
// chained in the shell (sh):
//   chain() { i=1; while [ $i -lt $1 ]; do openssl dgst -md5 -binary "$2" > "$2.n"; mv "$2.n" "$2"; i=$((i+1)); done; }
//   hex() { od -An -v -tx1 "$1" | tr -d ' \n'; echo; }
//   salt='\001\002\003\004\005\006\007\010'
//   printf "correct horse$salt" | openssl dgst -md5 -binary > pd; chain 91 pd; hex pd
//   printf "Orvane Pelt 14correct horse$salt" > data
//   openssl dgst -md5 -binary data > d1; chain 101 d1
//   cat d1 data | openssl dgst -md5 -binary > d2; chain 101 d2
//   { cat d1; head -c 8 d2; } > key; hex key
// clang-format on
constexpr const char* kCorrectHorseDigest = "4856fb95f83ec57a1f0d2c86a71898fb";
constexpr const char* kCorrectHorseKey = "b5a88028e72408ed1c3817472b95dc72009f2b9a6137e1af";

TEST(KeyDerivationTest, KnownAnswersFromTheCommandLineTool) {
  EXPECT_EQ(Hex(PassphraseDigest("correct horse", kSalt)), kCorrectHorseDigest);
  EXPECT_EQ(Hex(DeriveKeyBytes("correct horse", kSalt)), kCorrectHorseKey);
}

// The written-out chains must agree with the library's EVP_BytesToKey for
// every passphrase, including the empty one and bytes above 0x7F.
TEST(KeyDerivationTest, AgreesWithEvpBytesToKey) {
  const std::string passphrases[] = {"", "a", "correct horse", std::string("\xE9t\xE9\x00x", 5),
                                     std::string(300, 'p')};
  const Salt salts[] = {kSalt, Salt{}, Salt{0xFF, 0x80, 0x7F, 0, 0x10, 0x20, 0x30, 0x40}};
  for (const std::string& passphrase : passphrases) {
    for (const Salt& salt : salts) {
      SCOPED_TRACE(Hex(passphrase) + " / " + Hex(salt));
      const auto* data = reinterpret_cast<const unsigned char*>(passphrase.data());
      const int size = static_cast<int>(passphrase.size());

      // A cipher with a 16-byte key and no IV gives the check value's shape.
      unsigned char digest[16];
      ASSERT_EQ(EVP_BytesToKey(EVP_aes_128_ecb(), EVP_md5(), salt.data(), data, size, kPassphraseDigestRounds,
                               digest, nullptr),
                16);
      EXPECT_EQ(Hex(PassphraseDigest(passphrase, salt)), Hex(digest));

      const std::string prefixed = std::string(kKeyPrefix) + passphrase;
      unsigned char key[24];
      ASSERT_EQ(EVP_BytesToKey(EVP_des_ede3_cbc(), EVP_md5(), salt.data(),
                               reinterpret_cast<const unsigned char*>(prefixed.data()),
                               static_cast<int>(prefixed.size()), kKeyDerivationRounds, key, nullptr),
                24);
      EXPECT_EQ(Hex(DeriveKeyBytes(passphrase, salt)), Hex(key));
    }
  }
}

TEST(KeyDerivationTest, DigestComparisonSeesEveryByte) {
  const Digest computed = PassphraseDigest("correct horse", kSalt);
  EXPECT_TRUE(PassphraseDigestsEqual(computed, computed.data()));
  for (size_t i = 0; i < computed.size(); ++i) {
    Digest stored = computed;
    stored[i] ^= 0x01;
    EXPECT_FALSE(PassphraseDigestsEqual(computed, stored.data())) << "byte " << i;
  }
}

}  // namespace
}  // namespace lockwell
