// Comparison without regard to letter case, as the registry and the program's
// own name checks do it: only the ASCII letters A-Z and a-z fold; every other
// byte must match exactly.
#pragma once

#include <string_view>

namespace lockwell {

constexpr char FoldAsciiCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAsciiCase(a[i]) != FoldAsciiCase(b[i])) return false;
  }
  return true;
}

}  // namespace lockwell
