// The module of the account record family, "Tallmark Lockwell Record Class".
//
// One registration shared by everything that reports an account's failures:
// the record class registers it when its first object is constructed, and
// the body cipher and the account fields report under the same id.
#pragma once

#include <cstdint>

#include "storage/ModuleRegistry.h"

namespace lockwell {

// Codes the record family reports (pair them with RecordModuleId()).
inline constexpr uint32_t RECORD_INSUFFICIENT_DATA = 0x80010000u;     // a field's terminator is missing
inline constexpr uint32_t RECORD_INVALID_FIELD_NUMBER = 0x80020000u;  // field number outside 0..4
inline constexpr uint32_t RECORD_FIELD_NAME_NOT_FOUND = 0x80020001u;  // findFieldValue found no label
inline constexpr uint32_t RECORD_DIGEST_INCORRECT = 0x80030000u;      // body failed its digest check

// The family's module; its id stays 0 until something registers it.
Module& RecordModule();

// Registers the module if nothing did yet and returns its id.  Used where a
// failure is reported, so that a record's error always names its module.
int32_t RecordModuleId();

}  // namespace lockwell
