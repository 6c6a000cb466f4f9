// Helpers for the Palm database tests: a scratch folder, raw files written
// byte by byte with the record file (as the handheld's conduit would write
// them, damaged ones included), and checks of the error list.
//
// The byte layouts here are written out by hand, independently of the code
// under test, so that the tests check the layout rather than restate it.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "palmdb/PalmDatabase.h"
#include "palmdb/PalmDatabaseRecord.h"
#include "storage/DatabaseFile.h"
#include "storage/ErrorList.h"
#include "support/TempDir.h"

namespace lockwell::palmtest {

using lockwell::testing::TempDir;

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string Le32(uint32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
  return bytes;
}

inline uint32_t Le32At(const std::string& bytes, size_t offset) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes.at(offset + i));
  return value;
}

// One Palm record as the handheld stores it: ID, desktop byte, status,
// flags, category, 8 extra bytes, payload.
struct Raw {
  uint32_t recordId = 1;
  uint8_t desktopByte = 0;
  uint32_t status = 0;
  uint32_t flags = 0;
  uint32_t category = 0;
  std::string payload{};
  std::string extra = std::string(8, '\0');

  std::string Bytes() const {
    return Le32(recordId) + std::string(1, static_cast<char>(desktopByte)) + Le32(status) + Le32(flags) +
           Le32(category) + extra + payload;
  }
};

// The first 284 bytes of a header area.
struct RawHeader {
  uint16_t renamed = 0;
  std::vector<std::string> names = {"Unfiled"};  // exactly as stored, up to 16 bytes each
  std::vector<uint8_t> uniqIds = {1};
  uint8_t lastUniqId = 128;
  uint32_t deletedCount = 0;
  uint32_t lastDesktopRecordId = 0;
  uint32_t size = 284;

  std::string Bytes() const {
    std::string bytes(size, '\0');
    bytes[0] = static_cast<char>(renamed >> 8);
    bytes[1] = static_cast<char>(renamed & 0xFF);
    for (size_t i = 0; i < names.size(); ++i)
      bytes.replace(2 + 16 * i, std::min<size_t>(names[i].size(), 16), names[i].substr(0, 16));
    for (size_t i = 0; i < uniqIds.size(); ++i) bytes[258 + i] = static_cast<char>(uniqIds[i]);
    bytes[274] = static_cast<char>(lastUniqId);
    bytes.replace(276, 4, Le32(deletedCount));
    bytes.replace(280, 4, Le32(lastDesktopRecordId));
    return bytes;
  }
};

// Writes a database file holding `header`, the reserved record 0 and
// `records` (raw bytes, so damaged records can be made too).
inline void WriteRawDatabase(const std::string& path, const std::string& header,
                             const std::vector<std::string>& records) {
  ErrorList errors;
  uint32_t size = static_cast<uint32_t>(header.size());
  DatabaseFile file(errors, path, DatabaseFile::kCreateNew, size);
  ASSERT_TRUE(file.IsOpen()) << errors.Summary();
  ASSERT_TRUE(file.WriteHeader(errors, header)) << errors.Summary();
  ASSERT_TRUE(file.AppendRecord(errors, std::string())) << errors.Summary();
  for (const std::string& record : records)
    ASSERT_TRUE(file.AppendRecord(errors, record)) << errors.Summary();
}

inline void WriteRawDatabase(const std::string& path, const std::vector<Raw>& records,
                             const RawHeader& header = RawHeader()) {
  std::vector<std::string> bytes;
  for (const Raw& record : records) bytes.push_back(record.Bytes());
  WriteRawDatabase(path, header.Bytes(), bytes);
}

// What a closed database file holds: its header area and its records,
// record 0 included.
struct RawContents {
  std::string header;
  std::vector<std::string> records;
};

inline RawContents ReadRawDatabase(const std::string& path) {
  RawContents contents;
  ErrorList errors;
  uint32_t size = 0;
  DatabaseFile file(errors, path, DatabaseFile::kOpenExisting, size);
  EXPECT_TRUE(file.IsOpen()) << errors.Summary();
  if (!file.IsOpen()) return contents;
  EXPECT_TRUE(file.ReadHeader(errors, contents.header)) << errors.Summary();
  uint32_t count = 0;
  EXPECT_TRUE(file.GetRecordCount(errors, count)) << errors.Summary();
  contents.records.resize(count);
  for (uint32_t i = 0; i < count; ++i)
    EXPECT_TRUE(file.ReadRecord(errors, i, contents.records[i])) << errors.Summary();
  return contents;
}

// True when `errors` holds a record of `moduleId` with `code` whose text
// starts with `text`.
inline ::testing::AssertionResult HasError(const ErrorList& errors, int32_t moduleId, uint32_t code,
                                           const std::string& text = std::string()) {
  for (const auto& record : errors)
    if (record->ModuleId() == moduleId && record->Code() == code &&
        record->Detail().compare(0, text.size(), text) == 0)
      return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "no " << std::hex << code << " \"" << text << "...\" in: " << errors.Summary();
}

inline ::testing::AssertionResult HasDbError(const ErrorList& errors, uint32_t code,
                                             const std::string& text = std::string()) {
  return HasError(errors, PalmDatabase::ModuleId(), code, text);
}

inline ::testing::AssertionResult HasRecordError(const ErrorList& errors, uint32_t code,
                                                 const std::string& text = std::string()) {
  return HasError(errors, PalmDatabaseRecord::ModuleId(), code, text);
}

// The fields of a record that tests compare.
struct Seen {
  uint32_t recordId = 0;
  bool desktopId = false;
  uint32_t status = 0;
  uint32_t flags = 0;
  uint32_t category = 0;
  std::string payload;

  bool operator==(const Seen&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Seen& seen) {
  return out << "{id " << seen.recordId << (seen.desktopId ? "d" : "h") << ", status " << seen.status
             << ", flags " << seen.flags << ", category " << seen.category << ", payload \"" << seen.payload
             << "\"}";
}

inline Seen See(PalmDatabaseRecord& record) {
  ErrorList errors;
  Seen seen;
  record.GetRecordId(errors, seen.recordId, seen.desktopId);
  record.GetStatus(errors, seen.status);
  record.GetSyncFlags(errors, seen.flags);
  record.GetCategory(errors, seen.category);
  record.GetPayload(errors, seen.payload);
  return seen;
}

inline Seen See(const Raw& raw) {
  return Seen{raw.recordId, raw.desktopByte != 0, raw.status, raw.flags, raw.category, raw.payload};
}

// A record of `db` filled without any status rule.
inline PalmDatabaseRecord MakeRecord(PalmDatabase* db, uint32_t recordId, bool desktopId, uint32_t status,
                                     uint32_t category, const std::string& payload, uint32_t flags = 0) {
  ErrorList errors;
  PalmDatabaseRecord record(db);
  record.SetRecordId(errors, recordId, desktopId);
  record.SetPayload(errors, payload);
  record.SetCategory(errors, category);
  record.SetSyncFlags(errors, flags);
  record.SetStatus(errors, status);
  return record;
}

// Base fixture: one scratch database path.
class PalmTest : public ::testing::Test {
 protected:
  std::unique_ptr<PalmDatabase> Create(uint32_t headerSize = PalmDatabase::kPalmHeaderSize) {
    auto db = std::make_unique<PalmDatabase>(errors_, path_, PalmDatabase::kCreateNew, headerSize);
    EXPECT_TRUE(db->IsOpen()) << errors_.Summary();
    return db;
  }
  std::unique_ptr<PalmDatabase> Open(uint32_t headerSize = PalmDatabase::kPalmHeaderSize) {
    auto db = std::make_unique<PalmDatabase>(errors_, path_, PalmDatabase::kOpenExisting, headerSize);
    EXPECT_TRUE(db->IsOpen()) << errors_.Summary();
    return db;
  }

  TempDir dir_;
  std::string path_ = dir_.File("palm.lwdb");
  ErrorList errors_;
};

}  // namespace lockwell::palmtest
