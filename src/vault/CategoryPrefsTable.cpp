#include "vault/CategoryPrefsTable.h"

#include <utility>

namespace lockwell {
namespace {

// Reads the stored form front to back; every read checks the bytes left
// first, so a hostile count or length can neither overrun the blob nor make
// us allocate more than the blob could hold.
class BlobReader {
 public:
  explicit BlobReader(const std::string& blob) : blob_(blob) {}

  bool Word(uint32_t& value) {
    if (Left() < 4) return false;
    value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(blob_[at_ + i]);
    at_ += 4;
    return true;
  }
  bool Byte(uint8_t& value) {
    if (Left() < 1) return false;
    value = static_cast<uint8_t>(blob_[at_++]);
    return true;
  }
  bool Text(std::string& text) {
    uint32_t length;
    if (!Word(length) || length > Left()) return false;
    text.assign(blob_, at_, length);
    at_ += length;
    return true;
  }
  bool TextList(std::vector<std::string>& list) {
    uint32_t count;
    // Each text takes at least its 4-byte length.
    if (!Word(count) || count > Left() / 4) return false;
    list.resize(count);
    for (auto& text : list)
      if (!Text(text)) return false;
    return true;
  }
  size_t Left() const { return blob_.size() - at_; }

 private:
  const std::string& blob_;
  size_t at_ = 0;
};

void PutWord(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void PutText(std::string& out, const std::string& text) {
  PutWord(out, static_cast<uint32_t>(text.size()));
  out += text;
}

bool ReadEntry(BlobReader& reader, CategoryPrefs& prefs) {
  uint8_t useDefault;
  if (!reader.Byte(useDefault)) return false;
  prefs.useDefault = useDefault != 0;
  if (prefs.useDefault) return true;
  if (!reader.TextList(prefs.shownFields) || !reader.TextList(prefs.availableLabels)) return false;
  for (auto& label : prefs.defaultLabels)
    if (!reader.Text(label)) return false;
  return true;
}

}  // namespace

void CategoryPrefsTable::Clear() {
  entries_.clear();
  lastCategory_ = 0;
  viewFlags_ = 0;
  loaded_ = false;
}

bool CategoryPrefsTable::Load(const std::string& blob) {
  Clear();
  if (blob.empty()) return true;
  BlobReader reader(blob);
  uint32_t count;
  if (!reader.Word(lastCategory_) || !reader.Word(viewFlags_) || !reader.Word(count)) {
    Clear();
    return false;
  }
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t key;
    CategoryPrefs prefs;
    if (!reader.Word(key) || !ReadEntry(reader, prefs)) {
      Clear();
      return false;
    }
    entries_[key] = std::move(prefs);
  }
  loaded_ = true;
  return true;
}

std::string CategoryPrefsTable::Serialize() const {
  std::string out;
  PutWord(out, lastCategory_);
  PutWord(out, viewFlags_);
  PutWord(out, static_cast<uint32_t>(entries_.size()));
  for (const auto& [key, prefs] : entries_) {
    PutWord(out, key);
    out.push_back(prefs.useDefault ? 1 : 0);
    if (prefs.useDefault) continue;
    PutWord(out, static_cast<uint32_t>(prefs.shownFields.size()));
    for (const auto& field : prefs.shownFields) PutText(out, field);
    PutWord(out, static_cast<uint32_t>(prefs.availableLabels.size()));
    for (const auto& label : prefs.availableLabels) PutText(out, label);
    for (const auto& label : prefs.defaultLabels) PutText(out, label);
  }
  return out;
}

void CategoryPrefsTable::InstallDefaults() {
  entries_[defaultPrefsKey] = CategoryPrefs::BuiltInDefaults();
  loaded_ = true;
}

void CategoryPrefsTable::RemoveEntriesExcept(const std::set<uint32_t>& keep) {
  std::erase_if(entries_, [&](const auto& entry) { return !keep.contains(entry.first); });
}

const CategoryPrefs* CategoryPrefsTable::Find(uint32_t key) const {
  auto found = entries_.find(key);
  return found == entries_.end() ? nullptr : &found->second;
}

void CategoryPrefsTable::Store(uint32_t key, CategoryPrefs prefs) { entries_[key] = std::move(prefs); }

void CategoryPrefsTable::Remove(uint32_t key) { entries_.erase(key); }

const CategoryPrefs* CategoryPrefsTable::Effective(uint32_t key) const {
  const CategoryPrefs* own = Find(key);
  if (own != nullptr && !own->useDefault) return own;
  // The default entry answers whatever its own use-default byte says.
  return Find(defaultPrefsKey);
}

std::vector<std::string> CategoryPrefsTable::ShownFields(uint32_t key) const {
  const CategoryPrefs* prefs = Effective(key);
  return prefs ? prefs->shownFields : std::vector<std::string>{"Title"};
}

std::vector<std::string> CategoryPrefsTable::AvailableLabels(uint32_t key) const {
  const CategoryPrefs* prefs = Effective(key);
  return prefs ? prefs->availableLabels : std::vector<std::string>{"Login:"};
}

std::string CategoryPrefsTable::DefaultLabel(uint32_t key, int n) const {
  const CategoryPrefs* prefs = Effective(key);
  if (prefs == nullptr || n < 0 || n > 4) return " ";
  return prefs->defaultLabels[n];
}

}  // namespace lockwell
