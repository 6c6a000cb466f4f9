// PalmDatabase: the category table in the header area.
#include <string_view>

#include "palmdb/PalmDatabase.h"
#include "palmdb/PalmHeaderView.h"

namespace lockwell {
namespace {

// Names travel as C strings in the file: anything after a NUL is not part
// of the name.
std::string_view CName(const std::string& name) { return std::string_view(name.c_str()); }

// Numbers a category operation may change: Unfiled (0) and "All" may not.
bool IsChangeableCategory(uint32_t category) { return category >= 1 && category < kCategoryCount; }

}  // namespace

bool PalmDatabase::SaveCategoryChange(ErrorList& errors, const std::string& before) {
  if (SaveHeader(errors)) return true;
  header_.replace(0, before.size(), before);
  return false;
}

uint8_t PalmDatabase::NewCategoryUniqId() {
  PalmHeaderView view(header_);
  // IDs made on the PC lie in 128-255; the handheld uses the ones below.
  uint8_t id = static_cast<uint8_t>(view.LastUniqId() + 1);
  if (id < 128) id = 128;
  for (;;) {
    bool used = false;
    for (uint32_t i = 0; i < kCategoryCount && !used; ++i)
      used = view.HasCategoryName(i) && view.CategoryUniqId(i) == id;
    if (!used) break;
    id = id == 255 ? 128 : static_cast<uint8_t>(id + 1);
  }
  view.SetLastUniqId(id);
  return id;
}

bool PalmDatabase::ListCategories(ErrorList& errors, std::vector<std::string>& names,
                                  std::vector<uint32_t>& numbers) {
  if (!RequireOpen(errors)) return false;
  PalmHeaderView view(header_);
  for (uint32_t i = 0; i < kCategoryCount; ++i) {
    if (!view.HasCategoryName(i)) continue;
    names.push_back(view.CategoryName(i));
    numbers.push_back(i);
  }
  return true;
}

bool PalmDatabase::GetCategoryName(ErrorList& errors, uint32_t category, std::string& name) {
  if (!RequireOpen(errors)) return false;
  if (category == ALL_CATEGORIES) {
    name = "All";
    return true;
  }
  if (category >= kCategoryCount) {
    errors.Append(ModuleId(), kErrCategoryInvalid, "Invalid category ID specified");
    return false;
  }
  name = PalmHeaderView(header_).CategoryName(category);
  return true;
}

bool PalmDatabase::GetCategoryUniqId(ErrorList& errors, uint32_t category, uint8_t& uniqId) {
  if (!RequireOpen(errors)) return false;
  if (category >= kCategoryCount) {
    errors.Append(ModuleId(), kErrCategoryInvalid, "Invalid category ID specified");
    return false;
  }
  uniqId = PalmHeaderView(header_).CategoryUniqId(category);
  return true;
}

bool PalmDatabase::AddCategory(ErrorList& errors, const std::string& name, uint32_t& category) {
  if (!RequireOpen(errors)) return false;
  const std::string_view wanted = CName(name);
  if (wanted.size() >= kCategoryNameSize) {
    errors.Append(ModuleId(), kErrCategoryLimit, "Category name too long.  Must be 15 characters or less.");
    return false;
  }
  if (wanted.empty()) {
    errors.Append(ModuleId(), kErrCategoryNameEmpty, "Must specify a category name to add!");
    return false;
  }
  PalmHeaderView view(header_);
  for (uint32_t i = 0; i < kCategoryCount; ++i) {
    if (view.CategoryName(i) == wanted) {
      errors.Append(ModuleId(), kErrCategoryExists, "Category name specified already exists");
      return false;
    }
  }
  uint32_t slot = 0;
  while (slot < kCategoryCount && view.HasCategoryName(slot)) ++slot;
  if (slot == kCategoryCount) {
    errors.Append(ModuleId(), kErrCategoryLimit, "Maximum number of categories reached!");
    return false;
  }
  const std::string before = header_.substr(0, kPalmHeaderSize);
  view.SetCategoryUniqId(slot, NewCategoryUniqId());
  view.SetCategoryName(slot, wanted);
  view.MarkRenamed(slot, true);
  if (!SaveCategoryChange(errors, before)) return false;
  category = slot;
  return true;
}

bool PalmDatabase::RenameCategory(ErrorList& errors, uint32_t category, const std::string& name) {
  if (!RequireOpen(errors)) return false;
  if (!IsChangeableCategory(category)) {
    errors.Append(ModuleId(), kErrCategoryInvalid, "Cannot set the name of the specified category");
    return false;
  }
  PalmHeaderView view(header_);
  if (!view.HasCategoryName(category)) {
    errors.Append(ModuleId(), kErrCategoryNoName, "Cannot set category name: Category has no name");
    return false;
  }
  const std::string_view wanted = CName(name);
  // An empty name would free the slot while its records still point at it.
  if (wanted.empty()) {
    errors.Append(ModuleId(), kErrCategoryNameEmpty, "Must specify a new name for the category!");
    return false;
  }
  if (wanted.size() >= kCategoryNameSize) {
    errors.Append(ModuleId(), kErrCategoryNameTooLong, "Category name specified is too long");
    return false;
  }
  for (uint32_t i = 0; i < kCategoryCount; ++i) {
    if (i != category && view.CategoryName(i) == wanted) {
      errors.Append(ModuleId(), kErrCategoryExists, "Category name specified already exists");
      return false;
    }
  }
  const std::string before = header_.substr(0, kPalmHeaderSize);
  view.SetCategoryName(category, wanted);
  view.MarkRenamed(category, true);
  return SaveCategoryChange(errors, before);
}

bool PalmDatabase::DeleteCategory(ErrorList& errors, uint32_t category) {
  if (!RequireOpen(errors)) return false;
  if (!IsChangeableCategory(category)) {
    errors.Append(ModuleId(), kErrCategoryInvalid, "Invalid category ID specified");
    return false;
  }
  // Live records move to Unfiled and are marked modified so that the move
  // reaches the handheld; deleted ones keep their category.
  for (uint32_t p = 0; p < index_.Size(); ++p) {
    const RecordPrefix& prefix = index_.At(p);
    if (prefix.category != category || prefix.status == PalmDatabaseRecord::STATUS_DELETED) continue;
    PalmDatabaseRecord record(this);
    if (!LoadRecord(errors, p, record, true)) return false;
    record.SetCategory(errors, UNFILED_CATEGORY);
    if (!WriteRecord(errors, record)) return false;
  }
  const std::string before = header_.substr(0, kPalmHeaderSize);
  PalmHeaderView view(header_);
  view.ClearCategoryName(category);
  view.MarkRenamed(category, false);
  return SaveCategoryChange(errors, before);
}

}  // namespace lockwell
