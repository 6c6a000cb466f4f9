// Loads and stores of fixed-width integers in a byte buffer.
//
// The database file is little-endian throughout, except the 16-bit
// renamedCategories field of the Palm category block, which is big-endian.
// Callers check the buffer's length; these helpers do not.
#pragma once

#include <cstdint>

namespace lockwell {

inline uint32_t LoadLE32(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}

inline void StoreLE32(char* p, uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline uint16_t LoadBE16(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return static_cast<uint16_t>(b[0] << 8 | b[1]);
}

inline void StoreBE16(char* p, uint16_t value) {
  p[0] = static_cast<char>(value >> 8);
  p[1] = static_cast<char>(value & 0xFF);
}

}  // namespace lockwell
