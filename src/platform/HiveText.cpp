#include "platform/HiveText.h"

#include <cstdio>
#include <vector>

#include "platform/AsciiCase.h"

namespace lockwell {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a quoted string starting at s[0] == '"'; `rest` gets what follows the
// closing quote.
bool ReadQuoted(std::string_view s, std::string& out, std::string_view& rest) {
  out.clear();
  for (size_t i = 1; i < s.size(); ++i) {
    char c = s[i];
    if (c == '"') {
      rest = s.substr(i + 1);
      return true;
    }
    if (c == '\\') {
      if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) return false;
      c = s[++i];
    }
    out.push_back(c);
  }
  return false;
}

bool ParseHexNumber(std::string_view s, size_t maxDigits, uint32_t& number) {
  if (s.empty() || s.size() > maxDigits) return false;
  number = 0;
  for (char c : s) {
    int digit = HexDigit(c);
    if (digit < 0) return false;
    number = number << 4 | static_cast<uint32_t>(digit);
  }
  return true;
}

bool ParseByteList(std::string_view s, std::vector<uint8_t>& bytes) {
  bytes.clear();
  s = TrimLeft(TrimRight(s));
  if (s.empty()) return true;
  while (true) {
    size_t comma = s.find(',');
    std::string_view token = TrimLeft(TrimRight(s.substr(0, comma)));
    uint32_t byte = 0;
    if (token.size() != 2 || !ParseHexNumber(token, 2, byte)) return false;
    bytes.push_back(static_cast<uint8_t>(byte));
    if (comma == std::string_view::npos) return true;
    s = s.substr(comma + 1);
  }
}

bool ParseData(std::string_view s, RegistryValue& value, std::string& reason) {
  if (!s.empty() && s[0] == '"') {
    std::string text;
    std::string_view rest;
    if (!ReadQuoted(s, text, rest) || !TrimLeft(rest).empty()) {
      reason = "unterminated or malformed text";
      return false;
    }
    value.type = REG_SZ;
    value.data.assign(text.begin(), text.end());
    value.data.push_back(0);
    return true;
  }
  if (s.substr(0, 6) == "dword:") {
    uint32_t number = 0;
    if (!ParseHexNumber(TrimRight(s.substr(6)), 8, number)) {
      reason = "malformed dword";
      return false;
    }
    value = RegistryValue::Dword(std::move(value.name), number);
    return true;
  }
  std::string_view list;
  if (s.substr(0, 4) == "hex:") {
    value.type = REG_BINARY;
    list = s.substr(4);
  } else if (s.substr(0, 4) == "hex(") {
    size_t close = s.find("):");
    uint32_t type = 0;
    if (close == std::string_view::npos || !ParseHexNumber(s.substr(4, close - 4), 8, type)) {
      reason = "malformed value type";
      return false;
    }
    value.type = type;
    list = s.substr(close + 2);
  } else {
    reason = "unknown kind of data";
    return false;
  }
  if (!ParseByteList(list, value.data)) {
    reason = "malformed byte list";
    return false;
  }
  return true;
}

bool ParseSection(std::string_view inner, Hive hive, HiveKey& root, HiveKey*& current, std::string& reason) {
  std::string_view hiveName = HiveName(hive);
  size_t slash = inner.find('\\');
  if (!EqualsIgnoringAsciiCase(inner.substr(0, slash), hiveName)) {
    reason = "section outside " + std::string(hiveName);
    return false;
  }
  std::vector<std::string_view> names;
  if (slash != std::string_view::npos && (!SplitKeyPath(inner.substr(slash + 1), names) || names.empty())) {
    reason = "invalid key name";
    return false;
  }
  current = &root;
  for (std::string_view name : names) current = &current->FindOrAddSubKey(name);
  return true;
}

bool ParseValue(std::string_view line, HiveKey* current, std::string& reason) {
  if (current == nullptr) {
    reason = "value before the first section";
    return false;
  }
  RegistryValue value;
  std::string_view rest;
  if (line[0] == '@') {
    rest = line.substr(1);
  } else if (!ReadQuoted(line, value.name, rest)) {
    reason = "malformed value name";
    return false;
  }
  if (!IsValidValueName(value.name) || rest.empty() || rest[0] != '=') {
    reason = "malformed value";
    return false;
  }
  if (!ParseData(rest.substr(1), value, reason)) return false;
  current->SetValue(std::move(value));
  return true;
}

void AppendQuoted(std::string& out, std::string_view text) {
  out.push_back('"');
  for (char c : text) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  out.push_back('"');
}

bool IsPlainText(const std::vector<uint8_t>& data) {
  if (data.empty() || data.back() != 0) return false;
  for (size_t i = 0; i + 1 < data.size(); ++i) {
    if (data[i] == 0 || data[i] == '\r' || data[i] == '\n') return false;
  }
  return true;
}

void AppendValue(std::string& out, const RegistryValue& value) {
  if (value.name.empty()) {
    out += "@";
  } else {
    AppendQuoted(out, value.name);
  }
  out += "=";
  char buffer[32];
  if (value.type == REG_SZ && IsPlainText(value.data)) {
    AppendQuoted(out,
                 std::string_view(reinterpret_cast<const char*>(value.data.data()), value.data.size() - 1));
  } else if (uint32_t number = 0; value.AsDword(number)) {
    std::snprintf(buffer, sizeof buffer, "dword:%08x", number);
    out += buffer;
  } else {
    if (value.type == REG_BINARY) {
      out += "hex:";
    } else {
      std::snprintf(buffer, sizeof buffer, "hex(%x):", value.type);
      out += buffer;
    }
    for (size_t i = 0; i < value.data.size(); ++i) {
      std::snprintf(buffer, sizeof buffer, i == 0 ? "%02x" : ",%02x", value.data[i]);
      out += buffer;
    }
  }
  out += "\n";
}

void AppendKey(std::string& out, const std::string& path, const HiveKey& key) {
  out += "[" + path + "]\n";
  for (const auto& value : key.values) AppendValue(out, value);
  out += "\n";
  for (const auto& subkey : key.subkeys) AppendKey(out, path + "\\" + subkey->name, *subkey);
}

}  // namespace

bool ParseHiveText(std::string_view text, Hive hive, HiveKey& root, HiveParseError& error) {
  bool sawHeader = false;
  HiveKey* current = nullptr;
  size_t lineNumber = 0;
  size_t pos = 0;
  auto nextLine = [&](std::string_view& line) {
    if (pos >= text.size()) return false;
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    line = TrimRight(text.substr(pos, end - pos));
    pos = end + 1;
    ++lineNumber;
    return true;
  };
  std::string_view line;
  while (nextLine(line)) {
    size_t firstLine = lineNumber;
    std::string joined;
    // A byte list may continue over several lines, each ending in "\".
    if (!line.empty() && line.back() == '\\' && line.find("=hex") != std::string_view::npos) {
      joined.assign(line.substr(0, line.size() - 1));
      std::string_view more;
      while (nextLine(more)) {
        more = TrimLeft(more);
        bool continues = !more.empty() && more.back() == '\\';
        joined.append(more.substr(0, more.size() - (continues ? 1 : 0)));
        if (!continues) break;
      }
      line = joined;
    }
    std::string_view trimmed = TrimLeft(line);
    std::string reason;
    bool ok = true;
    if (trimmed.empty() || trimmed[0] == ';') {
      continue;
    } else if (!sawHeader) {
      ok = trimmed == "REGEDIT4";
      reason = "the first line is not REGEDIT4";
      sawHeader = true;
    } else if (trimmed[0] == '[') {
      ok = trimmed.back() == ']' && trimmed.size() > 2 && trimmed[1] != '-';
      reason = "malformed section";
      if (ok) ok = ParseSection(trimmed.substr(1, trimmed.size() - 2), hive, root, current, reason);
    } else if (trimmed[0] == '"' || trimmed[0] == '@') {
      ok = ParseValue(trimmed, current, reason);
    } else {
      ok = false;
      reason = "unrecognised line";
    }
    if (!ok) {
      error.line = firstLine;
      error.reason = reason;
      return false;
    }
  }
  if (!sawHeader) {
    error.line = lineNumber;
    error.reason = "no REGEDIT4 header";
    return false;
  }
  return true;
}

std::string FormatHiveText(Hive hive, const HiveKey& root) {
  std::string out = "REGEDIT4\n\n";
  AppendKey(out, HiveName(hive), root);
  return out;
}

}  // namespace lockwell
