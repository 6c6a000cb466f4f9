#include "storage/SecureString.h"

#include <openssl/crypto.h>

namespace lockwell {

void WipeBytes(void* data, size_t size) {
  if (data != nullptr && size > 0) OPENSSL_cleanse(data, size);
}

void WipeString(std::string& text) {
  WipeBytes(text.data(), text.capacity());
  text.clear();
}

}  // namespace lockwell
