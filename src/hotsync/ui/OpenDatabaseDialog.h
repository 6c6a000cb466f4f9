// The dialog through which the user picks the database to open and types
// its passphrase ("Lockwell Passphrase").
//
// The list offers "Palm User: <name>" for every HotSync user and the
// remembered PC databases of the registry, sorted by the list itself.  The
// last database chosen is preselected by prefix.  OK is enabled only while
// the list shows a text; it remembers the entry as "LastDatabase" and ends
// the dialog.  Browse adds an existing file; Create New makes a new PC
// database (asking first, then a save dialog and NewPassphraseDialog) and
// ends the dialog with OK and that database chosen.  An empty list starts
// Create New by itself once the dialog shows.
//
// The dialog only chooses: opening the file and explaining why it could not
// be opened belong to the caller, which creates a fresh dialog for every
// attempt.  Every modal question, the file dialogs included, goes through
// the Prompter.  Entries are kept as the registry and the HotSync library
// give them (8-bit bytes) in each item's Qt::UserRole data; the shown text
// is their Windows-1252 reading.
#pragma once

#include <string>

#include <QByteArray>
#include <QDialog>

#include "storage/SecureString.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace lockwell {

class HotSyncBinding;
class Prompter;

class OpenDatabaseDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kListId = 1039;
  static constexpr int kBrowseId = 1040;
  static constexpr int kPassphraseId = 1041;
  static constexpr int kCreateNewId = 1042;
  static constexpr int kOkId = 1;
  static constexpr int kCancelId = 2;
  static constexpr int kMaxPassphraseChars = 255;

  static constexpr const char* kCreateNewCaption = "Create New Database?";
  static constexpr const char* kCreateNewPalmWarning =
      "If you continue, you will be able to create a new Lockwell database on your PC.  You will not be "
      "able to use this database with your Palm.  If you would like to create a database that you can "
      "use on your Palm, run Lockwell on your Palm at least once and then HotSync.  Then choose the Palm "
      "User for that Palm device on the Passphrase dialog when you run Lockwell/PC.  Do you wish to "
      "continue creating a database for use on your PC only?";
  static constexpr const char* kCreateNewNoDatabases =
      "You have no Lockwell databases set up.  Do you wish to create a new one?";
  static constexpr const char* kFileFilter = "Lockwell Database Files (*.lwdb);;All Files (*)";
  // Object names of the file dialogs handed to the Prompter.
  static constexpr const char* kBrowseDialogName = "browseFileDialog";
  static constexpr const char* kSaveDialogName = "saveFileDialog";

  // Fills the list from `binding`'s HotSync users and the registry.
  OpenDatabaseDialog(Prompter& prompter, HotSyncBinding& binding, QWidget* owner);
  ~OpenDatabaseDialog() override;

  // Valid after OK.
  const std::string& GetEntryText() const { return entryText_; }
  SecureString GetPassphrase() const { return passphrase_; }
  // The file path of the chosen entry; empty for a "Palm User: " entry that
  // names no current HotSync user.
  std::string ResolveDatabasePath() const;

  void accept() override;
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Fill();
  // Adds `entry` at its sorted place; returns its index.
  int AddEntry(const std::string& entry);
  void SelectByPrefix(const std::string& prefix);
  void UpdateOkButton();
  void Browse();
  void CreateNew();
  bool AskToCreate();
  // The file the user picked in `dialog` as the file system names it; false
  // when the dialog was cancelled.
  bool RunFileDialog(const QString& name, bool save, std::string& path);

  Prompter& prompter_;
  HotSyncBinding& binding_;
  bool createNewPosted_ = false;
  std::string entryText_;
  SecureString passphrase_;
  QComboBox* list_;
  QPushButton* browse_;
  QLineEdit* passphraseEdit_;
  QPushButton* ok_;
  QPushButton* cancel_;
  QPushButton* createNew_;
};

}  // namespace lockwell
