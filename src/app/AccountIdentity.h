// An account's identity as list-item data: `recordId` in bits 0-30 and
// `desktopId` in bit 31.
#pragma once

#include <cstdint>

namespace lockwell {

struct AccountIdentity {
  static constexpr uint32_t kDesktopBit = 0x80000000u;

  static uint32_t Make(uint32_t recordId, bool desktopId) {
    return (recordId & ~kDesktopBit) | (desktopId ? kDesktopBit : 0u);
  }
  static uint32_t RecordId(uint32_t identity) { return identity & ~kDesktopBit; }
  static bool DesktopId(uint32_t identity) { return (identity & kDesktopBit) != 0; }
};

}  // namespace lockwell
