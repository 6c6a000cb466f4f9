#include <gtest/gtest.h>

#include <string>

#include "platform/ui/Cp1252.h"

namespace lockwell {
namespace {

std::string AllBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
  return bytes;
}

TEST(Cp1252Test, EveryByteSurvivesTheRoundTrip) {
  const std::string bytes = AllBytes();
  const QString text = Cp1252::ToQString(bytes);
  ASSERT_EQ(text.size(), 256);

  std::string back;
  QString refusal;
  ASSERT_TRUE(Cp1252::FromQString(text, back, refusal)) << refusal.toStdString();
  EXPECT_EQ(back, bytes);
  EXPECT_TRUE(refusal.isEmpty());

  SecureString secret;
  ASSERT_TRUE(Cp1252::FromQString(text, secret, refusal));
  EXPECT_EQ(secret.view(), bytes);
}

TEST(Cp1252Test, BytesMapToTheirWindowsCharacters) {
  struct Case {
    uint8_t byte;
    char16_t character;
  } cases[] = {
      {0x00, 0x0000}, {0x0D, 0x000D}, {0x41, u'A'},   {0x7F, 0x007F},
      {0x80, 0x20AC},  // euro sign
      {0x82, 0x201A}, {0x8A, 0x0160}, {0x91, 0x2018}, {0x96, 0x2013}, {0x99, 0x2122}, {0x9F, 0x0178},
      // unassigned bytes keep their own C1 control character
      {0x81, 0x0081}, {0x8D, 0x008D}, {0x8F, 0x008F}, {0x90, 0x0090}, {0x9D, 0x009D},
      {0xA0, 0x00A0}, {0xE9, 0x00E9}, {0xFF, 0x00FF},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Cp1252::ToUnicode(c.byte), c.character) << "byte " << int(c.byte);
    uint8_t byte = 0;
    EXPECT_TRUE(Cp1252::FromUnicode(c.character, byte));
    EXPECT_EQ(byte, c.byte);
  }
}

TEST(Cp1252Test, CharacterWithoutAByteIsRefusedAndNamed) {
  struct Case {
    const char* name;
    QString text;
    const char* named;  // what the refusal must name
  } cases[] = {
      {"Greek letter", QStringLiteral("abc\u03A9def"), "\"\u03A9\" (U+03A9)"},
      {"C1 control whose byte is the euro sign", QString(QChar(0x0080)), "U+0080"},
      {"character outside the basic plane, named once", QString::fromUcs4(U"x\U0001F600"), "(U+1F600)"},
      {"lone surrogate", QString(QChar(0xD800)), "U+D800"},
      {"first refused character wins", QStringLiteral("\u4E2D\u03A9"), "(U+4E2D)"},
  };
  for (const auto& c : cases) {
    std::string out = "left over";
    QString refusal;
    EXPECT_FALSE(Cp1252::FromQString(c.text, out, refusal)) << c.name;
    EXPECT_TRUE(out.empty()) << c.name;
    EXPECT_TRUE(refusal.contains(QString::fromUtf8(c.named))) << c.name << ": " << refusal.toStdString();

    SecureString secret("left over");
    EXPECT_FALSE(Cp1252::FromQString(c.text, secret, refusal)) << c.name;
    EXPECT_TRUE(secret.empty()) << c.name;
  }
}

TEST(Cp1252Test, RefusalIsASentenceForTheUser) {
  EXPECT_EQ(Cp1252::RefusalText(0x03A9).toStdString(),
            "The character \"\u03A9\" (U+03A9) cannot be stored.  Lockwell/PC keeps its text in the "
            "Windows-1252 character set; please use another character.");
  // An invisible character is named by its code alone.
  EXPECT_TRUE(Cp1252::RefusalText(0x200B).startsWith(QStringLiteral("The character U+200B cannot")));
}

TEST(Cp1252Test, PassphraseConvertsIntoTheWipingString) {
  SecureString passphrase;
  QString refusal;
  ASSERT_TRUE(Cp1252::FromQString(QStringLiteral("caf\u00E9 \u20AC5"), passphrase, refusal));
  EXPECT_EQ(passphrase.view(), std::string_view("caf\xE9 \x80" "5"));
}

}  // namespace
}  // namespace lockwell
