// The identity of a record in a Palm database: its record ID together with
// the flag that says whether the ID was handed out on the PC.  The same
// number may exist once as a handheld ID and once as a desktop ID.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace lockwell {

struct RecordKey {
  uint32_t recordId = 0;
  bool desktopId = false;

  // Ordered by ID, then by flag (handheld before desktop).
  auto operator<=>(const RecordKey&) const = default;
};

struct RecordKeyHash {
  size_t operator()(const RecordKey& key) const noexcept {
    return std::hash<uint64_t>()(uint64_t{key.recordId} << 1 | (key.desktopId ? 1u : 0u));
  }
};

}  // namespace lockwell
