// LockwellDatabase: the open account database.  A PalmDatabase whose records
// are LockwellRecords, plus everything that depends on the passphrase: the
// passphrase check, the three DES key schedules, the passphrase change of a
// database made on the PC, the re-sort after a HotSync, the pieces of the
// conflict pass after a passphrase change on the handheld, and the category
// display preferences kept in the reserved record 0.
//
// Vault part of the header area (the first 284 bytes are PalmHeaderView's).
// WARNING: embedded in every .lwdb file and shared with the handheld program
// and the conduit; never change it.
//
//   OFFSET SIZE  MEANING
//      284    2  format version, written 00 04 (1024 read little-endian);
//                a database above 1024 is refused
//      286    1  has-passphrase: 0 none (default key), 1 salt and digest valid
//      287   16  passphrase digest (PassphraseDigest over passphrase, salt)
//      303    1  reserved; zeroed with 286-302 when the passphrase goes
//      304    8  salt of key derivation and of the digest
//      312    2  passphrase-changed marker: nonzero when the handheld changed
//                the passphrase since the PC last processed the file
//      314    2  not used here
//      316    4  flags: bit 0 records must be re-sorted; bit 1 PC-owned
//      320 4096  not used here; zeroed on creation
//
// Ownership: owns its record file (through PalmDatabase), the keys, the
// passphrase and the preferences table.  Records point back to it.  The keys
// and the passphrase are wiped when the object goes away.
// Lifecycle: constructed -> open (keys valid, preferences loaded) -> closed by
// CloseDatabase or the destructor.  An object that failed to open is closed
// at once and is only fit to be destroyed.
// Not thread-safe; the program is single-threaded.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "palmdb/PalmDatabase.h"
#include "storage/ErrorList.h"
#include "storage/SecureString.h"
#include "vault/CategoryPrefs.h"
#include "vault/CategoryPrefsTable.h"
#include "vault/EntropyDigest.h"
#include "vault/VaultKeys.h"

namespace lockwell {

class LockwellRecord;

class LockwellDatabase : public PalmDatabase {
 public:
  static constexpr uint32_t kHeaderSize = 4416;
  static constexpr size_t kVersionOffset = 284;
  static constexpr size_t kHasPassphraseOffset = 286;
  static constexpr size_t kDigestOffset = 287;
  static constexpr size_t kReservedOffset = 303;
  static constexpr size_t kSaltOffset = 304;
  static constexpr size_t kPassphraseChangedOffset = 312;
  static constexpr size_t kFlagsOffset = 316;
  static constexpr size_t kUnusedOffset = 320;
  static constexpr size_t kUnusedSize = 4096;

  static constexpr uint16_t kFormatVersion = 1024;
  static constexpr uint32_t kFlagNeedsResort = 1;
  static constexpr uint32_t kFlagPcOwned = 2;

  // Codes of this module (callers test them together with ModuleId()).
  static constexpr uint32_t kErrInvalidPassphrase = 0x80010000;
  static constexpr uint32_t kErrNoPassphraseNeeded = 0x80010001;
  static constexpr uint32_t kErrCannotChangePassphrase = 0x80010002;
  static constexpr uint32_t kErrNewerVersion = 0x80030000;

  // Opens `path` with `passphrase` (create: creates a new PC-owned database
  // protected by it; an empty passphrase means none).  Test IsOpen
  // afterwards; the reasons for a failure are in `errors` and the object is
  // then closed.
  LockwellDatabase(ErrorList& errors, const std::string& path, const SecureString& passphrase, bool create);
  // If open: saves the preferences, purges deleted records of a PC-owned
  // database; wipes keys and passphrase; then the base compacts and closes.
  ~LockwellDatabase() override;

  // Overridden slots of PalmDatabase.
  bool InitNewDatabase(ErrorList& errors) override;
  bool CloseDatabase(ErrorList& errors) override;
  // Also drops the category's preferences entry and saves the preferences.
  bool DeleteCategory(ErrorList& errors, uint32_t category) override;

  // New virtual operations, in their fixed slot order after the base's.
  virtual bool getLastCategory(ErrorList& errors, uint32_t& category);
  // Memory only; reaches the file with the next saveCategoryPrefs.
  virtual bool setLastCategory(ErrorList& errors, uint32_t category);
  // `category` is a category number 0..15 or ALL_CATEGORIES (4095).
  virtual bool getShownFields(ErrorList& errors, uint32_t category, std::vector<std::string>& fields);
  // Inserts a record that is not stored yet at its sorted place among the
  // sorted records; it is not marked new here (AssignNewId did that).
  virtual bool insertSorted(ErrorList& errors, LockwellRecord& record);
  // Takes a stored record out of its place and inserts it at its sorted one.
  virtual bool repositionRecord(ErrorList& errors, LockwellRecord& record);
  // The field number does not change the answer.
  virtual bool getAvailableLabels(ErrorList& errors, uint32_t category, int fieldNumber,
                                  std::vector<std::string>& labels);
  // n = 0..4.
  virtual bool getDefaultLabel(ErrorList& errors, uint32_t category, int n, std::string& label);

  // True when `passphrase` opens this database (compared in constant time).
  bool verifyPassphrase(ErrorList& errors, std::string_view passphrase);
  // Stores a fresh salt and the digest of the current passphrase (or clears
  // the passphrase fields when it is empty) in the header in memory only.
  // Only for a PC-owned database.
  bool applyPassphrase(ErrorList& errors);
  // Verifies the current passphrase and builds the keys from it.
  bool deriveKeys(ErrorList& errors);
  // Re-encrypts every record under `newPassphrase` (empty: no passphrase,
  // default key).  Only for a PC-owned database.  A failure restores the
  // file from the ".bak" copy taken first and keeps the old passphrase.
  bool changePassphrase(ErrorList& errors, const SecureString& newPassphrase);
  bool passphraseChangedOnHandheld() const;
  bool clearPassphraseChangedFlag(ErrorList& errors);
  bool needsResort() const;
  bool isPcOwned() const;
  // Moves every record marked FLAG_UNSORTED to its sorted place and clears
  // the flag, then the header's re-sort flag.
  bool resortAfterHotSync(ErrorList& errors);
  bool getDetailsShown(ErrorList& errors, bool& shown);
  // Memory only; reaches the file with the next saveCategoryPrefs.
  bool setDetailsShown(ErrorList& errors, bool shown);
  // Writes the preferences to record 0, if they were loaded.
  bool saveCategoryPrefs(ErrorList& errors);
  // Puts the built-in defaults under the default key and saves.
  bool resetDefaultPrefs(ErrorList& errors);

  // Direct table access for the preferences dialog.  Keys: a category's
  // unique ID, CategoryPrefsTable::allCategoriesKey or defaultPrefsKey.
  // The key of a category number 0..15 or ALL_CATEGORIES.
  bool getCategoryPrefsKey(ErrorList& errors, uint32_t category, uint32_t& key);
  // The entry stored under `key`, or null; valid until the table changes.
  const CategoryPrefs* findCategoryPrefs(uint32_t key) const;
  // Stores `prefs` under `key`, replacing any previous entry (memory only).
  void storeCategoryPrefs(uint32_t key, CategoryPrefs prefs);
  static void copyCategoryPrefs(const CategoryPrefs& from, CategoryPrefs& to);
  const CategoryPrefsTable& categoryPrefsTable() const { return prefs_; }

  // For the records: the keys that encrypt them and what a new IV is mixed
  // from.
  const VaultKeys& keys() const { return keys_; }
  EntropyDatabase entropySource();
  // Header bytes 284-285 read little-endian.
  uint16_t formatVersion();

  static const char* ModuleNameText();
  // 0 until the first database object was constructed.
  static int32_t ModuleId();

 private:
  // Saves the preferences and purges deleted records of a PC-owned
  // database, when fully open.
  bool FinishVault(ErrorList& errors);
  bool OpenVault(ErrorList& errors, bool create);
  bool LoadCategoryPrefs(ErrorList& errors);
  // Shared by insertSorted and the re-sort: `cache` (may be null) keeps the
  // decrypted sort keys of probed records by record key.
  struct SortCache;
  bool InsertSortedImpl(ErrorList& errors, LockwellRecord& record, SortCache* cache);
  bool RepositionImpl(ErrorList& errors, LockwellRecord& record, SortCache* cache);
  uint32_t Flags();
  void SetFlags(uint32_t flags);

  std::string path_;
  SecureString passphrase_;
  VaultKeys keys_;
  bool create_ = false;
  CategoryPrefsTable prefs_;
  bool vaultOpen_ = false;  // keys derived and preferences loaded
};

}  // namespace lockwell
