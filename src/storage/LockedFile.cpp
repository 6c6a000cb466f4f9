#include "storage/LockedFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cassert>
#include <algorithm>
#include <cerrno>
#include <limits>
#include <utility>

#include "storage/IoFaults.h"

namespace lockwell {
namespace {

// Database files and their copies hold the user's accounts: owner only.
constexpr mode_t kNewFileMode = 0600;

}  // namespace

LockedFile::LockedFile(LockedFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) { other.DropWindow(); }

LockedFile& LockedFile::operator=(LockedFile&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    other.DropWindow();
  }
  return *this;
}

bool LockedFile::Open(const std::string& path, Mode mode) {
  assert(!IsOpen());
  if (ScopedIoFault::Strikes(IoOp::Open)) return false;
  int flags = O_CLOEXEC;
  switch (mode) {
    case Mode::kReadWrite: flags |= O_RDWR; break;
    case Mode::kCreate: flags |= O_RDWR | O_CREAT; break;
    case Mode::kReadOnly: flags |= O_RDONLY; break;
  }
  int fd;
  do {
    fd = ::open(path.c_str(), flags, kNewFileMode);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return false;

  int locked;
  do {
    locked = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (locked != 0 && errno == EINTR);
  if (locked != 0) {
    int error = (errno == EWOULDBLOCK) ? EACCES : errno;
    ::close(fd);
    errno = error;
    return false;
  }
  // Only now, with the lock held, may an existing file be emptied.
  if (mode == Mode::kCreate && ::ftruncate(fd, 0) != 0) {
    int error = errno;
    ::close(fd);
    errno = error;
    return false;
  }
  fd_ = fd;
  return true;
}

void LockedFile::Close() {
  DropWindow();
  if (fd_ < 0) return;
  int error = errno;
  ::close(fd_);  // closing also drops the lock
  fd_ = -1;
  errno = error;
}

bool LockedFile::Seek(uint64_t offset) {
  if (ScopedIoFault::Strikes(IoOp::Seek)) return false;
  if (offset > static_cast<uint64_t>(std::numeric_limits<off_t>::max())) {
    errno = EINVAL;
    return false;
  }
  return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

bool LockedFile::Read(void* data, size_t size) {
  size_t got = 0;
  if (!ReadSome(data, size, got)) return false;
  if (got < size) {
    errno = ENODATA;
    return false;
  }
  return true;
}

bool LockedFile::ReadSome(void* data, size_t size, size_t& got) {
  got = 0;
  if (ScopedIoFault::Strikes(IoOp::Read)) return false;
  auto* bytes = static_cast<char*>(data);
  while (got < size) {
    ssize_t n = ::read(fd_, bytes + got, size - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) break;  // end of file
    got += static_cast<size_t>(n);
  }
  return true;
}

bool LockedFile::ReadAt(uint64_t offset, void* data, size_t size, size_t& got) {
  got = 0;
  if (ScopedIoFault::Strikes(IoOp::Read)) return false;
  if (offset > static_cast<uint64_t>(std::numeric_limits<off_t>::max()) - size) {
    errno = EINVAL;
    return false;
  }
  auto* bytes = static_cast<char*>(data);
  if (size > kWindowSize) return PreadAll(offset, bytes, size, got);
  const uint64_t windowEnd = windowStart_ + windowFill_;
  const bool inWindow = offset >= windowStart_ && offset + size <= windowEnd;
  if (!inWindow) {
    // Only a miss that carries on from the window is a forward scan worth
    // reading far ahead for; elsewhere one block holds a whole slot.
    const bool forward = windowFill_ > 0 && offset >= windowStart_ && offset <= windowEnd + kBlockSize;
    const size_t fill = forward ? kWindowSize : std::max(size, kBlockSize);
    DropWindow();
    window_.resize(kWindowSize);
    size_t filled = 0;
    if (!PreadAll(offset, window_.data(), fill, filled)) return false;
    windowStart_ = offset;
    windowFill_ = filled;
  }
  got = std::min<uint64_t>(size, windowStart_ + windowFill_ - offset);
  std::copy_n(window_.data() + (offset - windowStart_), got, bytes);
  return true;
}

bool LockedFile::PreadAll(uint64_t offset, char* bytes, size_t size, size_t& got) const {
  got = 0;
  while (got < size) {
    ssize_t n = ::pread(fd_, bytes + got, size - got, static_cast<off_t>(offset + got));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) break;  // end of file
    got += static_cast<size_t>(n);
  }
  return true;
}

bool LockedFile::Write(const void* data, size_t size) {
  DropWindow();  // even a failed write may have changed some bytes
  if (ScopedIoFault::Strikes(IoOp::Write)) return false;
  const auto* bytes = static_cast<const char*>(data);
  size_t done = 0;
  while (done < size) {
    ssize_t n = ::write(fd_, bytes + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = EIO;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

bool LockedFile::Truncate(uint64_t length) {
  DropWindow();
  if (ScopedIoFault::Strikes(IoOp::Truncate)) return false;
  if (length > static_cast<uint64_t>(std::numeric_limits<off_t>::max())) {
    errno = EINVAL;
    return false;
  }
  int done;
  do {
    done = ::ftruncate(fd_, static_cast<off_t>(length));
  } while (done != 0 && errno == EINTR);
  return done == 0;
}

bool LockedFile::Length(uint64_t& length) const {
  struct stat info;
  if (::fstat(fd_, &info) != 0) return false;
  length = static_cast<uint64_t>(info.st_size);
  return true;
}

}  // namespace lockwell
