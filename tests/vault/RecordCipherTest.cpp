#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "VaultTestUtil.h"
#include "vault/EntropyDigest.h"
#include "vault/RecordCipher.h"
#include "vault/VaultKeys.h"

namespace lockwell {
namespace {

using test::AsBytes;
using test::AsString;
using test::ExpectRecordError;
using test::FromHex;
using test::Hex;

constexpr Salt kSalt = {1, 2, 3, 4, 5, 6, 7, 8};

Iv IvFromHex(std::string_view hex) {
  std::string bytes = FromHex(hex);
  Iv iv;
  std::copy(bytes.begin(), bytes.end(), iv.begin());
  return iv;
}

// clang-format off
// Expected bodies made with the openssl command-line tool (OpenSSL 3.0), in
// the folder and shell of KeyDerivationTest.cpp's commands (hex() and the
// file `key`, the 24 bytes derived for "correct horse" and the salt 01..08):
//   printf 'Bank\000Login:\000alice\000Pwd:\000s3cret\000URL:\000bank.example\000 \000\000 \000\000one\ntwo\000' > pt
//   { cat pt; head -c 2 /dev/zero; } > padded      # 62 bytes padded to 64
//   { cat padded; openssl dgst -md5 -binary padded; } > clear
//   openssl enc -des-ede3-cbc -nopad -K $(hex key) -iv f0e1d2c3b4a59687 -in clear -out ct; hex ct
//   openssl dgst -md5 padded
// The default key with all twelve texts empty (12 bytes padded to 16):
//   head -c 16 /dev/zero > padded0
//   { cat padded0; openssl dgst -md5 -binary padded0; } > clear0
//   K=546f766172692d44656661756c742d4b65792d3030323421    # the default key's bytes
//   openssl enc -des-ede3-cbc -nopad -K $K -iv 0011223344556677 -in clear0 -out ct0; hex ct0
// A body whose stored digest is "0123456789ABCDEF", under the default key:
//   { printf 'ab\001\177\200 ~\037'; printf '0123456789ABCDEF'; } | openssl enc -des-ede3-cbc -nopad -K $K -iv 0000000000000000 > bad; hex bad
//   printf 'ab\001\177\200 ~\037' | openssl dgst -md5
// Each body below is its IV followed by the tool's ciphertext.
// clang-format on
const std::string kAccountPlaintext =
    std::string("Bank\0Login:\0alice\0Pwd:\0s3cret\0URL:\0bank.example\0 \0\0 \0\0one\ntwo\0", 62);
constexpr const char* kAccountIv = "f0e1d2c3b4a59687";
constexpr const char* kAccountBody =
    "f0e1d2c3b4a59687157926da9f899b57cf9510a5fce879391c909ec9d68494393e2a2178fc551b8f657ef524b2107118850b9e8f"
    "b9774d26cc34185db89701f31faf57aaed03b3f3d17acb85e8f7b1c89d5fdf55e4b40a1a";
constexpr const char* kAccountPaddedMd5 = "494FDB30EB65FC310EF6B9058CFE4722";
constexpr const char* kEmptyAccountBody =
    "001122334455667745be50ad85087c1b89fdfea63721a05938875fc70ba38f18f9b4d53071bde49c";
constexpr const char* kWrongDigestBody = "000000000000000007bcb47baa748b1c4c76f1ac8d91777ea4bd6c5a9dea394b";
constexpr const char* kWrongDigestPlaintextMd5 = "6243690A980F2EC76B02AF337610F1B3";

BodyRecord Record(uint32_t recordId, const SecureString* alternate = nullptr, Salt extra = {}) {
  BodyRecord record;
  record.recordId = recordId;
  record.extra = extra;
  record.alternatePassphrase = alternate;
  return record;
}

TEST(RecordCipherTest, KnownBodiesFromTheCommandLineTool) {
  struct Case {
    const char* name;
    VaultKeys keys;
    const char* iv;
    std::string plaintext;
    const char* body;
  } cases[] = {
      {"derived key", VaultKeys::Derived("correct horse", kSalt), kAccountIv, kAccountPlaintext,
       kAccountBody},
      {"default key, empty account", VaultKeys::Default(), "0011223344556677", std::string(12, '\0'),
       kEmptyAccountBody},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string body = EncryptBody(c.keys, IvFromHex(c.iv), AsBytes(c.plaintext));
    EXPECT_EQ(Hex(body), c.body);

    ErrorList errors;
    SecureBytes plaintext;
    ASSERT_TRUE(DecryptBody(errors, c.keys, FromHex(c.body), Record(1), plaintext));
    EXPECT_TRUE(errors.Empty());
    std::string padded = c.plaintext;
    padded.resize((padded.size() + 7) / 8 * 8, '\0');
    EXPECT_EQ(Hex(AsString(plaintext)), Hex(padded));
  }
}

TEST(VaultKeysTest, WeakKeysWithoutOddParityAreAccepted) {
  // clang-format off
  //   printf 'Weak keys pass!!' > wk; W=00000000000000001E1E1E1E0F0F0F0FE0E0E0E0F1F1F1F1
  //   openssl enc -des-ede3-cbc -nopad -K $W -iv 0000000000000000 -in wk -out wkct; hex wkct
  // clang-format on
  const std::string key = FromHex("00000000000000001e1e1e1e0f0f0f0fe0e0e0e0f1f1f1f1");
  const std::string clear = "Weak keys pass!!";
  const uint8_t iv[8] = {};
  uint8_t out[16];
  VaultKeys(reinterpret_cast<const uint8_t*>(key.data()))
      .EncryptCbc(reinterpret_cast<const uint8_t*>(clear.data()), out, sizeof out, iv);
  EXPECT_EQ(Hex(out), "4b6bad40e33e384fefef488f1ce1fa88");
}

// Copies are independent and assignment replaces the schedules: the database
// keeps its old keys beside the new ones during a passphrase change.
TEST(VaultKeysTest, CopiesAndAssignmentKeepTheirOwnSchedules) {
  const Iv iv = IvFromHex(kAccountIv);
  const VaultKeys horse = VaultKeys::Derived("correct horse", kSalt);
  VaultKeys keys = VaultKeys::Default();
  const VaultKeys kept = keys;
  keys = horse;
  EXPECT_EQ(Hex(EncryptBody(keys, iv, AsBytes(kAccountPlaintext))), kAccountBody);
  EXPECT_NE(Hex(EncryptBody(kept, iv, AsBytes(kAccountPlaintext))), kAccountBody);
  EXPECT_EQ(Hex(EncryptBody(kept, iv, AsBytes(kAccountPlaintext))),
            Hex(EncryptBody(VaultKeys::Default(), iv, AsBytes(kAccountPlaintext))));
}

// Padding: zeros up to the next multiple of 8, none when the plaintext is one
// already; the body is 8 + padded + 16 bytes.
TEST(RecordCipherTest, BodyLengthFollowsThePaddedPlaintext) {
  struct Case {
    size_t plaintextSize, paddedSize;
  } cases[] = {{0, 0}, {1, 8}, {7, 8}, {8, 8}, {12, 16}, {16, 16}, {17, 24}, {24, 24}, {62, 64}};
  const VaultKeys keys = VaultKeys::Derived("correct horse", kSalt);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.plaintextSize);
    std::string text(c.plaintextSize, '\0');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
    const std::string body = EncryptBody(keys, NewIv(nullptr, 1), AsBytes(text));
    EXPECT_EQ(body.size(), 8 + c.paddedSize + 16);

    ErrorList errors;
    SecureBytes plaintext;
    ASSERT_TRUE(DecryptBody(errors, keys, body, Record(1), plaintext));
    ASSERT_EQ(plaintext.size(), c.paddedSize);
    EXPECT_EQ(AsString(plaintext).substr(0, text.size()), text);
    EXPECT_EQ(AsString(plaintext).substr(text.size()), std::string(c.paddedSize - text.size(), '\0'));
  }
}

TEST(RecordCipherTest, SamePlaintextTwiceGivesTwoBodiesThatBothDecrypt) {
  const VaultKeys keys = VaultKeys::Derived("correct horse", kSalt);
  std::vector<uint8_t> objectBytes(64, 0x5A);
  std::vector<uint8_t> header(4416, 0);
  const EntropyDatabase database{objectBytes.data(), objectBytes.size(), header};
  const std::string first = EncryptBody(keys, NewIv(&database, 42), AsBytes(kAccountPlaintext));
  const std::string second = EncryptBody(keys, NewIv(&database, 42), AsBytes(kAccountPlaintext));
  EXPECT_NE(first.substr(0, 8), second.substr(0, 8));
  EXPECT_NE(first, second);
  for (const std::string& body : {first, second}) {
    ErrorList errors;
    SecureBytes plaintext;
    ASSERT_TRUE(DecryptBody(errors, keys, body, Record(42), plaintext));
    EXPECT_EQ(AsString(plaintext).substr(0, kAccountPlaintext.size()), kAccountPlaintext);
  }
}

TEST(RecordCipherTest, DigestErrorTextIsBuiltExactly) {
  ErrorList errors;
  SecureBytes plaintext = {1, 2, 3};
  EXPECT_FALSE(
      DecryptBody(errors, VaultKeys::Default(), FromHex(kWrongDigestBody), Record(4294967295u), plaintext));
  EXPECT_TRUE(plaintext.empty());
  // The digest computed over the plaintext comes first, the stored one after
  // ", Computed: "; 0x7F shows as itself, 0x80 and control bytes as commas.
  const std::string expected = std::string("Record digest incorrect (record# 4294967295).  Digest: ") +
                               kWrongDigestPlaintextMd5 +
                               ", Computed: 30313233343536373839414243444546"
                               ", Decrypted Size: 8, Possible data: ab,\x7F, ~,0123456789ABCDEF";
  ExpectRecordError(errors, RECORD_DIGEST_INCORRECT, expected.c_str());
}

// Every flipped byte, IV included, fails the digest check.  A flip in the last
// block spoils only the stored digest, so the message still shows the digest
// of the intact plaintext first.
TEST(RecordCipherTest, AnyFlippedByteGivesTheDigestError) {
  const VaultKeys keys = VaultKeys::Derived("correct horse", kSalt);
  const std::string body = FromHex(kAccountBody);
  for (size_t i = 0; i < body.size(); ++i) {
    SCOPED_TRACE(i);
    std::string damaged = body;
    damaged[i] = static_cast<char>(damaged[i] ^ 0x04);
    ErrorList errors;
    SecureBytes plaintext;
    EXPECT_FALSE(DecryptBody(errors, keys, damaged, Record(42), plaintext));
    EXPECT_TRUE(plaintext.empty());
    ExpectRecordError(errors, RECORD_DIGEST_INCORRECT);
    const std::string& text = (*errors.begin())->Detail();
    EXPECT_EQ(text.rfind("Record digest incorrect (record# 42).  Digest: ", 0), 0u) << text;
    if (i < body.size() - 8) continue;
    const std::string head = std::string("Record digest incorrect (record# 42).  Digest: ") +
                             kAccountPaddedMd5 +
                             ", Computed: " + std::string(kAccountPaddedMd5).substr(0, 16);
    EXPECT_EQ(text.substr(0, head.size()), head);
    const std::string middle =
        ", Decrypted Size: 64, Possible data: Bank,Login:,alice,Pwd:,s3cret,URL:,bank.example, ,, "
        ",,one,two,,,";
    EXPECT_EQ(text.substr(head.size() + 16, middle.size()), middle);
    EXPECT_EQ(text.size(), head.size() + 16 + middle.size() + 16);
  }
}

// Lengths that no body can have are refused with the digest error's code;
// the body sits in a buffer of exactly its size so a read past its end shows
// under the address sanitizer.
TEST(RecordCipherTest, ImpossibleBodyLengthsAreRefused) {
  for (size_t size : {0, 1, 7, 8, 16, 23, 25, 31, 33, 39}) {
    SCOPED_TRACE(size);
    std::vector<char> exact(size, 'x');
    ErrorList errors;
    SecureBytes plaintext;
    EXPECT_FALSE(DecryptBody(errors, VaultKeys::Default(), std::string_view(exact.data(), exact.size()),
                             Record(9), plaintext));
    ExpectRecordError(errors, RECORD_DIGEST_INCORRECT);
    EXPECT_NE((*errors.begin())->Detail().find("record# 9"), std::string::npos);
  }
  // 24 bytes is the body of an empty plaintext: it decrypts (parsing it fails later).
  const std::string empty = EncryptBody(VaultKeys::Default(), Iv{}, {});
  ASSERT_EQ(empty.size(), 24u);
  ErrorList errors;
  SecureBytes plaintext;
  EXPECT_TRUE(DecryptBody(errors, VaultKeys::Default(), empty, Record(9), plaintext));
  EXPECT_TRUE(plaintext.empty());
}

// A record the handheld still holds under an older passphrase: the retry uses
// keys from the alternate passphrase salted with the record's own extra bytes
// (the default key for an empty one), once.
TEST(RecordCipherTest, AlternatePassphraseRetriesOnceWithTheRecordsExtraAsSalt) {
  const Salt extra = {9, 8, 7, 6, 5, 4, 3, 2};
  const VaultKeys current = VaultKeys::Derived("new pass", kSalt);
  const SecureString oldPass("old pass"), wrong("wrong"), empty("");
  struct Case {
    const char* name;
    VaultKeys bodyKeys;
    const SecureString* alternate;
    bool decrypts;
  } cases[] = {
      {"older passphrase, none set", VaultKeys::Derived("old pass", extra), nullptr, false},
      {"older passphrase set", VaultKeys::Derived("old pass", extra), &oldPass, true},
      {"wrong alternate", VaultKeys::Derived("old pass", extra), &wrong, false},
      {"empty alternate is the default key", VaultKeys::Derived("old pass", extra), &empty, false},
      {"salted with the header's salt, not extra", VaultKeys::Derived("old pass", kSalt), &oldPass, false},
      {"default key, empty alternate", VaultKeys::Default(), &empty, true},
      {"default key, none set", VaultKeys::Default(), nullptr, false},
      {"current keys need no retry", VaultKeys::Derived("new pass", kSalt), &wrong, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string body = EncryptBody(c.bodyKeys, NewIv(nullptr, 5), AsBytes(kAccountPlaintext));
    ErrorList errors;
    SecureBytes plaintext;
    EXPECT_EQ(DecryptBody(errors, current, body, Record(5, c.alternate, extra), plaintext), c.decrypts);
    if (c.decrypts) {
      EXPECT_TRUE(errors.Empty());
      EXPECT_EQ(AsString(plaintext).substr(0, kAccountPlaintext.size()), kAccountPlaintext);
    } else {
      ExpectRecordError(errors, RECORD_DIGEST_INCORRECT);
    }
  }
}

TEST(EntropyDigestTest, SuccessiveSaltsAndIvsDiffer) {
  std::vector<uint8_t> header(4416, 0);
  const int object = 0;
  const EntropyDatabase database{&object, sizeof object, header};
  EXPECT_NE(NewSalt(database), NewSalt(database));
  EXPECT_NE(NewIv(&database, 1), NewIv(&database, 1));
  EXPECT_NE(EntropyDigest(nullptr), EntropyDigest(nullptr));
}

}  // namespace
}  // namespace lockwell
