// setup from start to end (wizard, progress window, completion page) and the
// uninstaller taking it all away again.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QWizard>

#include <vector>

#include "app/Settings.h"
#include "installer/CFolderPage.h"
#include "installer/CInstallDialog.h"
#include "installer/InstallRegistry.h"
#include "installer/InstallerFixture.h"
#include "installer/Setup.h"
#include "installer/Uninstaller.h"
#include "platform/ShellLink.h"
#include "platform/ui/ControlIds.h"
#include "platform/ui/ScriptedPrompter.h"

namespace lockwell::testing {
namespace {

class SetupTest : public InstallerFixture {
 public:
  // The person: Next to the summary (typing a folder on the folder page
  // when one is given), then Install.
  void QueueWizard(const std::string& typedFolder = "") {
    prompter.QueueDialog([typedFolder](QDialog& dialog) {
      auto& wizard = static_cast<QWizard&>(dialog);
      while (wizard.currentId() != kSummaryPageId) {
        if (wizard.currentId() == kFolderPageId && !typedFolder.empty()) {
          ControlIds::Find<QLineEdit>(&wizard, CFolderPage::kFolderId)->setText(QString::fromStdString(typedFolder));
        }
        const int before = wizard.currentId();
        wizard.next();
        if (wizard.currentId() == before) return;  // stuck: leaves the wizard open, a Problem
      }
      wizard.button(QWizard::FinishButton)->click();
    });
  }
  // Watches the progress window until it ends by itself.
  void QueueProgress() {
    prompter.QueueDialog([this](QDialog& dialog) {
      QDeadlineTimer deadline(60000);
      while (dialog.isVisible() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      shown = static_cast<CInstallDialog&>(dialog).History();
    });
  }
  void QueueCompleted() {
    prompter.QueueDialog([this](QDialog& dialog) {
      auto& wizard = static_cast<QWizard&>(dialog);
      completedTitle = wizard.windowTitle().toStdString();
      wizard.button(QWizard::FinishButton)->click();
    });
  }

  ScriptedPrompter prompter;
  std::vector<CInstallDialog::Shown> shown;
  std::string completedTitle;
};

TEST_F(SetupTest, InstallsEverythingAndUninstallsIt) {
  InstallPalmDesktop({"Ann"}, /*running=*/true);
  QueueWizard();
  QueueProgress();
  QueueCompleted();
  ASSERT_EQ(RunSetup(binding, package, prompter), 0);
  EXPECT_TRUE(prompter.Problems().isEmpty()) << prompter.Problems().join("\n").toStdString();
  EXPECT_EQ(completedTitle, "Lockwell Installer - Completed");

  // "Beginning Installation" and then 50 items; the last shown as 96%.
  ASSERT_EQ(shown.size(), 51u);
  EXPECT_EQ(shown.front().status, "Beginning Installation");
  EXPECT_EQ(shown.front().percent, "0%");
  EXPECT_EQ(shown[1].percent, "0%");
  EXPECT_EQ(shown.back().position, 49);
  EXPECT_EQ(shown.back().percent, "96%");
  EXPECT_EQ(shown.back().status, "Saving Lockwell install path");

  // The desktop program, run with the installed registry, finds its help.
  const std::string installPath = ReadInstallPath();
  EXPECT_EQ(installPath, installFolder + "/");
  EXPECT_EQ(ReadFile(installPath + "help/readme.html"), "readme.html");
  EXPECT_EQ(state.InstallQueue().size(), 1u);
  EXPECT_FALSE(ConduitFields().empty());

  // A file of the user's in the folder stays, and so does the folder.
  WriteFile(installFolder + "/notes.txt", "mine");
  HotSyncBinding fresh;
  fresh.SetBootstrapDirectory(installFolder);
  Uninstaller uninstaller(installFolder, fresh);
  std::vector<std::string> leftBehind;
  EXPECT_TRUE(uninstaller.Run(leftBehind)) << ::testing::PrintToString(leftBehind);
  std::vector<std::string> remaining;
  for (const auto& entry : fs::recursive_directory_iterator(installFolder)) {
    remaining.push_back(entry.path().filename().string());
  }
  EXPECT_THAT(remaining, ::testing::ElementsAre("notes.txt"));
  EXPECT_FALSE(fs::exists(menuFolder));
  EXPECT_TRUE(ConduitFields().empty());
  EXPECT_TRUE(state.ManagerRunning());
  for (const auto& [hive, path] : {std::pair{Hive::ClassesRoot, std::string(".lwdb")},
                                   {Hive::ClassesRoot, std::string("LockwellPC File")},
                                   {Hive::LocalMachine, std::string(kUninstallKeyPath)},
                                   {Hive::LocalMachine, std::string("Software\\Tallmark")}}) {
    EXPECT_FALSE(KeyExists(hive, path)) << path;
  }
  EXPECT_EQ(ReadInstallPath(), "");
}

TEST_F(SetupTest, UninstallingAnOlderCopyLeavesTheNewerRegistration) {
  InstallPalmDesktop({"Ann"}, false);
  QueueWizard(folder / "second/Lockwell");
  QueueProgress();
  QueueCompleted();
  ASSERT_EQ(RunSetup(binding, package, prompter), 0);

  // An old installation elsewhere, removed after the new one was made.
  const std::string old = folder.Make("old/Lockwell");
  WriteFile(old + "/LockwellPC", "old");
  HotSyncBinding fresh;
  Uninstaller uninstaller(old, fresh);
  std::vector<std::string> leftBehind;
  EXPECT_TRUE(uninstaller.Run(leftBehind));
  EXPECT_FALSE(fs::exists(old));
  for (const auto& shortcut : install_files::kShortcuts) {
    EXPECT_TRUE(fs::exists(ShellLink::DesktopEntryPath(menuFolder + shortcut.linkName))) << shortcut.linkName;
  }
  EXPECT_EQ(ReadInstallPath(), folder / "second/Lockwell/");
  EXPECT_EQ(RegistryText(Hive::ClassesRoot, ".lwdb", ""), "LockwellPC File");
  EXPECT_EQ(RegistryText(Hive::LocalMachine, kUninstallKeyPath, "DisplayName"), "Lockwell 4.0.9");
  EXPECT_FALSE(ConduitFields().empty());
}

TEST_F(SetupTest, DesktopProgramAloneWithoutPalmDesktop) {
  QueueWizard();
  QueueProgress();
  QueueCompleted();
  ASSERT_EQ(RunSetup(binding, package, prompter), 0);
  ASSERT_EQ(shown.size(), 45u);
  EXPECT_EQ(shown.back().percent, "97%");
  EXPECT_TRUE(state.Calls().empty());
  EXPECT_TRUE(fs::exists(installFolder + "/LockwellPC"));
}

TEST_F(SetupTest, FatalFailureEndsWithoutTheCompletedPage) {
  const std::string file = folder / "program-files/file";
  WriteFile(file, "x");
  QueueWizard(file + "/Lockwell");
  QueueProgress();
  prompter.QueueAnswer(Prompter::Answer::Ok);  // the fatal message
  EXPECT_EQ(RunSetup(binding, package, prompter), 1);
  EXPECT_TRUE(prompter.Problems().isEmpty()) << prompter.Problems().join("\n").toStdString();
  // The wizard, the progress window, its message, and no completed page.
  std::vector<std::string> asked;
  for (const auto& request : prompter.Requests()) asked.push_back(request.caption.toStdString());
  EXPECT_THAT(asked, ::testing::ElementsAre("Lockwell Installer", "Lockwell Installer", "Fatal Error"));
  EXPECT_THAT(prompter.Requests()[2].text.toStdString(),
              ::testing::EndsWith("Invalid directory; \"" + file + "/\" already exists, and is not a directory."));
}

TEST_F(SetupTest, CancelInstallsNothing) {
  prompter.QueueDialog([](QDialog& dialog) {
    auto& wizard = static_cast<QWizard&>(dialog);
    wizard.next();
    wizard.button(QWizard::CancelButton)->click();
  });
  EXPECT_EQ(RunSetup(binding, package, prompter), 0);
  EXPECT_EQ(prompter.Requests().size(), 1u);
  EXPECT_FALSE(fs::exists(installFolder));
}

}  // namespace
}  // namespace lockwell::testing
