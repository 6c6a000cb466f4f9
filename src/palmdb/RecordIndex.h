// The decoded prefixes of every Palm record of an open database, by position.
//
// The record file is locked while the database is open, so nothing but the
// database itself changes it; the database updates this index after every
// successful insert, write and delete, and the scans then run in memory
// instead of reading the file once per record.  Record bodies still come from
// the file.
//
// Position p here is the Palm position: record-file record p + 1 (record 0 of
// the file is reserved and has no entry).
//
// Invariants:
//   1. entry p equals the first 25 bytes of record-file record p + 1;
//   2. deleted_ is the number of entries whose status is STATUS_DELETED;
//   3. when firstByKey_ is not stale it maps every key to its lowest position;
//   4. a valid cursor_ names the position of the n-th live record of its
//      category, counting from 0.
// Not thread-safe; the program is single-threaded.
#pragma once

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "palmdb/RecordKey.h"
#include "palmdb/RecordPrefix.h"

namespace lockwell {

class RecordIndex {
 public:
  void Clear();
  uint32_t Size() const { return static_cast<uint32_t>(prefixes_.size()); }
  // REQUIRES: position < Size().
  const RecordPrefix& At(uint32_t position) const { return prefixes_[position]; }

  void Append(const RecordPrefix& prefix);
  // REQUIRES: position <= Size().  Entries from `position` on move up.
  void Insert(uint32_t position, const RecordPrefix& prefix);
  // REQUIRES: position < Size().  Entries after `position` move down.
  void Erase(uint32_t position);
  // REQUIRES: position < Size().
  void Update(uint32_t position, const RecordPrefix& prefix);

  uint32_t DeletedCount() const { return deleted_; }

  // The lowest position whose key is `key`, deleted records included.
  std::optional<uint32_t> FindFirstByKey(const RecordKey& key) const;
  // The position of the n-th (from 0) record that is not deleted and lies in
  // `category` (any category for ALL_CATEGORIES).  A walk over n, forward or
  // backward, costs constant time per step.
  std::optional<uint32_t> FindNth(uint32_t category, uint32_t n) const;

  // True when `prefix` is not deleted and lies in `category`.
  static bool Matches(const RecordPrefix& prefix, uint32_t category);

  // Recounts everything the invariants promise; for tests and debug checks.
  bool CheckInvariants() const;

 private:
  void Forget();
  void Count(const RecordPrefix& prefix, int delta);

  struct Cursor {
    bool valid = false;
    uint32_t category = 0;
    uint32_t n = 0;
    uint32_t position = 0;
  };

  std::vector<RecordPrefix> prefixes_;
  uint32_t deleted_ = 0;
  mutable std::unordered_map<RecordKey, uint32_t, RecordKeyHash> firstByKey_;
  mutable bool keysStale_ = true;
  mutable Cursor cursor_;
};

}  // namespace lockwell
