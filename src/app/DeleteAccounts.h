// Delete of the selected accounts, one after the other.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "storage/ErrorList.h"

namespace lockwell {

class LockwellDatabase;

// Deletes the accounts of `identities` in their order (marked for the next
// HotSync, or removed when the handheld never saw them).  An account that
// can not be read is skipped; a failed delete is handed to `showErrors` and
// the rest go on.  Returns how many were deleted.
uint32_t DeleteAccounts(LockwellDatabase& database, const std::vector<uint32_t>& identities,
                        const std::function<void(const ErrorList&)>& showErrors);

}  // namespace lockwell
