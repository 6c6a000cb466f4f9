#include "cli/TextTable.h"

#include <algorithm>

namespace lockwell {
namespace {

// Characters, not bytes: continuation bytes of UTF-8 do not count.
size_t Width(std::string_view text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

SecureString Escaped(std::string_view text, bool tsv) {
  SecureString out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\n') {
      out += tsv ? "\\n" : " ";
    } else if (c == '\t') {
      out += tsv ? "\\t" : " ";
    } else if (c == '\r') {
      out += tsv ? "\\r" : "";
    } else if (c == '\\' && tsv) {
      out += "\\\\";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace

void TextTable::Print(std::FILE* out, bool tsv) const {
  std::vector<std::vector<SecureString>> cells;
  std::vector<size_t> widths;
  for (const auto& row : rows_) {
    std::vector<SecureString> escaped;
    for (size_t i = 0; i < row.size(); ++i) {
      escaped.push_back(Escaped(row[i].view(), tsv));
      if (widths.size() <= i) widths.push_back(0);
      widths[i] = std::max(widths[i], Width(escaped.back().view()));
    }
    cells.push_back(std::move(escaped));
  }
  SecureString line;
  for (const auto& row : cells) {
    line.clear();
    for (size_t i = 0; i < row.size(); ++i) {
      if (i > 0) line += tsv ? "\t" : "  ";
      line += row[i].view();
      if (!tsv && i + 1 < row.size()) line.append(widths[i] - Width(row[i].view()), ' ');
    }
    if (!tsv) {
      while (!line.empty() && line.back() == ' ') line.pop_back();
    }
    line.push_back('\n');
    std::fwrite(line.data(), 1, line.size(), out);
  }
}

}  // namespace lockwell
