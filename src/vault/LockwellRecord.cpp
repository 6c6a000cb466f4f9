#include "vault/LockwellRecord.h"

#include "vault/LockwellDatabase.h"

namespace lockwell {

// Placeholder bodies; the account record is being filled in.
LockwellRecord::LockwellRecord(ErrorList& errors, LockwellDatabase* database, bool assignNewId)
    : PalmDatabaseRecord(errors, database, assignNewId) {}
LockwellRecord::LockwellRecord(LockwellDatabase* database) : PalmDatabaseRecord(database) {}
LockwellRecord::~LockwellRecord() = default;
bool LockwellRecord::Reset(ErrorList& errors, bool assignNewId) { return PalmDatabaseRecord::Reset(errors, assignNewId); }
bool LockwellRecord::Deserialize(ErrorList& errors, const std::string& bytes, uint32_t position) {
  return PalmDatabaseRecord::Deserialize(errors, bytes, position);
}
bool LockwellRecord::Serialize(ErrorList& errors, std::string& bytes) { return PalmDatabaseRecord::Serialize(errors, bytes); }
bool LockwellRecord::getTitle(ErrorList&, SecureString&) const { return false; }
bool LockwellRecord::setTitle(ErrorList&, std::string_view) { return false; }
bool LockwellRecord::getNote(ErrorList&, SecureString&) const { return false; }
bool LockwellRecord::setNote(ErrorList&, std::string_view) { return false; }
bool LockwellRecord::getField(ErrorList&, int, SecureString&, SecureString&) const { return false; }
bool LockwellRecord::setField(ErrorList&, int, std::string_view, std::string_view) { return false; }
bool LockwellRecord::findFieldValue(ErrorList&, std::string_view, SecureString&) const { return false; }
bool LockwellRecord::setAlternatePassphrase(ErrorList&, std::string_view) { return false; }
bool LockwellRecord::containsText(ErrorList&, std::string_view, bool, bool&) const { return false; }
LockwellDatabase* LockwellRecord::owner() const { return nullptr; }

}  // namespace lockwell
