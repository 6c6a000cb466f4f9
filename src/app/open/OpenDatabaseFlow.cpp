#include "app/open/OpenDatabaseFlow.h"

#include "app/OpenSequence.h"
#include "app/Settings.h"
#include "app/open/QtOpenSequenceUi.h"
#include "hotsync/ui/OpenDatabaseDialog.h"
#include "platform/ui/Cp1252.h"
#include "platform/ui/Prompter.h"
#include "storage/DatabaseFile.h"
#include "storage/ErrorList.h"
#include "vault/LockwellDatabase.h"

namespace lockwell {

OpenedDatabase::OpenedDatabase() = default;
OpenedDatabase::OpenedDatabase(OpenedDatabase&&) noexcept = default;
OpenedDatabase& OpenedDatabase::operator=(OpenedDatabase&&) noexcept = default;
OpenedDatabase::~OpenedDatabase() = default;

OpenDatabaseFlow::OpenDatabaseFlow(Prompter& prompter, HotSyncBinding& binding, OpenDatabaseHost& host)
    : prompter_(prompter), binding_(binding), host_(host) {}

std::optional<OpenedDatabase> OpenDatabaseFlow::Run() {
  QtOpenSequenceUi ui(prompter_, host_.DialogOwner());
  OpenSequence sequence(ui);
  ErrorList errors;
  OpenedDatabase opened;
  for (;;) {
    errors.Clear();
    SecureString passphrase;
    {
      // A fresh dialog for every attempt: its list is read anew, so an
      // entry dropped after a failure is gone at once.
      OpenDatabaseDialog dialog(prompter_, binding_, host_.DialogOwner());
      if (prompter_.RunDialog(dialog) != QDialog::Accepted) return std::nullopt;
      opened.entryText = dialog.GetEntryText();
      opened.path = dialog.ResolveDatabasePath();
      passphrase = dialog.GetPassphrase();
    }
    // An empty path is a Palm user that is gone; no file is tried, so the
    // title stays.
    if (!opened.path.empty()) {
      opened.title = QString::fromLatin1(kTitlePrefix) + Cp1252::ToQString(opened.entryText);
      host_.SetTitle(opened.title);
    }
    opened.database = sequence.Attempt(errors, opened.path, passphrase.view());
    passphrase.wipe();
    if (opened.database) break;
    // A remembered file that is gone is forgotten; a "Palm User: " entry is
    // never stored, so nothing is removed for it.
    if (errors.Contains(DatabaseFile::ModuleId(), DatabaseFile::kErrNoSuchFile)) RemoveDatabaseEntry(opened.entryText);
    ui.ShowErrors(errors);
  }
  if (errors.IsWarning()) ui.ShowErrors(errors);
  errors.Clear();
  if (sequence.Housekeeping(*opened.database) != OpenSequence::Outcome::kDone) return std::nullopt;
  opened.fromPalmUser = opened.entryText.rfind(kPalmUserPrefix, 0) == 0;
  return opened;
}

}  // namespace lockwell
