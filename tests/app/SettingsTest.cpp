#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/Settings.h"
#include "platform/Registry.h"
#include "platform/TestFolder.h"

namespace lockwell {
namespace {

using testing::TestFolder;
constexpr auto Ok = RegistryStatus::Ok;
const std::string kListPath = std::string(kSettingsKeyPath) + "\\DatabaseList";

class SettingsTest : public ::testing::Test {
 protected:
  // The values under DatabaseList as "name=text" or "name=dword:N", in order.
  static std::vector<std::string> ListValues() {
    std::vector<std::string> shown;
    RegistryKey key;
    if (Registry::OpenKey(Hive::CurrentUser, kListPath, RegistryAccess::Read, key) != Ok) return shown;
    RegistryValue value;
    for (uint32_t i = 0; key.EnumValue(i, 16384, 1 << 20, value) == Ok; ++i) {
      uint32_t n = 0;
      shown.push_back(value.name + "=" + (value.AsDword(n) ? "dword:" + std::to_string(n) : value.AsText()));
    }
    return shown;
  }

  static RegistryKey CreateKey(Hive hive, const std::string& path) {
    RegistryKey key;
    EXPECT_EQ(Registry::CreateKey(hive, path, key), Ok);
    return key;
  }

  static RegistryKey ListKey() { return CreateKey(Hive::CurrentUser, kListPath); }

  TestFolder folder;
};

TEST_F(SettingsTest, ACommandLinePathIsRememberedOnceWhateverItsCase) {
  RememberCommandLineDatabase("/x/y.lwdb");
  EXPECT_EQ(ListValues(),
            (std::vector<std::string>{"00000000=PC Database: y.lwdb (/x/y.lwdb)", "NextIndex=dword:1"}));
  EXPECT_EQ(ReadLastDatabase(), "PC Database: y.lwdb (/x/y.lwdb)");

  RememberCommandLineDatabase("/X/Y.LWDB");
  EXPECT_EQ(ListValues(),
            (std::vector<std::string>{"00000000=PC Database: y.lwdb (/x/y.lwdb)", "NextIndex=dword:1"}));
  EXPECT_EQ(ReadLastDatabase(), "PC Database: Y.LWDB (/X/Y.LWDB)");
  EXPECT_EQ(ReadDatabaseEntries(), std::vector<std::string>{"PC Database: y.lwdb (/x/y.lwdb)"});

  // The stored types: text with its zero counted, and a number.
  RegistryKey list = ListKey();
  RegistryValue value;
  ASSERT_EQ(list.QueryValue("00000000", 2048, value), Ok);
  EXPECT_EQ(value.type, REG_SZ);
  EXPECT_EQ(value.data.size(), std::string("PC Database: y.lwdb (/x/y.lwdb)").size() + 1);
  ASSERT_EQ(list.QueryValue("NextIndex", 4, value), Ok);
  EXPECT_EQ(value.type, REG_DWORD);
}

TEST_F(SettingsTest, PcDatabaseEntriesNameTheFileAndKeepParenthesisedPathsBare) {
  struct Case {
    const char* path;
    const char* entry;
  } cases[] = {
      {"/Data/mine.lwdb", "PC Database: mine.lwdb (/Data/mine.lwdb)"},
      {"mine.lwdb", "PC Database: mine.lwdb (mine.lwdb)"},
      {"/My (old)/a.lwdb", "/My (old)/a.lwdb"},
      {"/odd)/a.lwdb", "/odd)/a.lwdb"},
      {"/folder/", "PC Database:  (/folder/)"},
  };
  for (const auto& c : cases) EXPECT_EQ(MakePcDatabaseEntry(c.path), c.entry) << c.path;

  RememberCommandLineDatabase("/My (old)/a.lwdb");
  EXPECT_EQ(ReadDatabaseEntries(), std::vector<std::string>{"/My (old)/a.lwdb"});
  EXPECT_EQ(ReadLastDatabase(), "/My (old)/a.lwdb");
}

TEST_F(SettingsTest, NumberingFollowsNextIndexWithoutOverwritingAnEntry) {
  struct Case {
    const char* what;
    std::vector<RegistryValue> before;
    std::vector<std::string> after;
  } cases[] = {
      {"a counter stored as text is deleted and numbering restarts",
       {RegistryValue::Text("NextIndex", "7")},
       {"00000000=new", "NextIndex=dword:1"}},
      {"a restart never overwrites a remembered entry",
       {RegistryValue::Text("00000000", "old"), RegistryValue::Text("NextIndex", "7")},
       {"00000000=old", "00000001=new", "NextIndex=dword:2"}},
      {"a missing counter counts as 0",
       {RegistryValue::Text("00000000", "a"), RegistryValue::Text("00000001", "b")},
       {"00000000=a", "00000001=b", "00000002=new", "NextIndex=dword:3"}},
      {"the counter is used as it stands",
       {RegistryValue::Dword("NextIndex", 0x2A)},
       {"NextIndex=dword:43", "0000002A=new"}},
      {"the counter wraps after FFFFFFFF",
       {RegistryValue::Dword("NextIndex", 0xFFFFFFFF)},
       {"NextIndex=dword:0", "FFFFFFFF=new"}},
  };
  for (const auto& c : cases) {
    TestFolder fresh;
    RegistryKey list = ListKey();
    for (const auto& value : c.before) ASSERT_EQ(list.SetValue(value), Ok);
    AddDatabaseEntry("new");
    EXPECT_EQ(ListValues(), c.after) << c.what;
  }
}

TEST_F(SettingsTest, RemovingMatchesTheTextExactlyAndTakesEveryCopy) {
  RegistryKey list = ListKey();
  for (const auto& value : {RegistryValue::Text("00000000", "keep"), RegistryValue::Text("00000001", "gone"),
                            RegistryValue::Text("00000002", "gone"), RegistryValue::Text("00000003", "GONE"),
                            RegistryValue::Dword("NextIndex", 4), RegistryValue::Text("00000004", "gone")}) {
    ASSERT_EQ(list.SetValue(value), Ok);
  }
  RemoveDatabaseEntry("gone");
  EXPECT_EQ(ListValues(), (std::vector<std::string>{"00000000=keep", "00000003=GONE", "NextIndex=dword:4"}));
  RemoveDatabaseEntry("nothing like it");
  EXPECT_EQ(ReadDatabaseEntries(), (std::vector<std::string>{"keep", "GONE"}));
}

TEST_F(SettingsTest, TheListSkipsWhatItCannotReadAndGoesOn) {
  RegistryKey list = ListKey();
  RegistryValue binary;
  binary.name = "binary";
  binary.type = REG_BINARY;
  binary.data = {'b', 0};
  for (const auto& value :
       {RegistryValue::Text("00000000", "first"), RegistryValue::Dword("NextIndex", 9), binary,
        RegistryValue::Text("00000001", std::string(2048, 'x')),
        RegistryValue::Text(std::string(128, 'n'), "long name"),
        RegistryValue::Text("00000002", std::string(2047, 'y')), RegistryValue::Text("00000003", "last")}) {
    ASSERT_EQ(list.SetValue(value), Ok);
  }
  EXPECT_EQ(ReadDatabaseEntries(), (std::vector<std::string>{"first", std::string(2047, 'y'), "last"}));

  // An entry that could not be read back is not stored; one that just fits is.
  AddDatabaseEntry(std::string(2047, 'z'));
  AddDatabaseEntry(std::string(2048, 'w'));
  EXPECT_EQ(ReadDatabaseEntries().back(), std::string(2047, 'z'));
  EXPECT_EQ(ReadDatabaseEntries().size(), 4u);
  // The duplicate check sees entries after the overlong one.
  AddDatabaseEntry("LAST");
  EXPECT_EQ(ReadDatabaseEntries().size(), 4u);
}

TEST_F(SettingsTest, LastDatabaseAndInstallPathReadWithinTheirLimits) {
  EXPECT_EQ(ReadLastDatabase(), "");
  WriteLastDatabase("Palm User: Alpha");
  EXPECT_EQ(ReadLastDatabase(), "Palm User: Alpha");
  RegistryKey settings = CreateKey(Hive::CurrentUser, kSettingsKeyPath);
  ASSERT_EQ(settings.SetText("LastDatabase", std::string(2048, 'x')), Ok);
  EXPECT_EQ(ReadLastDatabase(), "") << "2048 characters and a zero exceed 2048 bytes";
  ASSERT_EQ(settings.SetDword("LastDatabase", 0x41), Ok);
  EXPECT_EQ(ReadLastDatabase(), "A") << "the stored type is not checked";

  EXPECT_EQ(ReadInstallPath(), "");
  struct Case {
    std::string stored, expected;
  } cases[] = {
      {"/opt/Lockwell", "/opt/Lockwell/"},
      {"/opt/Lockwell/", "/opt/Lockwell/"},
      {"", ""},
      {std::string(259, 'p'), std::string(259, 'p') + "/"},
      {std::string(260, 'p'), ""},
  };
  RegistryKey machine = CreateKey(Hive::LocalMachine, kSettingsKeyPath);
  for (const auto& c : cases) {
    ASSERT_EQ(machine.SetText("InstallPath", c.stored), Ok);
    EXPECT_EQ(ReadInstallPath(), c.expected) << c.stored.size();
  }
}

TEST_F(SettingsTest, KeysAreCreatedOnFirstUse) {
  RegistryKey key;
  EXPECT_EQ(Registry::OpenKey(Hive::CurrentUser, "Software\\Tallmark", RegistryAccess::Read, key),
            RegistryStatus::NotFound);
  std::optional<RegistryKey> list = OpenDatabaseListKey();
  ASSERT_TRUE(list.has_value());
  EXPECT_EQ(list->Path(), kListPath);
  EXPECT_EQ(Registry::OpenKey(Hive::CurrentUser, "Software\\Tallmark", RegistryAccess::Read, key), Ok);
  // The machine-wide key is only read, never created.
  EXPECT_EQ(ReadInstallPath(), "");
  EXPECT_EQ(Registry::OpenKey(Hive::LocalMachine, kSettingsKeyPath, RegistryAccess::Read, key),
            RegistryStatus::NotFound);
}

TEST_F(SettingsTest, AnUnusableRegistryIsSilent) {
  testing::WriteFile(folder / "a-file", "x");
  folder.Set("LOCKWELL_REGISTRY_DIR", folder / "a-file/registry");
  EXPECT_FALSE(OpenSettingsKey().has_value());
  EXPECT_FALSE(OpenDatabaseListKey().has_value());
  RememberCommandLineDatabase("/x/y.lwdb");
  RemoveDatabaseEntry("PC Database: y.lwdb (/x/y.lwdb)");
  EXPECT_EQ(ReadDatabaseEntries(), std::vector<std::string>{});
  EXPECT_EQ(ReadLastDatabase(), "");
  EXPECT_EQ(ReadInstallPath(), "");
}

TEST_F(SettingsTest, TwoProcessesAddingAtOnceLoseNoEntry) {
  constexpr int kEach = 200;
  OpenDatabaseListKey();
  pid_t children[2];
  for (int p = 0; p < 2; ++p) {
    children[p] = fork();
    ASSERT_GE(children[p], 0);
    if (children[p] == 0) {
      for (int i = 0; i < kEach; ++i)
        AddDatabaseEntry("/p" + std::to_string(p) + "/" + std::to_string(i) + ".lwdb");
      _exit(0);
    }
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::vector<std::string> entries = ReadDatabaseEntries();
  EXPECT_EQ(entries.size(), 2u * kEach);
  EXPECT_EQ(std::set<std::string>(entries.begin(), entries.end()).size(), 2u * kEach);
  RegistryValue next;
  uint32_t n = 0;
  ASSERT_EQ(ListKey().QueryValue("NextIndex", 4, next), Ok);
  ASSERT_TRUE(next.AsDword(n));
  EXPECT_EQ(n, 2u * kEach);
}

}  // namespace
}  // namespace lockwell
