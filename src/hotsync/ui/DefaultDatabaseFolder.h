// The folder a new PC database is proposed in: "My Lockwell" under the
// user's documents folder, ending in "/".  The folder is created when it is
// missing; a failure to create it is ignored (the save dialog then shows
// whatever exists).  When the documents folder cannot be located the text
// starts empty, giving the relative "My Lockwell/".
#pragma once

#include <string>

namespace lockwell {

std::string DefaultDatabaseFolder();

}  // namespace lockwell
