#include "app/ui/CategoryOrder.h"

#include <algorithm>

#include "palmdb/CategoryConstants.h"

namespace lockwell {
namespace {

// 0 for "All", 2 for Unfiled, 1 for the rest.
int Rank(uint32_t id) {
  if (id == ALL_CATEGORIES) return 0;
  if (id == UNFILED_CATEGORY) return 2;
  return 1;
}

}  // namespace

void CategoryOrder::Sort(std::vector<CategoryEntry>& entries) {
  std::stable_sort(entries.begin(), entries.end(), [](const CategoryEntry& a, const CategoryEntry& b) {
    const int ra = Rank(a.id);
    const int rb = Rank(b.id);
    if (ra != rb) return ra < rb;
    return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
  });
}

}  // namespace lockwell
