// Holds a hive's lock between processes for a scope, so that a sequence of
// registry operations (read a counter, write a value, write the counter) runs
// with no other process writing in between.  Operations inside the scope read
// the hive once.  Scopes nest.  Do not fork while one is held.
#pragma once

#include "platform/RegistryTypes.h"

namespace lockwell {

class RegistryLock {
 public:
  explicit RegistryLock(Hive hive);
  ~RegistryLock();
  RegistryLock(const RegistryLock&) = delete;
  RegistryLock& operator=(const RegistryLock&) = delete;

  // False when the hive could not be locked; operations inside the scope then
  // fail on their own.
  bool Held() const { return held_; }

 private:
  Hive hive_;
  bool held_;
};

}  // namespace lockwell
