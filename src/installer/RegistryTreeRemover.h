// Deletes a registry key with everything below it.  The registry stand-in's
// key interface has no such operation (the programs never needed one), so the
// uninstaller edits the hive through its store, under the hive's lock.
#pragma once

#include <string_view>

#include "platform/RegistryTypes.h"

namespace lockwell {

class RegistryTreeRemover {
 public:
  // True when the key is gone afterwards (also when it was never there).
  static bool Remove(Hive hive, std::string_view path);
  // Removes the key only when it holds no values and no subkeys.
  static bool RemoveIfEmpty(Hive hive, std::string_view path);
};

}  // namespace lockwell
