// The product's version, shown in the conduit's registration and the
// uninstall entry.  A default-constructed value is the version of this build.
#pragma once

#include <string>

namespace lockwell {

struct ProductVersion {
  int majorVersion = 4;
  int minorVersion = 0;
  int build = 9;

  // "major.minor", then ".build" only when the build is not 0: "4.0.9".
  std::string Text() const {
    std::string text = std::to_string(majorVersion);
    text.append(".").append(std::to_string(minorVersion));
    if (build != 0) text.append(".").append(std::to_string(build));
    return text;
  }
};

}  // namespace lockwell
