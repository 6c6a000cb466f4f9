#include "hotsync/ui/ResolveDatabasePath.h"

#include "app/Settings.h"
#include "hotsync/HotSyncBinding.h"

namespace lockwell {

std::string ResolveDatabasePath(std::string_view entry, HotSyncBinding& binding) {
  const std::string_view palmUser = kPalmUserPrefix;
  const std::string_view pcDatabase = kPcDatabasePrefix;
  if (entry.substr(0, palmUser.size()) == palmUser) {
    const std::string name(entry.substr(palmUser.size()));
    HotSyncUserMap users;
    binding.ListHotSyncUsers(users);
    const auto user = users.find(name);
    if (user == users.end()) return "";
    std::string path = user->second;
    if (path.empty() || path.back() != '/') path.push_back('/');
    return path + "lockwell/lockwell.lwdb";
  }
  if (entry.substr(0, pcDatabase.size()) == pcDatabase) {
    const std::string_view rest = entry.substr(pcDatabase.size());
    const size_t open = entry.find('(');
    const size_t close = entry.find(')');
    // A ")" before the "(" (only a hand-edited entry has one) is read like a
    // missing pair, so the file is tried and any failure explained as such.
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
      return std::string(rest);
    return std::string(entry.substr(open + 1, close - open - 1));
  }
  return std::string(entry);
}

}  // namespace lockwell
