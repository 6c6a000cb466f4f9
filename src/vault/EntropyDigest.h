// The source of fresh salts and IVs: MD5 over what the machine and the open
// database look like at this moment.
//
// Inputs, in this order (keep it; items 5 to 7 are this platform's stand-ins
// for the system records the program was designed around):
//   1. the current time in seconds, 4 bytes as held in memory
//   2. if a database is given: the bytes of the database object itself, then
//      its whole header area (4416 bytes)
//   3. the address of a freshly allocated 1-byte heap block, pointer-sized
//   4. an address on the current stack, pointer-sized
//   5. the system record: uname, then sysconf page size and processor count
//   6. 16 bytes from getrandom (left out if the call fails)
//   7. the operating-system version record: uname again
//   8. the caller's extra bytes, if any
// Salts and IVs are the first 8 bytes of the digest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "vault/KeyDerivation.h"

namespace lockwell {

// What the digest takes from an open database, as plain bytes so that this
// layer needs no database type.
struct EntropyDatabase {
  const void* object = nullptr;     // the database object's own bytes ...
  size_t objectSize = 0;            // ... and how many
  std::span<const uint8_t> header;  // the whole header area
};

// `database` may be null (no database inputs).
Digest EntropyDigest(const EntropyDatabase* database, std::span<const uint8_t> extra = {});

// A new salt for a passphrase: the first 8 bytes of the digest over the
// database.
Salt NewSalt(const EntropyDatabase& database);

}  // namespace lockwell
