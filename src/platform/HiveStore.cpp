#include "platform/HiveStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cassert>
#include <cerrno>
#include <cstdio>
#include <ctime>

#include "platform/FileUtil.h"
#include "platform/HiveText.h"
#include "platform/Registry.h"

namespace lockwell {

HiveStore& HiveStore::For(Hive hive) {
  // Never destroyed: registry keys may be used from static destructors.
  static HiveStore* stores[] = {new HiveStore(Hive::CurrentUser), new HiveStore(Hive::LocalMachine),
                                new HiveStore(Hive::ClassesRoot)};
  return *stores[static_cast<int>(hive)];
}

std::string HiveStore::FilePath() const { return directory_ + "/" + HiveName(hive_) + ".reg"; }

bool HiveStore::Begin() {
  mutex_.lock();
  if (depth_ > 0) {
    ++depth_;
    return true;
  }
  std::string directory = Registry::Directory();
  if (directory.empty() || !MakeDirectories(directory, 0700)) {
    mutex_.unlock();
    return false;
  }
  if (directory != directory_) {
    directory_ = directory;
    cacheValid_ = false;
    writable_ = true;
  }
  std::string lockPath = directory_ + "/" + HiveName(hive_) + ".lock";
  int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    mutex_.unlock();
    return false;
  }
  int locked;
  do {
    locked = flock(fd, LOCK_EX);
  } while (locked != 0 && errno == EINTR);
  if (locked != 0) {
    close(fd);
    mutex_.unlock();
    return false;
  }
  lockFd_ = fd;
  depth_ = 1;
  if (!Load()) {
    End();
    return false;
  }
  return true;
}

void HiveStore::End() {
  assert(depth_ > 0);
  if (--depth_ == 0) {
    close(lockFd_);  // releases the flock
    lockFd_ = -1;
  }
  mutex_.unlock();
}

HiveKey& HiveStore::Root() {
  assert(depth_ > 0 && root_);
  return *root_;
}

bool HiveStore::Load() {
  std::string path = FilePath();
  std::string text;
  bool exists = false;
  int error = 0;
  if (!ReadWholeFile(path, text, error)) {
    if (error != ENOENT) return false;
  } else {
    exists = true;
  }
  if (cacheValid_ && exists == cachedExists_ && text == cachedText_) return true;

  auto root = std::make_unique<HiveKey>();
  HiveParseError parseError;
  if (exists && !ParseHiveText(text, hive_, *root, parseError)) {
    root = std::make_unique<HiveKey>();
    if (SetAside(path, parseError)) {
      exists = false;
      text.clear();
    } else {
      writable_ = false;
    }
  } else {
    writable_ = true;
  }
  root_ = std::move(root);
  cacheValid_ = true;
  cachedExists_ = exists;
  cachedText_ = std::move(text);
  return true;
}

bool HiveStore::SetAside(const std::string& path, const HiveParseError& error) {
  char stamp[32] = "unknown";
  std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) != nullptr) std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  std::string aside;
  bool kept = false;
  for (int attempt = 0; attempt < 1000 && !kept; ++attempt) {
    aside = path + ".damaged-" + stamp;
    if (attempt > 0) aside.append("-").append(std::to_string(attempt));
    // A hard link never replaces an existing file; the old name goes only once
    // the copy is safe.
    if (link(path.c_str(), aside.c_str()) == 0) {
      kept = unlink(path.c_str()) == 0;
      if (!kept) unlink(aside.c_str());
    } else if (errno != EEXIST) {
      break;
    }
  }
  if (kept) {
    std::fprintf(stderr,
                 "lockwell: the registry file %s could not be read (line %zu: %s); it was kept as %s "
                 "and %s starts empty.\n",
                 path.c_str(), error.line, error.reason.c_str(), aside.c_str(), HiveName(hive_));
  } else {
    std::fprintf(stderr,
                 "lockwell: the registry file %s could not be read (line %zu: %s) nor set aside; it is "
                 "left untouched and no setting of %s can be saved until it is moved away.\n",
                 path.c_str(), error.line, error.reason.c_str(), HiveName(hive_));
  }
  return kept;
}

bool HiveStore::Commit() {
  assert(depth_ > 0);
  std::string text = FormatHiveText(hive_, *root_);
  if (writable_ && WriteFileAtomically(FilePath(), text, 0600)) {
    cachedExists_ = true;
    cachedText_ = std::move(text);
    return true;
  }
  cacheValid_ = false;
  if (!Load()) {
    // Memory no longer matches the file: refuse further writes in this
    // session rather than write a partial hive over it.
    root_ = std::make_unique<HiveKey>();
    writable_ = false;
  }
  return false;
}

}  // namespace lockwell
