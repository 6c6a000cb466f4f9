#include "platform/RegistryLock.h"

#include "platform/HiveStore.h"

namespace lockwell {

RegistryLock::RegistryLock(Hive hive) : hive_(hive), held_(HiveStore::For(hive).Begin()) {}

RegistryLock::~RegistryLock() {
  if (held_) HiveStore::For(hive_).End();
}

}  // namespace lockwell
