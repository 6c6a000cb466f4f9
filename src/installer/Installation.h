// The installation: four steps in a fixed order (desktop program, conduit,
// handheld program, final registration), each run only when the one before
// succeeded, reporting every action as a numbered progress item.
//
// Fatal failures show their message and stop where they are; nothing done
// before is undone.  Two failures are warnings (the handheld program not
// queued, the uninstall entry not written); the file-type keys, the
// "InstallPath" key and the HotSync manager's answers are not examined.
#pragma once

#include <string>

#include "installer/InstallObserver.h"
#include "installer/InstallOptions.h"

namespace lockwell {

class HotSyncBinding;

class Installation {
 public:
  Installation(InstallOptions& options, HotSyncBinding& binding, InstallObserver& observer)
      : options_(options), binding_(binding), observer_(observer) {}

  // The bar's maximum for these choices: one more than the number of items
  // when the handheld program is chosen (it has no item).
  static int Range(const InstallOptions& options);

  // True when every step succeeded.
  bool Run();

 private:
  bool InstallDesktop();
  bool InstallConduit();
  void QueueHandheld();
  bool FinishRegistration();

  // One progress item: shown at the counter, which then moves on.
  void Item(const std::string& text);
  // Shows a fatal message; always false, for `return Fatal(...)`.
  bool Fatal(const std::string& text);

  InstallOptions& options_;
  HotSyncBinding& binding_;
  InstallObserver& observer_;
  int counter_ = 0;
  // The Start-menu folder the links went into (ending in "/"); empty
  // until they are written.
  std::string startMenuFolder_;
};

}  // namespace lockwell
