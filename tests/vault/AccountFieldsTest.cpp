#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "VaultTestUtil.h"
#include "vault/AccountFields.h"

namespace lockwell {
namespace {

using namespace std::string_literals;
using test::AsBytes;
using test::AsString;
using test::ExpectRecordError;

// An account with every text set: title, "L1:"/"v1" ... "L5:"/"v5", note.
AccountFields FullAccount() {
  AccountFields account;
  ErrorList errors;
  account.setTitle("Bank");
  for (int i = 0; i < AccountFields::kFieldCount; ++i) {
    const std::string n = std::to_string(i + 1);
    EXPECT_TRUE(account.setField(errors, i, "L" + n + ":", "v" + n));
  }
  account.setNote("note");
  return account;
}

std::string Plaintext(const AccountFields& account) { return AsString(account.buildPlaintext()); }

TEST(AccountFieldsTest, EmptyAccountIsTwelveTerminators) {
  EXPECT_EQ(Plaintext(AccountFields()), std::string(12, '\0'));
}

TEST(AccountFieldsTest, PlaintextHoldsTheTwelveTextsInOrder) {
  EXPECT_EQ(Plaintext(FullAccount()), "Bank\0L1:\0v1\0L2:\0v2\0L3:\0v3\0L4:\0v4\0L5:\0v5\0note\0"s);
}

TEST(AccountFieldsTest, SetFieldNormalisesTheLabel) {
  struct Case {
    std::string given, stored;
  } cases[] = {
      {"", " "},     {"Pwd", "Pwd:"}, {" ", " "},          {"Pwd:", "Pwd:"},
      {"  ", "  :"}, {":", ":"},      {"Pwd\0x"s, "Pwd:"},  // a C string ends at its NUL
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("[" + c.given + "]");
    AccountFields account;
    ErrorList errors;
    ASSERT_TRUE(account.setField(errors, 2, c.given, "value"));
    SecureString label, value;
    ASSERT_TRUE(account.getField(errors, 2, label, value));
    EXPECT_EQ(label.view(), c.stored);
    EXPECT_EQ(value.view(), "value");
    EXPECT_TRUE(errors.Empty());
  }
}

TEST(AccountFieldsTest, FieldNumbersOutsideZeroToFourFailAndChangeNothing) {
  for (int number : {5, -1, 100}) {
    SCOPED_TRACE(number);
    AccountFields account = FullAccount();
    const std::string before = Plaintext(account);
    {
      ErrorList errors;
      EXPECT_FALSE(account.setField(errors, number, "X:", "y"));
      ExpectRecordError(errors, RECORD_INVALID_FIELD_NUMBER, "Invalid field number specified");
    }
    {
      ErrorList errors;
      SecureString label("keep"), value("keep");
      EXPECT_FALSE(account.getField(errors, number, label, value));
      ExpectRecordError(errors, RECORD_INVALID_FIELD_NUMBER, "Invalid field number specified");
    }
    EXPECT_EQ(Plaintext(account), before);
  }
}

TEST(AccountFieldsTest, FindFieldValueByExactLabel) {
  AccountFields account = FullAccount();
  ErrorList setup;
  ASSERT_TRUE(account.setField(setup, 3, "Pwd", "first"));
  ASSERT_TRUE(account.setField(setup, 4, "Pwd:", "second"));
  struct Case {
    const char* name;
    const char* value;  // null: not found
  } cases[] = {
      {"Title", "Bank"},  {"Title:", "Bank"}, {"Note", "note"}, {"Note:", "note"},
      {"L2", "v2"},       {"L2:", "v2"},      {"Pwd", "first"}, {"pwd", nullptr},
      {"TITLE", nullptr}, {"L2::", nullptr},  {"", nullptr},    {"v1", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ErrorList errors;
    SecureString value("unchanged");
    EXPECT_EQ(account.findFieldValue(errors, c.name, value), c.value != nullptr);
    if (c.value != nullptr) {
      EXPECT_EQ(value.view(), c.value);
      EXPECT_TRUE(errors.Empty());
    } else {
      ExpectRecordError(errors, RECORD_FIELD_NAME_NOT_FOUND, "Field name not found");
    }
  }
}

// CR LF in memory, LF in storage; a lone CR or LF is kept on the way out,
// and every stored LF reads back as CR LF.
TEST(AccountFieldsTest, LineEndsConvertBetweenMemoryAndStorage) {
  struct Case {
    const char* name;
    std::string memory, stored, readBack;
  } cases[] = {
      {"CR LF pair", "one\r\ntwo", "one\ntwo", "one\r\ntwo"}, {"lone CR", "one\rtwo", "one\rtwo", "one\rtwo"},
      {"lone LF", "one\ntwo", "one\ntwo", "one\r\ntwo"},      {"CR CR LF", "a\r\r\nb", "a\r\nb", "a\r\r\nb"},
      {"trailing CR LF", "end\r\n", "end\n", "end\r\n"},      {"LF CR", "a\n\rb", "a\n\rb", "a\r\n\rb"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AccountFields account;
    ErrorList errors;
    account.setTitle(c.memory);
    account.setNote(c.memory);
    ASSERT_TRUE(account.setField(errors, 0, "Login:", c.memory));
    const std::string plaintext = Plaintext(account);
    const std::string expected =
        c.stored + '\0' + "Login:" + '\0' + c.stored + '\0' + std::string(8, '\0') + c.stored + '\0';
    EXPECT_EQ(plaintext, expected);

    AccountFields loaded;
    ASSERT_TRUE(loaded.parsePlaintext(errors, AsBytes(plaintext)));
    SecureString label, value;
    ASSERT_TRUE(loaded.getField(errors, 0, label, value));
    EXPECT_EQ(loaded.title().view(), c.readBack);
    EXPECT_EQ(loaded.note().view(), c.readBack);
    EXPECT_EQ(value.view(), c.readBack);
  }
}

TEST(AccountFieldsTest, ParseReadsBackWhatWasBuiltAndIgnoresPadding) {
  const AccountFields account = FullAccount();
  std::string plaintext = Plaintext(account);
  plaintext.append(7, '\0');  // the cipher's padding
  AccountFields loaded;
  ErrorList errors;
  ASSERT_TRUE(loaded.parsePlaintext(errors, AsBytes(plaintext)));
  EXPECT_EQ(Plaintext(loaded), Plaintext(account));
  EXPECT_FALSE(loaded < account);
  EXPECT_FALSE(account < loaded);
}

// Cutting the plaintext anywhere before the note's terminator leaves some
// text without its 0x00.
TEST(AccountFieldsTest, MissingTerminatorIsInsufficientData) {
  const std::string plaintext = Plaintext(FullAccount());
  for (size_t size = 0; size < plaintext.size(); ++size) {
    SCOPED_TRACE(size);
    std::vector<uint8_t> exact(plaintext.begin(), plaintext.begin() + static_cast<long>(size));
    AccountFields loaded = FullAccount();
    ErrorList errors;
    EXPECT_FALSE(loaded.parsePlaintext(errors, exact));
    ExpectRecordError(errors, RECORD_INSUFFICIENT_DATA, "Insufficient data in record");
  }
  // The same for a note that runs to the end with text but no terminator.
  const std::string noteUnterminated = plaintext.substr(0, plaintext.size() - 1) + "more";
  AccountFields loaded;
  ErrorList errors;
  EXPECT_FALSE(loaded.parsePlaintext(errors, AsBytes(noteUnterminated)));
  ExpectRecordError(errors, RECORD_INSUFFICIENT_DATA, "Insufficient data in record");
}

TEST(AccountFieldsTest, TextsAreCutAtTheirFirstNul) {
  AccountFields account;
  ErrorList errors;
  account.setTitle("Ti\0tle"s);
  ASSERT_TRUE(account.setField(errors, 0, "Login:", "al\0ice"s));
  account.setNote("no\0te"s);
  AccountFields loaded;
  ASSERT_TRUE(loaded.parsePlaintext(errors, AsBytes(Plaintext(account))));
  SecureString label, value;
  ASSERT_TRUE(loaded.getField(errors, 0, label, value));
  EXPECT_EQ(loaded.title().view(), "Ti");
  EXPECT_EQ(label.view(), "Login:");
  EXPECT_EQ(value.view(), "al");
  EXPECT_EQ(loaded.note().view(), "no");
}

TEST(AccountFieldsTest, ContainsTextSearchesEveryText) {
  AccountFields account = FullAccount();
  ErrorList errors;
  account.setTitle("My Bank");
  ASSERT_TRUE(account.setField(errors, 4, "Email:", "Alice@Example.ORG"));
  account.setNote("PIN is \xC4\xE4");
  struct Case {
    const char* query;
    bool caseSensitive, found;
  } cases[] = {
      {"My Bank", true, true},      {"my bank", true, false},   {"my bank", false, true},
      {"BANK", false, true},        {"Email", true, true},      {"example.org", false, true},
      {"example.org", true, false}, {"L3", true, true},         {"v5", true, false},
      {"PIN is", true, true},       {"\xE4\xE4", false, false}, {"\xC4\xE4", false, true},
      {"absent", false, false},     {"", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.query) + (c.caseSensitive ? " (case)" : ""));
    bool found = !c.found;
    EXPECT_TRUE(account.containsText(errors, c.query, c.caseSensitive, found));
    EXPECT_EQ(found, c.found);
  }
  EXPECT_TRUE(errors.Empty());
}

TEST(AccountFieldsTest, SortOrderComparesTheTwelveTextsInTurn) {
  // Each case changes one text of `b`, which then must sort strictly after
  // the full account `a` (and `a` not after `b`).
  struct Case {
    const char* name;
    void (*change)(AccountFields&);
  } cases[] = {
      {"title", [](AccountFields& b) { b.setTitle("Bank2"); }},
      {"label 1",
       [](AccountFields& b) {
         ErrorList e;
         b.setField(e, 0, "L9:", "a");
       }},
      {"value 1",
       [](AccountFields& b) {
         ErrorList e;
         b.setField(e, 0, "L1:", "v9");
       }},
      {"label 5",
       [](AccountFields& b) {
         ErrorList e;
         b.setField(e, 4, "L9:", "a");
       }},
      {"value 5",
       [](AccountFields& b) {
         ErrorList e;
         b.setField(e, 4, "L5:", "v9");
       }},
      {"note", [](AccountFields& b) { b.setNote("notf"); }},
      {"byte above 0x7F", [](AccountFields& b) { b.setNote("note\xE9"); }},
  };
  const AccountFields a = FullAccount();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AccountFields b = FullAccount();
    c.change(b);
    EXPECT_TRUE(a < b);
    EXPECT_FALSE(b < a);
  }
  EXPECT_FALSE(a < a);

  struct Pair {
    const char* lower;
    const char* higher;
  } titles[] = {
      {"Zebra", "apple"},  // uppercase before lowercase
      {"Bank", "Bank "},   // a prefix first
      {"z", "\xE9"},       // unsigned bytes
      {"", "A"},
  };
  for (const Pair& p : titles) {
    SCOPED_TRACE(p.lower);
    AccountFields lower, higher;
    lower.setTitle(p.lower);
    higher.setTitle(p.higher);
    EXPECT_TRUE(lower < higher);
    EXPECT_FALSE(higher < lower);
  }

  // The title decides before any field.
  AccountFields early = FullAccount(), late = FullAccount();
  early.setTitle("A");
  ErrorList errors;
  ASSERT_TRUE(early.setField(errors, 0, "Z:", "z"));
  late.setTitle("B");
  EXPECT_TRUE(early < late);
}

TEST(AccountFieldsTest, ClearEmptiesEveryText) {
  AccountFields account = FullAccount();
  account.clear();
  EXPECT_EQ(Plaintext(account), std::string(12, '\0'));
}

}  // namespace
}  // namespace lockwell
