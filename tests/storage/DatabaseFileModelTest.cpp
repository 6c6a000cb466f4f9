// Random operations on a DatabaseFile checked against a vector of strings,
// with reopening and compaction thrown in.
#include <gtest/gtest.h>

#include <random>

#include "storage/DatabaseFile.h"
#include "DatabaseFileFixture.h"

namespace lockwell {
namespace {

using namespace lockwell::testing;

class Model {
 public:
  explicit Model(uint32_t seed) : random_(seed) {}

  std::string Data() {
    // Mostly small records, some empty, a few past one copy chunk.
    const int kind = Pick(20);
    size_t size = kind == 0 ? 0 : kind == 1 ? 10000 + Pick(3000) : Pick(200);
    std::string data(size, '\0');
    for (char& c : data) c = static_cast<char>(Pick(256));
    return data;
  }
  uint32_t Pick(uint32_t below) { return std::uniform_int_distribution<uint32_t>(0, below - 1)(random_); }

 private:
  std::mt19937 random_;
};

class DatabaseFileModelTest : public ::testing::TestWithParam<uint32_t> {
 protected:
  void Reopen() {
    db_.reset();
    uint32_t size = 0;
    db_ = std::make_unique<DatabaseFile>(errors_, path_, DatabaseFile::kOpenExisting, size);
    ASSERT_TRUE(db_->IsOpen()) << errors_.Summary();
    ASSERT_EQ(size, header_.size());
  }

  void ExpectSame() {
    EXPECT_EQ(AllRecords(*db_), records_);
    std::string header;
    ASSERT_TRUE(db_->ReadHeader(errors_, header));
    EXPECT_EQ(header, header_);
    EXPECT_LE(db_->DataEnd(), ReadBytes(path_).size());
  }

  TempDir dir_;
  std::string path_ = dir_.File("model.lwdb");
  ErrorList errors_;
  std::unique_ptr<DatabaseFile> db_;
  std::vector<std::string> records_;
  std::string header_ = std::string(9, '\0');
};

TEST_P(DatabaseFileModelTest, RandomOperationsMatchAVector) {
  Model model(GetParam());
  uint32_t size = static_cast<uint32_t>(header_.size());
  db_ = std::make_unique<DatabaseFile>(errors_, path_, DatabaseFile::kCreateNew, size);
  ASSERT_TRUE(db_->IsOpen());

  constexpr int kOperations = 2500;
  for (int step = 0; step < kOperations; ++step) {
    SCOPED_TRACE(step);
    const uint32_t count = static_cast<uint32_t>(records_.size());
    const uint32_t choice = model.Pick(100);
    if (choice < 30) {
      const uint32_t at = model.Pick(count + 1);
      std::string data = model.Data();
      ASSERT_TRUE(db_->InsertRecord(errors_, at, data)) << errors_.Summary();
      records_.insert(records_.begin() + at, data);
    } else if (choice < 45) {
      std::string data = model.Data();
      ASSERT_TRUE(db_->AppendRecord(errors_, data)) << errors_.Summary();
      records_.push_back(data);
    } else if (choice < 65 && count > 0) {
      const uint32_t at = model.Pick(count);
      std::string data = model.Data();
      ASSERT_TRUE(db_->WriteRecord(errors_, at, data)) << errors_.Summary();
      records_[at] = data;
    } else if (choice < 85 && count > 0) {
      const uint32_t at = model.Pick(count);
      ASSERT_TRUE(db_->DeleteRecord(errors_, at)) << errors_.Summary();
      records_.erase(records_.begin() + at);
    } else if (choice < 88) {
      for (char& c : header_) c = static_cast<char>(model.Pick(256));
      ASSERT_TRUE(db_->WriteHeader(errors_, header_));
    } else if (choice < 89) {
      ASSERT_TRUE(db_->Compact(errors_)) << errors_.Summary();
      EXPECT_EQ(db_->Capacity(), records_.size() + 128);
    } else if (count > 0) {
      const uint32_t at = model.Pick(count);
      std::string data;
      ASSERT_TRUE(db_->ReadRecord(errors_, at, data));
      ASSERT_EQ(data, records_[at]);
    }
    uint32_t now = 0;
    ASSERT_TRUE(db_->GetRecordCount(errors_, now));
    ASSERT_EQ(now, records_.size());
    if (step == kOperations / 2) {
      Reopen();
      ExpectSame();
    }
  }
  ExpectSame();
  Reopen();
  ExpectSame();
  EXPECT_TRUE(errors_.Empty()) << errors_.Summary();
}

INSTANTIATE_TEST_SUITE_P(Seeds, DatabaseFileModelTest, ::testing::Values(1u, 20240611u, 0xC0FFEEu));

}  // namespace
}  // namespace lockwell
