#include "palmdb/RecordPrefix.h"

#include <cstring>

#include "palmdb/ByteOrder.h"

namespace lockwell {

bool RecordPrefix::Decode(std::string_view bytes, RecordPrefix& prefix) {
  if (bytes.size() < kSize) return false;
  const char* p = bytes.data();
  prefix.recordId = LoadLE32(p + kRecordIdOffset);
  prefix.desktopId = p[kDesktopIdOffset] != 0;
  prefix.status = LoadLE32(p + kStatusOffset);
  prefix.syncFlags = LoadLE32(p + kSyncFlagsOffset);
  prefix.category = LoadLE32(p + kCategoryOffset);
  std::memcpy(prefix.extra.data(), p + kExtraOffset, prefix.extra.size());
  return true;
}

void RecordPrefix::AppendTo(std::string& out) const {
  size_t start = out.size();
  out.resize(start + kSize);
  char* p = out.data() + start;
  StoreLE32(p + kRecordIdOffset, recordId);
  p[kDesktopIdOffset] = desktopId ? 1 : 0;
  StoreLE32(p + kStatusOffset, status);
  StoreLE32(p + kSyncFlagsOffset, syncFlags);
  StoreLE32(p + kCategoryOffset, category);
  std::memcpy(p + kExtraOffset, extra.data(), extra.size());
}

}  // namespace lockwell
