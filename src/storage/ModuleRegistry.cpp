#include "storage/ModuleRegistry.h"

#include <map>

namespace lockwell {
namespace {

struct Registry {
  std::map<int32_t, std::string> names;
  int32_t nextId = 1;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

int32_t RegisterModule(const std::string& name) {
  Registry& registry = TheRegistry();
  int32_t id = registry.nextId++;
  registry.names[id] = name;
  return id;
}

std::string ModuleName(int32_t id) {
  const Registry& registry = TheRegistry();
  auto found = registry.names.find(id);
  return found == registry.names.end() ? std::string() : found->second;
}

}  // namespace lockwell
