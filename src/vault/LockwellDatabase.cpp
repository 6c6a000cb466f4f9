#include "vault/LockwellDatabase.h"

#include <cassert>
#include <cstring>
#include <set>
#include <unordered_map>
#include <utility>

#include "palmdb/ByteOrder.h"
#include "palmdb/RecordKey.h"
#include "storage/ModuleRegistry.h"
#include "vault/KeyDerivation.h"
#include "vault/LockwellRecord.h"

namespace lockwell {
namespace {

Module module("Tallmark Lockwell Database Class");

constexpr char kInvalidPassphraseText[] =
    "Invalid passphrase.  Please check your caps lock key and make sure you entered the passphrase correctly.";
constexpr char kNoPassphraseNeededText[] = "This database does not require a passphrase.";
constexpr char kCannotChangeText[] =
    "Cannot change passphrase on the PC.  Change it on the Palm and then perform a HotSync operation.";
constexpr char kNewerVersionText[] =
    "You cannot open this database with this version of Lockwell. Please upgrade to the latest Lockwell "
    "version and try again.";

// The passphrase fields a failed change puts back: has-passphrase, digest,
// the reserved byte and the salt (offsets 286-311).
constexpr size_t kPassphraseFieldsOffset = LockwellDatabase::kHasPassphraseOffset;
constexpr size_t kPassphraseFieldsSize = LockwellDatabase::kPassphraseChangedOffset - kPassphraseFieldsOffset;

}  // namespace

// The decrypted sort keys of the records probed during one re-sort, by
// record key.  Records keep their texts and keys while they move, so an
// entry stays right however often the records shift.  The texts are
// SecureStrings and are wiped with the cache.
struct LockwellDatabase::SortCache {
  std::unordered_map<RecordKey, AccountFields, RecordKeyHash> fields;
};

LockwellDatabase::LockwellDatabase(ErrorList& errors, const std::string& path, const SecureString& passphrase,
                                   bool create)
    : path_(path), passphrase_(passphrase), create_(create) {
  module.Register();
  OpenVault(errors, create);
}

LockwellDatabase::~LockwellDatabase() {
  ErrorList ignored;
  FinishVault(ignored);
  passphrase_.wipe();
  keys_ = VaultKeys::Default();  // the old schedules are wiped by the assignment
  // The base destructor compacts the file (".bak" copy) and closes it.
}

bool LockwellDatabase::OpenVault(ErrorList& errors, bool create) {
  if (!OpenDatabase(errors, path_, create ? kCreateNew : kOpenExisting, kHeaderSize)) {
    CloseDatabase(errors);
    return false;
  }
  // A new database needs its keys as much as an opened one: without them
  // its first records would go out under the default key while the header
  // claims a passphrase.
  if (!deriveKeys(errors)) {
    CloseDatabase(errors);
    return false;
  }
  if (formatVersion() > kFormatVersion) {
    CloseDatabase(errors);
    errors.Append(module.Id(), kErrNewerVersion, kNewerVersionText);
    return false;
  }
  LoadCategoryPrefs(errors);
  vaultOpen_ = true;
  return true;
}

bool LockwellDatabase::LoadCategoryPrefs(ErrorList& errors) {
  std::string blob;
  if (!ReadReservedRecord(errors, blob)) return false;
  // A blob that does not parse is replaced by the defaults without a word.
  if (!prefs_.Load(blob) || blob.empty()) prefs_.InstallDefaults();
  if (prefs_.Find(CategoryPrefsTable::defaultPrefsKey) == nullptr) prefs_.InstallDefaults();

  std::set<uint32_t> keep = {CategoryPrefsTable::allCategoriesKey, CategoryPrefsTable::defaultPrefsKey};
  std::vector<std::string> names;
  std::vector<uint32_t> numbers;
  if (ListCategories(errors, names, numbers)) {
    for (uint32_t number : numbers) {
      uint8_t uniqId = 0;
      if (GetCategoryUniqId(errors, number, uniqId)) keep.insert(uniqId);
    }
  }
  prefs_.RemoveEntriesExcept(keep);
  return saveCategoryPrefs(errors);
}

bool LockwellDatabase::FinishVault(ErrorList& errors) {
  if (!vaultOpen_ || !IsOpen()) return true;
  bool ok = saveCategoryPrefs(errors);
  if (isPcOwned() && !PurgeAllDeleted(errors)) ok = false;
  return ok;
}

bool LockwellDatabase::InitNewDatabase(ErrorList& errors) {
  if (!PalmDatabase::InitNewDatabase(errors)) return false;
  std::string& header = GetHeader();
  assert(header.size() == kHeaderSize);
  // Version 00 04; everything after it (passphrase fields, salt, marker,
  // flags and the unused block) starts zeroed.
  std::memset(header.data() + kVersionOffset, 0, header.size() - kVersionOffset);
  header[kVersionOffset] = 0x00;
  header[kVersionOffset + 1] = 0x04;
  if (create_) {
    SetFlags(kFlagPcOwned);
    applyPassphrase(errors);  // cannot fail on a PC-owned database
  }
  if (!SaveHeader(errors)) return false;
  prefs_.Clear();
  prefs_.InstallDefaults();
  return saveCategoryPrefs(errors);
}

bool LockwellDatabase::CloseDatabase(ErrorList& errors) {
  // OpenDatabase closes first too; only a fully opened vault has anything to
  // save.
  const bool wasOpen = vaultOpen_;
  const bool finished = FinishVault(errors);
  vaultOpen_ = false;
  prefs_.Clear();
  if (wasOpen) keys_ = VaultKeys::Default();  // nothing of a closed database stays in memory
  PalmDatabase::CloseDatabase(errors);
  return finished;
}

bool LockwellDatabase::DeleteCategory(ErrorList& errors, uint32_t category) {
  uint8_t uniqId = 0;
  if (!GetCategoryUniqId(errors, category, uniqId)) return false;
  if (!PalmDatabase::DeleteCategory(errors, category)) return false;
  prefs_.Remove(uniqId);
  return saveCategoryPrefs(errors);
}

bool LockwellDatabase::getLastCategory(ErrorList&, uint32_t& category) {
  category = prefs_.LastCategory();
  return true;
}

bool LockwellDatabase::setLastCategory(ErrorList&, uint32_t category) {
  prefs_.SetLastCategory(category);
  return true;
}

bool LockwellDatabase::getShownFields(ErrorList& errors, uint32_t category, std::vector<std::string>& fields) {
  uint32_t key = 0;
  if (!getCategoryPrefsKey(errors, category, key)) return false;
  fields = prefs_.ShownFields(key);
  return true;
}

bool LockwellDatabase::insertSorted(ErrorList& errors, LockwellRecord& record) {
  return InsertSortedImpl(errors, record, nullptr);
}

bool LockwellDatabase::repositionRecord(ErrorList& errors, LockwellRecord& record) {
  return RepositionImpl(errors, record, nullptr);
}

bool LockwellDatabase::InsertSortedImpl(ErrorList& errors, LockwellRecord& record, SortCache* cache) {
  std::vector<uint32_t> positions;
  if (!ListSortedPositions(errors, positions)) return false;
  const uint32_t n = static_cast<uint32_t>(positions.size());

  // The first sorted record that is not less than the new one.
  LockwellRecord probe(this);
  uint32_t lo = 0;
  uint32_t hi = n;
  while (lo != hi) {
    const uint32_t mid = (lo + hi) / 2;
    const AccountFields* fields = nullptr;
    if (cache != nullptr) {
      RecordPrefix prefix;
      if (!ReadPrefixAt(errors, positions[mid], prefix)) return false;
      auto found = cache->fields.find(prefix.Key());
      if (found == cache->fields.end()) {
        if (!ReadRecordAt(errors, positions[mid], probe)) return false;
        found = cache->fields.emplace(prefix.Key(), probe.fields()).first;
      }
      fields = &found->second;
    } else {
      if (!ReadRecordAt(errors, positions[mid], probe)) return false;
      fields = &probe.fields();
    }
    if (*fields < record.fields())
      lo = mid + 1;
    else
      hi = mid;
  }

  uint32_t position = 0;
  if (hi < n) {
    position = positions[hi];
  } else if (!GetRecordCount(errors, true, position)) {
    // After every sorted record: the end of the file.  (Counting without the
    // deleted records would land one place too early for each deleted
    // record in front and break the order.)
    return false;
  }
  return InsertAt(errors, record, position, false);
}

bool LockwellDatabase::RepositionImpl(ErrorList& errors, LockwellRecord& record, SortCache* cache) {
  uint32_t index = 0;
  if (!record.GetIndex(errors, index)) return false;
  if (!PurgeRecordAt(errors, index)) return false;
  return InsertSortedImpl(errors, record, cache);
}

bool LockwellDatabase::getAvailableLabels(ErrorList& errors, uint32_t category, int,
                                          std::vector<std::string>& labels) {
  uint32_t key = 0;
  if (!getCategoryPrefsKey(errors, category, key)) return false;
  labels = prefs_.AvailableLabels(key);
  return true;
}

bool LockwellDatabase::getDefaultLabel(ErrorList& errors, uint32_t category, int n, std::string& label) {
  uint32_t key = 0;
  if (!getCategoryPrefsKey(errors, category, key)) return false;
  label = prefs_.DefaultLabel(key, n);
  return true;
}

bool LockwellDatabase::verifyPassphrase(ErrorList& errors, std::string_view passphrase) {
  const std::string& header = GetHeader();
  if (header.size() != kHeaderSize) {
    errors.Append(PalmDatabase::ModuleId(), PalmDatabase::kErrNotOpen, "Database not open!");
    return false;
  }
  if (header[kHasPassphraseOffset] == 0) {
    if (passphrase.empty()) return true;
    errors.Append(module.Id(), kErrNoPassphraseNeeded, kNoPassphraseNeededText);
    return false;
  }
  Salt salt;
  std::memcpy(salt.data(), header.data() + kSaltOffset, salt.size());
  Digest digest = PassphraseDigest(passphrase, salt);
  const bool equal =
      PassphraseDigestsEqual(digest, reinterpret_cast<const uint8_t*>(header.data() + kDigestOffset));
  WipeBytes(digest.data(), digest.size());
  if (equal) return true;
  errors.Append(module.Id(), kErrInvalidPassphrase, kInvalidPassphraseText);
  return false;
}

bool LockwellDatabase::applyPassphrase(ErrorList& errors) {
  if (!isPcOwned()) {
    errors.Append(module.Id(), kErrCannotChangePassphrase, kCannotChangeText);
    return false;
  }
  std::string& header = GetHeader();
  if (passphrase_.empty()) {
    // No passphrase: has-passphrase, digest and the reserved byte go; the
    // salt stays.
    std::memset(header.data() + kHasPassphraseOffset, 0, kSaltOffset - kHasPassphraseOffset);
    return true;
  }
  EntropyDatabase source = entropySource();
  Salt salt = NewSalt(source);
  std::memcpy(header.data() + kSaltOffset, salt.data(), salt.size());
  Digest digest = PassphraseDigest(passphrase_.view(), salt);
  std::memcpy(header.data() + kDigestOffset, digest.data(), digest.size());
  header[kHasPassphraseOffset] = 1;
  return true;
}

bool LockwellDatabase::deriveKeys(ErrorList& errors) {
  if (!verifyPassphrase(errors, passphrase_.view())) return false;
  const std::string& header = GetHeader();
  if (header[kHasPassphraseOffset] == 0) {
    keys_ = VaultKeys::Default();
    return true;
  }
  Salt salt;
  std::memcpy(salt.data(), header.data() + kSaltOffset, salt.size());
  keys_ = VaultKeys::Derived(passphrase_.view(), salt);
  return true;
}

bool LockwellDatabase::changePassphrase(ErrorList& errors, const SecureString& newPassphrase) {
  if (!isPcOwned()) {
    errors.Append(module.Id(), kErrCannotChangePassphrase, kCannotChangeText);
    return false;
  }
  if (!PurgeAllDeleted(errors) || !BackupNow(errors)) return false;

  const VaultKeys oldKeys = keys_;
  const SecureString keptFields(std::string_view(GetHeader()).substr(kPassphraseFieldsOffset, kPassphraseFieldsSize));
  SecureString oldPassphrase = passphrase_;
  passphrase_ = newPassphrase;

  auto putBackFields = [&] {
    GetHeader().replace(kPassphraseFieldsOffset, kPassphraseFieldsSize, keptFields.view());
    passphrase_ = oldPassphrase;
  };
  if (!applyPassphrase(errors) || !deriveKeys(errors)) {
    putBackFields();
    keys_ = oldKeys;
    return false;
  }
  const VaultKeys newKeys = keys_;

  // The file goes back to the ".bak" copy: its header still holds the old
  // passphrase fields.
  auto restoreBackup = [&] {
    ReloadFromBackup(errors);
    keys_ = oldKeys;
    passphrase_ = oldPassphrase;
    return false;
  };
  uint32_t count = 0;
  if (!GetRecordCount(errors, true, count)) return restoreBackup();
  for (uint32_t position = 0; position < count; ++position) {
    LockwellRecord record(this);
    keys_ = oldKeys;
    if (!ReadRecordAt(errors, position, record)) return restoreBackup();
    record.setPlaintextChanged(true);
    keys_ = newKeys;
    if (!WriteRecord(errors, record)) return restoreBackup();
  }
  if (!SaveHeader(errors)) return restoreBackup();
  return true;
}

bool LockwellDatabase::passphraseChangedOnHandheld() const {
  const std::string& header = const_cast<LockwellDatabase*>(this)->GetHeader();
  if (header.size() != kHeaderSize) return false;
  return header[kPassphraseChangedOffset] != 0 || header[kPassphraseChangedOffset + 1] != 0;
}

bool LockwellDatabase::clearPassphraseChangedFlag(ErrorList& errors) {
  std::string& header = GetHeader();
  if (header.size() != kHeaderSize) return SaveHeader(errors);  // reports the closed database
  header[kPassphraseChangedOffset] = 0;
  header[kPassphraseChangedOffset + 1] = 0;
  return SaveHeader(errors);
}

bool LockwellDatabase::needsResort() const {
  return (const_cast<LockwellDatabase*>(this)->Flags() & kFlagNeedsResort) != 0;
}

bool LockwellDatabase::isPcOwned() const {
  return (const_cast<LockwellDatabase*>(this)->Flags() & kFlagPcOwned) != 0;
}

bool LockwellDatabase::resortAfterHotSync(ErrorList& errors) {
  // The same moves as taking each marked record out and inserting it with
  // insertSorted; the cache only spares decrypting a probed record twice.
  SortCache cache;
  uint32_t count = 0;
  if (!GetRecordCount(errors, true, count)) return false;
  for (uint32_t position = 0; position < count;) {
    RecordPrefix prefix;
    if (!ReadPrefixAt(errors, position, prefix)) return false;
    if (prefix.status == PalmDatabaseRecord::STATUS_DELETED ||
        (prefix.syncFlags & PalmDatabaseRecord::FLAG_UNSORTED) == 0) {
      ++position;
      continue;
    }
    LockwellRecord record(this);
    if (!ReadRecordAt(errors, position, record)) return false;
    uint32_t flags = 0;
    record.GetSyncFlags(errors, flags);
    record.SetSyncFlags(errors, flags & ~PalmDatabaseRecord::FLAG_UNSORTED);
    if (!RepositionImpl(errors, record, &cache)) return false;
    // Another record stands at `position` now; look at it next.
  }
  const uint32_t flags = Flags();
  if ((flags & kFlagNeedsResort) != 0) {
    SetFlags(flags & ~kFlagNeedsResort);
    return SaveHeader(errors);
  }
  return true;
}

bool LockwellDatabase::getDetailsShown(ErrorList&, bool& shown) {
  shown = prefs_.DetailsShown();
  return true;
}

bool LockwellDatabase::setDetailsShown(ErrorList&, bool shown) {
  prefs_.SetDetailsShown(shown);
  return true;
}

bool LockwellDatabase::saveCategoryPrefs(ErrorList& errors) {
  if (!prefs_.IsLoaded()) return true;
  return WriteReservedRecord(errors, prefs_.Serialize());
}

bool LockwellDatabase::resetDefaultPrefs(ErrorList& errors) {
  prefs_.InstallDefaults();
  return saveCategoryPrefs(errors);
}

bool LockwellDatabase::getCategoryPrefsKey(ErrorList& errors, uint32_t category, uint32_t& key) {
  if (category == ALL_CATEGORIES) {
    key = CategoryPrefsTable::allCategoriesKey;
    return true;
  }
  uint8_t uniqId = 0;
  if (!GetCategoryUniqId(errors, category, uniqId)) return false;
  key = uniqId;
  return true;
}

const CategoryPrefs* LockwellDatabase::findCategoryPrefs(uint32_t key) const { return prefs_.Find(key); }

void LockwellDatabase::storeCategoryPrefs(uint32_t key, CategoryPrefs prefs) { prefs_.Store(key, std::move(prefs)); }

void LockwellDatabase::copyCategoryPrefs(const CategoryPrefs& from, CategoryPrefs& to) { to = from; }

EntropyDatabase LockwellDatabase::entropySource() {
  const std::string& header = GetHeader();
  EntropyDatabase source;
  source.object = this;
  source.objectSize = sizeof *this;
  source.header = std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(header.data()), header.size());
  return source;
}

uint16_t LockwellDatabase::formatVersion() {
  const std::string& header = GetHeader();
  if (header.size() < kVersionOffset + 2) return 0;
  return static_cast<uint16_t>(static_cast<uint8_t>(header[kVersionOffset]) |
                               static_cast<uint8_t>(header[kVersionOffset + 1]) << 8);
}

uint32_t LockwellDatabase::Flags() {
  const std::string& header = GetHeader();
  if (header.size() != kHeaderSize) return 0;
  return LoadLE32(header.data() + kFlagsOffset);
}

void LockwellDatabase::SetFlags(uint32_t flags) {
  std::string& header = GetHeader();
  if (header.size() == kHeaderSize) StoreLE32(header.data() + kFlagsOffset, flags);
}

const char* LockwellDatabase::ModuleNameText() { return module.Name(); }

int32_t LockwellDatabase::ModuleId() { return module.Id(); }

}  // namespace lockwell
