// The installation steps end to end into a scratch machine, with the
// simulator standing in for Palm Desktop.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "installer/InstallFiles.h"
#include "installer/InstallRegistry.h"
#include "installer/Installation.h"
#include "installer/InstallerFixture.h"

namespace lockwell::testing {
namespace {

namespace files = install_files;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

struct Message {
  std::string caption, text;
};

// Keeps what a person would have seen.
class Recorder : public InstallObserver {
 public:
  void SetRange(int maximum) override { range = maximum; }
  void ReportProgress(int number, const std::string* text) override {
    numbers.push_back(number);
    items.push_back(text != nullptr ? *text : "");
  }
  void ShowMessage(const std::string& caption, const std::string& text) override { messages.push_back({caption, text}); }

  int range = -1;
  // The first entry is "Beginning Installation" at 0; items follow.
  std::vector<int> numbers;
  std::vector<std::string> items;
  std::vector<Message> messages;
};

class InstallationTest : public InstallerFixture {
 protected:
  bool Install(InstallOptions options) {
    options_ = options;
    Installation installation(options_, binding, recorder);
    return installation.Run();
  }
  std::vector<std::string> Items() const { return {recorder.items.begin() + 1, recorder.items.end()}; }
  static std::vector<int> Sequence(int count) {
    std::vector<int> numbers;
    for (int i = 0; i < count; ++i) numbers.push_back(i);
    return numbers;
  }

  InstallOptions options_;
  Recorder recorder;
};

TEST_F(InstallationTest, EverythingWithPalmDesktopRunning) {
  InstallPalmDesktop({"Ann Smith"}, /*running=*/true);
  InstallOptions options = Options(true, true, true);
  options.palmUserName = "Ann Smith";
  ASSERT_TRUE(Install(options));
  EXPECT_TRUE(recorder.messages.empty());

  // 50 items over a range of 51: the last one shows 49 * 100 / 51 = 96%.
  EXPECT_EQ(recorder.range, 51);
  ASSERT_EQ(recorder.items.size(), 51u);
  EXPECT_EQ(recorder.items.front(), "Beginning Installation");
  std::vector<int> expectedNumbers = Sequence(50);
  expectedNumbers.insert(expectedNumbers.begin(), 0);
  EXPECT_EQ(recorder.numbers, expectedNumbers);

  const std::string dir = installFolder + "/";
  std::vector<std::string> expected = {
      "Creating Lockwell/PC directory",
      "Copying File: " + dir + "LockwellPC",
      "Copying File: " + dir + "license.txt",
      "Copying File: " + dir + "userdata.dll",
      "Copying File: " + dir + "lockwell.prc",
  };
  for (const char* name : files::kHelpFiles) expected.push_back("Copying File: " + dir + "help/" + name);
  for (const char* item : {"Creating Start Menu folder", "Creating Lockwell shortcut", "Creating documentation shortcut",
                           "Creating uninstall shortcut", "Registering .lwdb file type", "Creating Conduit directory"}) {
    expected.push_back(item);
  }
  expected.push_back("Copying File: " + dir + "lwconduit.dll");
  for (const char* item : {"Closing HotSync manager", "Removing old Lockwell conduit, if it exists",
                           "Installing conduit", "Starting HotSync manager"}) {
    expected.push_back(item);
  }
  expected.push_back("Copying File: " + dir + "uninstall");
  expected.push_back("Adding Lockwell to Add/Remove programs");
  expected.push_back("Saving Lockwell install path");
  EXPECT_EQ(Items(), expected);

  // Files, with the desktop program renamed and still a program.
  EXPECT_EQ(ReadFile(dir + "LockwellPC"), "#!/bin/sh\n# LockwellPC\n");
  EXPECT_EQ(access((dir + "LockwellPC").c_str(), X_OK), 0);
  EXPECT_EQ(access((dir + "uninstall").c_str(), X_OK), 0);
  for (const char* name : {"license.txt", "userdata.dll", "lockwell.prc", "lwconduit.dll"}) {
    EXPECT_EQ(ReadFile(dir + name), ReadFile(package + "/" + name)) << name;
  }
  for (const char* name : files::kHelpFiles) EXPECT_EQ(ReadFile(dir + "help/" + name), name);

  // The manager is closed before the conduit is registered and started
  // again afterwards.
  EXPECT_THAT(CallNames("Hs"), ElementsAre("HsCheckApiStatus", "HsSetAppStatus", "HsSetAppStatus"));
  std::vector<std::string> order;
  for (const auto& call : state.Calls()) {
    if (call.function == "HsSetAppStatus") order.push_back("HsSetAppStatus " + call.arguments.at(0));
    if (call.function == "CmInstallCreator" || call.function == "CmSetCreatorIntegrate") order.push_back(call.function);
  }
  EXPECT_THAT(order, ElementsAre("HsSetAppStatus 0", "CmInstallCreator", "CmSetCreatorIntegrate", "HsSetAppStatus 1"));
  EXPECT_TRUE(state.ManagerRunning());

  const std::map<std::string, std::string> conduit = {
      {"Type", "1"},          {"Name", dir + "lwconduit.dll"}, {"Directory", "lockwell"},
      {"File", "lockwell.lwdb"}, {"Remote", "Lockwell Database"}, {"Module", "Lockwell"},
      {"Priority", "2"},      {"Info", "Lockwell 4.0.9 Conduit"}, {"Integrate", "0"},
  };
  EXPECT_EQ(ConduitFields(), conduit);

  // The package's own handheld program, queued for the chosen user.
  const auto queue = state.InstallQueue();
  ASSERT_EQ(queue.size(), 1u);
  EXPECT_EQ(queue[0].user, "Ann Smith");
  EXPECT_EQ(queue[0].path, package + "/lockwell.prc");

  // Start menu: the program and the uninstaller run, the documentation opens.
  const std::string program = ReadFile(menuFolder + "Lockwell PC.desktop");
  EXPECT_THAT(program, HasSubstr("Type=Application\nExec=" + dir + "LockwellPC\n"));
  EXPECT_THAT(program, HasSubstr("Comment=Start Lockwell/PC\n"));
  EXPECT_THAT(ReadFile(menuFolder + "Lockwell PC Documentation.desktop"),
              HasSubstr("Type=Link\nURL=file://" + dir + "help/readme.html\n"));
  const std::string uninstall = ReadFile(menuFolder + "Uninstall Lockwell.desktop");
  EXPECT_THAT(uninstall, HasSubstr("Type=Application\nExec=" + dir + "uninstall\n"));
  EXPECT_THAT(uninstall, HasSubstr("Comment=Uninstall Lockwell/PC\n"));

  EXPECT_EQ(RegistryText(Hive::ClassesRoot, ".lwdb", ""), "LockwellPC File");
  EXPECT_EQ(RegistryText(Hive::ClassesRoot, "LockwellPC File", ""), "LockwellPC File");
  EXPECT_EQ(RegistryText(Hive::ClassesRoot, "LockwellPC File\\DefaultIcon", ""), dir + "LockwellPC,0");
  EXPECT_EQ(RegistryText(Hive::ClassesRoot, "LockwellPC File\\shell\\open\\command", ""),
            "\"" + dir + "LockwellPC\" \"%1\"");
  EXPECT_EQ(RegistryText(Hive::LocalMachine, kUninstallKeyPath, "DisplayName"), "Lockwell 4.0.9");
  EXPECT_EQ(RegistryText(Hive::LocalMachine, kUninstallKeyPath, "UninstallString"), dir + "uninstall");
  EXPECT_EQ(RegistryText(Hive::LocalMachine, "Software\\Tallmark\\LockwellPC", "InstallPath"), dir);
}

TEST_F(InstallationTest, HotSyncManagerStartedAgainOnlyIfItRan) {
  InstallPalmDesktop({"Ann"}, /*running=*/false);
  ASSERT_TRUE(Install(Options(false, false, true)));
  EXPECT_THAT(CallNames("Hs"), ElementsAre("HsCheckApiStatus", "HsSetAppStatus"));
  EXPECT_FALSE(state.ManagerRunning());
  // The conduit alone: its folder, six items and the final three.
  EXPECT_EQ(recorder.range, 9);
  EXPECT_EQ(Items().size(), 9u);
  EXPECT_EQ(ConduitFields().at("Name"), installFolder + "/lwconduit.dll");
}

TEST_F(InstallationTest, DesktopProgramAloneMakesNoHotSyncCall) {
  InstallPalmDesktop({"Ann"}, /*running=*/true);
  ASSERT_TRUE(Install(Options(true, false, false)));
  EXPECT_EQ(recorder.range, 44);
  EXPECT_EQ(recorder.numbers.back(), 43);  // 43 * 100 / 44 = 97%
  EXPECT_EQ(Items().size(), 44u);
  EXPECT_TRUE(state.Calls().empty());
  EXPECT_FALSE(fs::exists(installFolder + "/lwconduit.dll"));
  EXPECT_TRUE(state.InstallQueue().empty());
}

TEST_F(InstallationTest, ReplacesAnInstallationAlreadyThere) {
  // A second installation over the first, with the program made read-only
  // meanwhile (as a copy from a CD would be) and a registered conduit.
  InstallPalmDesktop({"Ann"}, /*running=*/true);
  ASSERT_TRUE(Install(Options(true, false, true)));
  const std::string program = installFolder + "/LockwellPC";
  ASSERT_EQ(chmod(program.c_str(), 0555), 0);
  WriteProgram(package + "/LockwellPC.dat", "LockwellPC 2");

  recorder = Recorder();
  ASSERT_TRUE(Install(Options(true, false, true)));
  EXPECT_TRUE(recorder.messages.empty());
  EXPECT_EQ(ReadFile(program), "#!/bin/sh\n# LockwellPC 2\n");
  // The old conduit was removed before the new one was registered.
  EXPECT_EQ(ConduitFields().at("Name"), installFolder + "/lwconduit.dll");
  EXPECT_THAT(CallNames("CmRemove"), ElementsAre("CmRemoveConduitByCreatorID", "CmRemoveConduitByCreatorID"));
}

TEST_F(InstallationTest, FatalFailuresStopWithTheirText) {
  const std::string copyHint =
      "Make sure that you have extracted all of the files from the ZIP file or that you are using WinZip's Install "
      "button.  ";
  const std::string runAgain = "Install will now terminate.  Please run it again.";
  struct Case {
    const char* what;
    std::function<void(InstallationTest&)> arrange;
    bool conduit;
    const char* folderBelowProgramFiles;
    std::string message;  // the fixture's folders written as {dir} and {pkg}
    std::string lastItem;
  } cases[] = {
      {"a folder on the path is a file",
       [](InstallationTest& t) { WriteFile(t.folder / "program-files/not-a-folder", "x"); }, false,
       "not-a-folder/Lockwell",
       "Fatal Error!  Could not create Lockwell/PC directory!  " + runAgain +
           "  Invalid directory; \"{root}/not-a-folder/\" already exists, and is not a directory.",
       "Creating Lockwell/PC directory"},
      {"a main file missing from the package",
       [](InstallationTest& t) { fs::remove(t.package + "/userdata.dll"); }, false, "Lockwell",
       "Fatal Error!  Could not copy Lockwell/PC file!  " + copyHint +
           "Also please exit Lockwell/PC before running this installer. " + runAgain + "  No such file or directory",
       "Copying File: {dir}userdata.dll"},
      {"a help file missing from the package",
       [](InstallationTest& t) { fs::remove(t.package + "/tip.gif"); }, false, "Lockwell",
       "Fatal Error!  Could not copy Lockwell/PC file!  " + copyHint + "Your ZIP program may need to be updated. " +
           runAgain + "  No such file or directory",
       "Copying File: {dir}help/tip.gif"},
      {"the help folder is a file",
       [](InstallationTest& t) {
         fs::create_directories(t.installFolder);
         WriteFile(t.installFolder + "/help", "x");
       },
       false, "Lockwell",
       "Fatal Error!  Could not create Lockwell/PC help directory!  " + runAgain +
           "  Invalid directory; \"{dir}help\" already exists, and is not a directory.",
       "Copying File: {dir}lockwell.prc"},
      {"no Start menu at all",
       [](InstallationTest& t) {
         t.folder.Set("LOCKWELL_COMMON_PROGRAMS_DIR", "");
         t.folder.Set("LOCKWELL_PROGRAMS_DIR", "");
       },
       false, "Lockwell", "Fatal Error!  Unable to create Start Menu folder!  " + runAgain, "Creating Start Menu folder"},
      {"the Start menu's Lockwell folder is a file",
       [](InstallationTest& t) { WriteFile(t.folder / "common-programs/Lockwell", "x"); }, false, "Lockwell",
       "Fatal Error!  Could not create Lockwell/PC Start Menu folder!  " + runAgain +
           "  Invalid directory; \"{menu}\" already exists, and is not a directory.",
       "Creating Start Menu folder"},
      {"a Start-menu entry cannot be written",
       [](InstallationTest& t) { fs::create_directories(t.menuFolder + "Lockwell PC Documentation.desktop/x"); },
       false, "Lockwell", "Fatal Error!  Could not create Lockwell/PC Start Menu short cut.  " + runAgain,
       "Creating documentation shortcut"},
      {"the conduit missing from the package",
       [](InstallationTest& t) { fs::remove(t.package + "/lwconduit.dll"); }, true, "Lockwell",
       "Fatal Error!  Could not copy Lockwell Conduit file!  " + copyHint +
           "Your ZIP program may need to be updated. " + runAgain + "  No such file or directory",
       "Copying File: {dir}lwconduit.dll"},
      {"the uninstaller missing from the package",
       [](InstallationTest& t) { fs::remove(t.package + "/uninstall"); }, false, "Lockwell",
       "Fatal Error!  Could not copy Lockwell file!  " + copyHint + "Your ZIP program may need to be updated. " +
           runAgain + "  No such file or directory",
       "Copying File: {dir}uninstall"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    InstallationTest& self = *this;
    fs::remove_all(folder / "program-files");
    fs::remove_all(folder / "common-programs");
    fs::create_directories(folder / "program-files");
    fs::create_directories(folder / "common-programs");
    MakePackage();
    c.arrange(self);
    recorder = Recorder();
    InstallOptions options = Options(true, false, c.conduit);
    options.installFolder = folder / ("program-files/" + std::string(c.folderBelowProgramFiles));
    EXPECT_FALSE(Install(options));
    auto expand = [&](std::string text) {
      for (const auto& [from, to] : {std::pair<std::string, std::string>{"{dir}", installFolder + "/"},
                                     {"{root}", folder / "program-files"},
                                     {"{menu}", folder / "common-programs/Lockwell"}}) {
        for (size_t at; (at = text.find(from)) != std::string::npos;) text.replace(at, from.size(), to);
      }
      return text;
    };
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].caption, "Fatal Error");
    EXPECT_EQ(recorder.messages[0].text, expand(c.message));
    // Nothing after the failing item runs.
    EXPECT_EQ(recorder.items.back(), expand(c.lastItem));
    folder.Set("LOCKWELL_COMMON_PROGRAMS_DIR", folder / "common-programs");
    folder.Set("LOCKWELL_PROGRAMS_DIR", folder / "programs");
  }
}

TEST_F(InstallationTest, ConduitRefusedLeavesTheManagerClosed) {
  InstallPalmDesktop({"Ann"}, /*running=*/true);
  ASSERT_TRUE(state.SetResult("CmSetCreatorFile", 5));
  EXPECT_FALSE(Install(Options(false, true, true)));
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(recorder.messages[0].text,
            "Fatal Error!  Unable to install conduit!  CmSetCreatorFile failed (5).  You may have Palm Desktop "
            "installed incorrectly.  Install will now terminate.  Please run it again.");
  EXPECT_EQ(recorder.items.back(), "Installing conduit");
  EXPECT_FALSE(state.ManagerRunning());
  // The handheld step and the final registration never ran.
  EXPECT_TRUE(state.InstallQueue().empty());
  EXPECT_FALSE(fs::exists(installFolder + "/uninstall"));
}

TEST_F(InstallationTest, HandheldProgramNotQueuedIsOnlyAWarning) {
  struct Case {
    const char* what;
    std::string user;
    bool refuse;
  } cases[] = {
      {"the install aide refuses", "Ann", true},
      {"Palm Desktop has no HotSync user", "", false},
  };
  // Libraries once loaded stay loaded: Palm Desktop is installed once and
  // its state changed between the cases.
  InstallPalmDesktop({}, false);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(state.SetUsers({}));
    ASSERT_TRUE(state.ClearResult("PltInstallFile"));
    if (c.refuse) {
      ASSERT_TRUE(state.AddUser("Ann", "Ann"));
      ASSERT_TRUE(state.SetResult("PltInstallFile", 3));
    }
    recorder = Recorder();
    InstallOptions options = Options(true, true, false);
    options.palmUserName = c.user;
    EXPECT_TRUE(Install(options));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].caption, "Couldn't Install Lockwell to Palm");
    EXPECT_EQ(recorder.messages[0].text,
              "Warning:  Could not install lockwell.prc to your Palm.  Double-click on this file yourself to install "
              "it to your Palm.");
    // The installation went on to its end.
    EXPECT_EQ(recorder.items.back(), "Saving Lockwell install path");
    EXPECT_TRUE(state.InstallQueue().empty());
  }
}

TEST_F(InstallationTest, HandheldProgramAloneTouchesNoFolder) {
  // setup is started from elsewhere: the package's copy is still the one
  // queued.
  InstallPalmDesktop({"Ann"}, false);
  const std::string elsewhere = folder.Make("elsewhere");
  const std::string previous = fs::current_path().string();
  ASSERT_EQ(chdir(elsewhere.c_str()), 0);
  InstallOptions options = Options(false, true, false);
  options.installFolder.clear();
  options.palmUserName = "Ann";
  const bool ok = Install(options);
  ASSERT_EQ(chdir(previous.c_str()), 0);
  ASSERT_TRUE(ok);
  EXPECT_EQ(recorder.range, 1);
  EXPECT_TRUE(Items().empty());
  ASSERT_EQ(state.InstallQueue().size(), 1u);
  EXPECT_EQ(state.InstallQueue()[0].path, package + "/lockwell.prc");
  EXPECT_EQ(RegistryText(Hive::LocalMachine, "Software\\Tallmark\\LockwellPC", "InstallPath"), "(no key)");
  EXPECT_FALSE(fs::exists("/uninstall"));
}

TEST_F(InstallationTest, RegistryFailuresAfterTheFilesAreNotFatal) {
  // A machine-wide hive that cannot be used: the uninstall entry warns, the
  // install path is skipped without a word, and the installation succeeds.
  fs::create_directories(folder / "registry/HKEY_LOCAL_MACHINE.reg");
  ASSERT_TRUE(Install(Options(true, false, false)));
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(recorder.messages[0].caption, "Warning");
  EXPECT_EQ(recorder.messages[0].text,
            "Warning: Lockwell Installer was unable to add Lockwell to the Add/Remove Programs list.  To uninstall "
            "Lockwell, use the shortcut created in your Start menu.");
  EXPECT_EQ(recorder.items.back(), "Saving Lockwell install path");
  EXPECT_EQ(RegistryText(Hive::ClassesRoot, ".lwdb", ""), "LockwellPC File");
}

}  // namespace
}  // namespace lockwell::testing
