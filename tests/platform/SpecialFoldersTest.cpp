#include <gtest/gtest.h>

#include "platform/Registry.h"
#include "platform/SpecialFolders.h"
#include "platform/TestFolder.h"

namespace lockwell {
namespace {

using testing::TestFolder;

TEST(SpecialFoldersTest, OurOwnVariablesAnswerAsTheyStand) {
  TestFolder folder;
  EXPECT_EQ(SpecialFolders::Documents(), folder / "documents");
  EXPECT_EQ(SpecialFolders::UserPrograms(), folder / "programs");
  EXPECT_EQ(SpecialFolders::CommonPrograms(), folder / "common-programs");
  EXPECT_EQ(SpecialFolders::ProgramFilesDir(), folder / "program-files");
  // Set but empty: the folder cannot be located.
  folder.Set("LOCKWELL_COMMON_PROGRAMS_DIR", "");
  EXPECT_EQ(SpecialFolders::CommonPrograms(), "");
}

TEST(SpecialFoldersTest, WithoutOverridesTheDesktopConventionsApply) {
  TestFolder folder;
  for (const char* name : {"LOCKWELL_DOCUMENTS_DIR", "LOCKWELL_PROGRAMS_DIR", "LOCKWELL_PROGRAM_FILES_DIR"}) {
    folder.Unset(name);
  }
  const std::string home = folder / "home";
  EXPECT_EQ(SpecialFolders::Documents(), home + "/Documents");
  EXPECT_EQ(SpecialFolders::UserPrograms(), folder / "home/.local/share/applications");
  EXPECT_EQ(SpecialFolders::ProgramFilesDir(), home + "/.local/opt/");

  testing::WriteFile(folder / "home/.config/user-dirs.dirs",
                     "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                     "XDG_DOCUMENTS_DIR=\"$HOME/Papiers\"\n");
  EXPECT_EQ(SpecialFolders::Documents(), home + "/Papiers");
  folder.Unset("XDG_DATA_HOME");
  EXPECT_EQ(SpecialFolders::UserPrograms(), home + "/.local/share/applications");

  RegistryKey key;
  ASSERT_EQ(Registry::CreateKey(Hive::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion", key),
            RegistryStatus::Ok);
  ASSERT_EQ(key.SetText("ProgramFilesDir", "/opt/programs"), RegistryStatus::Ok);
  EXPECT_EQ(SpecialFolders::ProgramFilesDir(), "/opt/programs");
}

}  // namespace
}  // namespace lockwell
