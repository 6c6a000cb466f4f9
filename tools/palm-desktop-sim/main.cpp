// palm-desktop-sim: sets up and drives the Palm Desktop simulator's state
// folder (see SimState.h and README.md).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ExportRemover.h"
#include "SimState.h"
#include "platform/ProgramDirectory.h"

namespace {

const char* const kLibraries[] = {"userdata.dll", "hsapi.dll", "condmgr.dll", "instaide.dll"};

int Usage() {
  std::fprintf(stderr,
               "usage: palm-desktop-sim [--state FOLDER] COMMAND ...\n"
               "  The state folder defaults to $PALM_DESKTOP_SIM_DIR.\n"
               "  init [--root FOLDER] [--running] [--no-libraries] USER...\n"
               "      a new HotSync root with these users; the four libraries are copied into it\n"
               "  add-user USER [FOLDER]        another HotSync user (folder: the name)\n"
               "  hotsync USER FILE.lwdb        play a HotSync: FILE becomes the user's\n"
               "                                lockwell/lockwell.lwdb\n"
               "  running yes|no                whether the HotSync manager runs\n"
               "  set-result FUNCTION CODE [FIRST-ARGUMENT]\n"
               "                                make FUNCTION return CODE and do nothing\n"
               "  clear-result FUNCTION\n"
               "  without-export LIBRARY OUTPUT FUNCTION...\n"
               "                                copy LIBRARY with FUNCTION missing\n"
               "  show                          print the state\n");
  return 2;
}

// A user's folder below the root: the name with "/" made harmless.
std::string FolderFor(std::string name) {
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return name;
}

bool CopyFile(const std::string& from, const std::string& to) {
  FILE* in = std::fopen(from.c_str(), "rb");
  if (in == nullptr) return false;
  FILE* out = std::fopen(to.c_str(), "wb");
  bool ok = out != nullptr;
  char buffer[65536];
  size_t n;
  while (ok && (n = std::fread(buffer, 1, sizeof buffer, in)) > 0) ok = std::fwrite(buffer, 1, n, out) == n;
  std::fclose(in);
  if (out != nullptr) ok = std::fclose(out) == 0 && ok;
  return ok;
}

int Init(const palmsim::SimState& state, std::vector<std::string> args) {
  bool running = false, libraries = true;
  std::string root = state.Folder() + "/HotSync";
  std::vector<std::string> users;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--root" && i + 1 < args.size()) {
      root = args[++i];
    } else if (args[i] == "--running") {
      running = true;
    } else if (args[i] == "--no-libraries") {
      libraries = false;
    } else {
      users.push_back(args[i]);
    }
  }
  if (!state.SetRoot(root) || !state.SetUsers({}) || !state.SetManagerRunning(running)) {
    std::fprintf(stderr, "palm-desktop-sim: cannot write the state folder %s\n", state.Folder().c_str());
    return 1;
  }
  for (const auto& user : users) {
    if (!state.AddUser(user, FolderFor(user))) {
      std::fprintf(stderr, "palm-desktop-sim: cannot add user %s\n", user.c_str());
      return 1;
    }
  }
  if (libraries) {
    std::string own = lockwell::ProgramDirectory();
    for (const char* library : kLibraries) {
      if (!CopyFile(own + "/" + library, root + "/" + library)) {
        std::fprintf(stderr, "palm-desktop-sim: cannot copy %s/%s into %s\n", own.c_str(), library,
                     root.c_str());
        return 1;
      }
    }
  }
  return 0;
}

int Show(const palmsim::SimState& state) {
  std::printf("root: %s\nmanager: %s\n", state.Root().c_str(),
              state.ManagerRunning() ? "running" : "stopped");
  for (const auto& user : state.Users()) {
    std::printf("user %u: %s in %s\n", user.id, user.name.c_str(), user.folder.c_str());
  }
  for (const auto& r : state.Registrations()) {
    std::printf("conduit %s: %s = %s\n", r.creator.c_str(), r.field.c_str(), r.value.c_str());
  }
  for (const auto& q : state.InstallQueue())
    std::printf("queued for %s: %s\n", q.user.c_str(), q.path.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string folder = palmsim::StateDirectory();
  if (args.size() >= 2 && args[0] == "--state") {
    folder = args[1];
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.empty()) return Usage();
  const std::string command = args[0];
  args.erase(args.begin());

  if (command == "without-export") {
    if (args.size() < 3) return Usage();
    std::string error;
    if (!palmsim::CopyWithoutExports(args[0], args[1], {args.begin() + 2, args.end()}, error)) {
      std::fprintf(stderr, "palm-desktop-sim: %s\n", error.c_str());
      return 1;
    }
    return 0;
  }
  if (folder.empty()) {
    std::fprintf(stderr, "palm-desktop-sim: name the state folder with --state or %s\n",
                 palmsim::kStateVariable);
    return 2;
  }
  palmsim::SimState state(folder);
  if (command == "init") return Init(state, args);
  if (command == "show") return Show(state);
  bool ok = false;
  std::string error = "cannot write the state folder " + folder;
  if (command == "add-user" && (args.size() == 1 || args.size() == 2)) {
    ok = state.AddUser(args[0], args.size() == 2 ? args[1] : FolderFor(args[0]));
  } else if (command == "hotsync" && args.size() == 2) {
    ok = state.PlayHotSync(args[0], args[1], error);
  } else if (command == "running" && args.size() == 1 && (args[0] == "yes" || args[0] == "no")) {
    ok = state.SetManagerRunning(args[0] == "yes");
  } else if (command == "set-result" && (args.size() == 2 || args.size() == 3)) {
    char* end = nullptr;
    long code = std::strtol(args[1].c_str(), &end, 0);
    if (end == args[1].c_str() || *end != '\0') return Usage();
    ok = state.SetResult(args[0], static_cast<int32_t>(code),
                         args.size() == 3 ? std::optional<std::string>(args[2]) : std::nullopt);
  } else if (command == "clear-result" && args.size() == 1) {
    ok = state.ClearResult(args[0]);
  } else {
    return Usage();
  }
  if (!ok) std::fprintf(stderr, "palm-desktop-sim: %s\n", error.c_str());
  return ok ? 0 : 1;
}
