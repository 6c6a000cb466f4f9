// Category numbers of a Palm database.
#pragma once

#include <cstdint>

namespace lockwell {

// Stands for every category in searches; shown as "All".
inline constexpr uint32_t ALL_CATEGORIES = 4095;
// Category 0: "Unfiled" in a new database; never renamed or deleted.
inline constexpr uint32_t UNFILED_CATEGORY = 0;
// Number of category slots in the category block.
inline constexpr uint32_t kCategoryCount = 16;
// Bytes of one category name slot, the terminating NUL included.
inline constexpr uint32_t kCategoryNameSize = 16;

}  // namespace lockwell
