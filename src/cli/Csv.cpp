#include "cli/Csv.h"

#include <string>

namespace lockwell {

void Csv::AppendRow(const Row& row, SecureString& out) {
  for (size_t i = 0; i < row.size(); ++i) {
    if (i > 0) out.push_back(',');
    const std::string_view field = row[i].view();
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
      out += field;
      continue;
    }
    out.push_back('"');
    for (char c : field) {
      if (c == '"') out.push_back('"');
      out.push_back(c);
    }
    out.push_back('"');
  }
  out.push_back('\n');
}

bool Csv::Parse(std::string_view text, std::vector<Row>& rows, std::string& error) {
  rows.clear();
  Row row;
  SecureString field;
  size_t line = 1;
  size_t i = 0;
  auto endField = [&] {
    row.push_back(std::move(field));
    field = SecureString();
  };
  while (i < text.size()) {
    if (text[i] == '"' && field.empty()) {
      const size_t startLine = line;
      ++i;
      for (;;) {
        if (i >= text.size()) {
          error = "line " + std::to_string(startLine) + ": a quoted field is never closed";
          return false;
        }
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            field.push_back('"');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        if (text[i] == '\n') ++line;
        field.push_back(text[i++]);
      }
      if (i < text.size() && text[i] != ',' && text[i] != '\n' && text[i] != '\r') {
        error = "line " + std::to_string(line) + ": text after a closing quote";
        return false;
      }
      continue;
    }
    const char c = text[i];
    if (c == ',') {
      endField();
      ++i;
    } else if (c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
      endField();
      rows.push_back(std::move(row));
      row = Row();
      i += c == '\r' ? 2 : 1;
      ++line;
    } else {
      field.push_back(c);
      ++i;
    }
  }
  if (!field.empty() || !row.empty()) {
    endField();
    rows.push_back(std::move(row));
  }
  return true;
}

}  // namespace lockwell
