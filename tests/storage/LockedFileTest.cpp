// Positioned reads through the read-ahead window: whatever order the reads
// come in (a forward scan, jumps back, reads across the window's edge or
// the end of the file, reads bigger than the window) they give the file's
// bytes, also right after a write changed them.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "storage/LockedFile.h"
#include "support/TempDir.h"

namespace lockwell::testing {
namespace {

constexpr size_t kFileSize = 200 * 1024;

std::string Pattern() {
  std::string bytes(kFileSize, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 131) ^ (i >> 9));
  return bytes;
}

TEST(LockedFileTest, PositionedReadsGiveTheFilesBytesInAnyOrder) {
  TempDir dir;
  const std::string path = dir.File("data");
  std::string model = Pattern();
  LockedFile file;
  ASSERT_TRUE(file.Open(path, LockedFile::Mode::kCreate));
  ASSERT_TRUE(file.Write(model.data(), model.size()));

  struct Read {
    uint64_t offset;
    size_t size;
  };
  const Read reads[] = {
      {1000, 8},                  // first read: one block
      {1008, 300},                // inside that block
      {4090, 20},                 // across the block's end: a forward scan
      {4110, 60000},              // inside the 64 KiB window
      {68000, 100},               // just past the window: the scan goes on
      {10, 8},                    // back to the start: one block again
      {150000, 70 * 1024},        // bigger than the window, running past the end
      {kFileSize - 5, 8},         // across the end of the file
      {kFileSize + 10, 4},        // wholly past the end
      {120000, 8}, {120008, 500}, // a header, then its body
  };
  for (const Read& r : reads) {
    SCOPED_TRACE(::testing::Message() << "offset " << r.offset << ", size " << r.size);
    std::string got(r.size, '\x5a');
    size_t count = 0;
    ASSERT_TRUE(file.ReadAt(r.offset, got.data(), r.size, count));
    const std::string expected = r.offset < model.size() ? model.substr(r.offset, r.size) : std::string();
    ASSERT_EQ(count, expected.size());
    EXPECT_EQ(got.substr(0, count), expected);
  }

  // A write between two reads of the same bytes: the second sees it.
  std::string before(16, '\0');
  size_t count = 0;
  ASSERT_TRUE(file.ReadAt(5000, before.data(), before.size(), count));
  const std::string changed(16, '\x7e');
  ASSERT_TRUE(file.Seek(5000) && file.Write(changed.data(), changed.size()));
  std::string after(16, '\0');
  ASSERT_TRUE(file.ReadAt(5000, after.data(), after.size(), count));
  EXPECT_EQ(before, model.substr(5000, 16));
  EXPECT_EQ(after, changed);
}

}  // namespace
}  // namespace lockwell::testing
