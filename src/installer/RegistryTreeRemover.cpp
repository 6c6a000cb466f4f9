#include "installer/RegistryTreeRemover.h"

#include <string>

#include "platform/AsciiCase.h"
#include "platform/HiveStore.h"

namespace lockwell {

namespace {

bool RemoveWhere(Hive hive, std::string_view path, bool onlyWhenEmpty) {
  const size_t cut = path.find_last_of('\\');
  const std::string_view parentPath = cut == std::string_view::npos ? std::string_view() : path.substr(0, cut);
  const std::string_view name = cut == std::string_view::npos ? path : path.substr(cut + 1);
  if (name.empty()) return false;  // never the hive itself

  HiveSession session(hive);
  if (!session.Ok()) return false;
  HiveKey* parent = session.Store().Root().FindPath(parentPath);
  if (parent == nullptr) return true;
  auto& subkeys = parent->subkeys;
  for (auto it = subkeys.begin(); it != subkeys.end(); ++it) {
    if (!EqualsIgnoringAsciiCase((*it)->name, name)) continue;
    if (onlyWhenEmpty && (!(*it)->values.empty() || !(*it)->subkeys.empty())) return false;
    subkeys.erase(it);
    return session.Store().Commit();
  }
  return true;
}

}  // namespace

bool RegistryTreeRemover::Remove(Hive hive, std::string_view path) { return RemoveWhere(hive, path, false); }

bool RegistryTreeRemover::RemoveIfEmpty(Hive hive, std::string_view path) {
  return RemoveWhere(hive, path, true);
}

}  // namespace lockwell
