// Random inserts, writes, deletes and purges against a plain vector model.
// After every step the database must agree with the model in memory, and at
// the end the reopened file must agree with it too.
#include <gtest/gtest.h>

#include <random>

#include "PalmFixture.h"
#include "palmdb/PalmDatabase.h"

namespace lockwell::palmtest {
namespace {

using D = PalmDatabase;
using R = PalmDatabaseRecord;

class PalmDatabaseModelTest : public PalmTest {
 protected:
  using Model = std::vector<Seen>;

  void ExpectSame(PalmDatabase& db, const Model& model) {
    ASSERT_TRUE(db.CheckInvariants());
    ErrorList errors;
    uint32_t count = 0;
    ASSERT_TRUE(db.GetRecordCount(errors, true, count));
    ASSERT_EQ(count, model.size());
    uint32_t live = 0;
    ASSERT_TRUE(db.GetRecordCount(errors, false, live));
    uint32_t modelLive = 0;
    for (const Seen& s : model) modelLive += s.status != R::STATUS_DELETED;
    EXPECT_EQ(live, modelLive);
    for (uint32_t p = 0; p < count; ++p) {
      R record(&db);
      ASSERT_TRUE(db.ReadRecordAt(errors, p, record)) << errors.Summary();
      ASSERT_EQ(See(record), model[p]) << "at " << p;
    }
    // Scans by category agree with a filter over the model.
    for (uint32_t category : {0u, 1u, 2u, ALL_CATEGORIES}) {
      std::vector<uint32_t> expected, seen;
      for (const Seen& s : model)
        if (s.status != R::STATUS_DELETED && (category == ALL_CATEGORIES || s.category == category))
          expected.push_back(s.recordId);
      R record(&db);
      for (uint32_t n = 0; db.ReadNthInCategory(errors, category, n, record); ++n)
        seen.push_back(See(record).recordId);
      EXPECT_EQ(seen, expected) << "category " << category;
    }
    std::vector<uint32_t> expected, seen;
    for (uint32_t f = 1; f <= model.size(); ++f)
      if (model[f - 1].status != R::STATUS_UNCHANGED) expected.push_back(f);
    R record(&db);
    for (uint32_t k = 0; db.ReadNextModified(errors, k, record);) seen.push_back(k);
    EXPECT_EQ(seen, expected);
  }
};

TEST_F(PalmDatabaseModelTest, RandomOperationsAgreeWithAVectorModel) {
  for (uint32_t seed : {1u, 2u, 3u, 4u}) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    auto pick = [&](uint32_t bound) { return bound == 0 ? 0u : static_cast<uint32_t>(rng() % bound); };
    auto payload = [&] {
      std::string bytes(pick(40), '\0');
      for (char& c : bytes) c = static_cast<char>('a' + pick(26));
      return bytes;
    };
    auto hasKey = [](const Model& model, uint32_t id, bool desktop) {
      for (const Seen& s : model)
        if (s.recordId == id && s.desktopId == desktop) return true;
      return false;
    };
    auto liveNth = [](const Model& model, uint32_t n) -> int64_t {
      for (size_t p = 0; p < model.size(); ++p)
        if (model[p].status != R::STATUS_DELETED && n-- == 0) return static_cast<int64_t>(p);
      return -1;
    };

    Model model;
    {
      auto db = Create();
      for (int step = 0; step < 250; ++step) {
        SCOPED_TRACE(step);
        ErrorList errors;
        const uint32_t size = static_cast<uint32_t>(model.size());
        const uint32_t op = pick(10);
        if (op <= 3) {
          // Insert somewhere, with a key that may exist already.
          Seen s{pick(30), pick(2) == 1, pick(4), pick(4), pick(3), payload()};
          R record = MakeRecord(db.get(), s.recordId, s.desktopId, s.status, s.category, s.payload, s.flags);
          const bool markNew = op == 3 || pick(2) == 1;
          if (markNew && s.status == R::STATUS_UNCHANGED) s.status = R::STATUS_NEW;
          int64_t at = -1;
          bool ok = false;
          if (op == 0) {
            ok = db->AppendNew(errors, record, markNew);
            at = size;
          } else if (op <= 2) {
            at = pick(size + 1);
            ok = db->InsertAt(errors, record, static_cast<uint32_t>(at), markNew);
          } else {
            uint32_t n = pick(size + 2);
            at = n >= size ? size : liveNth(model, n);
            ok = db->InsertBeforeNth(errors, n, record);
          }
          const bool expectOk = at >= 0 && s.recordId != 0 && !hasKey(model, s.recordId, s.desktopId);
          ASSERT_EQ(ok, expectOk) << errors.Summary();
          if (ok) model.insert(model.begin() + at, s);
        } else if (op <= 5 && size > 0) {
          // Rewrite a record: payload, category, status and perhaps its key.
          uint32_t p = pick(size);
          R record(db.get());
          ASSERT_TRUE(db->ReadRecordAt(errors, p, record));
          Seen s = model[p];
          s.payload = payload();
          s.category = pick(3);
          s.status = pick(4);
          s.flags = pick(4);
          record.SetPayload(errors, s.payload);
          record.SetCategory(errors, s.category);
          record.SetStatus(errors, s.status);
          record.SetSyncFlags(errors, s.flags);
          bool rekey = pick(3) == 0;
          if (rekey) {
            s.recordId = pick(30);
            s.desktopId = pick(2) == 1;
            record.SetRecordId(errors, s.recordId, s.desktopId);
          }
          bool clash = rekey && !(s.recordId == model[p].recordId && s.desktopId == model[p].desktopId) &&
                       (s.recordId == 0 || hasKey(model, s.recordId, s.desktopId));
          ASSERT_EQ(db->WriteRecord(errors, record), !clash) << errors.Summary();
          if (!clash) model[p] = s;
        } else if (op == 6 && size > 0) {
          // Delete: a new record goes, any other stays with zeros.
          uint32_t p = pick(size);
          R record(db.get());
          ASSERT_TRUE(db->ReadRecordAt(errors, p, record));
          ASSERT_TRUE(db->DeleteRecord(errors, record)) << errors.Summary();
          if (model[p].status == R::STATUS_NEW) {
            model.erase(model.begin() + p);
          } else {
            model[p].status = R::STATUS_DELETED;
            model[p].payload.assign(model[p].payload.size(), '\0');
          }
        } else if (op == 7 && size > 0) {
          uint32_t p = pick(size);
          ASSERT_TRUE(db->PurgeRecordAt(errors, p)) << errors.Summary();
          model.erase(model.begin() + p);
        } else if (op == 8) {
          ASSERT_TRUE(db->PurgeAllDeleted(errors)) << errors.Summary();
          std::erase_if(model, [](const Seen& s) { return s.status == R::STATUS_DELETED; });
        } else if (op == 9) {
          uint32_t category = 1 + pick(2);
          ASSERT_TRUE(db->DeleteCategory(errors, category)) << errors.Summary();
          for (Seen& s : model) {
            if (s.category != category || s.status == R::STATUS_DELETED) continue;
            s.category = 0;
            if (s.status != R::STATUS_NEW) s.status = R::STATUS_MODIFIED;
          }
        }
        ExpectSame(*db, model);
        if (::testing::Test::HasFatalFailure()) return;
      }
    }
    auto db = Open();
    ExpectSame(*db, model);
  }
}

}  // namespace
}  // namespace lockwell::palmtest
