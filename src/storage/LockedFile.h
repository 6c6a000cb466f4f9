// LockedFile: a file opened with sharing denied to every other opener.
//
// The lock is an exclusive flock taken right after open(2), so it binds
// other processes and other opens in this process alike.  A file that
// another opener holds fails to open with errno EACCES, the same answer a
// sharing violation gives on Windows.  Creating never truncates before the
// lock is held, so creating over a file someone else holds leaves it intact.
//
// Every failing call returns false and leaves the reason in errno; a read
// that meets the end of the file early fails with ENODATA.  Each open, seek,
// read, write and truncate passes the ScopedIoFault seam first.
// Move-only; closes (and so unlocks) on destruction.  Not thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lockwell {

class LockedFile {
 public:
  enum class Mode {
    kReadWrite,  // an existing file, read and write ("r+b")
    kCreate,     // created or emptied, read and write ("w+b")
    kReadOnly,   // an existing file, read only ("rb")
  };

  LockedFile() = default;
  ~LockedFile() { Close(); }
  LockedFile(LockedFile&& other) noexcept;
  LockedFile& operator=(LockedFile&& other) noexcept;
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;

  // REQUIRES: !IsOpen()
  bool Open(const std::string& path, Mode mode);
  bool IsOpen() const { return fd_ >= 0; }
  // Keeps errno as it was, so a caller can close before reporting.
  void Close();

  // Absolute position from the start of the file.
  bool Seek(uint64_t offset);
  // Reads exactly `size` bytes at the current position.
  bool Read(void* data, size_t size);
  // Reads up to `size` bytes; `got` < `size` only at the end of the file.
  bool ReadSome(void* data, size_t size, size_t& got);
  // Reads up to `size` bytes at `offset` without moving the position;
  // `got` < `size` only at the end of the file.  Small reads are served from
  // a window of bytes read ahead of them.  A miss that starts inside the
  // window or just past its end continues a scan in file order and reads
  // 64 KiB ahead; any other miss reads one 4 KiB block, because in a used
  // file index order is not file order (an insert appends its slot wherever
  // its index goes, a grown record moves to the end).  Every write, truncate
  // and close drops the window, and the lock keeps other writers out, so it
  // never holds stale bytes.
  bool ReadAt(uint64_t offset, void* data, size_t size, size_t& got);
  // Writes all `size` bytes at the current position.
  bool Write(const void* data, size_t size);
  bool Truncate(uint64_t length);
  // The file's current length; not part of the fault seam.
  bool Length(uint64_t& length) const;

 private:
  static constexpr size_t kWindowSize = 64 * 1024;
  static constexpr size_t kBlockSize = 4 * 1024;
  bool PreadAll(uint64_t offset, char* bytes, size_t size, size_t& got) const;
  void DropWindow() { windowFill_ = 0; }

  int fd_ = -1;
  // Bytes [windowStart_, windowStart_ + windowFill_) of the file.
  std::vector<char> window_;
  uint64_t windowStart_ = 0;
  size_t windowFill_ = 0;
};

}  // namespace lockwell
