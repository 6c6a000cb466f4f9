#include "palmdb/RecordIndex.h"

#include <cassert>

#include "palmdb/CategoryConstants.h"
#include "palmdb/PalmDatabaseRecord.h"

namespace lockwell {

bool RecordIndex::Matches(const RecordPrefix& prefix, uint32_t category) {
  return prefix.status != PalmDatabaseRecord::STATUS_DELETED &&
         (category == ALL_CATEGORIES || prefix.category == category);
}

void RecordIndex::Clear() {
  prefixes_.clear();
  deleted_ = 0;
  Forget();
}

void RecordIndex::Forget() {
  firstByKey_.clear();
  keysStale_ = true;
  cursor_.valid = false;
}

void RecordIndex::Count(const RecordPrefix& prefix, int delta) {
  if (prefix.status == PalmDatabaseRecord::STATUS_DELETED) deleted_ += delta;
}

void RecordIndex::Append(const RecordPrefix& prefix) {
  prefixes_.push_back(prefix);
  Count(prefix, +1);
  // A record at the end moves nobody: the key map keeps its first
  // positions and the cursor keeps counting the same records.
  if (!keysStale_) firstByKey_.emplace(prefix.Key(), Size() - 1);
}

void RecordIndex::Insert(uint32_t position, const RecordPrefix& prefix) {
  assert(position <= Size());
  if (position == Size()) return Append(prefix);
  prefixes_.insert(prefixes_.begin() + position, prefix);
  Count(prefix, +1);
  Forget();
}

void RecordIndex::Erase(uint32_t position) {
  assert(position < Size());
  Count(prefixes_[position], -1);
  prefixes_.erase(prefixes_.begin() + position);
  Forget();
}

void RecordIndex::Update(uint32_t position, const RecordPrefix& prefix) {
  assert(position < Size());
  RecordPrefix& old = prefixes_[position];
  if (old.Key() != prefix.Key()) {
    firstByKey_.clear();
    keysStale_ = true;
  }
  bool wasLive = old.status != PalmDatabaseRecord::STATUS_DELETED;
  bool isLive = prefix.status != PalmDatabaseRecord::STATUS_DELETED;
  if (old.category != prefix.category || wasLive != isLive) cursor_.valid = false;
  Count(old, -1);
  Count(prefix, +1);
  old = prefix;
}

std::optional<uint32_t> RecordIndex::FindFirstByKey(const RecordKey& key) const {
  if (keysStale_) {
    firstByKey_.clear();
    firstByKey_.reserve(prefixes_.size());
    for (uint32_t p = 0; p < Size(); ++p) firstByKey_.emplace(prefixes_[p].Key(), p);
    keysStale_ = false;
  }
  auto found = firstByKey_.find(key);
  if (found == firstByKey_.end()) return std::nullopt;
  return found->second;
}

std::optional<uint32_t> RecordIndex::FindNth(uint32_t category, uint32_t n) const {
  // Start from the cursor when it is in the same category: forward when n
  // lies at or after it, backward when n lies before it and closer to it
  // than to the start.
  uint32_t start = 0;
  uint32_t counted = 0;  // matches before `start`
  if (cursor_.valid && cursor_.category == category) {
    if (n >= cursor_.n) {
      start = cursor_.position;
      counted = cursor_.n;
    } else if (cursor_.n - n <= n) {
      uint32_t seen = cursor_.n;
      for (uint32_t p = cursor_.position; p-- > 0;) {
        if (!Matches(prefixes_[p], category)) continue;
        if (--seen == n) {
          cursor_ = Cursor{true, category, n, p};
          return p;
        }
      }
      assert(false && "cursor counted more records than precede it");
    }
  }
  for (uint32_t p = start; p < Size(); ++p) {
    if (!Matches(prefixes_[p], category)) continue;
    if (counted == n) {
      cursor_ = Cursor{true, category, n, p};
      return p;
    }
    ++counted;
  }
  return std::nullopt;
}

bool RecordIndex::CheckInvariants() const {
  uint32_t deleted = 0;
  for (const RecordPrefix& prefix : prefixes_)
    if (prefix.status == PalmDatabaseRecord::STATUS_DELETED) ++deleted;
  if (deleted != deleted_) return false;
  if (!keysStale_) {
    for (uint32_t p = 0; p < Size(); ++p) {
      auto found = firstByKey_.find(prefixes_[p].Key());
      if (found == firstByKey_.end() || found->second > p) return false;
    }
  }
  if (cursor_.valid) {
    if (cursor_.position >= Size() || !Matches(prefixes_[cursor_.position], cursor_.category)) return false;
    uint32_t before = 0;
    for (uint32_t p = 0; p < cursor_.position; ++p)
      if (Matches(prefixes_[p], cursor_.category)) ++before;
    if (before != cursor_.n) return false;
  }
  return true;
}

}  // namespace lockwell
