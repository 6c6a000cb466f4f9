#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/RegistryLock.h"
#include "platform/TestFolder.h"

namespace lockwell {
namespace {

using testing::ReadFile;
using testing::TestFolder;
using testing::WriteFile;
namespace fs = std::filesystem;

constexpr auto CU = Hive::CurrentUser;
constexpr auto Ok = RegistryStatus::Ok;

class RegistryTest : public ::testing::Test {
 protected:
  std::string HiveFile(const std::string& hive = "HKEY_CURRENT_USER") const {
    return folder / ("registry/" + hive + ".reg");
  }

  RegistryKey Create(const std::string& path) {
    RegistryKey key;
    EXPECT_EQ(Registry::CreateKey(CU, path, key), Ok) << path;
    return key;
  }

  static std::vector<std::string> ValueNames(const RegistryKey& key) {
    std::vector<std::string> names;
    RegistryValue value;
    for (uint32_t i = 0; key.EnumValue(i, 16384, 1 << 20, value) == Ok; ++i) names.push_back(value.name);
    return names;
  }

  // Points the registry at a copy of its folder, so that the next operation
  // reads the hive from its file instead of from what this process remembers.
  void ReadBackFromCopy() {
    std::string copy = folder / ("registry-copy-" + std::to_string(++copies_));
    fs::copy(Registry::Directory(), copy);
    folder.Set("LOCKWELL_REGISTRY_DIR", copy);
  }

  TestFolder folder;
  int copies_ = 0;
};

TEST_F(RegistryTest, KeyAndValueNamesIgnoreLetterCase) {
  RegistryKey key = Create("Software\\Tallmark\\LockwellPC");
  ASSERT_EQ(key.SetText("LastDatabase", "first"), Ok);
  RegistryKey again;
  ASSERT_EQ(Registry::OpenKey(CU, "SOFTWARE\\tallmark\\lockwellpc", RegistryAccess::Full, again), Ok);
  ASSERT_EQ(again.SetText("LASTDATABASE", "second"), Ok);
  RegistryKey created = Create("software\\TALLMARK\\LockwellPC");

  RegistryValue value;
  ASSERT_EQ(created.QueryValue("lastdatabase", 100, value), Ok);
  EXPECT_EQ(value.AsText(), "second");
  // The value keeps the name it was created with; no second key or value.
  EXPECT_EQ(ValueNames(key), std::vector<std::string>{"LastDatabase"});
  std::string text = ReadFile(HiveFile());
  EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Tallmark\\LockwellPC]"), std::string::npos) << text;
  EXPECT_EQ(text.find("TALLMARK"), std::string::npos) << text;
}

TEST_F(RegistryTest, ValuesEnumerateInCreationOrder) {
  RegistryKey key = Create("List");
  for (const char* name : {"c", "a", "b"}) ASSERT_EQ(key.SetText(name, name), Ok);
  ASSERT_EQ(key.SetText("A", "replaced"), Ok);
  EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"c", "a", "b"}));
  ASSERT_EQ(key.DeleteValue("C"), Ok);
  ASSERT_EQ(key.SetText("c", "again"), Ok);
  EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"a", "b", "c"}));
  ReadBackFromCopy();
  RegistryKey reopened;
  ASSERT_EQ(Registry::OpenKey(CU, "List", RegistryAccess::Read, reopened), Ok);
  EXPECT_EQ(ValueNames(reopened), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(RegistryTest, QueryAndEnumerationRefuseWhatDoesNotFitTheirLimits) {
  RegistryKey key = Create("Limits");
  const std::string name127(127, 'n');
  const std::string name128(128, 'm');
  ASSERT_EQ(key.SetText(name127, "abc"), Ok);  // index 0
  ASSERT_EQ(key.SetText(name128, "abc"), Ok);  // index 1
  ASSERT_EQ(key.SetDword("d", 7), Ok);         // index 2

  struct Case {
    const char* what;
    uint32_t index;
    size_t nameLimit, dataLimit;
    RegistryStatus expected;
  } cases[] = {
      {"name and text with its zero fit exactly", 0, 128, 4, Ok},
      {"text one byte over: its zero counts", 0, 128, 3, RegistryStatus::MoreData},
      {"name needs room for its terminating zero", 1, 128, 4, RegistryStatus::MoreData},
      {"a value after one that did not fit", 2, 128, 4, Ok},
      {"past the last value", 3, 128, 2048, RegistryStatus::NoMoreItems},
  };
  for (const auto& c : cases) {
    RegistryValue value;
    EXPECT_EQ(key.EnumValue(c.index, c.nameLimit, c.dataLimit, value), c.expected) << c.what;
  }

  RegistryValue value;
  EXPECT_EQ(key.QueryValue(name127, 3, value), RegistryStatus::MoreData);
  EXPECT_EQ(value.type, REG_SZ);
  EXPECT_TRUE(value.data.empty());
  ASSERT_EQ(key.QueryValue(name127, 4, value), Ok);
  EXPECT_EQ(value.data, (std::vector<uint8_t>{'a', 'b', 'c', 0}));
}

TEST_F(RegistryTest, RefusesWritesWithoutAccessAndNamesItCannotHold) {
  Create("Software\\Tallmark");
  RegistryKey readOnly;
  ASSERT_EQ(Registry::OpenKey(CU, "Software\\Tallmark", RegistryAccess::Read, readOnly), Ok);
  RegistryKey full = Create("Software\\Tallmark");
  RegistryKey closed;
  RegistryKey sub;
  RegistryValue value;

  struct Case {
    const char* what;
    RegistryStatus got, expected;
  } cases[] = {
      {"set through a read-only key", readOnly.SetText("v", "x"), RegistryStatus::AccessDenied},
      {"delete through a read-only key", readOnly.DeleteValue("v"), RegistryStatus::AccessDenied},
      {"create below a read-only key", readOnly.CreateSubKey("x", sub), RegistryStatus::AccessDenied},
      {"open a missing key", Registry::OpenKey(CU, "Software\\Nobody", RegistryAccess::Read, sub),
       RegistryStatus::NotFound},
      {"query a missing value", full.QueryValue("missing", 10, value), RegistryStatus::NotFound},
      {"delete a missing value", full.DeleteValue("missing"), RegistryStatus::NotFound},
      {"empty name inside a path", Registry::CreateKey(CU, "a\\\\b", sub), RegistryStatus::InvalidName},
      {"trailing separator", Registry::CreateKey(CU, "a\\", sub), RegistryStatus::InvalidName},
      {"line break in a key name", Registry::CreateKey(CU, "a\nb", sub), RegistryStatus::InvalidName},
      {"line break in a value name", full.SetText("a\nb", "x"), RegistryStatus::InvalidName},
      {"a key that is not open", closed.SetText("v", "x"), RegistryStatus::InvalidHandle},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;
  EXPECT_EQ(ValueNames(full), std::vector<std::string>{});
}

TEST_F(RegistryTest, DeletesKeysWholeOrOnlyWhenEmpty) {
  const std::vector<std::string> keys = {"Software\\Tallmark\\LockwellPC", "Software\\Tallmark\\Empty",
                                         "Software\\Tallmark", "Software\\Other"};
  struct Case {
    const char* what;
    std::function<RegistryStatus()> act;
    RegistryStatus expected;
    std::set<std::string> gone;
  };
  const Case cases[] = {
      {"a tree, named in another letter case",
       [] { return Registry::DeleteKey(CU, "SOFTWARE\\tallmark", RegistryDeletion::WholeTree); }, Ok,
       {"Software\\Tallmark\\LockwellPC", "Software\\Tallmark\\Empty", "Software\\Tallmark"}},
      {"an empty key",
       [] { return Registry::DeleteKey(CU, "Software\\Tallmark\\Empty", RegistryDeletion::OnlyWhenEmpty); }, Ok,
       {"Software\\Tallmark\\Empty"}},
      {"a key with subkeys, only when empty",
       [] { return Registry::DeleteKey(CU, "Software\\Tallmark", RegistryDeletion::OnlyWhenEmpty); },
       RegistryStatus::NotEmpty, {}},
      {"a key with a value, only when empty",
       [] { return Registry::DeleteKey(CU, "Software\\Tallmark\\LockwellPC", RegistryDeletion::OnlyWhenEmpty); },
       RegistryStatus::NotEmpty, {}},
      {"below an open key",
       [] {
         RegistryKey software;
         EXPECT_EQ(Registry::OpenKey(CU, "Software", RegistryAccess::Full, software), Ok);
         return software.DeleteSubKey("Tallmark\\LockwellPC", RegistryDeletion::WholeTree);
       },
       Ok, {"Software\\Tallmark\\LockwellPC"}},
      {"through a read-only key",
       [] {
         RegistryKey software;
         EXPECT_EQ(Registry::OpenKey(CU, "Software", RegistryAccess::Read, software), Ok);
         return software.DeleteSubKey("Other", RegistryDeletion::WholeTree);
       },
       RegistryStatus::AccessDenied, {}},
      {"a missing key", [] { return Registry::DeleteKey(CU, "Software\\Nobody", RegistryDeletion::WholeTree); },
       RegistryStatus::NotFound, {}},
      {"below a missing key", [] { return Registry::DeleteKey(CU, "Nobody\\Other", RegistryDeletion::WholeTree); },
       RegistryStatus::NotFound, {}},
      {"the hive itself", [] { return Registry::DeleteKey(CU, "", RegistryDeletion::WholeTree); },
       RegistryStatus::InvalidName, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Registry::DeleteKey(CU, "Software", RegistryDeletion::WholeTree);
    for (const std::string& path : keys) Create(path);
    ASSERT_EQ(Create("Software\\Tallmark\\LockwellPC").SetText("InstallPath", "/opt/lw/"), Ok);

    EXPECT_EQ(c.act(), c.expected);
    // What is gone is gone from the file too.
    ReadBackFromCopy();
    for (const std::string& path : keys) {
      RegistryKey key;
      const RegistryStatus found = Registry::OpenKey(CU, path, RegistryAccess::Read, key);
      EXPECT_EQ(found, c.gone.count(path) ? RegistryStatus::NotFound : Ok) << path;
    }
  }
}

TEST_F(RegistryTest, EveryKindOfValueSurvivesTheHiveFile) {
  struct Case {
    const char* name;
    uint32_t type;
    std::vector<uint8_t> data;
  } cases[] = {
      {"plain", REG_SZ, {'C', ':', '\\', 'x', 0}},
      {"quotes \"and\" \\ in the name", REG_SZ, {'"', '\\', '"', 0}},
      {"", REG_SZ, {'d', 'e', 'f', 0}},  // the default value
      {"empty text", REG_SZ, {0}},
      {"ansi bytes", REG_SZ, {0xE9, 0x80, 0xFF, 0}},
      {"line break", REG_SZ, {'a', '\r', '\n', 'b', 0}},
      {"no terminating zero", REG_SZ, {'a', 'b'}},
      {"zero inside", REG_SZ, {'a', 0, 'b', 0}},
      {"number", REG_DWORD, {0x2a, 0, 0, 0x80}},
      {"short number", REG_DWORD, {1, 2}},
      {"binary", REG_BINARY, {0, 1, 0xfe}},
      {"empty binary", REG_BINARY, {}},
      {"multi text", 7, {'a', 0, 'b', 0, 0}},
      {"large type", 0x12345678, {9}},
  };
  RegistryKey key = Create("Kinds");
  for (const auto& c : cases) {
    RegistryValue value;
    value.name = c.name;
    value.type = c.type;
    value.data = c.data;
    ASSERT_EQ(key.SetValue(value), Ok) << c.name;
  }
  std::string text = ReadFile(HiveFile());
  for (const char* line :
       {"\"plain\"=\"C:\\\\x\"\n", "\"quotes \\\"and\\\" \\\\ in the name\"=\"\\\"\\\\\\\"\"\n",
        "@=\"def\"\n", "\"number\"=dword:8000002a\n", "\"binary\"=hex:00,01,fe\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
  }
  ReadBackFromCopy();
  RegistryKey reopened;
  ASSERT_EQ(Registry::OpenKey(CU, "kinds", RegistryAccess::Read, reopened), Ok);
  for (uint32_t i = 0; i < std::size(cases); ++i) {
    RegistryValue value;
    ASSERT_EQ(reopened.EnumValue(i, 16384, 100, value), Ok) << cases[i].name;
    EXPECT_EQ(value.name, cases[i].name);
    EXPECT_EQ(value.type, cases[i].type) << cases[i].name;
    EXPECT_EQ(value.data, cases[i].data) << cases[i].name;
  }
}

TEST_F(RegistryTest, ReadsAnExportWrittenByHand) {
  fs::create_directories(folder / "registry");
  WriteFile(HiveFile(),
            "REGEDIT4\r\n"
            "; written by a person\r\n"
            "\r\n"
            "[hkey_current_user\\Software\\Tallmark\\LockwellPC\\DatabaseList]\r\n"
            "\"NextIndex\"=dword:2\r\n"
            "\"00000000\"=\"PC Database: a.lwdb (/d/a.lwdb)\"\r\n"
            "\"Path\"=hex(2):25,48,\\\r\n"
            "  4f,25,00\r\n"
            "\r\n"
            "[HKEY_CURRENT_USER\\Software\\Tallmark\\LockwellPC\\DatabaseList]\r\n"
            "\"Later\"=\"merged\"\r\n");
  RegistryKey key;
  ASSERT_EQ(Registry::OpenKey(CU, "Software\\Tallmark\\LockwellPC\\DatabaseList", RegistryAccess::Read, key),
            Ok);
  EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"NextIndex", "00000000", "Path", "Later"}));
  RegistryValue value;
  uint32_t number = 0;
  ASSERT_EQ(key.QueryValue("nextindex", 4, value), Ok);
  EXPECT_TRUE(value.AsDword(number));
  EXPECT_EQ(number, 2u);
  ASSERT_EQ(key.QueryValue("Path", 100, value), Ok);
  EXPECT_EQ(value.type, 2u);
  EXPECT_EQ(value.data, (std::vector<uint8_t>{'%', 'H', 'O', '%', 0}));
  // Parent keys exist even without a section of their own.
  RegistryKey parent;
  EXPECT_EQ(Registry::OpenKey(CU, "Software\\Tallmark", RegistryAccess::Read, parent), Ok);
}

TEST_F(RegistryTest, ADamagedHiveIsKeptAsideAndReported) {
  struct Case {
    const char* what;
    std::string text;
  } cases[] = {
      {"not a registry file", "garbage\n"},
      {"empty file", ""},
      {"no header", "[HKEY_CURRENT_USER\\A]\n\"v\"=\"x\"\n"},
      {"value before any section", "REGEDIT4\n\"v\"=\"x\"\n"},
      {"section of another hive", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n"},
      {"unterminated text", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=\"x\n"},
      {"unknown escape", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=\"a\\tb\"\n"},
      {"malformed number", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=dword:123456789\n"},
      {"malformed bytes", "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=hex:1,zz\n"},
      {"deletion entry", "REGEDIT4\n[-HKEY_CURRENT_USER\\A]\n"},
  };
  for (const auto& c : cases) {
    TestFolder fresh;
    fs::create_directories(fresh / "registry");
    const std::string hive = fresh / "registry/HKEY_CURRENT_USER.reg";
    WriteFile(hive, c.text);

    ::testing::internal::CaptureStderr();
    RegistryKey key;
    EXPECT_EQ(Registry::OpenKey(CU, "A", RegistryAccess::Read, key), RegistryStatus::NotFound) << c.what;
    std::string report = ::testing::internal::GetCapturedStderr();

    std::vector<std::string> kept;
    for (const auto& entry : fs::directory_iterator(fresh / "registry")) {
      std::string name = entry.path().filename().string();
      if (name.rfind("HKEY_CURRENT_USER.reg.damaged-", 0) == 0) kept.push_back(entry.path().string());
    }
    ASSERT_EQ(kept.size(), 1u) << c.what;
    EXPECT_EQ(ReadFile(kept[0]), c.text) << c.what;
    EXPECT_NE(report.find(kept[0]), std::string::npos) << c.what << ": " << report;
    EXPECT_FALSE(fs::exists(hive)) << c.what;

    // The hive starts empty and is written anew; the kept file stays as it was.
    RegistryKey created;
    ASSERT_EQ(Registry::CreateKey(CU, "A", created), Ok) << c.what;
    ASSERT_EQ(created.SetText("v", "fresh"), Ok) << c.what;
    EXPECT_EQ(ReadFile(kept[0]), c.text) << c.what;
    EXPECT_EQ(ReadFile(hive).rfind("REGEDIT4\n", 0), 0u) << c.what;
  }
}

TEST_F(RegistryTest, ASecondDamageNeverReplacesTheFirstKeptFile) {
  fs::create_directories(folder / "registry");
  for (const char* text : {"first damage", "second damage"}) {
    WriteFile(HiveFile(), text);
    ::testing::internal::CaptureStderr();
    RegistryKey key;
    EXPECT_EQ(Registry::OpenKey(CU, "A", RegistryAccess::Read, key), RegistryStatus::NotFound);
    ::testing::internal::GetCapturedStderr();
  }
  std::set<std::string> kept;
  for (const auto& entry : fs::directory_iterator(folder / "registry")) {
    if (entry.path().filename().string().find(".damaged-") != std::string::npos) {
      kept.insert(ReadFile(entry.path().string()));
    }
  }
  EXPECT_EQ(kept, (std::set<std::string>{"first damage", "second damage"}));
}

TEST_F(RegistryTest, WritesLeaveOnlyTheHiveAndItsLock) {
  RegistryKey key = Create("Software\\Tallmark\\LockwellPC");
  for (int i = 0; i < 5; ++i) ASSERT_EQ(key.SetDword("n", i), Ok);
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder / "registry")) names.insert(entry.path().filename());
  EXPECT_EQ(names, (std::set<std::string>{"HKEY_CURRENT_USER.lock", "HKEY_CURRENT_USER.reg"}));
}

TEST_F(RegistryTest, TheFolderFollowsTheEnvironment) {
  const std::string home = folder / "home";
  struct Case {
    const char* what;
    const char* registryDir;
    const char* configHome;
    const char* homeDir;
    std::string expected;
  } cases[] = {
      {"our own variable first", "/r/dir", "/c", home.c_str(), "/r/dir"},
      {"then the XDG configuration folder", nullptr, "/c", home.c_str(), "/c/tallmark/registry"},
      {"a relative XDG value is ignored", nullptr, "rel", home.c_str(), home + "/.config/tallmark/registry"},
      {"else below the home folder", nullptr, nullptr, home.c_str(), home + "/.config/tallmark/registry"},
      {"no home folder: nowhere", nullptr, nullptr, nullptr, ""},
  };
  for (const auto& c : cases) {
    TestFolder scope;  // restores the variables afterwards
    auto set = [&](const char* name, const char* value) {
      if (value != nullptr) {
        scope.Set(name, value);
      } else {
        scope.Unset(name);
      }
    };
    set("LOCKWELL_REGISTRY_DIR", c.registryDir);
    set("XDG_CONFIG_HOME", c.configHome);
    set("HOME", c.homeDir);
    EXPECT_EQ(Registry::Directory(), c.expected) << c.what;
  }
  // With nowhere to keep the hives, operations fail instead of guessing.
  folder.Unset("LOCKWELL_REGISTRY_DIR");
  folder.Unset("XDG_CONFIG_HOME");
  folder.Unset("HOME");
  RegistryKey key;
  EXPECT_EQ(Registry::CreateKey(CU, "Software", key), RegistryStatus::IoError);
}

// Runs `work` in two child processes at once and expects both to succeed.
template <typename Work>
void RunInTwoProcesses(Work work) {
  pid_t children[2];
  for (int p = 0; p < 2; ++p) {
    children[p] = fork();
    ASSERT_GE(children[p], 0);
    if (children[p] == 0) _exit(work(p) ? 0 : 1);
  }
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing) {
  constexpr int kEach = 200;
  Create("Shared");
  RunInTwoProcesses([](int p) {
    RegistryKey key;
    if (Registry::OpenKey(CU, "Shared", RegistryAccess::Full, key) != Ok) return false;
    for (int i = 0; i < kEach; ++i) {
      // Appended piece by piece: GCC 12 warns (-Wrestrict) about "p" + to_string(...).
      std::string name = "p";
      name += std::to_string(p);
      name += '-';
      name += std::to_string(i);
      if (key.SetText(name, "x") != Ok) return false;
      // A read-modify-write held together by the lock.
      RegistryLock lock(CU);
      RegistryValue counter;
      uint32_t n = 0;
      if (key.QueryValue("Counter", 4, counter) == Ok && !counter.AsDword(n)) return false;
      if (key.SetDword("Counter", n + 1) != Ok) return false;
    }
    return true;
  });
  RegistryKey key;
  ASSERT_EQ(Registry::OpenKey(CU, "Shared", RegistryAccess::Read, key), Ok);
  std::vector<std::string> names = ValueNames(key);
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 2u * kEach + 1);
  RegistryValue counter;
  uint32_t n = 0;
  ASSERT_EQ(key.QueryValue("Counter", 4, counter), Ok);
  ASSERT_TRUE(counter.AsDword(n));
  EXPECT_EQ(n, 2u * kEach);
}

}  // namespace
}  // namespace lockwell
