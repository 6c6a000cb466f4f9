// setup: installs Lockwell/PC, its conduit and the handheld program from the
// folder it is started from.  No command-line arguments are used.
#include <QApplication>

#include "hotsync/HotSyncBinding.h"
#include "installer/Setup.h"
#include "platform/ProgramDirectory.h"
#include "platform/ui/QtPrompter.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  lockwell::QtPrompter prompter;
  return lockwell::RunSetup(lockwell::HotSyncBinding::Instance(), lockwell::ProgramDirectory(), prompter);
}
