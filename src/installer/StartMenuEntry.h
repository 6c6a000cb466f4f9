// Reads back where a Start-menu link written by ShellLink points, so that the
// uninstaller removes only the links that lead into its own folder.
#pragma once

#include <string>

namespace lockwell {

class StartMenuEntry {
 public:
  // The target path of a desktop entry's text: the program of "Exec=" or
  // the file of a "file://" "URL=".  Empty when the entry names neither.
  static std::string Target(const std::string& entryText);
  // The same, read from the entry file; empty when it cannot be read.
  static std::string TargetOfFile(const std::string& entryPath);
};

}  // namespace lockwell
