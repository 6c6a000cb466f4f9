// LockwellRecord: one account of the vault, a PalmDatabaseRecord whose
// payload is the encrypted account body (RecordCipher.h).
//
// Loading (Deserialize) decrypts the body with the owning database's keys,
// checks its digest and parses the twelve texts (AccountFields); saving
// (Serialize) encrypts the texts again under a fresh IV, but only when a text
// was changed since the last load: while `plaintextChanged` is false the
// stored body is written back byte for byte, so a record that is only moved
// or re-flagged keeps the ciphertext the handheld wrote.  A record that never
// had a body (built in memory, or Reset) is always encrypted when saved.
//
// Ownership: the record points at its LockwellDatabase (the base class's
// `database`) without owning it; that database supplies the key schedules
// and the entropy of new IVs.  The texts live in SecureStrings and are wiped
// with the record.
//
// Errors are reported under "Tallmark Lockwell Record Class"
// (RecordModule.h), registered by the first constructor call.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "palmdb/PalmDatabaseRecord.h"
#include "storage/ErrorList.h"
#include "storage/SecureString.h"
#include "vault/AccountFields.h"

namespace lockwell {

class LockwellDatabase;

class LockwellRecord : public PalmDatabaseRecord {
 public:
  // All texts empty, `plaintextChanged` false, no alternate passphrase; when
  // asked, the record gets a fresh desktop ID (and so becomes new).
  LockwellRecord(ErrorList& errors, LockwellDatabase* database, bool assignNewId);
  explicit LockwellRecord(LockwellDatabase* database = nullptr);
  ~LockwellRecord() override;

  LockwellRecord(const LockwellRecord&) = default;
  LockwellRecord& operator=(const LockwellRecord&) = default;

  // Overridden slots of PalmDatabaseRecord.
  // The base Reset, then every text emptied and `plaintextChanged` false.
  bool Reset(ErrorList& errors, bool assignNewId) override;
  // The base Deserialize, then the body decrypted, verified and parsed.  A
  // failure leaves the texts as far as they were read; the record is then
  // unusable.
  bool Deserialize(ErrorList& errors, const std::string& bytes, uint32_t position) override;
  // When `plaintextChanged` is set, or the record has no body yet: the texts
  // are encrypted into a new body (SetPayload, which marks the record
  // modified); then the base Serialize.  Needs the owning database's keys.
  bool Serialize(ErrorList& errors, std::string& bytes) override;

  bool getTitle(ErrorList& errors, SecureString& title) const;
  bool setTitle(ErrorList& errors, std::string_view title);
  bool getNote(ErrorList& errors, SecureString& note) const;
  bool setNote(ErrorList& errors, std::string_view note);
  // Field numbers 0..4; any other fails with "Invalid field number
  // specified" and changes nothing.
  bool getField(ErrorList& errors, int fieldNumber, SecureString& label, SecureString& value) const;
  // Stores " " for an empty label and appends ':' to a label without one.
  bool setField(ErrorList& errors, int fieldNumber, std::string_view label, std::string_view value);
  // "Title" and "Note" (with or without ':') give the title and the note;
  // otherwise the value of the first field whose label is exactly the name
  // with a ':'.  None: "Field name not found".
  bool findFieldValue(ErrorList& errors, std::string_view name, SecureString& value) const;
  // The passphrase a failed digest check retries with (salted with this
  // record's extra bytes); an empty one stands for the default key.
  bool setAlternatePassphrase(ErrorList& errors, std::string_view passphrase);
  // Whether `query` occurs in any text; never fails.
  bool containsText(ErrorList& errors, std::string_view query, bool caseSensitive, bool& found) const;
  // The account sort order (AccountFields::operator<).
  bool operator<(const LockwellRecord& other) const { return fields_ < other.fields_; }

  // Set by every text setter, cleared only by a successful load.  Setting
  // it by hand makes the next save encrypt again (a passphrase change, the
  // conflict pass).
  bool plaintextChanged() const { return plaintextChanged_; }
  void setPlaintextChanged(bool changed) { plaintextChanged_ = changed; }

  const AccountFields& fields() const { return fields_; }
  // The owning vault database, or null when the record has none.
  LockwellDatabase* owner() const;

 private:
  AccountFields fields_;
  bool plaintextChanged_ = false;
  bool hasAlternatePassphrase_ = false;
  SecureString alternatePassphrase_;
};

}  // namespace lockwell
