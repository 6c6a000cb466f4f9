// Scripts for the modal dialogs of opening a database, shared by the dialog
// tests and the end-to-end tests of the open flow, and the Palm Desktop
// simulator set up for one test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>

#include "hotsync/HotSyncBinding.h"
#include "hotsync/ui/NewPassphraseDialog.h"
#include "hotsync/ui/OpenDatabaseDialog.h"
#include "platform/TestFolder.h"
#include "platform/ui/ControlIds.h"
#include "platform/ui/ErrorDialog.h"
#include "platform/ui/ScriptedPrompter.h"
#include "SimState.h"

namespace lockwell::testing {

// A simulated Palm Desktop with the given HotSync users (each in a folder
// of its own name under the HotSync root), or none at all.
class PalmDesktop {
 public:
  explicit PalmDesktop(TestFolder& folder) : folder_(folder), state_(folder / "palm") {}

  // Palm Desktop installed with these users.
  void Install(const std::vector<std::string>& users) {
    folder_.Set("PALM_DESKTOP_SIM_DIR", state_.Folder());
    ASSERT_TRUE(state_.SetRoot(folder_.Make("palm/HotSync")));
    for (const std::string& user : users) ASSERT_TRUE(state_.AddUser(user, user)) << user;
    binding_.SetBootstrapDirectory(PALM_DESKTOP_SIM_LIB_DIR);
  }
  // No Palm Desktop: the user-data library is nowhere to be found.
  void Absent() { binding_.SetBootstrapDirectory(folder_.Make("no-palm-desktop")); }

  void RemoveAllUsers() { state_.SetUsers({}); }
  // The user's folder, where the conduit keeps lockwell/lockwell.lwdb.
  std::string UserFolder(const std::string& user) const { return state_.Root() + "/" + user; }
  std::string UserDatabase(const std::string& user) const {
    const std::string folder = folder_.Make("palm/HotSync/" + user + "/lockwell");
    return folder + "/lockwell.lwdb";
  }

  HotSyncBinding& Binding() { return binding_; }

 private:
  TestFolder& folder_;
  palmsim::SimState state_;
  HotSyncBinding binding_;
};

// The summary and the detail report of every error dialog shown.
struct ShownErrors {
  QStringList summaries;
  QStringList details;
};

inline ScriptedPrompter::DialogScript ReadErrorDialog(ShownErrors& shown) {
  return [&shown](QDialog& dialog) {
    auto* summary = ControlIds::Find<QPlainTextEdit>(&dialog, ErrorDialog::kSummaryId);
    auto* detail = ControlIds::Find<QPlainTextEdit>(&dialog, ErrorDialog::kDetailId);
    shown.summaries << (summary != nullptr ? summary->toPlainText() : QStringLiteral("?"));
    shown.details << (detail != nullptr ? detail->toPlainText() : QStringLiteral("?"));
    dialog.accept();
  };
}

// Picks `path` in a file dialog and accepts it.
inline ScriptedPrompter::DialogScript PickFile(const std::string& path) {
  return [path](QDialog& dialog) {
    auto& files = static_cast<QFileDialog&>(dialog);
    files.selectFile(QString::fromStdString(path));
    dialog.accept();  // the file dialog's own accept, with its checks
  };
}

// Types `passphrase` twice in the new-passphrase dialog and presses OK.
inline ScriptedPrompter::DialogScript NewPassphrase(const QString& passphrase) {
  return [passphrase](QDialog& dialog) {
    ControlIds::Find<QLineEdit>(&dialog, NewPassphraseDialog::kPassphraseId)->setText(passphrase);
    ControlIds::Find<QLineEdit>(&dialog, NewPassphraseDialog::kConfirmId)->setText(passphrase);
    ControlIds::Find<QPushButton>(&dialog, NewPassphraseDialog::kOkId)->click();
  };
}

// In the open-database dialog: chooses the entry shown as `entry`, types
// `passphrase` and presses OK.  An entry that is not listed is recorded in
// `missing` and the dialog cancelled.
inline ScriptedPrompter::DialogScript ChooseEntry(const QString& entry, const QString& passphrase,
                                                  QStringList* listed = nullptr) {
  return [entry, passphrase, listed](QDialog& dialog) {
    auto* list = ControlIds::Find<QComboBox>(&dialog, OpenDatabaseDialog::kListId);
    if (listed != nullptr) {
      listed->clear();
      for (int i = 0; i < list->count(); ++i) *listed << list->itemText(i);
    }
    const int index = list->findText(entry);
    if (index < 0) {
      dialog.reject();
      return;
    }
    list->setCurrentIndex(index);
    ControlIds::Find<QLineEdit>(&dialog, OpenDatabaseDialog::kPassphraseId)->setText(passphrase);
    ControlIds::Find<QPushButton>(&dialog, OpenDatabaseDialog::kOkId)->click();
  };
}

// Lets the dialog run what it posted to itself (Create New on an empty list).
inline void LetPostedRun() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
}

}  // namespace lockwell::testing
