#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/DynamicLibrary.h"
#include "platform/ProgramDirectory.h"
#include "platform/TestFolder.h"

namespace lockwell {
namespace {

namespace fs = std::filesystem;
using ProbeFn = const char* (*)();

std::string Where(const DynamicLibrary& library) {
  auto probe = reinterpret_cast<ProbeFn>(library.Symbol("LockwellProbeWhere"));
  return probe != nullptr ? probe() : "(no probe)";
}

TEST(DynamicLibraryTest, LoadsByPathAndLooksUpByName) {
  DynamicLibrary library;
  ASSERT_TRUE(library.Load(LOCKWELL_PROBE_OWN_DIR "/lwprobe.so")) << library.ErrorText();
  EXPECT_EQ(Where(library), "own folder");
  EXPECT_EQ(library.Symbol("NoSuchFunction"), nullptr);
  library.Release();
  EXPECT_FALSE(library.IsLoaded());
  EXPECT_EQ(library.Symbol("LockwellProbeWhere"), nullptr);
}

TEST(DynamicLibraryTest, ReportsWhatCannotBeLoaded) {
  testing::TestFolder folder;
  testing::WriteFile(folder / "not-a-library.dll", "text, not ELF");
  for (const std::string& name : {folder / "missing.dll", folder / "not-a-library.dll", std::string("")}) {
    DynamicLibrary library;
    EXPECT_FALSE(library.Load(name)) << name;
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_FALSE(library.ErrorText().empty()) << name;
  }
}

// The program's folder is shared by every test process of this executable,
// so everything that places a file there happens in this one test.
TEST(DynamicLibraryTest, ABareNameIsLookedForInTheProgramFolderFirst) {
  const std::string own = ProgramDirectory() + "/lwprobe.so";
  fs::remove(own);  // left over from an interrupted run

  DynamicLibrary library;
  ASSERT_TRUE(library.Load("lwprobe.so")) << library.ErrorText();
  EXPECT_EQ(Where(library), "system search");
  EXPECT_EQ(library.LoadedName(), "lwprobe.so");

  fs::copy_file(LOCKWELL_PROBE_OWN_DIR "/lwprobe.so", own);
  bool loaded = library.Load("lwprobe.so");
  std::string where = Where(library);
  std::string loadedName = library.LoadedName();
  library.Release();

  // A file in the program folder that is no library is an error, not a reason
  // to search on.
  testing::WriteFile(own, "not a library");
  DynamicLibrary broken;
  bool brokenLoaded = broken.Load("lwprobe.so");
  fs::remove(own);

  EXPECT_TRUE(loaded);
  EXPECT_EQ(where, "own folder");
  EXPECT_EQ(loadedName, own);
  EXPECT_FALSE(brokenLoaded);
}

TEST(DynamicLibraryTest, ProgramDirectoryHoldsThisTest) {
  EXPECT_TRUE(fs::exists(ProgramDirectory() + "/platform_tests"));
}

}  // namespace
}  // namespace lockwell
