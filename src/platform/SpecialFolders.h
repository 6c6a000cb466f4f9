// The shell's special folders.  Each has an environment variable of our own
// that, when set, is the answer as it stands (an empty value meaning the
// folder cannot be located), so that tests and demonstrations never touch the
// real home folder:
//
//   Documents()        LOCKWELL_DOCUMENTS_DIR        else XDG_DOCUMENTS_DIR of
//                      user-dirs.dirs, else $HOME/Documents
//   UserPrograms()     LOCKWELL_PROGRAMS_DIR         else $XDG_DATA_HOME/applications,
//                      else $HOME/.local/share/applications
//   CommonPrograms()   LOCKWELL_COMMON_PROGRAMS_DIR  else /usr/local/share/applications
//                      when this user may write there, else empty
//   ProgramFilesDir()  LOCKWELL_PROGRAM_FILES_DIR    else "ProgramFilesDir" of
//                      HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion,
//                      else $HOME/.local/opt/
//
// Results carry no trailing "/" unless the source had one; empty means the
// folder cannot be located.
#pragma once

#include <string>

namespace lockwell {

class SpecialFolders {
 public:
  static std::string Documents();
  static std::string UserPrograms();
  static std::string CommonPrograms();
  static std::string ProgramFilesDir();
};

}  // namespace lockwell
