#include "vault/LockwellRecord.h"

#include "vault/LockwellDatabase.h"
#include "vault/RecordCipher.h"
#include "vault/RecordModule.h"

namespace lockwell {
namespace {

// A record cannot be encrypted or decrypted without the database that holds
// the keys; reported as the base class reports a missing parent.
bool ReportNoOwner(ErrorList& errors) {
  errors.Append(PalmDatabaseRecord::ModuleId(), PalmDatabaseRecord::kErrNoDatabase,
                "Internal error: Parent object of PalmDatabaseRecord not set!");
  return false;
}

}  // namespace

LockwellRecord::LockwellRecord(ErrorList& errors, LockwellDatabase* database, bool assignNewId)
    : PalmDatabaseRecord(errors, database, assignNewId) {
  RecordModule().Register();
}

LockwellRecord::LockwellRecord(LockwellDatabase* database) : PalmDatabaseRecord(database) {
  RecordModule().Register();
}

LockwellRecord::~LockwellRecord() = default;  // the SecureStrings wipe themselves

bool LockwellRecord::Reset(ErrorList& errors, bool assignNewId) {
  if (!PalmDatabaseRecord::Reset(errors, assignNewId)) return false;
  fields_.clear();
  plaintextChanged_ = false;
  return true;
}

bool LockwellRecord::Deserialize(ErrorList& errors, const std::string& bytes, uint32_t position) {
  if (!PalmDatabaseRecord::Deserialize(errors, bytes, position)) return false;
  LockwellDatabase* database = owner();
  if (database == nullptr) return ReportNoOwner(errors);

  // The payload sits in `bytes` right after the prefix; decrypt it there
  // rather than through a copy.
  std::string_view body(bytes.data() + RecordPrefix::kSize, bytes.size() - RecordPrefix::kSize);
  uint32_t recordId = 0;
  bool desktopId = false;
  GetRecordId(errors, recordId, desktopId);
  BodyRecord about;
  about.recordId = recordId;
  GetExtra(errors, about.extra);
  about.alternatePassphrase = hasAlternatePassphrase_ ? &alternatePassphrase_ : nullptr;

  SecureBytes plaintext;
  if (!DecryptBody(errors, database->keys(), body, about, plaintext)) return false;
  if (!fields_.parsePlaintext(errors, plaintext)) return false;
  plaintextChanged_ = false;
  return true;
}

bool LockwellRecord::Serialize(ErrorList& errors, std::string& bytes) {
  std::string payload;
  GetPayload(errors, payload);
  // A record that never had a body must get one, changed or not: an empty
  // payload could never be read back.
  if (plaintextChanged_ || payload.empty()) {
    LockwellDatabase* database = owner();
    if (database == nullptr) return ReportNoOwner(errors);
    uint32_t recordId = 0;
    bool desktopId = false;
    GetRecordId(errors, recordId, desktopId);
    EntropyDatabase source = database->entropySource();
    SecureBytes plaintext = fields_.buildPlaintext();
    SetPayload(errors, EncryptBody(database->keys(), NewIv(&source, recordId), plaintext));
  }
  return PalmDatabaseRecord::Serialize(errors, bytes);
}

bool LockwellRecord::getTitle(ErrorList&, SecureString& title) const {
  title = fields_.title();
  return true;
}

bool LockwellRecord::setTitle(ErrorList&, std::string_view title) {
  fields_.setTitle(title);
  plaintextChanged_ = true;
  return true;
}

bool LockwellRecord::getNote(ErrorList&, SecureString& note) const {
  note = fields_.note();
  return true;
}

bool LockwellRecord::setNote(ErrorList&, std::string_view note) {
  fields_.setNote(note);
  plaintextChanged_ = true;
  return true;
}

bool LockwellRecord::getField(ErrorList& errors, int fieldNumber, SecureString& label, SecureString& value) const {
  return fields_.getField(errors, fieldNumber, label, value);
}

bool LockwellRecord::setField(ErrorList& errors, int fieldNumber, std::string_view label, std::string_view value) {
  if (!fields_.setField(errors, fieldNumber, label, value)) return false;
  plaintextChanged_ = true;
  return true;
}

bool LockwellRecord::findFieldValue(ErrorList& errors, std::string_view name, SecureString& value) const {
  return fields_.findFieldValue(errors, name, value);
}

bool LockwellRecord::setAlternatePassphrase(ErrorList&, std::string_view passphrase) {
  alternatePassphrase_.wipe();
  alternatePassphrase_.assign(passphrase.data(), passphrase.size());
  hasAlternatePassphrase_ = true;
  return true;
}

bool LockwellRecord::containsText(ErrorList& errors, std::string_view query, bool caseSensitive, bool& found) const {
  return fields_.containsText(errors, query, caseSensitive, found);
}

LockwellDatabase* LockwellRecord::owner() const { return dynamic_cast<LockwellDatabase*>(GetDatabase()); }

}  // namespace lockwell
