#include "app/ui/HelpIndex.h"

#include "app/Settings.h"
#include "platform/ui/Cp1252.h"
#include "platform/ui/Prompter.h"

namespace lockwell {

QUrl HelpIndex::Location(const std::string& installPath) {
  if (installPath.empty()) return QUrl();
  return QUrl::fromLocalFile(Cp1252::ToQString(installPath + kHelpFile));
}

void HelpIndex::Show(Prompter& prompter, QWidget* owner, const std::function<void(const QUrl&)>& open) {
  const QUrl location = Location(ReadInstallPath());
  if (location.isEmpty()) {
    prompter.Message(owner, QString::fromLatin1(kMissingCaption), QString::fromLatin1(kMissingText),
                     Prompter::Buttons::Ok);
    return;
  }
  if (open) open(location);
}

}  // namespace lockwell
