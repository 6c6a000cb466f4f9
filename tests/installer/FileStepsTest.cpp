// Folders and copies of the installation, on a scratch folder.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "installer/FileSteps.h"
#include "platform/TestFolder.h"

namespace lockwell::testing {
namespace {

namespace fs = std::filesystem;

TEST(CreateFolderTreeTest, CreatesWhatIsMissingAndNamesWhatIsInTheWay) {
  TestFolder folder;
  const std::string root = folder.Make("t");
  WriteFile(root + "/file", "x");
  fs::create_directories(root + "/exists/inner");
  struct Case {
    std::string folder;
    bool ok;
    std::string error;
  } cases[] = {
      {root + "/a/b/c/", true, ""},
      {root + "/a/b/d", true, ""},
      {root + "/exists/inner/", true, ""},
      {root + "/exists//twice/", true, ""},
      // The prefix that ends at the file is named with its "/".
      {root + "/file/Lockwell/", false, "Invalid directory; \"" + root + "/file/\" already exists, and is not a directory."},
      // The last name, with no "/" after it, is checked too.
      {root + "/file", false, "Invalid directory; \"" + root + "/file\" already exists, and is not a directory."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    std::string error = "untouched";
    EXPECT_EQ(CreateFolderTree(c.folder, error), c.ok);
    if (c.ok) {
      EXPECT_TRUE(fs::is_directory(c.folder));
      EXPECT_EQ(error, "untouched");
    } else {
      EXPECT_EQ(error, c.error);
    }
  }
}

TEST(CopyInstallFileTest, CopiesContentAndProgramBits) {
  TestFolder folder;
  const std::string source = folder / "LockwellPC.dat";
  const std::string destination = folder / "LockwellPC";
  WriteFile(source, "program");
  chmod(source.c_str(), 0755);
  WriteFile(destination, "an older and longer program");
  chmod(destination.c_str(), 0644);
  ASSERT_TRUE(CopyInstallFile(destination, source));
  EXPECT_EQ(ReadFile(destination), "program");
  EXPECT_EQ(access(destination.c_str(), X_OK), 0);

  errno = 0;
  EXPECT_FALSE(CopyInstallFile(folder / "copy", folder / "missing"));
  EXPECT_EQ(errno, ENOENT);
}

// Runs `body` as an ordinary user when the test runs as root, who would
// write through any read-only state and never need the second copy.
template <typename Body>
void AsOrdinaryUser(const fs::path& scratch, Body body) {
  if (geteuid() != 0) {
    body();
    return;
  }
  constexpr uid_t kNobody = 65534;
  chmod(scratch.c_str(), 0755);
  for (const auto& entry : fs::recursive_directory_iterator(scratch)) {
    ASSERT_EQ(lchown(entry.path().c_str(), kNobody, kNobody), 0);
  }
  ASSERT_EQ(lchown(scratch.c_str(), kNobody, kNobody), 0);
  ASSERT_EQ(seteuid(kNobody), 0);
  body();
  ASSERT_EQ(seteuid(0), 0);
}

TEST(CopyInstallFileTest, ClearsReadOnlyStateAndCopiesAgain) {
  struct Case {
    const char* what;
    bool fileThere;
    mode_t fileMode, folderMode;
  } cases[] = {
      {"a read-only file", true, 0444, 0755},
      {"a read-only file in a read-only folder", true, 0444, 0555},
      {"no file yet in a read-only folder", false, 0, 0555},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestFolder folder;
    const std::string source = folder / "new";
    const std::string target = folder.Make("install");
    const std::string destination = target + "/LockwellPC";
    WriteFile(source, "new program");
    chmod(source.c_str(), 0755);
    if (c.fileThere) {
      WriteFile(destination, "old");
      chmod(destination.c_str(), c.fileMode);
    }
    chmod(target.c_str(), c.folderMode);
    bool copied = false;
    AsOrdinaryUser(folder.Path(), [&] { copied = CopyInstallFile(destination, source); });
    EXPECT_TRUE(copied);
    EXPECT_EQ(ReadFile(destination), "new program");
  }
}

}  // namespace
}  // namespace lockwell::testing
