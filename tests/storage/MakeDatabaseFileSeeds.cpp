// Writes the seed corpus of the database_file fuzz target: a few valid
// record files and a few broken ones, one per kind of damage.
//   make_database_file_seeds FOLDER
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "storage/DatabaseFile.h"

namespace {

using lockwell::DatabaseFile;
using lockwell::ErrorList;

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<long>(bytes.size()));
}

void PutWord(std::string& bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

bool Make(const std::string& path, uint32_t headerSize, const std::function<bool(DatabaseFile&, ErrorList&)>& fill) {
  ErrorList errors;
  DatabaseFile db(errors, path, DatabaseFile::kCreateNew, headerSize);
  if (!db.IsOpen() || !fill(db, errors)) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), errors.Summary().c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  auto at = [&](const char* name) { return (folder / name).string(); };
  bool ok = Make(at("valid-empty"), 0, [](DatabaseFile&, ErrorList&) { return true; });
  ok = ok && Make(at("valid-small"), 4, [](DatabaseFile& db, ErrorList& e) {
         return db.WriteHeader(e, "hdr!") && db.AppendRecord(e, "") && db.AppendRecord(e, "a") &&
                db.AppendRecord(e, "hello world") && db.AppendRecord(e, std::string(300, 'p')) &&
                db.DeleteRecord(e, 1) && db.WriteRecord(e, 0, "moved") && db.WriteRecord(e, 2, "short");
       });
  ok = ok && Make(at("valid-grown"), 2, [](DatabaseFile& db, ErrorList& e) {
         for (int i = 0; i < 130; ++i)
           if (!db.AppendRecord(e, std::to_string(i))) return false;
         return true;
       });
  if (!ok) return 1;

  // Broken ones, all made from valid-small: H = 4, index block at 24.
  const std::string small = Read(at("valid-small"));
  const uint32_t firstSlot = 24 + 12 + 4 * 128;
  const std::string magicless = std::string(8, '\0') + small.substr(8);
  struct Damage {
    const char* name;
    size_t offset;
    uint32_t value;
  } damages[] = {
      {"bad-count-above-capacity", 24 + 8, 129},   {"bad-index-deleted", 24 + 4, 1},
      {"bad-index-past-end", 12, 0xFFFFFFF0},      {"bad-data-end-past-file", 16, 0x00FFFFFF},
      {"bad-header-size", 8, 0x7FFFFFFF},          {"bad-record-pointer", 24 + 12, 0xFFFFFFF0},
      {"bad-record-size-small", firstSlot + 0, 3}, {"bad-record-size-huge", firstSlot + 0, 0xFFFFFFFF},
  };
  for (const auto& damage : damages) {
    std::string bytes = small;
    PutWord(bytes, damage.offset, damage.value);
    Write(at(damage.name), bytes);
  }
  Write(at("bad-empty-file"), "");
  Write(at("bad-zero-magic"), magicless);
  Write(at("bad-cut-short"), small.substr(0, small.size() / 2));
  return 0;
}
