#include "platform/DynamicLibrary.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <utility>

#include "platform/ProgramDirectory.h"

namespace lockwell {

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)),
      loadedName_(std::move(other.loadedName_)),
      errorText_(std::move(other.errorText_)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
  if (this != &other) {
    Release();
    handle_ = std::exchange(other.handle_, nullptr);
    loadedName_ = std::move(other.loadedName_);
    errorText_ = std::move(other.errorText_);
  }
  return *this;
}

bool DynamicLibrary::Load(const std::string& fileName) {
  Release();
  errorText_.clear();
  if (fileName.empty()) {
    errorText_ = "no file name";
    return false;
  }
  std::string path = fileName;
  if (fileName.find('/') == std::string::npos) {
    // The program's own folder comes first, as on Windows.  A file there that
    // fails to load is an error; the search goes on only when there is none.
    std::string own = ProgramDirectory();
    struct stat st {};
    if (!own.empty()) {
      std::string candidate = own + (own.back() == '/' ? "" : "/") + fileName;
      if (stat(candidate.c_str(), &st) == 0) path = candidate;
    }
  }
  dlerror();
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* why = dlerror();
    errorText_ = why != nullptr ? why : "cannot load " + path;
    return false;
  }
  loadedName_ = path;
  return true;
}

void* DynamicLibrary::Symbol(const char* name) const {
  if (handle_ == nullptr || name == nullptr) return nullptr;
  return dlsym(handle_, name);
}

void DynamicLibrary::Release() {
  if (handle_ != nullptr) dlclose(handle_);
  handle_ = nullptr;
  loadedName_.clear();
}

}  // namespace lockwell
