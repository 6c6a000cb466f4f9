#include "app/ui/LockwellApp.h"

#include <string>

#include "app/Settings.h"
#include "platform/ui/Cp1252.h"
#include "platform/ui/Prompter.h"

namespace lockwell {

void LockwellApp::ApplyCommandLine(const QStringList& arguments, MainWindow& window, Prompter& prompter) {
  if (arguments.size() != 1) return;
  const QString& argument = arguments.first();
  if (argument.compare(QStringLiteral("/noopen"), Qt::CaseInsensitive) == 0) {
    window.SetAutoOpen(false);
    return;
  }
  // The path is not checked here; the open sequence reports a missing file.
  std::string path;
  QString refusal;
  if (!Cp1252::FromQString(argument, path, refusal)) {
    prompter.Message(&window, QString::fromLatin1(MainWindow::kTitle), refusal, Prompter::Buttons::Ok);
    return;
  }
  RememberCommandLineDatabase(path);
}

int LockwellApp::Run(Prompter& prompter, const QStringList& arguments) {
  MainWindow window(prompter, openFlow_);
  ApplyCommandLine(arguments, window, prompter);
  window.exec();
  return 0;
}

}  // namespace lockwell
