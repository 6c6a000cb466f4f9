// What the installation tells the person watching it: the progress bar's
// range, each progress item, and the message boxes of its failures.
#pragma once

#include <string>

namespace lockwell {

class InstallObserver {
 public:
  virtual ~InstallObserver() = default;

  virtual void SetRange(int maximum) = 0;
  // Moves the bar to `number`; `text`, when given, replaces the status line.
  virtual void ReportProgress(int number, const std::string* text) = 0;
  // A message box with an OK button; returns once it is closed.
  virtual void ShowMessage(const std::string& caption, const std::string& text) = 0;
};

}  // namespace lockwell
