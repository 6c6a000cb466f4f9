// Typed access to the first 284 bytes of a Palm database's header area.
//
// Byte layout.  The part up to offset 275 is the standard Palm OS category
// application-info block; its one 16-bit field is big-endian.  The two
// counters after it are little-endian.  The bytes from 284 on belong to the
// derived database class.
// WARNING: embedded in every .lwdb file and shared with the HotSync conduit;
// never change it.
//
//   OFFSET SIZE     MEANING
//        0    2     renamedCategories: bit i set = category i was added or
//                   renamed on the PC (big-endian)
//        2    16*16 categoryLabels: name of category i at 2 + 16 * i,
//                   NUL-terminated, at most 15 characters; empty = free slot
//      258   16     categoryUniqIds: unique ID of category i
//      274    1     lastUniqId: last unique ID given to a PC-made category
//      275    1     padding, 0
//      276    4     deletedCount: records whose status is deleted
//      280    4     lastDesktopRecordId: last record ID handed out on the PC
//
// The view does not own the buffer.  REQUIRES: the buffer holds at least
// kSize bytes for as long as the view is used.
#pragma once

#include <cassert>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "palmdb/ByteOrder.h"
#include "palmdb/CategoryConstants.h"

namespace lockwell {

class PalmHeaderView {
 public:
  static constexpr size_t kRenamedOffset = 0;
  static constexpr size_t kLabelsOffset = 2;
  static constexpr size_t kUniqIdsOffset = 258;
  static constexpr size_t kLastUniqIdOffset = 274;
  static constexpr size_t kPaddingOffset = 275;
  static constexpr size_t kDeletedCountOffset = 276;
  static constexpr size_t kLastDesktopIdOffset = 280;
  static constexpr size_t kSize = 284;

  explicit PalmHeaderView(std::string& header) : header_(header) { assert(header_.size() >= kSize); }

  uint16_t RenamedCategories() const { return LoadBE16(At(kRenamedOffset)); }
  void SetRenamedCategories(uint16_t bits) { StoreBE16(At(kRenamedOffset), bits); }
  void MarkRenamed(uint32_t category, bool renamed) {
    uint16_t bit = static_cast<uint16_t>(1u << category);
    SetRenamedCategories(renamed ? RenamedCategories() | bit : RenamedCategories() & ~bit);
  }

  // The name in slot `category` (< kCategoryCount), read up to its NUL and
  // never beyond the slot's 16 bytes.
  std::string CategoryName(uint32_t category) const {
    const char* slot = NameSlot(category);
    size_t length = 0;
    while (length < kCategoryNameSize && slot[length] != '\0') ++length;
    return std::string(slot, length);
  }
  bool HasCategoryName(uint32_t category) const { return NameSlot(category)[0] != '\0'; }
  // True when the slot's 16 bytes hold a terminating NUL.
  bool CategoryNameTerminated(uint32_t category) const {
    return std::memchr(NameSlot(category), '\0', kCategoryNameSize) != nullptr;
  }
  // REQUIRES: name.size() < kCategoryNameSize.  The rest of the slot is
  // filled with NULs.
  void SetCategoryName(uint32_t category, std::string_view name) {
    assert(name.size() < kCategoryNameSize);
    char* slot = NameSlot(category);
    std::memset(slot, 0, kCategoryNameSize);
    std::memcpy(slot, name.data(), name.size());
  }
  // Frees the slot: its first byte becomes NUL, as the handheld does.
  void ClearCategoryName(uint32_t category) { NameSlot(category)[0] = '\0'; }

  uint8_t CategoryUniqId(uint32_t category) const {
    assert(category < kCategoryCount);
    return static_cast<uint8_t>(header_[kUniqIdsOffset + category]);
  }
  void SetCategoryUniqId(uint32_t category, uint8_t id) {
    assert(category < kCategoryCount);
    header_[kUniqIdsOffset + category] = static_cast<char>(id);
  }

  uint8_t LastUniqId() const { return static_cast<uint8_t>(header_[kLastUniqIdOffset]); }
  void SetLastUniqId(uint8_t id) { header_[kLastUniqIdOffset] = static_cast<char>(id); }

  uint32_t DeletedCount() const { return LoadLE32(At(kDeletedCountOffset)); }
  void SetDeletedCount(uint32_t count) { StoreLE32(At(kDeletedCountOffset), count); }

  uint32_t LastDesktopRecordId() const { return LoadLE32(At(kLastDesktopIdOffset)); }
  void SetLastDesktopRecordId(uint32_t id) { StoreLE32(At(kLastDesktopIdOffset), id); }

  // Zeroes the first kSize bytes; the derived class's part is untouched.
  void Clear() { std::memset(header_.data(), 0, kSize); }

 private:
  char* At(size_t offset) { return header_.data() + offset; }
  const char* At(size_t offset) const { return header_.data() + offset; }
  char* NameSlot(uint32_t category) {
    assert(category < kCategoryCount);
    return At(kLabelsOffset + kCategoryNameSize * category);
  }
  const char* NameSlot(uint32_t category) const {
    assert(category < kCategoryCount);
    return At(kLabelsOffset + kCategoryNameSize * category);
  }

  std::string& header_;
};

}  // namespace lockwell
