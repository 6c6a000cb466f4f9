// The Prompter of the running program: real message boxes and QDialog::exec.
#pragma once

#include "platform/ui/Prompter.h"

namespace lockwell {

class QtPrompter : public Prompter {
 public:
  Answer Message(QWidget* owner, const QString& caption, const QString& text, Buttons buttons) override;
  int RunDialog(QDialog& dialog) override;
};

}  // namespace lockwell
