// Values that belong to the product rather than to any one class.
#pragma once

namespace lockwell {

// Where users are asked to write when the database layer finds damage it
// cannot explain (duplicate or invalid record IDs).
inline constexpr char kSupportEmail[] = "support@tallmark.com";
// The maker's web address, shown in the About box beside the e-mail.
inline constexpr char kWebAddress[] = "http://www.tallmark.com/";

}  // namespace lockwell
