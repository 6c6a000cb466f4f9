// The palm-desktop-sim command, run as a person would, then read through the
// binding.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "hotsync/HotSyncBinding.h"
#include "platform/TestFolder.h"

namespace lockwell {
namespace {

int RunSim(const std::string& arguments) {
  return std::system(
      (std::string("'") + PALM_DESKTOP_SIM_COMMAND + "' " + arguments + " >/dev/null 2>&1").c_str());
}

TEST(PalmDesktopSimTest, SetsUpUsersAndPlaysAHotSync) {
  testing::TestFolder folder;
  const std::string state = folder / "state";
  folder.Set("PALM_DESKTOP_SIM_DIR", state);
  ASSERT_EQ(RunSim("init zed Alpha"), 0);
  testing::WriteFile(folder / "mine.lwdb", "database bytes");
  ASSERT_EQ(RunSim("hotsync Alpha '" + folder / "mine.lwdb" + "'"), 0);
  EXPECT_NE(RunSim("hotsync Nobody '" + folder / "mine.lwdb" + "'"), 0);

  // init copied the libraries into the HotSync root; the installer's view
  // finds them there.
  HotSyncBinding binding;
  binding.SetBootstrapDirectory(state + "/HotSync");
  HotSyncUserMap users;
  binding.ListHotSyncUsers(users);
  EXPECT_EQ(users, (HotSyncUserMap{{"Alpha", state + "/HotSync/Alpha"}, {"zed", state + "/HotSync/zed"}}));
  EXPECT_EQ(testing::ReadFile(users["Alpha"] + "/lockwell/lockwell.lwdb"), "database bytes");

  ASSERT_EQ(RunSim("running yes"), 0);
  EXPECT_TRUE(binding.IsHotSyncRunning());
  ASSERT_EQ(RunSim("set-result HsCheckApiStatus 7"), 0);
  EXPECT_FALSE(binding.IsHotSyncRunning());
}

}  // namespace
}  // namespace lockwell
