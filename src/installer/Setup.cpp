#include "installer/Setup.h"

#include "hotsync/HotSyncBinding.h"
#include "installer/CInstallDialog.h"
#include "installer/FileSteps.h"
#include "installer/InstallerWizard.h"
#include "platform/ui/Prompter.h"

namespace lockwell {

void PrepareInstallation(HotSyncBinding& binding, const std::string& sourceFolder, InstallerContext& context) {
  InstallOptions& options = context.options;
  options.sourceFolder = WithTrailingSlash(sourceFolder);
  binding.SetBootstrapDirectory(options.sourceFolder);
  binding.ListHotSyncUsers(context.users);
  if (context.users.size() == 1) {
    options.needUserChoice = false;
    options.palmUserName = context.users.begin()->first;
  }
  options.palmDesktopPresent = binding.LoadUserData();
}

int RunSetup(HotSyncBinding& binding, const std::string& sourceFolder, Prompter& prompter) {
  InstallerContext context(prompter);
  PrepareInstallation(binding, sourceFolder, context);

  InstallerWizard wizard(context, InstallerWizard::Kind::Main);
  if (prompter.RunDialog(wizard) != QDialog::Accepted) return 0;

  CInstallDialog progress(context.options, binding, prompter);
  if (prompter.RunDialog(progress) != QDialog::Accepted) return 1;

  InstallerWizard completed(context, InstallerWizard::Kind::Completed);
  prompter.RunDialog(completed);
  return 0;
}

}  // namespace lockwell
