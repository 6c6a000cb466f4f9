// The fixed 25-byte prefix that starts every Palm record in the record file.
//
// Byte layout (integers 32-bit little-endian).
// WARNING: embedded in every .lwdb file and written by the HotSync conduit;
// never change it.
//
//   OFFSET SIZE  MEANING
//        0    4  recordId
//        4    1  desktopId: written 0 or 1; any non-zero byte reads as 1
//        5    4  status (STATUS_UNCHANGED 0, DELETED 1, MODIFIED 2, NEW 3)
//        9    4  syncFlags (FLAG_PENDING 1, FLAG_UNSORTED 2)
//       13    4  category, 0-15
//       17    8  extra: stored and returned unchanged
//       25  rest payload, owned by the record class above
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "palmdb/RecordKey.h"

namespace lockwell {

struct RecordPrefix {
  static constexpr size_t kRecordIdOffset = 0;
  static constexpr size_t kDesktopIdOffset = 4;
  static constexpr size_t kStatusOffset = 5;
  static constexpr size_t kSyncFlagsOffset = 9;
  static constexpr size_t kCategoryOffset = 13;
  static constexpr size_t kExtraOffset = 17;
  static constexpr size_t kSize = 25;

  uint32_t recordId = 0;
  bool desktopId = false;
  uint32_t status = 0;
  uint32_t syncFlags = 0;
  uint32_t category = 0;
  std::array<uint8_t, 8> extra{};

  RecordKey Key() const { return RecordKey{recordId, desktopId}; }

  // False when `bytes` is shorter than kSize; `prefix` is then unchanged.
  static bool Decode(std::string_view bytes, RecordPrefix& prefix);
  // Appends the kSize bytes of the stored form to `out`.
  void AppendTo(std::string& out) const;
};

}  // namespace lockwell
