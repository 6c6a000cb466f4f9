// The state of the Palm Desktop simulator: plain text files in one folder,
// named by the environment variable PALM_DESKTOP_SIM_DIR, that the four
// simulated libraries read and write on every call and that tests and the
// palm-desktop-sim command set up and inspect.
//
//   root.txt           the HotSync root folder, one line (missing: <state>/HotSync)
//   users.txt          one HotSync user a line: id TAB name TAB folder below the root,
//                      in the order the user-data library reports them
//   manager.txt        "running" or "stopped" (missing: stopped)
//   conduits.txt       one registration field a line: creator TAB field TAB value
//   install-queue.txt  one queued file a line: user TAB absolute path
//   results.txt        forced results: function TAB code [TAB first argument]; a
//                      call of that function (whose first argument matches,
//                      when one is given) does nothing and returns the code
//   calls.log          one call a line: function TAB result TAB library file
//                      TAB the arguments, each in its own field
//
// Fields escape TAB, line end and "\" as \t, \n and \\.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace palmsim {

inline constexpr char kStateVariable[] = "PALM_DESKTOP_SIM_DIR";

// The state folder named by the environment; empty when unset.
std::string StateDirectory();

struct User {
  uint32_t id = 0;
  std::string name;
  std::string folder;  // below the HotSync root
};

struct Call {
  std::string function;
  int32_t result = 0;
  std::string library;  // the file of the library that served the call
  std::vector<std::string> arguments;
};

struct Registration {
  std::string creator, field, value;
};

struct QueuedFile {
  std::string user, path;
};

class SimState {
 public:
  explicit SimState(std::string folder) : folder_(std::move(folder)) {}
  const std::string& Folder() const { return folder_; }

  std::string Root() const;
  bool SetRoot(const std::string& root) const;

  std::vector<User> Users() const;
  bool SetUsers(const std::vector<User>& users) const;
  // Adds a user with the next free id and creates its folder below the root.
  bool AddUser(const std::string& name, const std::string& folder) const;
  std::optional<User> FindUser(const std::string& name) const;

  bool ManagerRunning() const;
  bool SetManagerRunning(bool running) const;

  std::vector<Registration> Registrations() const;
  bool SetRegistrations(const std::vector<Registration>& registrations) const;

  std::vector<QueuedFile> InstallQueue() const;
  bool Queue(const QueuedFile& file) const;

  std::optional<int32_t> ForcedResult(const std::string& function, const std::string& firstArgument) const;
  bool SetResult(const std::string& function, int32_t code,
                 const std::optional<std::string>& firstArgument = {}) const;
  bool ClearResult(const std::string& function) const;

  std::vector<Call> Calls() const;
  bool Log(const Call& call) const;

  // Plays a HotSync for `user`: copies `database` into the user's folder as
  // lockwell/lockwell.lwdb.
  bool PlayHotSync(const std::string& user, const std::string& database, std::string& error) const;

 private:
  std::string File(const char* name) const { return folder_ + "/" + name; }
  std::vector<std::vector<std::string>> ReadTable(const char* name) const;
  bool WriteTable(const char* name, const std::vector<std::vector<std::string>>& rows) const;
  bool AppendRow(const char* name, const std::vector<std::string>& row) const;

  std::string folder_;
};

}  // namespace palmsim
