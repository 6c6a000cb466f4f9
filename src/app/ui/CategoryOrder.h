// The order of the category list: "All" first, Unfiled (0) last, every
// other category by name without regard to case.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace lockwell {

struct CategoryEntry {
  QString name;
  uint32_t id;
};

class CategoryOrder {
 public:
  // Sorts `entries` in place; categories with names equal but for case keep
  // their order.
  static void Sort(std::vector<CategoryEntry>& entries);
};

}  // namespace lockwell
