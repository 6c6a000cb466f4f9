// The uninstaller's guards: it leaves the installation package alone and
// removes only the Start-menu links that lead into its own folder.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <map>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "installer/FileSteps.h"
#include "installer/InstallFiles.h"
#include "installer/InstallRegistry.h"
#include "installer/Installation.h"
#include "installer/InstallerFixture.h"
#include "installer/StartMenuEntry.h"
#include "installer/Uninstaller.h"
#include "platform/ShellLink.h"

namespace lockwell::testing {
namespace {

namespace files = install_files;

class QuietObserver : public InstallObserver {
 public:
  void SetRange(int) override {}
  void ReportProgress(int, const std::string*) override {}
  void ShowMessage(const std::string& caption, const std::string& text) override {
    ADD_FAILURE() << caption << ": " << text;
  }
};

// Every file below `root` with its content.
std::map<std::string, std::string> Snapshot(const std::string& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) files[fs::relative(entry.path(), root).string()] = ReadFile(entry.path().string());
  }
  return files;
}

class UninstallerTest : public InstallerFixture {
 protected:
  std::string MenuEntry(const files::Shortcut& shortcut) const {
    return ShellLink::DesktopEntryPath(menuFolder + shortcut.linkName);
  }
};

TEST(StartMenuEntryTest, ReadsBackTheTargetOfEveryLinkShellLinkWrites) {
  TestFolder folder;
  const std::string names[] = {
      "plain",     "with space", " leading blank", "quote\"d", "back\\slash", "100%",
      "$HOME",     "tick`",      "tab\there",      "caf\xc3\xa9", "line\nbreak",
  };
  for (const std::string& name : names) {
    // A program is written as Exec=, anything else as a file URL.
    for (const bool program : {true, false}) {
      const std::string target = folder.Make(program ? "programs-here" : "documents-here") + "/" + name;
      WriteFile(target, "x");
      chmod(target.c_str(), program ? 0755 : 0644);
      ShellLink link;
      link.SetTarget(target);
      const std::string text = link.DesktopEntryText("Entry");
      ASSERT_THAT(text, ::testing::HasSubstr(program ? "Exec=" : "URL=")) << name;
      EXPECT_EQ(StartMenuEntry::Target(text), target) << text;
    }
  }
  for (const char* text : {"[Desktop Entry]\nType=Link\nURL=https://example.com/\n",
                           "[Desktop Entry]\nType=Link\nURL=file:///broken%2\n", "[Desktop Entry]\nName=x\n", ""}) {
    EXPECT_EQ(StartMenuEntry::Target(text), "") << text;
  }
}

TEST_F(UninstallerTest, PackageFolderIsLeftAsItIs) {
  InstallPalmDesktop({"Ann"}, /*running=*/true);
  InstallOptions options = Options(true, false, true);
  QuietObserver observer;
  ASSERT_TRUE(Installation(options, binding, observer).Run());
  const auto packageBefore = Snapshot(package);
  const auto installedBefore = Snapshot(installFolder);
  const auto menuBefore = Snapshot(menuFolder);
  const auto conduitBefore = ConduitFields();
  ASSERT_FALSE(conduitBefore.empty());
  const size_t callsBefore = state.Calls().size();

  // uninstall started from the package, beside setup.
  HotSyncBinding fresh;
  fresh.SetBootstrapDirectory(package);
  Uninstaller uninstaller(package, fresh);
  std::vector<std::string> leftBehind;
  EXPECT_FALSE(uninstaller.Run(leftBehind));
  EXPECT_TRUE(uninstaller.Refused());
  EXPECT_THAT(leftBehind, ::testing::ElementsAre(Uninstaller::kPackageRefusal));

  EXPECT_EQ(Snapshot(package), packageBefore);
  EXPECT_EQ(Snapshot(installFolder), installedBefore);
  EXPECT_EQ(Snapshot(menuFolder), menuBefore);
  EXPECT_EQ(ConduitFields(), conduitBefore);
  EXPECT_EQ(state.Calls().size(), callsBefore);
  EXPECT_EQ(ReadInstallPath(), installFolder + "/");
  EXPECT_EQ(RegistryText(Hive::LocalMachine, kUninstallKeyPath, "UninstallString"), installFolder + "/uninstall");
  EXPECT_EQ(RegistryText(Hive::ClassesRoot, ".lwdb", ""), "LockwellPC File");
}

TEST_F(UninstallerTest, StartMenuLinksGoOnlyWhenTheyLeadIntoTheFolder) {
  const std::string alias = folder / "alias";
  fs::create_directories(installFolder);
  fs::create_directory_symlink(installFolder, alias);
  struct Case {
    const char* name;
    std::string linkFolder;  // where the links lead; empty: links that name no target
    bool removed;
  };
  const Case cases[] = {
      {"this installation", installFolder, true},
      {"this installation through a symbolic link", alias, true},
      {"another installation", folder / "second/Lockwell", false},
      {"a folder whose name begins the same", installFolder + "2", false},
      {"the folder above", folder / "program-files", false},
      {"links that name no target", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // An installation's files, and the three links written as setup does.
    fs::create_directories(installFolder + "/help");
    WriteProgram(installFolder + "/" + files::kProgram, "LockwellPC");
    WriteProgram(installFolder + "/" + files::kUninstall, "uninstall");
    WriteFile(installFolder + "/" + files::kHelpIndex, "readme");
    fs::create_directories(menuFolder);
    for (const auto& shortcut : files::kShortcuts) {
      if (c.linkFolder.empty()) {
        WriteFile(MenuEntry(shortcut), "[Desktop Entry]\nType=Application\nName=Lockwell\n");
        continue;
      }
      ASSERT_TRUE(CreateShortcut(c.linkFolder + "/" + shortcut.target, menuFolder + shortcut.linkName,
                                 shortcut.description));
    }

    HotSyncBinding fresh;
    Uninstaller uninstaller(installFolder, fresh);
    std::vector<std::string> leftBehind;
    EXPECT_TRUE(uninstaller.Run(leftBehind)) << ::testing::PrintToString(leftBehind);
    EXPECT_FALSE(fs::exists(installFolder + "/" + files::kProgram));
    for (const auto& shortcut : files::kShortcuts) {
      EXPECT_EQ(fs::exists(MenuEntry(shortcut)), !c.removed) << shortcut.linkName;
    }
    EXPECT_EQ(fs::exists(menuFolder), !c.removed);
    fs::remove_all(menuFolder);
  }
}

}  // namespace
}  // namespace lockwell::testing
