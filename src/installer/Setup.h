// The life of the setup program: start-up, the wizard, the installation and
// the completion page.
#pragma once

#include <string>

#include "installer/InstallerContext.h"

namespace lockwell {

class HotSyncBinding;

// Start-up: the package folder, the HotSync users (one user is taken
// without asking) and whether Palm Desktop is present.  The binding looks in
// the package folder first, so the package's own userdata.dll is tried
// before any other.
void PrepareInstallation(HotSyncBinding& binding, const std::string& sourceFolder, InstallerContext& context);

// Runs the wizard and, on "Install", the installation and then the
// completion page.  Returns the program's exit code: 0 after a completed
// installation or a cancelled wizard, 1 after a failed installation.
int RunSetup(HotSyncBinding& binding, const std::string& sourceFolder, Prompter& prompter);

}  // namespace lockwell
