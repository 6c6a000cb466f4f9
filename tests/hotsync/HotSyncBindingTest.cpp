#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "ExportRemover.h"
#include "SimState.h"
#include "hotsync/HotSyncBinding.h"
#include "hotsync/ProductVersion.h"
#include "platform/TestFolder.h"

namespace lockwell {
namespace {

namespace fs = std::filesystem;
using testing::TestFolder;

const char* const kSuite[] = {"userdata.dll", "hsapi.dll", "condmgr.dll", "instaide.dll"};
const std::string kNoCondmgr =
    "Unable to load condmgr.dll.  You may have Palm Desktop installed incorrectly.";

// Each test gets its own simulator state, HotSync root and installer folder
// ("setup"), and places copies of the simulated libraries where it needs them.
class HotSyncBindingTest : public ::testing::Test {
 protected:
  HotSyncBindingTest() : state(folder.Make("sim-state")) {
    folder.Set(palmsim::kStateVariable, state.Folder());
    state.SetRoot(root);
  }

  // Copies the simulated library `name` into `where`, with `without` missing.
  void Place(const std::string& where, const std::string& name,
             const std::vector<std::string>& without = {}) {
    const std::string from = std::string(PALM_DESKTOP_SIM_LIB_DIR) + "/" + name;
    const std::string to = where + "/" + name;
    if (without.empty()) {
      fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    } else {
      std::string error;
      ASSERT_TRUE(palmsim::CopyWithoutExports(from, to, without, error)) << error;
    }
  }
  void PlaceSuite(const std::string& where) {
    for (const char* name : kSuite) Place(where, name);
  }

  // A binding that looks in the installer folder first, as setup's does.
  HotSyncBinding& Binding() {
    binding.SetBootstrapDirectory(boot);
    return binding;
  }

  std::vector<palmsim::Call> Calls(const std::string& prefix = "") const {
    std::vector<palmsim::Call> calls;
    for (auto& call : state.Calls()) {
      if (call.function.rfind(prefix, 0) == 0) calls.push_back(call);
    }
    return calls;
  }
  std::vector<std::string> CallNames(const std::string& prefix) const {
    std::vector<std::string> names;
    for (const auto& call : Calls(prefix)) names.push_back(call.function);
    return names;
  }
  // The library file that served the last call of `function`.
  std::string ServedBy(const std::string& function) const {
    std::string library = "(not called)";
    for (const auto& call : state.Calls()) {
      if (call.function == function) library = call.library;
    }
    return library;
  }

  void AddUsers(const std::vector<palmsim::User>& users) { ASSERT_TRUE(state.SetUsers(users)); }

  // A new HotSync root and installer folder for one case of a table.  A
  // library loaded once stays mapped for the rest of the process (C++
  // libraries are not unloaded), so a case never reuses a path another case
  // loaded from.
  struct Folders {
    std::string root, boot;
  };
  Folders NewFolders() {
    const std::string name = "case-" + std::to_string(++cases_);
    Folders folders{folder.Make(name + "/Palm"), folder.Make(name + "/setup")};
    state.SetRoot(folders.root);
    fs::remove(state.Folder() + "/calls.log");
    return folders;
  }

  TestFolder folder;
  palmsim::SimState state;
  const std::string root = folder.Make("Palm");
  const std::string boot = folder.Make("setup");
  HotSyncBinding binding;
  int cases_ = 0;
};

TEST_F(HotSyncBindingTest, WithoutPalmDesktopEveryOperationFailsQuietly) {
  struct Case {
    const char* what;
    bool setBootstrap;
    bool otherLibrariesInRoot;
  } cases[] = {
      {"the desktop program: no bootstrap folder", false, false},
      {"the installer: an empty bootstrap folder", true, false},
      {"the other libraries present, but no userdata.dll", true, true},
  };
  for (const auto& c : cases) {
    const Folders f = NewFolders();
    HotSyncBinding fresh;
    if (c.setBootstrap) fresh.SetBootstrapDirectory(f.boot);
    if (c.otherLibrariesInRoot) {
      for (const char* name : {"hsapi.dll", "condmgr.dll", "instaide.dll"}) {
        Place(f.root, name);
        Place(f.boot, name);
      }
    }
    HotSyncUserMap users = {{"left over", "/x"}};
    fresh.ListHotSyncUsers(users);
    std::string errorText = "previous";
    EXPECT_FALSE(fresh.LoadUserData()) << c.what;
    EXPECT_TRUE(users.empty()) << c.what;
    EXPECT_FALSE(fresh.InstallConduit(f.root + "/lwconduit.dll", errorText)) << c.what;
    EXPECT_EQ(errorText, kNoCondmgr) << c.what;
    EXPECT_FALSE(fresh.IsHotSyncRunning()) << c.what;
    EXPECT_FALSE(fresh.CloseHotSync()) << c.what;
    EXPECT_FALSE(fresh.StartHotSync()) << c.what;
    EXPECT_FALSE(fresh.RemoveConduit()) << c.what;
    EXPECT_FALSE(fresh.QueueHandheldInstall("Alpha", "/x/lockwell.prc")) << c.what;
    EXPECT_TRUE(state.Calls().empty()) << c.what;
  }
}

TEST_F(HotSyncBindingTest, UserDataComesFromTheBootstrapFolderThenTheRootsCopy) {
  struct Case {
    const char* what;
    bool inBoot;
    std::vector<std::string> bootWithout;
    bool inRoot;
    std::vector<std::string> rootWithout;
    bool loads;
    std::string servedBy;  // "boot" or "root" when users are listed
    size_t users;
  } cases[] = {
      {"only the bootstrap copy: it stays in use", true, {}, false, {}, true, "boot", 1},
      {"the root's copy takes over", true, {}, true, {}, true, "root", 1},
      {"the root's copy alone is never found", false, {}, true, {}, false, "", 0},
      // Listing asks the copy in use for the root: nobody is listed, which
      // shows that the root's copy took over.
      {"root copy lacking only UmGetRootDirectory loads, lists nobody",
       true,
       {},
       true,
       {"UmGetRootDirectory"},
       true,
       "",
       0},
      {"root copy lacking UmGetUserName", true, {}, true, {"UmGetUserName"}, false, "", 0},
      {"root copy lacking UmGetUserCount", true, {}, true, {"UmGetUserCount"}, false, "", 0},
      {"root copy lacking UmGetUserID", true, {}, true, {"UmGetUserID"}, false, "", 0},
      {"root copy lacking UmGetUserDirectory", true, {}, true, {"UmGetUserDirectory"}, false, "", 0},
      {"bootstrap copy needs only UmGetRootDirectory",
       true,
       {"UmGetUserCount", "UmGetUserID", "UmGetUserName", "UmGetUserDirectory"},
       true,
       {},
       true,
       "root",
       1},
      {"bootstrap copy lacking UmGetRootDirectory", true, {"UmGetRootDirectory"}, true, {}, false, "", 0},
      {"bootstrap copy lacking a user function, no root copy",
       true,
       {"UmGetUserName"},
       false,
       {},
       false,
       "",
       0},
  };
  for (const auto& c : cases) {
    const auto [root, boot] = NewFolders();
    if (c.inBoot) Place(boot, "userdata.dll", c.bootWithout);
    if (c.inRoot) Place(root, "userdata.dll", c.rootWithout);
    AddUsers({{1, "Alpha", "alpha"}});
    HotSyncBinding fresh;
    fresh.SetBootstrapDirectory(boot);
    EXPECT_EQ(fresh.LoadUserData(), c.loads) << c.what;
    HotSyncUserMap users;
    fresh.ListHotSyncUsers(users);
    EXPECT_EQ(users.size(), c.users) << c.what;
    if (!c.servedBy.empty()) {
      EXPECT_EQ(ServedBy("UmGetUserCount"), (c.servedBy == "boot" ? boot : root) + "/userdata.dll") << c.what;
      EXPECT_EQ(fresh.HotSyncRoot(), root + "/") << c.what;
    }
  }
}

TEST_F(HotSyncBindingTest, AnUnreadableRootDirectoryMeansNoPalmDesktop) {
  Place(boot, "userdata.dll");
  AddUsers({{1, "Alpha", "alpha"}});
  state.SetResult("UmGetRootDirectory", 0);
  HotSyncUserMap users;
  Binding().ListHotSyncUsers(users);
  EXPECT_FALSE(binding.LoadUserData());
  EXPECT_TRUE(users.empty());
  EXPECT_EQ(binding.HotSyncRoot(), "");
}

TEST_F(HotSyncBindingTest, TheOtherLibrariesComeFromTheRootThenTheBootstrapFolder) {
  struct Library {
    const char* name;
    const char* probe;  // a function an operation of the library calls
    bool (*operate)(HotSyncBinding&);
  } libraries[] = {
      {"hsapi.dll", "HsCheckApiStatus",
       [](HotSyncBinding& b) { return b.LoadHotSyncStatus() && (b.IsHotSyncRunning(), true); }},
      {"condmgr.dll", "CmRemoveConduitByCreatorID", [](HotSyncBinding& b) { return b.RemoveConduit(); }},
      {"instaide.dll", "PltInstallFile",
       [](HotSyncBinding& b) {
         return b.LoadInstallAide() && (b.QueueHandheldInstall("Alpha", "/x"), true);
       }},
  };
  struct Placement {
    const char* what;
    bool inRoot, inBoot;
    std::string servedBy;
  } placements[] = {
      {"in the root", true, false, "root"},
      {"in the bootstrap folder", false, true, "boot"},
      {"in both: the root's", true, true, "root"},
      {"in neither", false, false, ""},
  };
  for (const auto& library : libraries) {
    for (const auto& p : placements) {
      const auto [root, boot] = NewFolders();
      Place(boot, "userdata.dll");
      if (p.inRoot) Place(root, library.name);
      if (p.inBoot) Place(boot, library.name);
      HotSyncBinding fresh;
      fresh.SetBootstrapDirectory(boot);
      EXPECT_EQ(library.operate(fresh), !p.servedBy.empty()) << library.name << " " << p.what;
      if (!p.servedBy.empty()) {
        EXPECT_EQ(ServedBy(library.probe), (p.servedBy == "boot" ? boot : root) + "/" + library.name)
            << library.name << " " << p.what;
      }
    }
  }
}

TEST_F(HotSyncBindingTest, EveryListedFunctionIsRequired) {
  struct Case {
    const char* library;
    const char* function;
    bool (HotSyncBinding::*load)();
  } cases[] = {
      {"hsapi.dll", "HsCheckApiStatus", &HotSyncBinding::LoadHotSyncStatus},
      {"hsapi.dll", "HsSetAppStatus", &HotSyncBinding::LoadHotSyncStatus},
      {"condmgr.dll", "CmRemoveConduitByCreatorID", &HotSyncBinding::LoadConduitManager},
      {"condmgr.dll", "CmInstallCreator", &HotSyncBinding::LoadConduitManager},
      {"condmgr.dll", "CmSetCreatorName", &HotSyncBinding::LoadConduitManager},
      {"condmgr.dll", "CmSetCreatorDirectory", &HotSyncBinding::LoadConduitManager},
      {"condmgr.dll", "CmSetCreatorFile", &HotSyncBinding::LoadConduitManager},
      {"condmgr.dll", "CmSetCreatorRemote", &HotSyncBinding::LoadConduitManager},
      {"condmgr.dll", "CmSetCreatorModule", &HotSyncBinding::LoadConduitManager},
      {"condmgr.dll", "CmSetCreatorPriority", &HotSyncBinding::LoadConduitManager},
      {"condmgr.dll", "CmSetCreatorInfo", &HotSyncBinding::LoadConduitManager},
      {"condmgr.dll", "CmSetCreatorIntegrate", &HotSyncBinding::LoadConduitManager},
      {"condmgr.dll", "CmSetCreatorValueDword", &HotSyncBinding::LoadConduitManager},
      {"instaide.dll", "PltInstallFile", &HotSyncBinding::LoadInstallAide},
  };
  for (const auto& c : cases) {
    const auto [root, boot] = NewFolders();
    PlaceSuite(root);
    Place(boot, "userdata.dll");
    // The copy lacking the function sits in the root, a whole one in the
    // bootstrap folder: a library that loads but lacks a function is not
    // looked for elsewhere.
    Place(root, c.library, {c.function});
    Place(boot, c.library);
    HotSyncBinding fresh;
    fresh.SetBootstrapDirectory(boot);
    EXPECT_FALSE((fresh.*c.load)()) << c.function;
    EXPECT_TRUE(fresh.LoadUserData()) << c.function;
    // It stays not loaded, so a later call tries again: with the root's copy
    // gone, the bootstrap folder's whole copy serves.
    fs::remove(root + "/" + c.library);
    EXPECT_TRUE((fresh.*c.load)()) << c.function;
  }
}

TEST_F(HotSyncBindingTest, UsersAreListedByNameWithTheirFullFolders) {
  struct Case {
    const char* what;
    std::vector<palmsim::User> users;
    std::vector<std::pair<std::string, int32_t>> forced;  // function, code
    std::vector<std::string> forcedFor;                   // first argument of each forced result
    HotSyncUserMap expected;
  } cases[] = {
      {"byte order: capitals first",
       {{1, "zed", "zed"}, {2, "Alpha", "Alpha"}},
       {},
       {},
       {{"Alpha", "/Alpha"}, {"zed", "/zed"}}},
      {"a second user of the same name replaces the first",
       {{1, "Bob", "b1"}, {2, "Bob", "b2"}},
       {},
       {},
       {{"Bob", "/b2"}}},
      {"a user whose name cannot be read is left out",
       {{1, "Ann", "a"}, {2, "Ben", "b"}, {3, "Cy", "c"}},
       {{"UmGetUserName", 0}},
       {"2"},
       {{"Ann", "/a"}, {"Cy", "/c"}}},
      {"a user whose folder cannot be read is left out",
       {{1, "Ann", "a"}, {2, "Ben", "b"}},
       {{"UmGetUserDirectory", -1}},
       {"1"},
       {{"Ben", "/b"}}},
      {"the count is a signed 16-bit number: 65537 is 1",
       {{1, "Ann", "a"}, {2, "Ben", "b"}},
       {{"UmGetUserCount", 65537}},
       {""},
       {{"Ann", "/a"}}},
      {"the count is a signed 16-bit number: 65535 is -1",
       {{1, "Ann", "a"}},
       {{"UmGetUserCount", 65535}},
       {""},
       {}},
      {"no users", {}, {}, {}, {}},
  };
  PlaceSuite(boot);
  for (const auto& c : cases) {
    AddUsers(c.users);
    state.ClearResult("UmGetUserName");
    state.ClearResult("UmGetUserDirectory");
    state.ClearResult("UmGetUserCount");
    for (size_t i = 0; i < c.forced.size(); ++i) {
      state.SetResult(c.forced[i].first, c.forced[i].second,
                      c.forcedFor[i].empty() ? std::nullopt : std::optional<std::string>(c.forcedFor[i]));
    }
    HotSyncUserMap users = {{"left over", "/x"}};
    Binding().ListHotSyncUsers(users);
    HotSyncUserMap expected;
    for (const auto& [name, folder] : c.expected) expected[name] = root + folder;
    EXPECT_EQ(users, expected) << c.what;
  }
}

TEST_F(HotSyncBindingTest, TheRootGetsExactlyOneSeparator) {
  PlaceSuite(boot);
  AddUsers({{1, "Ann", "a"}});
  for (const std::string& reported : {root, root + "/"}) {
    state.SetRoot(reported);
    HotSyncBinding fresh;
    fresh.SetBootstrapDirectory(boot);
    HotSyncUserMap users;
    fresh.ListHotSyncUsers(users);
    EXPECT_EQ(users, (HotSyncUserMap{{"Ann", root + "/a"}})) << reported;
    EXPECT_EQ(fresh.HotSyncRoot(), root + "/") << reported;
  }
  for (const auto& [given, kept] :
       std::vector<std::pair<std::string, std::string>>{{"/setup", "/setup/"}, {"/setup/", "/setup/"}}) {
    HotSyncBinding fresh;
    fresh.SetBootstrapDirectory(given);
    EXPECT_EQ(fresh.BootstrapDirectory(), kept);
  }
}

TEST_F(HotSyncBindingTest, ALoadedLibraryStaysWhileTheUserListIsAskedAgain) {
  PlaceSuite(boot);
  AddUsers({{1, "Ann", "a"}});
  HotSyncUserMap users;
  Binding().ListHotSyncUsers(users);
  EXPECT_EQ(users.size(), 1u);
  fs::remove(boot + "/userdata.dll");
  ASSERT_TRUE(state.AddUser("Ben", "b"));
  binding.ListHotSyncUsers(users);
  EXPECT_EQ(users, (HotSyncUserMap{{"Ann", root + "/a"}, {"Ben", root + "/b"}}));
}

TEST_F(HotSyncBindingTest, TheHotSyncManagerIsAskedClosedAndStarted) {
  PlaceSuite(root);
  Place(boot, "userdata.dll");
  state.SetManagerRunning(true);
  EXPECT_TRUE(Binding().IsHotSyncRunning());
  EXPECT_TRUE(binding.CloseHotSync());
  EXPECT_FALSE(state.ManagerRunning());
  EXPECT_FALSE(binding.IsHotSyncRunning());
  EXPECT_TRUE(binding.StartHotSync());
  EXPECT_TRUE(state.ManagerRunning());
  std::vector<std::vector<std::string>> statusArguments;
  for (const auto& call : Calls("HsSetAppStatus")) statusArguments.push_back(call.arguments);
  EXPECT_EQ(statusArguments, (std::vector<std::vector<std::string>>{{"0", "0"}, {"1", "0"}}));

  state.SetResult("HsSetAppStatus", 5);
  EXPECT_FALSE(binding.CloseHotSync());
  EXPECT_FALSE(binding.StartHotSync());
}

TEST_F(HotSyncBindingTest, InstallConduitRegistersEveryFieldInOrder) {
  PlaceSuite(root);
  Place(boot, "userdata.dll");
  std::string errorText = "untouched";
  EXPECT_TRUE(Binding().RemoveConduit()) << "nothing to remove is no failure";
  ASSERT_TRUE(binding.InstallConduit("/opt/Lockwell/lwconduit.dll", errorText));
  EXPECT_EQ(errorText, "untouched");

  std::map<std::string, std::string> fields;
  for (const auto& r : state.Registrations()) {
    EXPECT_EQ(r.creator, "Kwlv");
    fields[r.field] = r.value;
  }
  EXPECT_EQ(fields, (std::map<std::string, std::string>{{"Type", "1"},
                                                        {"Name", "/opt/Lockwell/lwconduit.dll"},
                                                        {"Directory", "lockwell"},
                                                        {"File", "lockwell.lwdb"},
                                                        {"Remote", "Lockwell Database"},
                                                        {"Module", "Lockwell"},
                                                        {"Priority", "2"},
                                                        {"Info", "Lockwell 4.0.9 Conduit"},
                                                        {"Integrate", "0"}}));
  EXPECT_EQ(CallNames("Cm"),
            (std::vector<std::string>{"CmRemoveConduitByCreatorID", "CmInstallCreator", "CmSetCreatorName",
                                      "CmSetCreatorDirectory", "CmSetCreatorFile", "CmSetCreatorRemote",
                                      "CmSetCreatorModule", "CmSetCreatorPriority", "CmSetCreatorInfo",
                                      "CmSetCreatorIntegrate"}));

  // Removing takes the registration away; an old one left in place makes the
  // next registration fail at its first step.
  EXPECT_TRUE(binding.InstallConduit("/opt/Lockwell/lwconduit.dll", errorText) == false);
  EXPECT_EQ(errorText, "CmInstallCreator failed (-1003).  You may have Palm Desktop installed incorrectly.");
  EXPECT_TRUE(binding.RemoveConduit());
  EXPECT_TRUE(state.Registrations().empty());
}

TEST_F(HotSyncBindingTest, InstallConduitStopsAtTheFirstFailingStep) {
  const std::vector<std::string> steps = {
      "CmInstallCreator",     "CmSetCreatorName",   "CmSetCreatorDirectory",
      "CmSetCreatorFile",     "CmSetCreatorRemote", "CmSetCreatorModule",
      "CmSetCreatorPriority", "CmSetCreatorInfo",   "CmSetCreatorIntegrate"};
  struct Case {
    size_t step;  // 0-based
    int32_t code;
    std::string text;
  } cases[] = {
      {3, 5, "CmSetCreatorFile failed (5).  You may have Palm Desktop installed incorrectly."},
      {0, -12, "CmInstallCreator failed (-12).  You may have Palm Desktop installed incorrectly."},
      {8, 1, "CmSetCreatorIntegrate failed (1).  You may have Palm Desktop installed incorrectly."},
  };
  PlaceSuite(root);
  Place(boot, "userdata.dll");
  for (const auto& c : cases) {
    fs::remove(state.Folder() + "/calls.log");
    fs::remove(state.Folder() + "/conduits.txt");
    fs::remove(state.Folder() + "/results.txt");
    state.SetResult(steps[c.step], c.code);
    std::string errorText;
    EXPECT_FALSE(Binding().InstallConduit("/opt/lwconduit.dll", errorText));
    EXPECT_EQ(errorText, c.text);
    // The calls made are the steps up to the failing one, nothing after it.
    EXPECT_EQ(CallNames("Cm"), std::vector<std::string>(steps.begin(), steps.begin() + c.step + 1)) << c.text;
  }
}

TEST_F(HotSyncBindingTest, AFileIsQueuedForAUsersNextHotSync) {
  PlaceSuite(root);
  Place(boot, "userdata.dll");
  AddUsers({{1, "Alpha", "alpha"}});
  const std::string program = folder / "lockwell.prc";
  testing::WriteFile(program, "prc");
  EXPECT_TRUE(Binding().QueueHandheldInstall("Alpha", program));
  EXPECT_FALSE(binding.QueueHandheldInstall("Nobody", program));
  ASSERT_EQ(state.InstallQueue().size(), 1u);
  EXPECT_EQ(state.InstallQueue()[0].user, "Alpha");
  EXPECT_EQ(state.InstallQueue()[0].path, program);
  state.SetResult("PltInstallFile", 3);
  EXPECT_FALSE(binding.QueueHandheldInstall("Alpha", program));
  EXPECT_EQ(state.InstallQueue().size(), 1u);
}

TEST(ProductVersionTest, TextShowsTheBuildOnlyWhenNotZero) {
  EXPECT_EQ(ProductVersion{}.Text(), "4.0.9");
  EXPECT_EQ((ProductVersion{4, 1, 0}.Text()), "4.1");
  EXPECT_EQ((ProductVersion{10, 12, 3}.Text()), "10.12.3");
}

}  // namespace
}  // namespace lockwell
