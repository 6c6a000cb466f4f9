// What the wizard's pages share: the choices, the HotSync users found at
// start-up, and the seam through which they ask the user things.
#pragma once

#include "hotsync/HotSyncUserMap.h"
#include "installer/InstallOptions.h"

namespace lockwell {

class Prompter;

// The page numbers double as the wizard's page ids, so that the next/back
// rules read as the page resources they name.
enum InstallerPageId {
  kWelcomePageId = 107,
  kLicensePageId = 108,
  kComponentsPageId = 109,
  kFolderPageId = 110,
  kPalmUserPageId = 111,
  kSummaryPageId = 112,
  kFinishPageId = 113,
};

struct InstallerContext {
  InstallOptions options;
  HotSyncUserMap users;
  Prompter& prompter;

  explicit InstallerContext(Prompter& p) : prompter(p) {}
};

}  // namespace lockwell
