// A fresh temporary folder for one test, with every environment variable the
// platform stand-ins read pointed inside it, so that no test touches the real
// home folder or another test's files.  The previous values come back and the
// folder is removed when the object goes away.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lockwell::testing {

class TestFolder {
 public:
  TestFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lockwell-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
    Set("HOME", Make("home"));
    Set("XDG_CONFIG_HOME", Make("home/.config"));
    Set("XDG_DATA_HOME", Make("home/.local/share"));
    Set("LOCKWELL_REGISTRY_DIR", (path_ / "registry").string());
    Set("LOCKWELL_DOCUMENTS_DIR", Make("documents"));
    Set("LOCKWELL_PROGRAMS_DIR", Make("programs"));
    Set("LOCKWELL_COMMON_PROGRAMS_DIR", Make("common-programs"));
    Set("LOCKWELL_PROGRAM_FILES_DIR", Make("program-files"));
  }
  ~TestFolder() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second) {
        setenv(it->first.c_str(), it->second->c_str(), 1);
      } else {
        unsetenv(it->first.c_str());
      }
    }
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string operator/(const std::string& relative) const { return (path_ / relative).string(); }

  // Creates a folder below the test folder and returns its path.
  std::string Make(const std::string& relative) const {
    std::filesystem::create_directories(path_ / relative);
    return (path_ / relative).string();
  }

  // Sets an environment variable for the life of this object.
  void Set(const std::string& name, const std::string& value) {
    Remember(name);
    setenv(name.c_str(), value.c_str(), 1);
  }
  void Unset(const std::string& name) {
    Remember(name);
    unsetenv(name.c_str());
  }

 private:
  void Remember(const std::string& name) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
  }

  std::filesystem::path path_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

}  // namespace lockwell::testing
