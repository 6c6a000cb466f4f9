// Palm database benchmarks on a 10,000-record database: scans by category,
// lookups by ID, reading every n-th record, inserting at the front and
// purging deleted records.  The floor printed beside the category scan is the
// record file reading the same number of bodies with no Palm layer above it.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "palmdb/PalmDatabase.h"
#include "palmdb/PalmDatabaseRecord.h"
#include "storage/DatabaseFile.h"

namespace lockwell {
namespace {

constexpr uint32_t kRecords = 10000;
constexpr uint32_t kCategories = 5;
constexpr uint32_t kBatch = 1000;

// Builds the sample databases once: `plain` with kRecords records spread
// over kCategories categories, `withDeleted` the same with every tenth
// record marked deleted (kBatch of them).
class Samples {
 public:
  static Samples& Get() {
    static Samples samples;
    return samples;
  }
  ~Samples() {
    open_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  const std::string& Plain() const { return plain_; }
  const std::string& WithDeleted() const { return withDeleted_; }
  // A fresh copy of `source` named `name`; each user takes its own name,
  // since an open database must not be overwritten.
  std::string Copy(const std::string& source, const std::string& name) {
    std::string path = dir_ + "/" + name;
    std::filesystem::copy_file(source, path, std::filesystem::copy_options::overwrite_existing);
    return path;
  }
  // The plain sample, open for the read-only benchmarks.
  PalmDatabase& Open() {
    if (!open_) {
      ErrorList errors;
      open_ = std::make_unique<PalmDatabase>(errors, Copy(plain_, "open.lwdb"), PalmDatabase::kOpenExisting,
                                             PalmDatabase::kPalmHeaderSize);
      if (!open_->IsOpen()) abort();
    }
    return *open_;
  }

 private:
  Samples() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lockwell-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) abort();
    dir_ = pattern;
    plain_ = dir_ + "/plain.lwdb";
    withDeleted_ = dir_ + "/deleted.lwdb";
    Build(plain_, false);
    Build(withDeleted_, true);
  }

  static void Build(const std::string& path, bool markDeleted) {
    ErrorList errors;
    PalmDatabase db(errors, path, PalmDatabase::kCreateNew, PalmDatabase::kPalmHeaderSize);
    if (!db.IsOpen()) abort();
    const std::string payload(100, 'p');
    for (uint32_t i = 0; i < kRecords; ++i) {
      PalmDatabaseRecord record(&db);
      record.SetRecordId(errors, i + 1, false);
      record.SetCategory(errors, i % kCategories);
      record.SetPayload(errors, payload);
      record.SetStatus(errors, markDeleted && i % 10 == 0 ? PalmDatabaseRecord::STATUS_DELETED
                                                          : PalmDatabaseRecord::STATUS_UNCHANGED);
      if (!db.AppendNew(errors, record, false)) abort();
    }
    // Destruction compacts, as closing does in the program.
  }

  std::string dir_;
  std::string plain_;
  std::string withDeleted_;
  std::unique_ptr<PalmDatabase> open_;
};

// ReadNthInCategory for the first record of category 1, then
// ReadNextInCategory until the category ends.
void BM_ScanCategory(benchmark::State& state) {
  PalmDatabase& db = Samples::Get().Open();
  int64_t records = 0;
  for (auto _ : state) {
    ErrorList errors;
    PalmDatabaseRecord record(&db);
    for (bool ok = db.ReadNthInCategory(errors, 1, 0, record); ok;
         ok = db.ReadNextInCategory(errors, 1, record))
      ++records;
  }
  state.SetItemsProcessed(records);
  state.counters["records"] = static_cast<double>(records) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ScanCategory)->Unit(benchmark::kMillisecond);

// Floor for the scan: the record file alone reading as many bodies.
void BM_FloorReadBodies(benchmark::State& state) {
  ErrorList errors;
  uint32_t headerSize = 0;
  DatabaseFile file(errors, Samples::Get().Copy(Samples::Get().Plain(), "floor.lwdb"),
                    DatabaseFile::kOpenExisting, headerSize);
  if (!file.IsOpen()) abort();
  std::string bytes;
  for (auto _ : state) {
    for (uint32_t n = 2; n <= kRecords; n += kCategories) file.ReadRecord(errors, n, bytes);
    benchmark::DoNotOptimize(bytes);
  }
  state.SetItemsProcessed(state.iterations() * (kRecords / kCategories));
}
BENCHMARK(BM_FloorReadBodies)->Unit(benchmark::kMillisecond);

void BM_FindPositionById(benchmark::State& state) {
  PalmDatabase& db = Samples::Get().Open();
  std::mt19937 rng(7);
  for (auto _ : state) {
    ErrorList errors;
    uint32_t number = 0;
    uint32_t id = 1 + static_cast<uint32_t>(rng() % kRecords);
    if (!db.FindPositionById(errors, id, false, number)) abort();
    benchmark::DoNotOptimize(number);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FindPositionById);

// ReadNthInCategory for every n of a category (the way the vault walks the
// "All" view): each call reads one body, never the records before it.
void BM_ReadNthEveryN(benchmark::State& state) {
  const uint32_t category = static_cast<uint32_t>(state.range(0));
  PalmDatabase& db = Samples::Get().Open();
  int64_t records = 0;
  for (auto _ : state) {
    ErrorList errors;
    PalmDatabaseRecord record(&db);
    for (uint32_t n = 0; db.ReadNthInCategory(errors, category, n, record); ++n) ++records;
  }
  state.SetItemsProcessed(records);
  state.counters["records"] = static_cast<double>(records) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ReadNthEveryN)->Arg(ALL_CATEGORIES)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Insert1000AtFront(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    {
      ErrorList errors;
      PalmDatabase db(errors, Samples::Get().Copy(Samples::Get().Plain(), "insert.lwdb"),
                      PalmDatabase::kOpenExisting, PalmDatabase::kPalmHeaderSize);
      if (!db.IsOpen()) abort();
      state.ResumeTiming();
      for (uint32_t i = 0; i < kBatch; ++i) {
        PalmDatabaseRecord record(errors, &db, true);
        record.SetPayload(errors, std::string(100, 'n'));
        if (!db.InsertAt(errors, record, 0, false)) abort();
      }
      state.PauseTiming();
    }  // compacts, untimed
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_Insert1000AtFront)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Purge1000Deleted(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    {
      ErrorList errors;
      PalmDatabase db(errors, Samples::Get().Copy(Samples::Get().WithDeleted(), "purge.lwdb"),
                      PalmDatabase::kOpenExisting, PalmDatabase::kPalmHeaderSize);
      if (!db.IsOpen()) abort();
      state.ResumeTiming();
      if (!db.PurgeAllDeleted(errors)) abort();
      state.PauseTiming();
    }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_Purge1000Deleted)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace lockwell

BENCHMARK_MAIN();
