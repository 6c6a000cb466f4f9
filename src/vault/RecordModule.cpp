#include "vault/RecordModule.h"

namespace lockwell {

Module& RecordModule() {
  static Module module("Tallmark Lockwell Record Class");
  return module;
}

int32_t RecordModuleId() { return RecordModule().Register(); }

}  // namespace lockwell
