// Account database benchmarks on a deterministic database of 10,000 accounts
// over 8 categories, protected by a passphrase: open and list every account,
// insert one account in sorted order, re-sort 1,000 unsorted accounts after
// a HotSync, change the passphrase, the conflict pass after a passphrase
// change on the handheld, and close with compaction.
//
// Beside each figure stands `floor_ms`: the time this machine's triple DES
// (EVP des-ede3-cbc, one call over one buffer) needs for the bytes the
// operation has to decrypt or encrypt at the least, so that the figures can
// be read against the cipher's own cost.  The peak resident memory of the
// whole run is printed at the end.
#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "palmdb/PalmDatabaseRecord.h"
#include "storage/ErrorList.h"
#include "storage/SecureString.h"
#include "support/VaultFixture.h"
#include "vault/LockwellDatabase.h"
#include "vault/LockwellRecord.h"
#include "vault/RecordModule.h"

namespace lockwell {
namespace {

using testing::FixtureAccount;
using testing::VaultFixture;

constexpr uint32_t kAccounts = 10000;
constexpr uint32_t kCategories = 8;
constexpr uint32_t kUnsorted = 1000;
constexpr uint32_t kOlderRecords = 100;  // left under the old passphrase for the conflict pass
const char kPassphrase[] = "correct horse battery";
const char kOldPassphrase[] = "old horse";

// Milliseconds of EVP des-ede3-cbc over `bytes` bytes in one call, best of
// three.
double TripleDesFloorMs(size_t bytes) {
  bytes = (bytes + 7) / 8 * 8;
  std::vector<unsigned char> in(bytes, 0x5A), out(bytes + 8);
  unsigned char key[24] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};
  unsigned char iv[8] = {0};
  double best = 1e9;
  for (int round = 0; round < 3; ++round) {
    EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
    auto start = std::chrono::steady_clock::now();
    EVP_EncryptInit_ex(context, EVP_des_ede3_cbc(), nullptr, key, iv);
    EVP_CIPHER_CTX_set_padding(context, 0);
    int length = 0;
    EVP_EncryptUpdate(context, out.data(), &length, in.data(), static_cast<int>(bytes));
    auto stop = std::chrono::steady_clock::now();
    EVP_CIPHER_CTX_free(context);
    best = std::min(best, std::chrono::duration<double, std::milli>(stop - start).count());
  }
  return best;
}

// The sample files, built once.
class Samples {
 public:
  static Samples& Get() {
    static Samples samples;
    return samples;
  }
  ~Samples() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  std::string sorted;     // 10,000 sorted accounts, HotSync database
  std::string unsorted;   // the last 1,000 of them unsorted, re-sort flag set
  std::string pcOwned;    // as `sorted`, made on the PC
  std::string conflicts;  // passphrase changed on the handheld, 100 accounts under the old one
  size_t bodyBytes = 0;   // total ciphertext bytes of the 10,000 bodies (IVs left out)

  // A fresh copy of `source`.
  std::string Copy(const std::string& source, const std::string& name) {
    std::string path = dir_ + "/" + name;
    std::filesystem::copy_file(source, path, std::filesystem::copy_options::overwrite_existing);
    return path;
  }

 private:
  Samples() {
    std::string pattern = (std::filesystem::temp_directory_path() / "lockwell-vault-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) abort();
    dir_ = pattern;
    sorted = Build("sorted.lwdb", VaultFixture::Generated(kAccounts, kCategories, kPassphrase));
    unsorted = Build("unsorted.lwdb", VaultFixture::Generated(kAccounts, kCategories, kPassphrase, kUnsorted));
    VaultFixture owned = VaultFixture::Generated(kAccounts, kCategories, kPassphrase);
    owned.pcOwned = true;
    pcOwned = Build("pcowned.lwdb", owned);
    VaultFixture changed = VaultFixture::Generated(kAccounts, kCategories, kPassphrase);
    changed.passphraseChanged = true;
    for (uint32_t i = 0; i < kOlderRecords; ++i) {
      FixtureAccount& account = changed.accounts[i * (kAccounts / kOlderRecords)];
      account.key = FixtureAccount::Key::kOlder;
      account.olderPassphrase = kOldPassphrase;
    }
    conflicts = Build("conflicts.lwdb", changed);
    bodyBytes = BodyBytes(sorted);
  }

  std::string Build(const std::string& name, const VaultFixture& fixture) {
    std::string path = dir_ + "/" + name;
    std::string error;
    if (!fixture.Write(path, error)) {
      std::fprintf(stderr, "fixture: %s\n", error.c_str());
      abort();
    }
    return path;
  }

  size_t BodyBytes(const std::string& source) {
    ErrorList errors;
    LockwellDatabase db(errors, Copy(source, "measure.lwdb"), SecureString(kPassphrase), false);
    if (!db.IsOpen()) abort();
    size_t total = 0;
    for (uint32_t p = 0; p < kAccounts; ++p) {
      PalmDatabaseRecord record(&db);
      std::string payload;
      db.ReadRecordAt(errors, p, record);
      record.GetPayload(errors, payload);
      total += payload.size() - 8;
    }
    return total;
  }

  std::string dir_;
};

std::unique_ptr<LockwellDatabase> OpenCopy(const std::string& source, const char* passphrase = kPassphrase) {
  ErrorList errors;
  auto db = std::make_unique<LockwellDatabase>(errors, Samples::Get().Copy(source, "work.lwdb"),
                                               SecureString(passphrase), false);
  if (!db->IsOpen()) {
    std::fprintf(stderr, "open: %s\n", errors.Summary().c_str());
    abort();
  }
  return db;
}

void SetFloor(benchmark::State& state, size_t bytes) {
  state.counters["floor_ms"] = TripleDesFloorMs(bytes);
  state.counters["bytes"] = static_cast<double>(bytes);
}

// Open with the passphrase, then decrypt every account of "All" the way the
// main window lists them.
void BM_OpenAndListAll(benchmark::State& state) {
  Samples& samples = Samples::Get();
  std::string path = samples.Copy(samples.sorted, "list.lwdb");
  for (auto _ : state) {
    ErrorList errors;
    auto db = std::make_unique<LockwellDatabase>(errors, path, SecureString(kPassphrase), false);
    uint32_t count = 0;
    db->GetRecordCount(errors, false, count);
    for (uint32_t n = 0; n < count; ++n) {
      LockwellRecord record(db.get());
      if (!db->ReadNthInCategory(errors, ALL_CATEGORIES, n, record)) abort();
      benchmark::DoNotOptimize(record.fields().title().size());
    }
    state.PauseTiming();
    db.reset();  // closing compacts; measured on its own below
    state.ResumeTiming();
  }
  SetFloor(state, samples.bodyBytes);
}
BENCHMARK(BM_OpenAndListAll)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_InsertSortedOne(benchmark::State& state) {
  auto db = OpenCopy(Samples::Get().sorted);
  uint32_t serial = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ErrorList errors;
    LockwellRecord record(errors, db.get(), true);
    record.setTitle(errors, "Middle account " + std::to_string(serial++));
    record.setField(errors, 0, "Login:", "someone");
    record.setField(errors, 1, "Pwd:", "s3cret");
    state.ResumeTiming();
    if (!db->insertSorted(errors, record)) abort();
  }
  // About log2(n) probes decrypted plus one body encrypted.
  SetFloor(state, Samples::Get().bodyBytes / kAccounts * 15);
}
BENCHMARK(BM_InsertSortedOne)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_ResortAfterHotSync(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto db = OpenCopy(Samples::Get().unsorted);
    ErrorList errors;
    state.ResumeTiming();
    if (!db->resortAfterHotSync(errors)) abort();
    state.PauseTiming();
    db.reset();
    state.ResumeTiming();
  }
  // Every body decrypted once at the least.
  SetFloor(state, Samples::Get().bodyBytes);
}
BENCHMARK(BM_ResortAfterHotSync)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ChangePassphrase(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto db = OpenCopy(Samples::Get().pcOwned);
    ErrorList errors;
    state.ResumeTiming();
    if (!db->changePassphrase(errors, SecureString("a brand new passphrase"))) abort();
    state.PauseTiming();
    db.reset();
    state.ResumeTiming();
  }
  // Every body decrypted and encrypted once.
  SetFloor(state, 2 * Samples::Get().bodyBytes);
}
BENCHMARK(BM_ChangePassphrase)->Unit(benchmark::kMillisecond)->Iterations(3);

// The conflict pass of the open flow: every account of "All" read by
// ReadNthInCategory; those that fail their digest are read again with the
// old passphrase (the user gave it at the first conflict) and stored under
// the current keys.
void BM_ConflictPass(benchmark::State& state) {
  uint32_t resolved = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto db = OpenCopy(Samples::Get().conflicts);
    state.ResumeTiming();
    ErrorList errors;
    uint32_t count = 0;
    db->GetRecordCount(errors, false, count);
    resolved = 0;
    for (uint32_t n = 0; n < count; ++n) {
      LockwellRecord record(db.get());
      ErrorList attempt;
      if (db->ReadNthInCategory(attempt, ALL_CATEGORIES, n, record)) continue;
      if (!attempt.Contains(RecordModuleId(), RECORD_DIGEST_INCORRECT)) abort();
      record.setAlternatePassphrase(errors, kOldPassphrase);
      if (!db->ReadNthInCategory(errors, ALL_CATEGORIES, n, record)) abort();
      record.MarkModified(errors);
      record.setPlaintextChanged(true);
      if (!db->WriteRecord(errors, record)) abort();
      ++resolved;
    }
    db->clearPassphraseChangedFlag(errors);
    state.PauseTiming();
    db.reset();
    state.ResumeTiming();
  }
  if (resolved != kOlderRecords) abort();
  state.counters["resolved"] = resolved;
  SetFloor(state, Samples::Get().bodyBytes);
}
BENCHMARK(BM_ConflictPass)->Unit(benchmark::kMillisecond)->Iterations(3);

// Close: preferences saved, then the record file compacted behind a ".bak"
// copy.  No cipher work; the floor is 0.
void BM_CloseWithCompaction(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto db = OpenCopy(Samples::Get().sorted);
    state.ResumeTiming();
    db.reset();
  }
  state.counters["floor_ms"] = 0;
}
BENCHMARK(BM_CloseWithCompaction)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace lockwell

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak resident memory: %.1f MB (ru_maxrss)\n", usage.ru_maxrss / 1024.0);
  return 0;
}
