// Strings and buffers for secrets: passphrases, account plaintext, key bytes.
//
// Both wipe every byte they ever held with OPENSSL_cleanse: the heap block on
// each reallocation and on release (through the allocator), and the inline
// small-string buffer when the object goes away.  Use them for anything that
// holds plaintext; plain std::string copies of a secret must be wiped by hand
// (WipeString) before they are released.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lockwell {

// Overwrites `size` bytes with zeros in a way the optimiser keeps.
void WipeBytes(void* data, size_t size);
// Wipes the whole capacity of an ordinary string, then empties it.
void WipeString(std::string& text);

template <typename T>
struct WipingAllocator {
  using value_type = T;
  WipingAllocator() noexcept = default;
  template <typename U>
  WipingAllocator(const WipingAllocator<U>&) noexcept {}
  T* allocate(size_t n) { return std::allocator<T>().allocate(n); }
  void deallocate(T* p, size_t n) noexcept {
    WipeBytes(p, n * sizeof(T));
    std::allocator<T>().deallocate(p, n);
  }
  template <typename U>
  bool operator==(const WipingAllocator<U>&) const noexcept {
    return true;
  }
};

using WipingBaseString = std::basic_string<char, std::char_traits<char>, WipingAllocator<char>>;

class SecureString : public WipingBaseString {
 public:
  using WipingBaseString::WipingBaseString;
  SecureString() = default;
  SecureString(std::string_view text) : WipingBaseString(text.data(), text.size()) {}
  SecureString(const SecureString&) = default;
  SecureString(SecureString&&) noexcept = default;
  SecureString& operator=(const SecureString&) = default;
  SecureString& operator=(SecureString&&) noexcept = default;
  ~SecureString() { WipeBytes(data(), capacity()); }

  std::string_view view() const { return std::string_view(data(), size()); }
  // Wipes what the string held and empties it.
  void wipe() {
    WipeBytes(data(), capacity());
    clear();
  }
};

// Raw bytes that are wiped on release (key material, plaintext buffers).
class SecureBytes : public std::vector<uint8_t, WipingAllocator<uint8_t>> {
 public:
  using std::vector<uint8_t, WipingAllocator<uint8_t>>::vector;
};

}  // namespace lockwell
