// Helpers shared by the record file tests: a scratch folder, raw access to
// the bytes of a file, and checks of the error list.
#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "storage/DatabaseFile.h"
#include "storage/ErrorList.h"
#include "support/TempDir.h"

namespace lockwell::testing {

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The little-endian word at `offset` of `bytes`.
inline uint32_t Word(const std::string& bytes, size_t offset) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes.at(offset + i));
  return value;
}

inline std::string LittleEndian(uint32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
  return bytes;
}

// Overwrites the word at `offset` of the file at `path`.
inline void CorruptWord(const std::string& path, size_t offset, uint32_t value) {
  std::string bytes = ReadBytes(path);
  bytes.replace(offset, 4, LittleEndian(value));
  WriteBytes(path, bytes);
}

inline void Truncate(const std::string& path, size_t length) { std::filesystem::resize_file(path, length); }

// True when `errors` holds a record of the record file's module with `code`
// whose text starts with `text`.
inline ::testing::AssertionResult HasError(const ErrorList& errors, uint32_t code, const std::string& text) {
  for (const auto& record : errors)
    if (record->ModuleId() == DatabaseFile::ModuleId() && record->Code() == code &&
        record->Detail().compare(0, text.size(), text) == 0)
      return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "no " << std::hex << code << " \"" << text
                                       << "...\" in: " << errors.Summary();
}

// Equality of two byte strings that reports where they part, not the bytes.
inline ::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  return ::testing::AssertionFailure() << "lengths " << actual.size() << " and " << expected.size()
                                       << ", first difference at offset " << at;
}

// Creates a database with header size `headerSize` holding `records`, and
// closes it.
inline void MakeDatabase(const std::string& path, const std::vector<std::string>& records,
                         uint32_t headerSize = 0) {
  ErrorList errors;
  uint32_t size = headerSize;
  DatabaseFile db(errors, path, DatabaseFile::kCreateNew, size);
  ASSERT_TRUE(db.IsOpen()) << errors.Summary();
  for (const auto& record : records) ASSERT_TRUE(db.AppendRecord(errors, record)) << errors.Summary();
}

// Every record of an open database, in order; fails the test on an error.
inline std::vector<std::string> AllRecords(DatabaseFile& db) {
  ErrorList errors;
  uint32_t count = 0;
  EXPECT_TRUE(db.GetRecordCount(errors, count)) << errors.Summary();
  std::vector<std::string> records(count);
  for (uint32_t i = 0; i < count; ++i) EXPECT_TRUE(db.ReadRecord(errors, i, records[i])) << errors.Summary();
  return records;
}

// Opens `path`, reads every record and closes it again.
inline std::vector<std::string> RecordsOnDisk(const std::string& path) {
  ErrorList errors;
  uint32_t headerSize = 0;
  DatabaseFile db(errors, path, DatabaseFile::kOpenExisting, headerSize);
  EXPECT_TRUE(db.IsOpen()) << errors.Summary();
  if (!db.IsOpen()) return {};
  return AllRecords(db);
}

}  // namespace lockwell::testing
