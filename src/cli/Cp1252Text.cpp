#include "cli/Cp1252Text.h"

#include <array>
#include <cstdio>

namespace lockwell {
namespace {

// Row 0x80-0x9F, the only one that differs from Latin-1.
constexpr std::array<char32_t, 32> kRow80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendCodePoint(char32_t c, SecureString& out) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// Decodes one UTF-8 sequence at `i`; false for a malformed one (overlong
// forms, surrogates and values above U+10FFFF included).
bool DecodeAt(std::string_view text, size_t& i, char32_t& c) {
  const auto b0 = static_cast<uint8_t>(text[i]);
  size_t extra = 0;
  char32_t min = 0;
  if (b0 < 0x80) {
    c = b0;
    ++i;
    return true;
  } else if ((b0 & 0xE0) == 0xC0) {
    c = b0 & 0x1F, extra = 1, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    c = b0 & 0x0F, extra = 2, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    c = b0 & 0x07, extra = 3, min = 0x10000;
  } else {
    return false;
  }
  if (text.size() - i <= extra) return false;
  for (size_t k = 1; k <= extra; ++k) {
    const auto b = static_cast<uint8_t>(text[i + k]);
    if ((b & 0xC0) != 0x80) return false;
    c = (c << 6) | (b & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
  i += extra + 1;
  return true;
}

}  // namespace

char32_t Cp1252Text::ToUnicode(uint8_t byte) {
  return (byte >= 0x80 && byte < 0xA0) ? kRow80[byte - 0x80] : byte;
}

bool Cp1252Text::FromUnicode(char32_t c, uint8_t& byte) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
    byte = static_cast<uint8_t>(c);
    return true;
  }
  for (size_t k = 0; k < kRow80.size(); ++k) {
    if (kRow80[k] == c) {
      byte = static_cast<uint8_t>(0x80 + k);
      return true;
    }
  }
  return false;
}

void Cp1252Text::AppendUtf8(std::string_view bytes, SecureString& out) {
  out.reserve(out.size() + bytes.size() * 2);
  for (char ch : bytes) AppendCodePoint(ToUnicode(static_cast<uint8_t>(ch)), out);
}

SecureString Cp1252Text::ToUtf8(std::string_view bytes) {
  SecureString out;
  AppendUtf8(bytes, out);
  return out;
}

bool Cp1252Text::FromUtf8(std::string_view text, SecureString& out, std::string& refusal) {
  out.wipe();
  refusal.clear();
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t c = 0;
    const size_t at = i;
    if (!DecodeAt(text, i, c)) {
      char buffer[96];
      std::snprintf(buffer, sizeof buffer, "The text is not valid UTF-8 (byte 0x%02X at offset %zu).",
                    static_cast<unsigned>(static_cast<uint8_t>(text[at])), at);
      refusal = buffer;
      out.wipe();
      return false;
    }
    uint8_t byte = 0;
    if (!FromUnicode(c, byte)) {
      char buffer[200];
      SecureString shown;
      if (c >= 0x20 && c != 0x7F) AppendCodePoint(c > 0xFFFF ? 0xFFFD : c, shown);
      if (c > 0xFFFF) shown.clear();
      if (!shown.empty()) {
        std::snprintf(buffer, sizeof buffer, "The character \"%s\" (U+%04X) cannot be stored.", shown.c_str(),
                      static_cast<unsigned>(c));
      } else {
        std::snprintf(buffer, sizeof buffer, "The character U+%04X cannot be stored.", static_cast<unsigned>(c));
      }
      refusal = std::string(buffer) +
                "  Lockwell keeps its text in the Windows-1252 character set; please use another character.";
      out.wipe();
      return false;
    }
    out.push_back(static_cast<char>(byte));
  }
  return true;
}

}  // namespace lockwell
