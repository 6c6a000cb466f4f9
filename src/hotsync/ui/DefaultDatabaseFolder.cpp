#include "hotsync/ui/DefaultDatabaseFolder.h"

#include "platform/FileUtil.h"
#include "platform/SpecialFolders.h"

namespace lockwell {

std::string DefaultDatabaseFolder() {
  std::string folder = SpecialFolders::Documents();
  // No separator in front of an empty text: that would name a folder at the
  // root of the file system.
  if (!folder.empty() && folder.back() != '/') folder.push_back('/');
  folder += "My Lockwell";
  MakeDirectories(folder, 0700);
  folder.push_back('/');
  return folder;
}

}  // namespace lockwell
