// Turns a database entry of the open-database dialog into a file path.
//
//   "Palm User: <name>"          that HotSync user's folder +
//                                "/lockwell/lockwell.lwdb" (the file the
//                                conduit keeps); empty when no current
//                                HotSync user has exactly that name
//   "PC Database: <file> (<path>)"  the text between the first "(" and the
//                                first ")"; the text after the prefix when
//                                either is missing or ")" comes first
//   anything else                the text itself (a bare path)
//
// Both prefixes compare case-sensitively: "palm user: x" is a bare path.
// The user list is asked afresh on every call.
#pragma once

#include <string>
#include <string_view>

namespace lockwell {

class HotSyncBinding;

std::string ResolveDatabasePath(std::string_view entry, HotSyncBinding& binding);

}  // namespace lockwell
