// What File > Open, the automatic open at start-up and Unlock run: the
// open-database dialog, the attempts with their failures explained, then
// the housekeeping a HotSync may leave behind (records still under a
// passphrase changed on the handheld, records that arrived unsorted).
//
// How the window calls it:
//   1. Close the database it has open, if any (saving its category; a
//      locked window stays locked).
//   2. Run the flow with itself as the host:
//        OpenDatabaseFlow flow(prompter, HotSyncBinding::Instance(), *this);
//        std::optional<OpenedDatabase> opened = flow.Run();
//      The flow sets the window title through the host before each attempt
//      at a file ("Lockwell/PC - " + the chosen entry); the title is not
//      put back when that attempt fails or the user then cancels.
//   3. Nothing back (std::nullopt): the user cancelled, or the housekeeping
//      failed or was given up, its errors already shown.  Nothing else
//      changed.
//   4. Otherwise take `opened->database` as the open database and do the
//      hand-over (locked off, view state from getDetailsShown, panes
//      refreshed).
//
// Every modal question goes through the Prompter; dialogs, the Please Wait
// window and message boxes are owned by the host's widget.  The flow never
// deletes a database it handed over and keeps none between runs.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include <QString>

class QWidget;

namespace lockwell {

class HotSyncBinding;
class LockwellDatabase;
class Prompter;

// What the flow needs from the window that runs it.
class OpenDatabaseHost {
 public:
  virtual ~OpenDatabaseHost() = default;
  // The owner of the flow's dialogs and messages.
  virtual QWidget* DialogOwner() = 0;
  // Shows `title` as the window's title.
  virtual void SetTitle(const QString& title) = 0;
};

// A database the flow opened, handed over to the caller.
struct OpenedDatabase {
  std::unique_ptr<LockwellDatabase> database;
  std::string path;       // the file opened
  std::string entryText;  // the dialog's entry it came from
  QString title;          // the title set for it
  bool fromPalmUser = false;  // a "Palm User: " entry (a HotSync user's database)

  OpenedDatabase();
  OpenedDatabase(OpenedDatabase&&) noexcept;
  OpenedDatabase& operator=(OpenedDatabase&&) noexcept;
  ~OpenedDatabase();
};

class OpenDatabaseFlow {
 public:
  static constexpr const char* kTitlePrefix = "Lockwell/PC - ";

  OpenDatabaseFlow(Prompter& prompter, HotSyncBinding& binding, OpenDatabaseHost& host);

  // Asks until a database opens or the user cancels.
  std::optional<OpenedDatabase> Run();

 private:
  Prompter& prompter_;
  HotSyncBinding& binding_;
  OpenDatabaseHost& host_;
};

}  // namespace lockwell
