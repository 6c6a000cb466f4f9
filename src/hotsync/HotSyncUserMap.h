// The HotSync users: user name -> that user's folder as a full path (the
// HotSync root followed by the folder the user-data library reports).  Names
// compare byte by byte, so capitals sort before small letters.
#pragma once

#include <map>
#include <string>

namespace lockwell {

using HotSyncUserMap = std::map<std::string, std::string>;

}  // namespace lockwell
