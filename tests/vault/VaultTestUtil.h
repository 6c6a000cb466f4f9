// Small helpers shared by the vault tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "storage/ErrorList.h"
#include "storage/ModuleRegistry.h"
#include "storage/SecureString.h"
#include "vault/RecordModule.h"

namespace lockwell::test {

inline std::string Hex(std::span<const uint8_t> bytes) {
  static const char kHex[] = "0123456789abcdef";
  std::string text;
  for (uint8_t b : bytes) {
    text.push_back(kHex[b >> 4]);
    text.push_back(kHex[b & 15]);
  }
  return text;
}

inline std::string Hex(std::string_view bytes) {
  return Hex(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

inline std::string FromHex(std::string_view hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
  return bytes;
}

inline std::span<const uint8_t> AsBytes(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

inline std::string AsString(const SecureBytes& bytes) {
  return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// The one record the list holds must be the record module's `code` with
// exactly `detail` (or, when `detail` is null, any text).
inline void ExpectRecordError(const ErrorList& errors, uint32_t code, const char* detail = nullptr) {
  ASSERT_EQ(errors.Size(), 1u);
  const ErrorRecord& record = **errors.begin();
  EXPECT_EQ(ModuleName(record.ModuleId()), "Tallmark Lockwell Record Class");
  EXPECT_EQ(record.Code(), code);
  if (detail != nullptr) {
    EXPECT_EQ(record.Detail(), detail);
  }
  EXPECT_EQ(record.Line(), 0u);
  EXPECT_TRUE(record.SourceFile().empty());
}

}  // namespace lockwell::test
