// Help > Index: opens "help/readme.html" under the installation folder with
// the desktop's default program.
#pragma once

#include <QUrl>
#include <functional>

class QWidget;

namespace lockwell {

class Prompter;

class HelpIndex {
 public:
  static constexpr const char* kHelpFile = "help/readme.html";
  static constexpr const char* kMissingText = "Could not find help file.";
  static constexpr const char* kMissingCaption = "Lockwell Help";

  // Opens the help file through `open` (whose result is not checked), or,
  // when the installation folder is unknown, says so in a message box.
  static void Show(Prompter& prompter, QWidget* owner, const std::function<void(const QUrl&)>& open);
  // The help file's address for the installation folder `installPath`
  // (Windows-1252, ending with a separator); empty for an empty folder.
  static QUrl Location(const std::string& installPath);
};

}  // namespace lockwell
