// The open database is held against every other opener: a second object in
// this process and other processes alike.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "storage/DatabaseFile.h"
#include "DatabaseFileFixture.h"

namespace lockwell {
namespace {

using namespace lockwell::testing;

const std::string kInUse = std::string(": ") + std::strerror(EACCES);

// Runs `body` in a child process and returns its exit status (or -1).
int InChild(const std::function<int()>& body) {
  pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// Child exit codes of TryOpen.
enum : int { kOpened = 10, kRefusedInUse = 11, kOtherError = 12 };

int TryOpen(const std::string& path, int mode) {
  ErrorList errors;
  uint32_t size = 0;
  DatabaseFile db(errors, path, mode, size);
  if (db.IsOpen()) return kOpened;
  return errors.Contains(DatabaseFile::ModuleId(), DatabaseFile::kErrInUse) ? kRefusedInUse : kOtherError;
}

class DatabaseFileSharingTest : public ::testing::Test {
 protected:
  void SetUp() override { MakeDatabase(path_, {"one", "two"}, 4); }

  TempDir dir_;
  std::string path_ = dir_.File("db.lwdb");
};

TEST_F(DatabaseFileSharingTest, SecondOpenInThisProcessIsRefusedUntilClosed) {
  ErrorList errors;
  uint32_t size = 0;
  auto holder = std::make_unique<DatabaseFile>(errors, path_, DatabaseFile::kOpenExisting, size);
  ASSERT_TRUE(holder->IsOpen()) << errors.Summary();

  ErrorList second;
  DatabaseFile other(second, path_, DatabaseFile::kOpenExisting, size);
  EXPECT_FALSE(other.IsOpen());
  EXPECT_EQ(size, 0u);
  EXPECT_TRUE(HasError(second, DatabaseFile::kErrInUse, "Couldn't open database file" + kInUse));
  EXPECT_EQ(AllRecords(*holder), (std::vector<std::string>{"one", "two"}));

  holder.reset();
  ErrorList third;
  DatabaseFile later(third, path_, DatabaseFile::kOpenExisting, size);
  EXPECT_TRUE(later.IsOpen()) << third.Summary();
}

TEST_F(DatabaseFileSharingTest, CreatingOverAHeldDatabaseLeavesItIntact) {
  ErrorList errors;
  uint32_t size = 0;
  DatabaseFile holder(errors, path_, DatabaseFile::kOpenExisting, size);
  ASSERT_TRUE(holder.IsOpen());
  const std::string before = ReadBytes(path_);

  ErrorList second;
  uint32_t headerSize = 0;
  DatabaseFile creator(second, path_, DatabaseFile::kCreateNew, headerSize);
  EXPECT_FALSE(creator.IsOpen());
  EXPECT_TRUE(HasError(second, DatabaseFile::kErrInUse, "Couldn't create new database file" + kInUse));
  EXPECT_TRUE(SameBytes(ReadBytes(path_), before));
  EXPECT_EQ(AllRecords(holder), (std::vector<std::string>{"one", "two"}));
}

TEST_F(DatabaseFileSharingTest, AnotherProcessIsRefusedWhileWeHoldTheFile) {
  ErrorList errors;
  uint32_t size = 0;
  DatabaseFile holder(errors, path_, DatabaseFile::kOpenExisting, size);
  ASSERT_TRUE(holder.IsOpen());
  const std::string before = ReadBytes(path_);

  EXPECT_EQ(InChild([&] { return TryOpen(path_, DatabaseFile::kOpenExisting); }), kRefusedInUse);
  EXPECT_EQ(InChild([&] { return TryOpen(path_, DatabaseFile::kCreateNew); }), kRefusedInUse);
  EXPECT_TRUE(SameBytes(ReadBytes(path_), before));
  EXPECT_EQ(AllRecords(holder), (std::vector<std::string>{"one", "two"}));

  holder.Close();
  EXPECT_EQ(InChild([&] { return TryOpen(path_, DatabaseFile::kOpenExisting); }), kOpened);
}

TEST_F(DatabaseFileSharingTest, WeAreRefusedWhileAnotherProcessHoldsTheFile) {
  int ready[2], release[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(release), 0);
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ErrorList errors;
    uint32_t size = 0;
    DatabaseFile holder(errors, path_, DatabaseFile::kOpenExisting, size);
    char byte = holder.IsOpen() ? 'y' : 'n';
    if (write(ready[1], &byte, 1) != 1) _exit(1);
    if (read(release[0], &byte, 1) != 1) _exit(1);
    holder.Close();  // _exit skips destructors; this removes the recover copy
    _exit(0);
  }
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  EXPECT_EQ(byte, 'y');

  ErrorList errors;
  uint32_t size = 0;
  DatabaseFile refused(errors, path_, DatabaseFile::kOpenExisting, size);
  EXPECT_FALSE(refused.IsOpen());
  EXPECT_TRUE(errors.Contains(DatabaseFile::ModuleId(), DatabaseFile::kErrInUse)) << errors.Summary();

  ASSERT_EQ(write(release[1], "x", 1), 1);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  for (int fd : {ready[0], ready[1], release[0], release[1]}) close(fd);

  EXPECT_EQ(RecordsOnDisk(path_), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(dir_.Names(), std::vector<std::string>{"db.lwdb"});
}

}  // namespace
}  // namespace lockwell
