// Overwriting the characters a QString holds: the whole block it owns,
// also after text was erased from the front (Qt then only moves the
// string's start forward), and never a block another string shares.
#include <gtest/gtest.h>

#include <QString>

#include "platform/ui/SecretText.h"

namespace lockwell {
namespace {

TEST(SecretTextTest, OverwriteCoversTheWholeBlockAfterAnEraseFromTheFront) {
  QString text = QStringLiteral("correct horse battery staple");
  text.remove(0, 12);  // as a line edit does when leading characters are deleted
  ASSERT_GT(text.data_ptr().freeSpaceAtBegin(), 0) << "the erase left no room at the front";
  const QChar* block = text.constData() - text.data_ptr().freeSpaceAtBegin();
  const qsizetype capacity = text.capacity();

  SecretText::Overwrite(text);
  for (qsizetype i = 0; i < capacity; ++i) EXPECT_EQ(block[i], QChar(0)) << "character " << i;
}

TEST(SecretTextTest, SharedTextIsLetGoNotOverwritten) {
  const QString kept = QStringLiteral("shared secret");
  QString copy = kept;
  SecretText::Wipe(copy);
  EXPECT_TRUE(copy.isNull());
  EXPECT_EQ(kept, QStringLiteral("shared secret"));
}

}  // namespace
}  // namespace lockwell
