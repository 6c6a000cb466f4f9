#include "installer/FileSteps.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/ShellLink.h"
#include "platform/SpecialFolders.h"
#include "platform/SystemErrorText.h"

namespace lockwell {

namespace {

std::string NotAFolderText(const std::string& path) {
  return "Invalid directory; \"" + path + "\" already exists, and is not a directory.";
}

// Copies the bytes of `source` to `destination` once, creating or
// truncating it.  Keeps errno of the first failure.
bool CopyOnce(const std::string& destination, const std::string& source) {
  const int in = open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  struct stat st {};
  if (fstat(in, &st) != 0) {
    const int saved = errno;
    close(in);
    errno = saved;
    return false;
  }
  const int out = open(destination.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 07777);
  if (out < 0) {
    const int saved = errno;
    close(in);
    errno = saved;
    return false;
  }
  bool ok = true;
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(in, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    for (ssize_t done = 0; done < n;) {
      const ssize_t w = write(out, buffer + done, static_cast<size_t>(n - done));
      if (w < 0) {
        if (errno == EINTR) continue;
        ok = false;
        break;
      }
      done += w;
    }
    if (!ok) break;
  }
  int saved = errno;
  // An existing destination keeps its old bits through O_TRUNC: it takes the
  // source's, as a fresh copy would.
  if (ok && fchmod(out, st.st_mode & 07777) != 0) {
    ok = false;
    saved = errno;
  }
  if (close(out) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  close(in);
  errno = saved;
  return ok;
}

// Adds the owner's write permission, the nearest thing to clearing the
// read-only attribute.
void ClearReadOnly(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) == 0) chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
}

}  // namespace

std::string WithTrailingSlash(const std::string& text) {
  if (!text.empty() && text.back() == '/') return text;
  return text + "/";
}

bool CreateFolderTree(const std::string& folder, std::string& errorText) {
  for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1)) {
    const std::string prefix = folder.substr(0, slash + 1);
    // Looked up without its "/": a file named with one fails as "not a
    // folder", where the question is whether anything is there.
    const std::string lookup = folder.substr(0, slash);
    struct stat st {};
    if (stat(lookup.c_str(), &st) == 0) {
      if (S_ISDIR(st.st_mode)) continue;
      errorText = NotAFolderText(prefix);
      return false;
    }
    if (errno != ENOENT && errno != ENOTDIR) {
      errorText = SystemErrorText(errno);
      return false;
    }
    if (mkdir(lookup.c_str(), 0755) != 0 && errno != EEXIST) {
      errorText = SystemErrorText(errno);
      return false;
    }
  }
  if (mkdir(folder.c_str(), 0755) == 0) return true;
  if (errno != EEXIST) {
    errorText = SystemErrorText(errno);
    return false;
  }
  // "Already exists" is success only for a folder: a file of that name
  // would make every copy into it fail later with a less helpful text.
  struct stat st {};
  if (stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
  errorText = NotAFolderText(folder);
  return false;
}

bool CopyInstallFile(const std::string& destination, const std::string& source) {
  if (CopyOnce(destination, source)) return true;
  struct stat st {};
  if (stat(destination.c_str(), &st) == 0) ClearReadOnly(destination);
  const size_t slash = destination.find_last_of('/');
  ClearReadOnly(slash == std::string::npos ? "." : destination.substr(0, slash));
  return CopyOnce(destination, source);
}

bool CreateShortcut(const std::string& target, const std::string& linkPath, const std::string& description) {
  ShellLink link;
  link.SetTarget(target);
  link.SetDescription(description);
  return link.Save(linkPath);
}

std::string GetProgramsFolder() {
  std::string folder = SpecialFolders::CommonPrograms();
  if (folder.empty()) folder = SpecialFolders::UserPrograms();
  return folder;
}

}  // namespace lockwell
