// The application object: builds the main window, applies the command line
// and runs the window modally.  The program ends when the window closes.
//
// Command line (after the program name): nothing; "/noopen" in any letter
// case, which keeps the window from starting the open sequence; or one
// database path, remembered as a PC database and as the last database so
// the open dialog offers it first.  Two or more arguments are ignored.
#pragma once

#include <QStringList>

#include "app/ui/MainWindow.h"

namespace lockwell {

class Prompter;

class LockwellApp {
 public:
  explicit LockwellApp(MainWindow::OpenFlow openFlow = {}) : openFlow_(std::move(openFlow)) {}

  // The whole life of the program; returns its exit status.
  int Run(Prompter& prompter, const QStringList& arguments);

  // Applies `arguments` (those after the program name) to `window`.  A path
  // holding a character Windows-1252 cannot store is refused with a message
  // and not remembered.
  static void ApplyCommandLine(const QStringList& arguments, MainWindow& window, Prompter& prompter);

 private:
  MainWindow::OpenFlow openFlow_;
};

}  // namespace lockwell
