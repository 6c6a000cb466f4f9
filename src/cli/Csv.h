// The CSV that `export` writes and `import` reads: RFC 4180 quoting (a
// field with a comma, a quote, CR or LF is quoted, quotes doubled), rows
// ended by LF, UTF-8 text.  Every field lands in a wiping string.
#pragma once

#include <string_view>
#include <vector>

#include "storage/SecureString.h"

namespace lockwell {

class Csv {
 public:
  using Row = std::vector<SecureString>;

  static void AppendRow(const Row& row, SecureString& out);
  // Splits `text` into rows; false with `error` set (naming the line) for
  // a quote that is never closed or text after a closing quote.  A CR LF
  // row end is accepted as well as LF; a last row without its end too.
  static bool Parse(std::string_view text, std::vector<Row>& rows, std::string& error);
};

}  // namespace lockwell
