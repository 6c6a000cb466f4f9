#include <gtest/gtest.h>

#include "storage/ErrorList.h"
#include "storage/ModuleRegistry.h"

namespace lockwell {
namespace {

constexpr uint32_t kError = 0x80010001;
constexpr uint32_t kWarning = 0x40010000;
constexpr uint32_t kInformational = 0x20010000;

TEST(ErrorListTest, SummaryNestsEveryRecordAfterTheFirst) {
  struct Case {
    std::vector<const char*> texts;
    std::string summary;
  } cases[] = {
      {{}, ""},
      {{"A"}, "A"},
      {{"A", "B"}, "A (B)"},
      {{"A", "B", "C"}, "A (B (C))"},
  };
  for (const auto& c : cases) {
    ErrorList list;
    for (const char* text : c.texts) list.Append(1, kError, text);
    EXPECT_EQ(list.Summary(), c.summary);
  }
}

TEST(ErrorListTest, SeverityQueriesFollowTheFirstDecidingRecord) {
  struct Case {
    const char* name;
    std::vector<uint32_t> codes;
    bool hasErrors, isWarning, isInformational;
  } cases[] = {
      {"empty", {}, false, false, false},
      {"warning then error", {kWarning, kError}, true, true, false},
      {"error then warning", {kError, kWarning}, true, false, false},
      {"informational then warning", {kInformational, kWarning}, false, true, true},
      {"warning then informational", {kWarning, kInformational}, false, true, false},
      {"code without severity bits", {0x00010000}, false, false, false},
  };
  for (const auto& c : cases) {
    ErrorList list;
    for (uint32_t code : c.codes) list.Append(1, code, "text");
    EXPECT_EQ(list.HasErrors(), c.hasErrors) << c.name;
    EXPECT_EQ(list.IsWarning(), c.isWarning) << c.name;
    EXPECT_EQ(list.IsInformational(), c.isInformational) << c.name;
  }
}

TEST(ErrorListTest, ContainsMatchesModuleAndCodeTogether) {
  ErrorList list;
  list.Append(3, kError, "x");
  EXPECT_TRUE(list.Contains(3, kError));
  EXPECT_FALSE(list.Contains(4, kError));
  EXPECT_FALSE(list.Contains(3, kError + 1));
}

TEST(ErrorListTest, ClearEmptiesAndKeepsOrder) {
  ErrorList list;
  list.Append(1, kError, "first");
  list.Append(std::make_unique<ErrorRecord>(2, kWarning, "second", 12, "a\\b.cpp"));
  ASSERT_EQ(list.Size(), 2u);
  auto it = list.begin();
  EXPECT_EQ((*it)->Detail(), "first");
  ++it;
  EXPECT_EQ((*it)->Line(), 12u);
  EXPECT_EQ((*it)->SourceFile(), "a\\b.cpp");
  list.Clear();
  EXPECT_TRUE(list.Empty());
  EXPECT_EQ(list.Summary(), "");
}

TEST(ModuleRegistryTest, IdsCountUpAndAModuleRegistersOnce) {
  // Other tests of this binary may have registered modules already, so the
  // ids are compared with each other rather than with 1 and 2.
  int32_t first = RegisterModule("First Module");
  int32_t second = RegisterModule("Second Module");
  EXPECT_EQ(second, first + 1);
  EXPECT_EQ(ModuleName(first), "First Module");
  EXPECT_EQ(ModuleName(second), "Second Module");
  EXPECT_EQ(ModuleName(-5), "");
  EXPECT_EQ(ModuleName(second + 100), "");

  Module module("Once Module");
  EXPECT_EQ(module.Id(), 0);
  int32_t id = module.Register();
  EXPECT_EQ(module.Register(), id);
  EXPECT_EQ(module.Id(), id);
  EXPECT_EQ(ModuleName(id), "Once Module");
}

}  // namespace
}  // namespace lockwell
