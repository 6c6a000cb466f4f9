#include "installer/StartMenuEntry.h"

#include <fstream>
#include <iterator>
#include <string_view>

namespace lockwell {

namespace {

// The escapes of a desktop entry's string values: \s \n \t \r \\.
std::string UnescapeValue(std::string_view value) {
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out.push_back(value[i]);
      continue;
    }
    switch (value[++i]) {
      case 's':
        out.push_back(' ');
        break;
      case 'n':
        out.push_back('\n');
        break;
      case 't':
        out.push_back('\t');
        break;
      case 'r':
        out.push_back('\r');
        break;
      case '\\':
        out.push_back('\\');
        break;
      default:  // not an escape: kept as written
        out.push_back('\\');
        out.push_back(value[i]);
    }
  }
  return out;
}

// Exec= holds one argument: "%" doubled, and quoted when it needs it, with
// a backslash before " ` $ and \ inside the quotes.
std::string ExecProgram(const std::string& argument) {
  std::string undoubled;
  for (size_t i = 0; i < argument.size(); ++i) {
    undoubled.push_back(argument[i]);
    if (argument[i] == '%' && i + 1 < argument.size() && argument[i + 1] == '%') ++i;
  }
  if (undoubled.size() < 2 || undoubled.front() != '"' || undoubled.back() != '"') return undoubled;
  std::string out;
  for (size_t i = 1; i + 1 < undoubled.size(); ++i) {
    char c = undoubled[i];
    if (c == '\\' && i + 2 < undoubled.size()) {
      const char next = undoubled[i + 1];
      if (next == '"' || next == '`' || next == '$' || next == '\\') c = undoubled[++i];
    }
    out.push_back(c);
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A "file://" URL's path with its %XX escapes decoded; empty for any other
// URL or a broken escape.
std::string FileUrlPath(const std::string& url) {
  constexpr std::string_view kScheme = "file://";
  if (url.compare(0, kScheme.size(), kScheme) != 0) return {};
  std::string out;
  for (size_t i = kScheme.size(); i < url.size(); ++i) {
    if (url[i] != '%') {
      out.push_back(url[i]);
      continue;
    }
    if (i + 2 >= url.size()) return {};
    const int high = HexDigit(url[i + 1]);
    const int low = HexDigit(url[i + 2]);
    if (high < 0 || low < 0) return {};
    out.push_back(static_cast<char>(high * 16 + low));
    i += 2;
  }
  return out;
}

}  // namespace

std::string StartMenuEntry::Target(const std::string& entryText) {
  size_t start = 0;
  while (start < entryText.size()) {
    size_t end = entryText.find('\n', start);
    if (end == std::string::npos) end = entryText.size();
    const std::string_view line(entryText.data() + start, end - start);
    if (line.rfind("Exec=", 0) == 0) return ExecProgram(UnescapeValue(line.substr(5)));
    if (line.rfind("URL=", 0) == 0) return FileUrlPath(UnescapeValue(line.substr(4)));
    start = end + 1;
  }
  return {};
}

std::string StartMenuEntry::TargetOfFile(const std::string& entryPath) {
  std::ifstream in(entryPath, std::ios::binary);
  if (!in) return {};
  return Target(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

}  // namespace lockwell
