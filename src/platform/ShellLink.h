// A shell link (shortcut): the stand-in writes a link named "X.lnk" as the
// freedesktop desktop entry "X.desktop" in the same folder.
//
//   [Desktop Entry]
//   Type=Application  Exec=<target>   when the target is an executable file
//   Type=Link         URL=file://...  for anything else (a document)
//   Name=X
//   Comment=<description>
#pragma once

#include <string>

namespace lockwell {

class ShellLink {
 public:
  void SetTarget(std::string path) { target_ = std::move(path); }
  void SetDescription(std::string text) { description_ = std::move(text); }

  // Writes the desktop entry for `linkPath`, replacing an existing file.
  // False with errno set when it cannot be written or there is no target.
  bool Save(const std::string& linkPath) const;

  // "X.lnk" (any letter case of the extension) becomes "X.desktop"; another
  // name gets ".desktop" appended.
  static std::string DesktopEntryPath(const std::string& linkPath);
  // The entry's text for a link called `name`.
  std::string DesktopEntryText(const std::string& name) const;

 private:
  std::string target_;
  std::string description_;
};

}  // namespace lockwell
