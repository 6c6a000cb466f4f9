#include "platform/RegistryTypes.h"

#include <cstring>

namespace lockwell {

RegistryValue RegistryValue::Text(std::string name, std::string_view text) {
  RegistryValue value;
  value.name = std::move(name);
  value.type = REG_SZ;
  value.data.assign(text.begin(), text.end());
  value.data.push_back(0);
  return value;
}

RegistryValue RegistryValue::Dword(std::string name, uint32_t number) {
  RegistryValue value;
  value.name = std::move(name);
  value.type = REG_DWORD;
  value.data = {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8),
                static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 24)};
  return value;
}

std::string RegistryValue::AsText() const {
  const void* zero = data.empty() ? nullptr : std::memchr(data.data(), 0, data.size());
  size_t length = zero ? static_cast<const uint8_t*>(zero) - data.data() : data.size();
  return std::string(reinterpret_cast<const char*>(data.data()), length);
}

bool RegistryValue::AsDword(uint32_t& number) const {
  if (type != REG_DWORD || data.size() != 4) return false;
  number = uint32_t{data[0]} | uint32_t{data[1]} << 8 | uint32_t{data[2]} << 16 | uint32_t{data[3]} << 24;
  return true;
}

const char* HiveName(Hive hive) {
  switch (hive) {
    case Hive::CurrentUser:
      return "HKEY_CURRENT_USER";
    case Hive::LocalMachine:
      return "HKEY_LOCAL_MACHINE";
    case Hive::ClassesRoot:
      return "HKEY_CLASSES_ROOT";
  }
  return "";
}

}  // namespace lockwell
