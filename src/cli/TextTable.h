// Rows of text printed as aligned columns, or as tab-separated values with
// tabs, line breaks and backslashes escaped so that each row is one line.
#pragma once

#include <cstdio>
#include <string_view>
#include <vector>

#include "storage/SecureString.h"

namespace lockwell {

class TextTable {
 public:
  void AddRow(std::vector<SecureString> cells) { rows_.push_back(std::move(cells)); }
  void Print(std::FILE* out, bool tsv) const;

 private:
  std::vector<std::vector<SecureString>> rows_;
};

}  // namespace lockwell
