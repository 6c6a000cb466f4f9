#include <gtest/gtest.h>

#include <cerrno>

#include "PalmFixture.h"
#include "palmdb/PalmDatabase.h"
#include "storage/IoFaults.h"
#include "storage/ModuleRegistry.h"

namespace lockwell::palmtest {
namespace {

using D = PalmDatabase;
using R = PalmDatabaseRecord;

class PalmDatabaseHeaderTest : public PalmTest {
 protected:
  std::vector<std::string> Names(PalmDatabase& db) {
    std::vector<std::string> names;
    std::vector<uint32_t> numbers;
    EXPECT_TRUE(db.ListCategories(errors_, names, numbers));
    return names;
  }
  std::vector<uint32_t> Numbers(PalmDatabase& db) {
    std::vector<std::string> names;
    std::vector<uint32_t> numbers;
    EXPECT_TRUE(db.ListCategories(errors_, names, numbers));
    return numbers;
  }
  uint8_t UniqId(PalmDatabase& db, uint32_t category) {
    uint8_t id = 0;
    EXPECT_TRUE(db.GetCategoryUniqId(errors_, category, id)) << errors_.Summary();
    return id;
  }
};

TEST_F(PalmDatabaseHeaderTest, NewDatabaseHasUnfiledAndOneEmptyReservedRecord) {
  {
    auto db = Create();
    EXPECT_EQ(Names(*db), std::vector<std::string>{"Unfiled"});
    EXPECT_EQ(UniqId(*db, 0), 1);
    uint32_t count = 99;
    EXPECT_TRUE(db->GetRecordCount(errors_, true, count));
    EXPECT_EQ(count, 0u);
    EXPECT_TRUE(errors_.Empty()) << errors_.Summary();
  }
  RawContents raw = ReadRawDatabase(path_);
  EXPECT_EQ(raw.header, RawHeader().Bytes());
  EXPECT_EQ(raw.records, std::vector<std::string>{""});
  EXPECT_STREQ(D::ModuleNameText(), "Tallmark PalmDatabase Class");
  EXPECT_EQ(ModuleName(D::ModuleId()), "Tallmark PalmDatabase Class");
}

TEST_F(PalmDatabaseHeaderTest, HeaderFieldsUseTheirByteOrders) {
  {
    auto db = Create(300);
    uint32_t category = 0;
    for (char digit = '1'; digit <= '9'; ++digit)
      ASSERT_TRUE(db->AddCategory(errors_, std::string{'C', digit}, category));
    // The derived class's bytes after 284 are its own and survive.
    db->GetHeader()[299] = 'Z';
    ASSERT_TRUE(db->SaveHeader(errors_));
    R a(errors_, db.get(), true), b(errors_, db.get(), true), c(errors_, db.get(), true);
    ASSERT_TRUE(db->AppendNew(errors_, a, true));
    ASSERT_TRUE(db->AppendNew(errors_, b, true));
    ASSERT_TRUE(db->AppendNew(errors_, c, true));
    // Unchanged as far as the handheld is concerned, then deleted: kept.
    for (R* r : {&a, &b}) {
      r->SetStatus(errors_, R::STATUS_UNCHANGED);
      ASSERT_TRUE(db->WriteRecord(errors_, *r)) << errors_.Summary();
      ASSERT_TRUE(db->DeleteRecord(errors_, *r)) << errors_.Summary();
    }
  }
  std::string header = ReadRawDatabase(path_).header;
  ASSERT_EQ(header.size(), 300u);
  // renamedCategories: bits 1-9 = 0x03FE, big-endian.
  EXPECT_EQ(static_cast<unsigned char>(header[0]), 0x03);
  EXPECT_EQ(static_cast<unsigned char>(header[1]), 0xFE);
  EXPECT_EQ(header.substr(2 + 16 * 9, 16), std::string("C9") + std::string(14, '\0'));
  EXPECT_EQ(static_cast<unsigned char>(header[258 + 9]), 137);
  EXPECT_EQ(static_cast<unsigned char>(header[274]), 137);
  EXPECT_EQ(header[275], '\0');
  EXPECT_EQ(header.substr(276, 4), Le32(2));  // deletedCount, little-endian
  EXPECT_EQ(header.substr(280, 4), Le32(3));  // lastDesktopRecordId
  EXPECT_EQ(header[299], 'Z');
}

TEST_F(PalmDatabaseHeaderTest, OpenRefusesHeaderSizesThatDoNotFit) {
  WriteRawDatabase(path_, {}, RawHeader{.size = 300});
  ErrorList errors;
  D wrong(errors, path_, D::kOpenExisting, 284);
  EXPECT_TRUE(HasDbError(errors, D::kErrHeaderSize,
                         "Database header size is wrong.  This may be because you are trying to open the "
                         "database with an older version of the product than it was created with.  Please "
                         "upgrade to the latest version and try again."));

  ErrorList small;
  D tooSmall(small, dir_.File("other.lwdb"), D::kCreateNew, 283);
  EXPECT_FALSE(tooSmall.IsOpen());
  EXPECT_TRUE(HasDbError(small, D::kErrHeaderTooSmall, "Internal error: Header size specified is too small"));
}

TEST_F(PalmDatabaseHeaderTest, AddCategoryRules) {
  auto db = Create();
  struct Case {
    std::string name;
    uint32_t code;  // 0: accepted
    std::string message;
    uint32_t slot = 0;
    uint8_t uniqId = 0;
  } cases[] = {
      {"Business", 0, "", 1, 129},
      {"fifteen chars!!", 0, "", 2, 130},
      {"sixteen chars!!!", D::kErrCategoryLimit, "Category name too long.  Must be 15 characters or less."},
      {"", D::kErrCategoryNameEmpty, "Must specify a category name to add!"},
      {"Business", D::kErrCategoryExists, "Category name specified already exists"},
      {"Unfiled", D::kErrCategoryExists, "Category name specified already exists"},
      {"business", 0, "", 3, 131},  // names compare case-sensitively
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ErrorList errors;
    uint32_t slot = 99;
    EXPECT_EQ(db->AddCategory(errors, c.name, slot), c.code == 0);
    if (c.code == 0) {
      EXPECT_EQ(slot, c.slot);
      EXPECT_EQ(UniqId(*db, slot), c.uniqId);
    } else {
      EXPECT_TRUE(HasDbError(errors, c.code, c.message));
      EXPECT_EQ(slot, 99u);
    }
  }
  EXPECT_EQ(Names(*db), (std::vector<std::string>{"Unfiled", "Business", "fifteen chars!!", "business"}));
}

TEST_F(PalmDatabaseHeaderTest, FullTableRefusesAndAFreedSlotIsReusedWithAFreshId) {
  auto db = Create();
  uint32_t slot = 0;
  for (int i = 1; i < 16; ++i) ASSERT_TRUE(db->AddCategory(errors_, "Cat " + std::to_string(i), slot));
  EXPECT_FALSE(db->AddCategory(errors_, "One more", slot));
  EXPECT_TRUE(HasDbError(errors_, D::kErrCategoryLimit, "Maximum number of categories reached!"));
  EXPECT_EQ(UniqId(*db, 5), 133);

  ErrorList errors;
  ASSERT_TRUE(db->DeleteCategory(errors, 5)) << errors.Summary();
  EXPECT_EQ(UniqId(*db, 5), 133);  // left as it was
  ASSERT_TRUE(db->AddCategory(errors, "One more", slot)) << errors.Summary();
  EXPECT_EQ(slot, 5u);
  EXPECT_EQ(UniqId(*db, 5), 144);
}

TEST_F(PalmDatabaseHeaderTest, NewUniqueIdsSkipUsedOnesAndWrapWithin128To255) {
  RawHeader header;
  header.names = {"Unfiled", "A", "B", "", "D"};
  header.uniqIds = {1, 255, 128, 129, 130};  // slot 3 is free: its old ID counts for nothing
  header.lastUniqId = 254;
  WriteRawDatabase(path_, {}, header);
  auto db = Open();
  uint32_t slot = 0;
  ASSERT_TRUE(db->AddCategory(errors_, "C", slot)) << errors_.Summary();
  EXPECT_EQ(slot, 3u);
  EXPECT_EQ(UniqId(*db, 3), 129);
  ASSERT_TRUE(db->AddCategory(errors_, "E", slot)) << errors_.Summary();
  EXPECT_EQ(UniqId(*db, slot), 131);
}

TEST_F(PalmDatabaseHeaderTest, RenameCategoryRules) {
  auto db = Create();
  uint32_t slot = 0;
  for (int i = 1; i < 16; ++i) ASSERT_TRUE(db->AddCategory(errors_, "Cat " + std::to_string(i), slot));
  ErrorList errors;
  ASSERT_TRUE(db->DeleteCategory(errors, 7));
  const std::string cannot = "Cannot set the name of the specified category";
  struct Case {
    uint32_t category;
    std::string name;
    uint32_t code;  // 0: accepted
    std::string message;
  } cases[] = {
      {0, "Misc", D::kErrCategoryInvalid, cannot},
      {16, "Misc", D::kErrCategoryInvalid, cannot},
      {ALL_CATEGORIES, "Misc", D::kErrCategoryInvalid, cannot},
      {7, "Misc", D::kErrCategoryNoName, "Cannot set category name: Category has no name"},
      // An empty name would free a slot its records still point at; refused
      // whether or not another slot is free.
      {3, "", D::kErrCategoryNameEmpty, "Must specify a new name for the category!"},
      {3, "sixteen chars!!!", D::kErrCategoryNameTooLong, "Category name specified is too long"},
      {3, "Cat 4", D::kErrCategoryExists, "Category name specified already exists"},
      {3, "Unfiled", D::kErrCategoryExists, "Category name specified already exists"},
      {3, "Cat 3", 0, ""},
      {3, "fifteen chars!!", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.category);
    SCOPED_TRACE(c.name);
    ErrorList errors;
    std::string before;
    if (c.category < 16) db->GetCategoryName(errors, c.category, before);
    EXPECT_EQ(db->RenameCategory(errors, c.category, c.name), c.code == 0);
    std::string after;
    if (c.category < 16) db->GetCategoryName(errors, c.category, after);
    if (c.code == 0) {
      EXPECT_EQ(after, c.name);
    } else {
      EXPECT_TRUE(HasDbError(errors, c.code, c.message));
      EXPECT_EQ(after, before);
    }
  }

  // With every slot named, the empty name is refused all the same.
  ASSERT_TRUE(db->AddCategory(errors, "Seven", slot));
  ErrorList full;
  EXPECT_FALSE(db->RenameCategory(full, 3, ""));
  EXPECT_TRUE(HasDbError(full, D::kErrCategoryNameEmpty));
  EXPECT_EQ(Names(*db).size(), 16u);
}

TEST_F(PalmDatabaseHeaderTest, RenameMarksTheCategoryAsRenamedOnThePc) {
  RawHeader header;
  header.names = {"Unfiled", "Handheld"};
  header.uniqIds = {1, 17};
  WriteRawDatabase(path_, {}, header);
  {
    auto db = Open();
    ASSERT_TRUE(db->RenameCategory(errors_, 1, "Renamed")) << errors_.Summary();
    EXPECT_EQ(UniqId(*db, 1), 17);
  }
  std::string raw = ReadRawDatabase(path_).header;
  EXPECT_EQ(raw.substr(0, 2), std::string("\x00\x02", 2));
  EXPECT_EQ(raw.substr(18, 16), std::string("Renamed") + std::string(9, '\0'));
}

TEST_F(PalmDatabaseHeaderTest, DeleteCategoryMovesLiveRecordsToUnfiledAsModified) {
  RawHeader header;
  header.renamed = 0x0004;
  header.names = {"Unfiled", "Keep", "Drop"};
  header.uniqIds = {1, 2, 3};
  header.deletedCount = 1;
  WriteRawDatabase(path_,
                   {{1, 0, R::STATUS_UNCHANGED, 0, 2, "a"},
                    {2, 0, R::STATUS_MODIFIED, 0, 2, "b"},
                    {3, 1, R::STATUS_NEW, 0, 2, "c"},
                    {4, 0, R::STATUS_DELETED, 0, 2, std::string(1, '\0')},
                    {5, 0, R::STATUS_UNCHANGED, 0, 1, "e"}},
                   header);
  {
    auto db = Open();
    ASSERT_TRUE(db->DeleteCategory(errors_, 2)) << errors_.Summary();
    EXPECT_EQ(Names(*db), (std::vector<std::string>{"Unfiled", "Keep"}));
    EXPECT_EQ(UniqId(*db, 2), 3);

    const Seen expected[] = {{1, false, R::STATUS_MODIFIED, 0, 0, "a"},
                             {2, false, R::STATUS_MODIFIED, 0, 0, "b"},
                             {3, true, R::STATUS_NEW, 0, 0, "c"},
                             {4, false, R::STATUS_DELETED, 0, 2, std::string(1, '\0')},
                             {5, false, R::STATUS_UNCHANGED, 0, 1, "e"}};
    for (uint32_t p = 0; p < 5; ++p) {
      R record(db.get());
      ASSERT_TRUE(db->ReadRecordAt(errors_, p, record)) << errors_.Summary();
      EXPECT_EQ(See(record), expected[p]);
    }

    for (uint32_t bad : {0u, 16u, ALL_CATEGORIES}) {
      ErrorList errors;
      EXPECT_FALSE(db->DeleteCategory(errors, bad));
      EXPECT_TRUE(HasDbError(errors, D::kErrCategoryInvalid, "Invalid category ID specified"));
    }
  }
  std::string raw = ReadRawDatabase(path_).header;
  EXPECT_EQ(raw.substr(0, 2), std::string(2, '\0'));  // its renamed bit is cleared
  EXPECT_EQ(raw[2 + 32], '\0');
}

TEST_F(PalmDatabaseHeaderTest, CategoryLookupsCheckTheNumber) {
  auto db = Create();
  std::string name;
  ASSERT_TRUE(db->GetCategoryName(errors_, ALL_CATEGORIES, name));
  EXPECT_EQ(name, "All");
  ASSERT_TRUE(db->GetCategoryName(errors_, 15, name));
  EXPECT_EQ(name, "");
  uint8_t id = 0;
  for (uint32_t bad : {16u, ALL_CATEGORIES}) {
    ErrorList errors;
    if (bad != ALL_CATEGORIES) {
      EXPECT_FALSE(db->GetCategoryName(errors, bad, name));
    }
    EXPECT_FALSE(db->GetCategoryUniqId(errors, bad, id));
    EXPECT_TRUE(HasDbError(errors, D::kErrCategoryInvalid, "Invalid category ID specified"));
  }
}

TEST_F(PalmDatabaseHeaderTest, CategoryNameWithoutNulIsCutToFifteenCharacters) {
  RawHeader header;
  header.names = {"Unfiled", std::string(16, 'X'), "Next"};
  header.uniqIds = {1, 2, 3};
  WriteRawDatabase(path_, {}, header);
  {
    auto db = Open();
    EXPECT_EQ(Names(*db), (std::vector<std::string>{"Unfiled", std::string(15, 'X'), "Next"}));
    uint32_t slot = 0;
    ErrorList errors;
    EXPECT_FALSE(db->AddCategory(errors, std::string(15, 'X'), slot));
    EXPECT_TRUE(HasDbError(errors, D::kErrCategoryExists));
  }
  std::string raw = ReadRawDatabase(path_).header;
  EXPECT_EQ(raw.substr(18, 16), std::string(15, 'X') + '\0');
  EXPECT_EQ(raw.substr(34, 5), std::string("Next") + '\0');
}

TEST_F(PalmDatabaseHeaderTest, ACategoryChangeThatCannotBeSavedChangesNothing) {
  auto db = Create();
  uint32_t slot = 0;
  ASSERT_TRUE(db->AddCategory(errors_, "Kept", slot));
  const std::string before = db->GetHeader();
  struct Case {
    const char* name;
    std::function<bool(ErrorList&)> change;
  } cases[] = {
      {"add", [&](ErrorList& e) { return db->AddCategory(e, "Lost", slot); }},
      {"rename", [&](ErrorList& e) { return db->RenameCategory(e, 1, "Lost"); }},
      {"delete", [&](ErrorList& e) { return db->DeleteCategory(e, 1); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ErrorList errors;
    {
      ScopedIoFault fault(IoOp::Write, 1, ENOSPC);
      EXPECT_FALSE(c.change(errors));
      EXPECT_TRUE(fault.Fired());
    }
    EXPECT_EQ(db->GetHeader(), before);
  }
  EXPECT_EQ(Names(*db), (std::vector<std::string>{"Unfiled", "Kept"}));
}

}  // namespace
}  // namespace lockwell::palmtest
