#include "vault/LockwellDatabase.h"

#include "vault/LockwellRecord.h"

namespace lockwell {

// Placeholder bodies; the account database is being filled in.
LockwellDatabase::LockwellDatabase(ErrorList&, const std::string& path, const SecureString& passphrase, bool create)
    : path_(path), passphrase_(passphrase), create_(create) {}
LockwellDatabase::~LockwellDatabase() = default;
bool LockwellDatabase::InitNewDatabase(ErrorList& errors) { return PalmDatabase::InitNewDatabase(errors); }
bool LockwellDatabase::CloseDatabase(ErrorList& errors) { return PalmDatabase::CloseDatabase(errors); }
bool LockwellDatabase::DeleteCategory(ErrorList& errors, uint32_t category) {
  return PalmDatabase::DeleteCategory(errors, category);
}
bool LockwellDatabase::getLastCategory(ErrorList&, uint32_t&) { return false; }
bool LockwellDatabase::setLastCategory(ErrorList&, uint32_t) { return false; }
bool LockwellDatabase::getShownFields(ErrorList&, uint32_t, std::vector<std::string>&) { return false; }
bool LockwellDatabase::insertSorted(ErrorList&, LockwellRecord&) { return false; }
bool LockwellDatabase::repositionRecord(ErrorList&, LockwellRecord&) { return false; }
bool LockwellDatabase::getAvailableLabels(ErrorList&, uint32_t, int, std::vector<std::string>&) { return false; }
bool LockwellDatabase::getDefaultLabel(ErrorList&, uint32_t, int, std::string&) { return false; }
bool LockwellDatabase::verifyPassphrase(ErrorList&, std::string_view) { return false; }
bool LockwellDatabase::applyPassphrase(ErrorList&) { return false; }
bool LockwellDatabase::deriveKeys(ErrorList&) { return false; }
bool LockwellDatabase::changePassphrase(ErrorList&, const SecureString&) { return false; }
bool LockwellDatabase::passphraseChangedOnHandheld() const { return false; }
bool LockwellDatabase::clearPassphraseChangedFlag(ErrorList&) { return false; }
bool LockwellDatabase::needsResort() const { return false; }
bool LockwellDatabase::isPcOwned() const { return false; }
bool LockwellDatabase::resortAfterHotSync(ErrorList&) { return false; }
bool LockwellDatabase::getDetailsShown(ErrorList&, bool&) { return false; }
bool LockwellDatabase::setDetailsShown(ErrorList&, bool) { return false; }
bool LockwellDatabase::saveCategoryPrefs(ErrorList&) { return false; }
bool LockwellDatabase::resetDefaultPrefs(ErrorList&) { return false; }
bool LockwellDatabase::getCategoryPrefsKey(ErrorList&, uint32_t, uint32_t&) { return false; }
const CategoryPrefs* LockwellDatabase::findCategoryPrefs(uint32_t key) const { return prefs_.Find(key); }
void LockwellDatabase::storeCategoryPrefs(uint32_t key, CategoryPrefs prefs) { prefs_.Store(key, std::move(prefs)); }
void LockwellDatabase::copyCategoryPrefs(const CategoryPrefs& from, CategoryPrefs& to) { to = from; }
EntropyDatabase LockwellDatabase::entropySource() { return EntropyDatabase{}; }
uint16_t LockwellDatabase::formatVersion() { return 0; }
const char* LockwellDatabase::ModuleNameText() { return "Tallmark Lockwell Database Class"; }
int32_t LockwellDatabase::ModuleId() { return 0; }

}  // namespace lockwell
