#include <gtest/gtest.h>

#include <string>

#include "storage/SecureString.h"

namespace lockwell {
namespace {

template <typename Text>
void ExpectWipedInPlace(Text& text, void (*wipe)(Text&)) {
  const char* data = text.data();
  size_t capacity = text.capacity();
  wipe(text);
  EXPECT_TRUE(text.empty());
  EXPECT_EQ(text.data(), data) << "the buffer must be wiped, not replaced";
  for (size_t i = 0; i < capacity; ++i) ASSERT_EQ(data[i], 0) << "byte " << i;
}

// Both a short (inline) and a long (heap) text must leave no byte behind.
TEST(SecureStringTest, WipingZeroesTheWholeBuffer) {
  for (const char* secret : {"pin 1234", "a passphrase long enough to live on the heap"}) {
    std::string plain = secret;
    ExpectWipedInPlace<std::string>(plain, [](std::string& t) { WipeString(t); });
    SecureString secure = secret;
    ExpectWipedInPlace<SecureString>(secure, [](SecureString& t) { t.wipe(); });
  }
}

}  // namespace
}  // namespace lockwell
