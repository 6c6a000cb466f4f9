// The small value types of the registry stand-in: hives, access, value types,
// status codes and one value with its data.
//
// The names mirror the Windows registry the program was designed around, so
// that a Windows implementation could sit behind the same interface.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lockwell {

enum class Hive { CurrentUser, LocalMachine, ClassesRoot };

enum class RegistryAccess { Read, Full };

// Value types.  Only text and 32-bit numbers have a meaning here; every other
// type is stored and returned as opaque bytes.
inline constexpr uint32_t REG_NONE = 0;
inline constexpr uint32_t REG_SZ = 1;
inline constexpr uint32_t REG_EXPAND_SZ = 2;
inline constexpr uint32_t REG_BINARY = 3;
inline constexpr uint32_t REG_DWORD = 4;

enum class RegistryStatus {
  Ok,
  NotFound,       // no such key or value (or the key was deleted meanwhile)
  MoreData,       // the value's name or data does not fit the given limit
  NoMoreItems,    // enumeration index past the last value
  AccessDenied,   // a write through a key opened for reading
  InvalidName,    // a key or value name the store cannot hold
  InvalidHandle,  // the key is not open
  IoError,        // the hive file or its lock could not be used
  NotEmpty,       // a key to be deleted only when empty still holds something
};

// What a key deletion takes with it.
enum class RegistryDeletion {
  WholeTree,      // the key, its values and every key below it
  OnlyWhenEmpty,  // the key only when it holds no values and no subkeys
};

// One value.  REG_SZ data holds the text followed by its terminating zero, and
// the size of the data counts that zero, as on Windows.
struct RegistryValue {
  std::string name;
  uint32_t type = REG_NONE;
  std::vector<uint8_t> data;

  static RegistryValue Text(std::string name, std::string_view text);
  static RegistryValue Dword(std::string name, uint32_t number);
  // The text of a REG_SZ value: the bytes before the first zero (all of them
  // when the data carries no zero).
  std::string AsText() const;
  // True for REG_DWORD data of exactly four bytes; the number little-endian.
  bool AsDword(uint32_t& number) const;
};

const char* HiveName(Hive hive);

}  // namespace lockwell
