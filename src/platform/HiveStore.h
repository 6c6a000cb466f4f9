// The process's view of one hive file: where it lives, the lock between
// processes, and the keys as last read.
//
// Every registry operation runs inside a session.  The outermost session of a
// hive takes an exclusive flock on "<hive>.lock" beside the hive file, so that
// the desktop program and the installer never interleave their changes, and
// reads the hive file unless it still holds the text last seen.  Inner
// sessions (a RegistryLock around several operations) reuse what the outer one
// loaded: nobody else can write while the lock is held.  Every change is
// written at once, to a temporary file that is then renamed over the hive.
//
// A hive file that does not parse is renamed aside ("<hive>.reg.damaged-<time>")
// and never written over; the hive then starts empty, and one line on stderr
// names the kept file.
//
// Threads: a recursive mutex per hive; do not fork inside a session (the lock
// would be shared with the child).
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/HiveKey.h"
#include "platform/RegistryTypes.h"

namespace lockwell {

class HiveStore {
 public:
  static HiveStore& For(Hive hive);

  // Enters a session; false when the hive's folder, lock or file cannot be
  // used (the session is then not entered).
  bool Begin();
  void End();
  // REQUIRES: inside a session.
  HiveKey& Root();
  // Writes the keys to the hive file; on failure the keys are read again so
  // that memory matches the file.  REQUIRES: inside a session.
  bool Commit();

 private:
  explicit HiveStore(Hive hive) : hive_(hive) {}
  bool Load();
  bool SetAside(const std::string& path, const struct HiveParseError& error);
  std::string FilePath() const;

  Hive hive_;
  std::recursive_mutex mutex_;
  int depth_ = 0;
  int lockFd_ = -1;
  std::string directory_;
  // What the keys were read from: the file's text, or no file at all.
  bool cacheValid_ = false;
  bool cachedExists_ = false;
  std::string cachedText_;
  // False after a damaged file could not be set aside: it must not be
  // replaced, so writes fail until it is moved away.
  bool writable_ = true;
  std::unique_ptr<HiveKey> root_;
};

// Enters a session for its lifetime.
class HiveSession {
 public:
  explicit HiveSession(Hive hive) : store_(HiveStore::For(hive)), ok_(store_.Begin()) {}
  ~HiveSession() {
    if (ok_) store_.End();
  }
  HiveSession(const HiveSession&) = delete;
  HiveSession& operator=(const HiveSession&) = delete;

  bool Ok() const { return ok_; }
  HiveStore& Store() { return store_; }

 private:
  HiveStore& store_;
  bool ok_;
};

}  // namespace lockwell
