#include "storage/ErrorRecord.h"

#include <openssl/crypto.h>

#include <utility>

namespace lockwell {

ErrorRecord::ErrorRecord(int32_t moduleId, uint32_t code, std::string detail, uint32_t line,
                         std::string sourceFile)
    : moduleId_(moduleId),
      code_(code),
      detail_(std::move(detail)),
      line_(line),
      sourceFile_(std::move(sourceFile)) {}

ErrorRecord::~ErrorRecord() { OPENSSL_cleanse(detail_.data(), detail_.capacity()); }

}  // namespace lockwell
