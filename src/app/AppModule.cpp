#include "app/AppModule.h"

namespace lockwell {

Module& AppModule() {
  static Module module("Tallmark Lockwell Application");
  return module;
}

int32_t AppModuleId() { return AppModule().Register(); }

}  // namespace lockwell
