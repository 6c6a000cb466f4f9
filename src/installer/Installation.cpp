#include "installer/Installation.h"

#include <cerrno>

#include "hotsync/HotSyncBinding.h"
#include "installer/FileSteps.h"
#include "installer/InstallFiles.h"
#include "installer/InstallRegistry.h"
#include "platform/SystemErrorText.h"

namespace lockwell {

namespace {

namespace files = install_files;

constexpr char kFatalCaption[] = "Fatal Error";
constexpr char kCopyHint[] =
    "Make sure that you have extracted all of the files from the ZIP file or that you are using WinZip's "
    "Install button.  ";
constexpr char kRunAgain[] = "Install will now terminate.  Please run it again.";

// Items of the desktop step: folder, four files, one per help file, Start
// menu folder, three links, file type.
constexpr int kDesktopItems = 10 + static_cast<int>(files::kHelpFiles.size());
constexpr int kConduitItems = 6;
constexpr int kFinalItems = 3;

}  // namespace

int Installation::Range(const InstallOptions& options) {
  int range = 0;
  if (options.UsesFolder()) range += kFinalItems;
  if (options.installDesktop) range += kDesktopItems;
  if (options.installConduit) range += kConduitItems;
  if (options.installHandheld) range += 1;
  return range;
}

bool Installation::Run() {
  observer_.SetRange(Range(options_));
  const std::string beginning = "Beginning Installation";
  observer_.ReportProgress(0, &beginning);
  counter_ = 0;
  options_.installFolder = WithTrailingSlash(options_.installFolder);

  if (options_.installDesktop && !InstallDesktop()) return false;
  if (options_.installConduit && !InstallConduit()) return false;
  if (options_.installHandheld) QueueHandheld();
  // With the handheld program alone nothing went into a folder (the folder
  // page was never shown): there is nothing to uninstall and no folder to
  // record, so the final registration is left out.
  if (options_.UsesFolder() && !FinishRegistration()) return false;
  return true;
}

void Installation::Item(const std::string& text) {
  observer_.ReportProgress(counter_, &text);
  ++counter_;
}

bool Installation::Fatal(const std::string& text) {
  observer_.ShowMessage(kFatalCaption, text);
  return false;
}

bool Installation::InstallDesktop() {
  const std::string& folder = options_.installFolder;
  const std::string& source = options_.sourceFolder;
  std::string error;

  Item("Creating Lockwell/PC directory");
  if (!CreateFolderTree(folder, error)) {
    return Fatal("Fatal Error!  Could not create Lockwell/PC directory!  " + std::string(kRunAgain) + "  " + error);
  }

  for (const auto& file : files::kMainFiles) {
    const std::string destination = folder + file.destination;
    Item("Copying File: " + destination);
    if (!CopyInstallFile(destination, source + file.source)) {
      const int number = errno;
      return Fatal("Fatal Error!  Could not copy Lockwell/PC file!  " + std::string(kCopyHint) +
                   "Also please exit Lockwell/PC before running this installer. " + kRunAgain + "  " +
                   SystemErrorText(number));
    }
  }

  if (!CreateFolderTree(folder + files::kHelpFolder, error)) {
    return Fatal("Fatal Error!  Could not create Lockwell/PC help directory!  " + std::string(kRunAgain) + "  " +
                 error);
  }
  for (const char* name : files::kHelpFiles) {
    const std::string destination = folder + files::kHelpFolder + "/" + name;
    Item("Copying File: " + destination);
    if (!CopyInstallFile(destination, source + name)) {
      const int number = errno;
      return Fatal("Fatal Error!  Could not copy Lockwell/PC file!  " + std::string(kCopyHint) +
                   "Your ZIP program may need to be updated. " + kRunAgain + "  " + SystemErrorText(number));
    }
  }

  Item("Creating Start Menu folder");
  std::string menu = GetProgramsFolder();
  if (menu.empty()) {
    return Fatal("Fatal Error!  Unable to create Start Menu folder!  " + std::string(kRunAgain));
  }
  menu = WithTrailingSlash(menu) + files::kStartMenuFolder;
  if (!CreateFolderTree(menu, error)) {
    return Fatal("Fatal Error!  Could not create Lockwell/PC Start Menu folder!  " + std::string(kRunAgain) + "  " +
                 error);
  }
  menu = WithTrailingSlash(menu);

  for (const auto& shortcut : files::kShortcuts) {
    Item(shortcut.progressText);
    if (!CreateShortcut(folder + shortcut.target, menu + shortcut.linkName, shortcut.description)) {
      return Fatal("Fatal Error!  Could not create Lockwell/PC Start Menu short cut.  " + std::string(kRunAgain));
    }
  }
  startMenuFolder_ = menu;

  Item("Registering .lwdb file type");
  RegisterFileType(folder);
  return true;
}

bool Installation::InstallConduit() {
  const std::string& folder = options_.installFolder;
  std::string error;

  Item("Creating Conduit directory");
  if (!CreateFolderTree(folder, error)) {
    return Fatal("Fatal Error!  Could not create Conduit directory!  " + std::string(kRunAgain) + "  " + error);
  }

  const std::string conduit = folder + files::kConduit;
  Item("Copying File: " + conduit);
  if (!CopyInstallFile(conduit, options_.sourceFolder + files::kConduit)) {
    const int number = errno;
    return Fatal("Fatal Error!  Could not copy Lockwell Conduit file!  " + std::string(kCopyHint) +
                 "Your ZIP program may need to be updated. " + kRunAgain + "  " + SystemErrorText(number));
  }

  const bool wasRunning = binding_.IsHotSyncRunning();
  Item("Closing HotSync manager");
  binding_.CloseHotSync();
  Item("Removing old Lockwell conduit, if it exists");
  binding_.RemoveConduit();
  Item("Installing conduit");
  std::string conduitError;
  if (!binding_.InstallConduit(conduit, conduitError)) {
    // The manager stays closed: it would load a half-registered conduit.
    return Fatal("Fatal Error!  Unable to install conduit!  " + conduitError + "  " + kRunAgain);
  }
  Item("Starting HotSync manager");
  if (wasRunning) binding_.StartHotSync();
  return true;
}

void Installation::QueueHandheld() {
  // The package's own copy, named in full: the install aide would resolve a
  // bare name against whatever folder setup was started from.
  if (!binding_.QueueHandheldInstall(options_.palmUserName, options_.sourceFolder + files::kHandheldProgram)) {
    observer_.ShowMessage("Couldn't Install Lockwell to Palm",
                          "Warning:  Could not install lockwell.prc to your Palm.  Double-click on this file "
                          "yourself to install it to your Palm.");
  }
}

bool Installation::FinishRegistration() {
  const std::string& folder = options_.installFolder;
  const std::string uninstall = folder + files::kUninstall;
  Item("Copying File: " + uninstall);
  if (!CopyInstallFile(uninstall, options_.sourceFolder + files::kUninstall)) {
    const int number = errno;
    return Fatal("Fatal Error!  Could not copy Lockwell file!  " + std::string(kCopyHint) +
                 "Your ZIP program may need to be updated. " + kRunAgain + "  " + SystemErrorText(number));
  }
  // The uninstall link was written before its program was in place, so it
  // named a document; written again now, it runs the program.
  if (!startMenuFolder_.empty()) {
    const auto& link = files::kShortcuts.back();
    CreateShortcut(uninstall, startMenuFolder_ + link.linkName, link.description);
  }

  Item("Adding Lockwell to Add/Remove programs");
  if (!AddUninstallEntry(folder)) {
    observer_.ShowMessage("Warning",
                          "Warning: Lockwell Installer was unable to add Lockwell to the Add/Remove Programs "
                          "list.  To uninstall Lockwell, use the shortcut created in your Start menu.");
  }

  Item("Saving Lockwell install path");
  SaveInstallPath(folder);
  return true;
}

}  // namespace lockwell
