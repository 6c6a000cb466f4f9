// Values that belong to the product rather than to any one class.
#pragma once

namespace lockwell {

// Where users are asked to write when the database layer finds damage it
// cannot explain (duplicate or invalid record IDs).
inline constexpr char kSupportEmail[] = "support@tallmark.com";

}  // namespace lockwell
