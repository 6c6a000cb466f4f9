// Fuzzes the record file with arbitrary file contents: the bytes become a
// database file, which is opened, read whole, changed and compacted.  Any
// out-of-bounds access or oversized allocation shows up under the
// sanitizers; a compaction that does not keep exactly what was read, or a
// file that does not reopen to what the object reported, traps.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "storage/DatabaseFile.h"
#include "storage/ErrorList.h"

namespace {

using lockwell::DatabaseFile;
using lockwell::ErrorList;

// A private folder for the file and its companions, removed at exit.
struct Scratch {
  Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lockwell-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) abort();
    folder = pattern;
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  std::string folder;
};

const std::string& ScratchFolder() {
  static const Scratch scratch;
  return scratch.folder;
}

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// Reads the header and every record; false at the first failure.
bool ReadAll(DatabaseFile& db, std::string& header, std::vector<std::string>& records) {
  ErrorList errors;
  uint32_t count = 0;
  if (!db.ReadHeader(errors, header) || !db.GetRecordCount(errors, count)) return false;
  records.assign(count, {});
  for (uint32_t i = 0; i < count; ++i)
    if (!db.ReadRecord(errors, i, records[i])) return false;
  return true;
}

void Reopened(const std::string& path, const std::string& header, const std::vector<std::string>& records) {
  ErrorList errors;
  uint32_t size = 0;
  DatabaseFile db(errors, path, DatabaseFile::kOpenExisting, size);
  Check(db.IsOpen());
  std::string headerNow;
  std::vector<std::string> recordsNow;
  Check(ReadAll(db, headerNow, recordsNow));
  Check(headerNow == header && recordsNow == records);
}

void Exercise(const std::string& path) {
  ErrorList errors;
  uint32_t headerSize = 0;
  DatabaseFile db(errors, path, DatabaseFile::kOpenExisting, headerSize);
  if (!db.IsOpen()) return;
  Check(headerSize == db.HeaderSize());

  std::string header;
  std::vector<std::string> records;
  if (!ReadAll(db, header, records)) {
    // A damaged file: changes must fail cleanly or work, never go astray.
    ErrorList ignored;
    uint32_t count = 0;
    db.GetRecordCount(ignored, count);
    if (count > 0) {
      db.WriteRecord(ignored, 0, "x");
      db.WriteRecord(ignored, count - 1, std::string(40, 'y'));
      db.DeleteRecord(ignored, count / 2);
    }
    db.InsertRecord(ignored, 0, "z");
    db.Compact(ignored);
    return;
  }

  // Compaction keeps exactly what was read.
  Check(db.Compact(errors));
  {
    std::string headerNow;
    std::vector<std::string> recordsNow;
    Check(ReadAll(db, headerNow, recordsNow));
    Check(headerNow == header && recordsNow == records);
  }
  // A few changes on the clean file, mirrored in the vectors.
  Check(db.InsertRecord(errors, 0, "inserted"));
  records.insert(records.begin(), "inserted");
  Check(db.WriteRecord(errors, 0, std::string(100, 'w')));
  records[0] = std::string(100, 'w');
  Check(db.WriteRecord(errors, static_cast<uint32_t>(records.size() - 1), ""));
  records.back().clear();
  Check(db.DeleteRecord(errors, static_cast<uint32_t>(records.size() / 2)));
  records.erase(records.begin() + static_cast<long>(records.size() / 2));
  Check(db.Close());
  Reopened(path, header, records);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = ScratchFolder() + "/fuzz.lwdb";
  {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) abort();
    std::fclose(file);
  }
  Exercise(path);
  // Whatever was left behind (the .bak copy) goes before the next input.
  for (const auto& entry : std::filesystem::directory_iterator(ScratchFolder()))
    std::filesystem::remove(entry.path());
  return 0;
}
