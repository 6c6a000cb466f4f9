#include "app/DeleteAccounts.h"

#include "app/AccountIdentity.h"
#include "vault/LockwellDatabase.h"
#include "vault/LockwellRecord.h"

namespace lockwell {

uint32_t DeleteAccounts(LockwellDatabase& database, const std::vector<uint32_t>& identities,
                        const std::function<void(const ErrorList&)>& showErrors) {
  uint32_t deleted = 0;
  for (uint32_t identity : identities) {
    ErrorList errors;
    LockwellRecord record(&database);
    if (!database.ReadRecordById(errors, AccountIdentity::RecordId(identity), AccountIdentity::DesktopId(identity),
                                 record)) {
      continue;
    }
    if (database.DeleteRecord(errors, record)) {
      ++deleted;
    } else {
      showErrors(errors);
    }
  }
  return deleted;
}

}  // namespace lockwell
