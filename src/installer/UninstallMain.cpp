// uninstall: removes the installation it belongs to, the one in its own
// folder.  Asks first; "--yes" answers for the user, for scripts.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <QApplication>

#include "hotsync/HotSyncBinding.h"
#include "installer/Uninstaller.h"
#include "platform/ProgramDirectory.h"
#include "platform/ui/QtPrompter.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  lockwell::QtPrompter prompter;
  const bool unattended = argc == 2 && std::strcmp(argv[1], "--yes") == 0;
  const QString caption = QStringLiteral("Uninstall Lockwell");
  const std::string folder = lockwell::ProgramDirectory();
  if (folder.empty()) {
    if (!unattended) {
      prompter.Message(nullptr, caption, QStringLiteral("Could not find the Lockwell installation folder."),
                       lockwell::Prompter::Buttons::Ok);
    }
    return 1;
  }
  if (!unattended &&
      prompter.Message(nullptr, caption,
                       QStringLiteral("Remove Lockwell/PC, its help, its Start menu entries and the Lockwell "
                                      "Conduit from your computer?  Your databases are kept."),
                       lockwell::Prompter::Buttons::YesNo) != lockwell::Prompter::Answer::Yes) {
    return 0;
  }

  lockwell::HotSyncBinding& binding = lockwell::HotSyncBinding::Instance();
  // The copy of userdata.dll installed beside the program is tried first.
  binding.SetBootstrapDirectory(folder);
  lockwell::Uninstaller uninstaller(folder, binding);
  std::vector<std::string> leftBehind;
  const bool ok = uninstaller.Run(leftBehind);
  if (!unattended) {
    QString text;
    if (uninstaller.Refused()) {
      text = QString::fromLocal8Bit(leftBehind.front().c_str());
    } else {
      text = ok ? QStringLiteral("Lockwell was removed from your computer.")
                : QStringLiteral("Lockwell was removed, but these could not be:\n");
      for (const std::string& line : leftBehind) text += QString::fromLocal8Bit(line.c_str()) + QLatin1Char('\n');
    }
    prompter.Message(nullptr, caption, text.trimmed(), lockwell::Prompter::Buttons::Ok);
  } else {
    for (const std::string& line : leftBehind) std::fprintf(stderr, "uninstall: %s\n", line.c_str());
  }
  return ok ? 0 : 1;
}
