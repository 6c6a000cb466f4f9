// A shared library loaded at run time and looked up by function name: the
// stand-in for LoadLibrary, GetProcAddress and FreeLibrary.
//
// A bare file name (no "/") is looked for in the running program's own folder
// first, then by the system's ordinary library search; a name with a "/" is
// loaded from exactly there.  File names are kept as the caller gives them, so
// a shared object may be called "userdata.dll".
//
// Ownership: one object holds one reference to the library and drops it on
// Release or destruction; addresses looked up are valid only until then.
#pragma once

#include <string>

namespace lockwell {

class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  ~DynamicLibrary() { Release(); }
  DynamicLibrary(DynamicLibrary&& other) noexcept;
  DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // Releases what was held, then loads `fileName`.  False when it cannot be
  // loaded; ErrorText() then says why.
  bool Load(const std::string& fileName);
  // The address of the exported function `name`, or null when it is missing
  // or nothing is loaded.
  void* Symbol(const char* name) const;
  void Release();

  bool IsLoaded() const { return handle_ != nullptr; }
  // The file actually loaded: the program-folder path for a bare name found
  // there, else the name as given.
  const std::string& LoadedName() const { return loadedName_; }
  const std::string& ErrorText() const { return errorText_; }

 private:
  void* handle_ = nullptr;
  std::string loadedName_;
  std::string errorText_;
};

}  // namespace lockwell
