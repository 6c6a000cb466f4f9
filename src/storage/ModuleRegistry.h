// The process-wide table of module names.
//
// Each class family registers its name the first time one of its objects is
// constructed and keeps the id it got; ids therefore depend on the order of
// first use in a run and are never stored anywhere.  Single-threaded, like
// the rest of the program.
#pragma once

#include <cstdint>
#include <string>

namespace lockwell {

// Returns the next id (the first is 1) and stores `name` under it.
int32_t RegisterModule(const std::string& name);
// The registered name, or an empty string for an id never registered.
std::string ModuleName(int32_t id);

// A class family's module: its fixed name and its id, 0 until registered.
class Module {
 public:
  explicit constexpr Module(const char* name) : name_(name) {}
  // Registers on the first call; later calls return the same id.
  int32_t Register() {
    if (id_ == 0) id_ = RegisterModule(name_);
    return id_;
  }
  int32_t Id() const { return id_; }
  const char* Name() const { return name_; }

 private:
  const char* name_;
  int32_t id_ = 0;
};

}  // namespace lockwell
