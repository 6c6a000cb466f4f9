// LockwellPC: the desktop program.
#include <QApplication>

#include "app/ui/LockwellApp.h"
#include "app/ui/WindowOpenFlow.h"
#include "platform/ui/QtPrompter.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("LockwellPC"));
  lockwell::QtPrompter prompter;
  lockwell::LockwellApp app(lockwell::RunOpenDatabaseFlow);
  return app.Run(prompter, QApplication::arguments().mid(1));
}
