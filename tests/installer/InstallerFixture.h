// A machine to install on: a scratch folder with every special folder and
// the registry inside it (TestFolder), an installation package with small
// stand-ins for the files this project does not build and the simulator's
// userdata.dll, and, on request, Palm Desktop (the simulator) with its
// HotSync users.
#pragma once

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "SimState.h"
#include "hotsync/HotSyncBinding.h"
#include "installer/InstallFiles.h"
#include "installer/InstallOptions.h"
#include "platform/Registry.h"
#include "platform/TestFolder.h"

namespace lockwell::testing {

namespace fs = std::filesystem;

class InstallerFixture : public ::testing::Test {
 public:
  InstallerFixture() : state(folder.Make("palm-state")) {
    folder.Unset(palmsim::kStateVariable);
    binding.SetBootstrapDirectory(package);
    MakePackage();
  }

  // The package: every file setup copies, each holding its own name so a
  // copy can be told from another.
  void MakePackage() {
    namespace files = install_files;
    const std::string dir = package + "/";
    WriteProgram(dir + files::kProgramSource, "LockwellPC");
    WriteProgram(dir + files::kUninstall, "uninstall");
    WriteFile(dir + files::kLicense, "Lockwell licence.\nSecond line.\n");
    WriteFile(dir + files::kHandheldProgram, "handheld program");
    WriteFile(dir + files::kConduit, "conduit");
    for (const char* name : files::kHelpFiles) WriteFile(dir + name, name);
    fs::copy_file(SimLibrary("userdata.dll"), dir + files::kUserData, fs::copy_options::overwrite_existing);
  }

  // Palm Desktop installed (once per test: its libraries stay loaded): the simulator's state, its HotSync root with the
  // four libraries, and the users.
  void InstallPalmDesktop(const std::vector<std::string>& users, bool running) {
    folder.Set(palmsim::kStateVariable, state.Folder());
    ASSERT_TRUE(state.SetRoot(palmRoot));
    for (const char* name : {"userdata.dll", "hsapi.dll", "condmgr.dll", "instaide.dll"}) {
      fs::copy_file(SimLibrary(name), palmRoot + "/" + name, fs::copy_options::overwrite_existing);
    }
    for (const std::string& user : users) ASSERT_TRUE(state.AddUser(user, user));
    ASSERT_TRUE(state.SetManagerRunning(running));
  }

  // The functions of the simulator called so far, in order.
  std::vector<std::string> CallNames(const std::string& prefix = "") const {
    std::vector<std::string> names;
    for (const auto& call : state.Calls()) {
      if (call.function.rfind(prefix, 0) == 0) names.push_back(call.function);
    }
    return names;
  }
  std::map<std::string, std::string> ConduitFields() const {
    std::map<std::string, std::string> fields;
    for (const auto& r : state.Registrations()) {
      if (r.creator == kCreatorId) fields[r.field] = r.value;
    }
    return fields;
  }

  static std::string RegistryText(Hive hive, const std::string& path, const std::string& name) {
    RegistryKey key;
    if (Registry::OpenKey(hive, path, RegistryAccess::Read, key) != RegistryStatus::Ok) return "(no key)";
    RegistryValue value;
    if (key.QueryValue(name, 4096, value) != RegistryStatus::Ok) return "(no value)";
    return value.AsText();
  }
  static bool KeyExists(Hive hive, const std::string& path) {
    RegistryKey key;
    return Registry::OpenKey(hive, path, RegistryAccess::Read, key) == RegistryStatus::Ok;
  }

  InstallOptions Options(bool desktop, bool handheld, bool conduit) const {
    InstallOptions options;
    options.installDesktop = desktop;
    options.installHandheld = handheld;
    options.installConduit = conduit;
    options.sourceFolder = package + "/";
    options.installFolder = installFolder;
    return options;
  }

  static std::string SimLibrary(const std::string& name) { return std::string(PALM_DESKTOP_SIM_LIB_DIR) + "/" + name; }
  static void WriteProgram(const std::string& path, const std::string& name) {
    WriteFile(path, "#!/bin/sh\n# " + name + "\n");
    chmod(path.c_str(), 0755);
  }

  TestFolder folder;
  palmsim::SimState state;
  const std::string package = folder.Make("package");
  const std::string palmRoot = folder.Make("Palm");
  // Below the program-files folder, as the wizard's default is.
  const std::string installFolder = folder / "program-files/Lockwell";
  const std::string menuFolder = folder / "common-programs/Lockwell/";
  HotSyncBinding binding;
};

}  // namespace lockwell::testing
