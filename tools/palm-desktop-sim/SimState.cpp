#include "SimState.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace palmsim {

namespace {

std::string Escape(const std::string& field) {
  std::string out;
  for (char c : field) {
    switch (c) {
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

std::string Unescape(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 1 < field.size()) {
      char next = field[++i];
      out.push_back(next == 't' ? '\t' : next == 'n' ? '\n' : next);
    } else {
      out.push_back(field[i]);
    }
  }
  return out;
}

std::string FormatRow(const std::vector<std::string>& row) {
  std::string line;
  for (size_t i = 0; i < row.size(); ++i) {
    if (i > 0) line.push_back('\t');
    line += Escape(row[i]);
  }
  return line + "\n";
}

bool MakeFolders(const std::string& path) {
  if (path.empty()) return false;
  struct stat st {};
  if (stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  size_t slash = path.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash))) return false;
  return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

bool ReadText(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  text = buffer.str();
  return true;
}

bool WriteText(const std::string& path, const std::string& text) {
  std::string temp = path + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush()) return false;
  }
  return std::rename(temp.c_str(), path.c_str()) == 0;
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

}  // namespace

std::string StateDirectory() {
  const char* folder = std::getenv(kStateVariable);
  return folder != nullptr ? folder : "";
}

std::vector<std::vector<std::string>> SimState::ReadTable(const char* name) const {
  std::vector<std::vector<std::string>> rows;
  std::string text;
  if (!ReadText(File(name), text)) return rows;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty()) continue;
    std::vector<std::string> row;
    size_t start = 0;
    while (true) {
      size_t tab = line.find('\t', start);
      row.push_back(Unescape(line.substr(start, tab == std::string::npos ? tab : tab - start)));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

bool SimState::WriteTable(const char* name, const std::vector<std::vector<std::string>>& rows) const {
  std::string text;
  for (const auto& row : rows) text += FormatRow(row);
  return MakeFolders(folder_) && WriteText(File(name), text);
}

bool SimState::AppendRow(const char* name, const std::vector<std::string>& row) const {
  if (!MakeFolders(folder_)) return false;
  // One write of a whole line with O_APPEND, so lines of callers never mix.
  int fd = open(File(name).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  std::string line = FormatRow(row);
  bool ok = write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
  close(fd);
  return ok;
}

std::string SimState::Root() const {
  std::string text;
  if (ReadText(File("root.txt"), text) && !FirstLine(text).empty()) return FirstLine(text);
  return folder_ + "/HotSync";
}

bool SimState::SetRoot(const std::string& root) const {
  return MakeFolders(folder_) && WriteText(File("root.txt"), root + "\n");
}

std::vector<User> SimState::Users() const {
  std::vector<User> users;
  for (const auto& row : ReadTable("users.txt")) {
    if (row.size() < 3) continue;
    users.push_back({static_cast<uint32_t>(std::strtoul(row[0].c_str(), nullptr, 10)), row[1], row[2]});
  }
  return users;
}

bool SimState::SetUsers(const std::vector<User>& users) const {
  std::vector<std::vector<std::string>> rows;
  for (const auto& user : users) rows.push_back({std::to_string(user.id), user.name, user.folder});
  return WriteTable("users.txt", rows);
}

bool SimState::AddUser(const std::string& name, const std::string& folder) const {
  std::vector<User> users = Users();
  uint32_t id = 1;
  for (const auto& user : users) id = std::max(id, user.id + 1);
  users.push_back({id, name, folder});
  return MakeFolders(Root() + "/" + folder) && SetUsers(users);
}

std::optional<User> SimState::FindUser(const std::string& name) const {
  for (const auto& user : Users()) {
    if (user.name == name) return user;
  }
  return std::nullopt;
}

bool SimState::ManagerRunning() const {
  std::string text;
  return ReadText(File("manager.txt"), text) && FirstLine(text) == "running";
}

bool SimState::SetManagerRunning(bool running) const {
  return MakeFolders(folder_) && WriteText(File("manager.txt"), running ? "running\n" : "stopped\n");
}

std::vector<Registration> SimState::Registrations() const {
  std::vector<Registration> registrations;
  for (const auto& row : ReadTable("conduits.txt")) {
    if (row.size() >= 3) registrations.push_back({row[0], row[1], row[2]});
  }
  return registrations;
}

bool SimState::SetRegistrations(const std::vector<Registration>& registrations) const {
  std::vector<std::vector<std::string>> rows;
  for (const auto& r : registrations) rows.push_back({r.creator, r.field, r.value});
  return WriteTable("conduits.txt", rows);
}

std::vector<QueuedFile> SimState::InstallQueue() const {
  std::vector<QueuedFile> queue;
  for (const auto& row : ReadTable("install-queue.txt")) {
    if (row.size() >= 2) queue.push_back({row[0], row[1]});
  }
  return queue;
}

bool SimState::Queue(const QueuedFile& file) const {
  return AppendRow("install-queue.txt", {file.user, file.path});
}

std::optional<int32_t> SimState::ForcedResult(const std::string& function,
                                              const std::string& firstArgument) const {
  for (const auto& row : ReadTable("results.txt")) {
    if (row.size() < 2 || row[0] != function) continue;
    if (row.size() >= 3 && row[2] != firstArgument) continue;
    return static_cast<int32_t>(std::strtol(row[1].c_str(), nullptr, 0));
  }
  return std::nullopt;
}

bool SimState::SetResult(const std::string& function, int32_t code,
                         const std::optional<std::string>& firstArgument) const {
  std::vector<std::string> row = {function, std::to_string(code)};
  if (firstArgument) row.push_back(*firstArgument);
  return AppendRow("results.txt", row);
}

bool SimState::ClearResult(const std::string& function) const {
  std::vector<std::vector<std::string>> kept;
  for (auto& row : ReadTable("results.txt")) {
    if (row.empty() || row[0] != function) kept.push_back(std::move(row));
  }
  return WriteTable("results.txt", kept);
}

std::vector<Call> SimState::Calls() const {
  std::vector<Call> calls;
  for (auto& row : ReadTable("calls.log")) {
    if (row.size() < 3) continue;
    Call call{row[0], static_cast<int32_t>(std::strtol(row[1].c_str(), nullptr, 10)), row[2], {}};
    call.arguments.assign(row.begin() + 3, row.end());
    calls.push_back(std::move(call));
  }
  return calls;
}

bool SimState::Log(const Call& call) const {
  std::vector<std::string> row = {call.function, std::to_string(call.result), call.library};
  row.insert(row.end(), call.arguments.begin(), call.arguments.end());
  return AppendRow("calls.log", row);
}

bool SimState::PlayHotSync(const std::string& user, const std::string& database, std::string& error) const {
  std::optional<User> found = FindUser(user);
  if (!found) {
    error = "no HotSync user named " + user;
    return false;
  }
  std::string text;
  if (!ReadText(database, text)) {
    error = "cannot read " + database;
    return false;
  }
  std::string folder = Root() + "/" + found->folder + "/lockwell";
  if (!MakeFolders(folder) || !WriteText(folder + "/lockwell.lwdb", text)) {
    error = "cannot write " + folder + "/lockwell.lwdb";
    return false;
  }
  return true;
}

}  // namespace palmsim
