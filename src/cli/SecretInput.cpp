#include "cli/SecretInput.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <termios.h>
#include <unistd.h>


namespace lockwell {
namespace {

// Reads up to the first LF or the end; false on a read error.  `sawAny`
// tells an empty line from an input that had already ended.
bool ReadLine(int fd, SecureString& secret, bool& sawAny) {
  secret.wipe();
  sawAny = false;
  for (;;) {
    char c = 0;
    const ssize_t n = read(fd, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    sawAny = true;
    if (c == '\n') break;
    secret.push_back(c);
    c = 0;
  }
  if (!secret.empty() && secret.back() == '\r') secret.pop_back();
  return true;
}

}  // namespace

bool SecretInput::FromFile(const std::string& path, SecureString& secret, std::string& error) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = "cannot read " + path + ": " + strerror(errno);
    return false;
  }
  bool sawAny = false;
  const bool ok = ReadLine(fd, secret, sawAny);
  const int saved = errno;
  close(fd);
  if (!ok) {
    error = "cannot read " + path + ": " + strerror(saved);
    secret.wipe();
  }
  return ok;
}

bool SecretInput::FromFd(int fd, SecureString& secret, std::string& error) {
  bool sawAny = false;
  if (!ReadLine(fd, secret, sawAny)) {
    error = "cannot read file descriptor " + std::to_string(fd) + ": " + strerror(errno);
    secret.wipe();
    return false;
  }
  return true;
}

bool SecretInput::HaveTerminal() {
  const int fd = open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return false;
  close(fd);
  return true;
}

bool SecretInput::FromTerminal(const std::string& prompt, SecureString& secret, bool& eof, std::string& error) {
  eof = false;
  const int fd = open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    error = "no terminal to ask on; use --passphrase-file or --passphrase-fd";
    return false;
  }
  termios saved{};
  const bool isTty = tcgetattr(fd, &saved) == 0;
  if (isTty) {
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;
    tcsetattr(fd, TCSAFLUSH, &quiet);
  }
  (void)!write(fd, prompt.data(), prompt.size());
  bool sawAny = false;
  const bool ok = ReadLine(fd, secret, sawAny);
  const int savedErrno = errno;
  if (isTty) tcsetattr(fd, TCSAFLUSH, &saved);
  close(fd);
  if (!ok) {
    error = std::string("cannot read the terminal: ") + strerror(savedErrno);
    secret.wipe();
    return false;
  }
  eof = !sawAny;
  return true;
}

}  // namespace lockwell
