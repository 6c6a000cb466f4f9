#include <gtest/gtest.h>

#include "vault/CategoryPrefsTable.h"

namespace lockwell {
namespace {

std::string Word(uint32_t value) {
  std::string out;
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  return out;
}

std::string Text(const std::string& text) { return Word(static_cast<uint32_t>(text.size())) + text; }

// last category, view flags, then the entries already encoded.
std::string Blob(uint32_t last, uint32_t flags, uint32_t count, const std::string& entries) {
  return Word(last) + Word(flags) + Word(count) + entries;
}

std::string FullEntry(uint32_t key, const std::vector<std::string>& shown,
                      const std::vector<std::string>& labels, const std::array<std::string, 5>& defaults) {
  std::string out = Word(key) + std::string(1, '\0') + Word(static_cast<uint32_t>(shown.size()));
  for (const auto& s : shown) out += Text(s);
  out += Word(static_cast<uint32_t>(labels.size()));
  for (const auto& s : labels) out += Text(s);
  for (const auto& s : defaults) out += Text(s);
  return out;
}

CategoryPrefs FollowsDefaults() {
  CategoryPrefs prefs;
  prefs.useDefault = true;
  return prefs;
}

TEST(CategoryPrefsTableTest, DefaultsRoundTripThroughTheStoredForm) {
  CategoryPrefsTable table;
  table.InstallDefaults();
  table.SetLastCategory(3);
  table.SetDetailsShown(false);
  table.Store(129, FollowsDefaults());
  std::string blob = table.Serialize();

  CategoryPrefsTable loaded;
  ASSERT_TRUE(loaded.Load(blob));
  EXPECT_TRUE(loaded.IsLoaded());
  EXPECT_EQ(loaded.LastCategory(), 3u);
  EXPECT_FALSE(loaded.DetailsShown());
  EXPECT_EQ(loaded.Entries(), table.Entries());
  EXPECT_EQ(loaded.Serialize(), blob);
}

TEST(CategoryPrefsTableTest, UseDefaultEntryTakesFiveBytes) {
  CategoryPrefsTable table;
  table.Store(7, FollowsDefaults());
  EXPECT_EQ(table.Serialize(), Blob(0, 0, 1, Word(7) + std::string(1, '\1')));
}

TEST(CategoryPrefsTableTest, EntriesAreWrittenInUnsignedKeyOrder) {
  CategoryPrefsTable table;
  table.Store(CategoryPrefsTable::defaultPrefsKey, FollowsDefaults());
  table.Store(4095, FollowsDefaults());
  table.Store(1, FollowsDefaults());
  std::string one = std::string(1, '\1');
  EXPECT_EQ(table.Serialize(), Blob(0, 0, 3, Word(1) + one + Word(4095) + one + Word(0xFFFFFFFF) + one));
}

// Every way a stored blob can end early or lie about its sizes must fail,
// leave the table empty and unloaded, and never read past the end.
TEST(CategoryPrefsTableTest, TruncatedOrLyingBlobsAreRefused) {
  std::string good = FullEntry(129, {"Title", "Pwd"}, {"Pwd:", " "}, {"Pwd:", " ", " ", " ", " "});
  struct Case {
    const char* name;
    std::string blob;
  } cases[] = {
      {"1 byte", std::string(1, '\0')},
      {"11 bytes", std::string(11, '\0')},
      {"count larger than the entries", Blob(0, 0, 2, good)},
      {"entry without its flag", Blob(0, 0, 1, Word(5))},
      {"shown count past the end", Blob(0, 0, 1, Word(5) + std::string(1, '\0') + Word(0xFFFFFFFF))},
      {"text length past the end",
       Blob(0, 0, 1, Word(5) + std::string(1, '\0') + Word(1) + Word(0x7FFFFFFF) + "x")},
      {"default labels cut short", Blob(0, 0, 1, good.substr(0, good.size() - 3))},
  };
  for (const auto& c : cases) {
    CategoryPrefsTable table;
    table.InstallDefaults();
    EXPECT_FALSE(table.Load(c.blob)) << c.name;
    EXPECT_FALSE(table.IsLoaded()) << c.name;
    EXPECT_TRUE(table.Entries().empty()) << c.name;
  }
}

TEST(CategoryPrefsTableTest, EmptyBlobLoadsNothingAndSucceeds) {
  CategoryPrefsTable table;
  EXPECT_TRUE(table.Load(""));
  EXPECT_TRUE(table.Entries().empty());
}

TEST(CategoryPrefsTableTest, RepeatedKeyKeepsTheLastEntry) {
  std::string first = FullEntry(9, {"Title"}, {"ID:"}, {"ID:", " ", " ", " ", " "});
  std::string second = FullEntry(9, {"Note"}, {"PIN:"}, {"PIN:", " ", " ", " ", " "});
  CategoryPrefsTable table;
  ASSERT_TRUE(table.Load(Blob(0, 0, 2, first + second)));
  EXPECT_EQ(table.ShownFields(9), std::vector<std::string>{"Note"});
}

TEST(CategoryPrefsTableTest, LookupsFallBackFromEntryToDefaultsToBuiltIn) {
  CategoryPrefs own;
  own.shownFields = {"Title", "Pwd"};
  own.availableLabels = {"Pwd:"};
  own.defaultLabels = {"Pwd:", "PIN:", " ", " ", " "};

  CategoryPrefsTable table;
  // No default entry at all: the built-in fallback answers.
  EXPECT_EQ(table.ShownFields(129), std::vector<std::string>{"Title"});
  EXPECT_EQ(table.AvailableLabels(129), std::vector<std::string>{"Login:"});
  EXPECT_EQ(table.DefaultLabel(129, 0), " ");

  table.InstallDefaults();
  table.Store(129, own);
  table.Store(130, FollowsDefaults());
  const std::vector<std::string> builtInShown = {"Title", "Login", "URL"};
  EXPECT_EQ(table.ShownFields(129), own.shownFields);
  EXPECT_EQ(table.DefaultLabel(129, 1), "PIN:");
  EXPECT_EQ(table.ShownFields(130), builtInShown) << "an entry that follows the defaults";
  EXPECT_EQ(table.ShownFields(131), builtInShown) << "a category without entry";
  EXPECT_EQ(table.DefaultLabel(131, 1), "Pwd:");

  // The default entry answers even when its own use-default byte is set.
  CategoryPrefs defaults = CategoryPrefs::BuiltInDefaults();
  defaults.useDefault = true;
  table.Store(CategoryPrefsTable::defaultPrefsKey, defaults);
  EXPECT_EQ(table.ShownFields(131), builtInShown);
}

TEST(CategoryPrefsTableTest, RemoveEntriesExceptKeepsOnlyNamedKeys) {
  CategoryPrefsTable table;
  table.InstallDefaults();
  for (uint32_t key : {1u, 129u, 4095u}) table.Store(key, FollowsDefaults());
  table.RemoveEntriesExcept({129, 4095, CategoryPrefsTable::defaultPrefsKey});
  EXPECT_EQ(table.Find(1), nullptr);
  EXPECT_NE(table.Find(129), nullptr);
  EXPECT_NE(table.Find(4095), nullptr);
  EXPECT_NE(table.Find(CategoryPrefsTable::defaultPrefsKey), nullptr);
}

}  // namespace
}  // namespace lockwell
