#include "platform/SystemErrorText.h"

#include <string.h>

namespace lockwell {

std::string SystemErrorText(int number) {
  // strerrordesc_np gives null for a number the system does not know, where
  // strerror would make up "Unknown error N".
  const char* text = strerrordesc_np(number);
  if (text == nullptr) return "Unknown Win32 error:  " + std::to_string(number);
  std::string result(text);
  size_t end = result.find_first_of("\r\n");
  if (end != std::string::npos) result.resize(end);
  return result;
}

}  // namespace lockwell
