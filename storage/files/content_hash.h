// A fast hash of a file's bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// A fast 64-bit hash of a byte sequence, to see that a file's bytes are the
// ones last read or written. Not for security. Bytes may be given in any
// number of pieces: the value depends only on the whole sequence.
class ContentHash {
 public:
  void Add(std::string_view bytes);
  std::uint64_t Value() const;

  static std::uint64_t Of(std::string_view bytes) {
    ContentHash hash;
    hash.Add(bytes);
    return hash.Value();
  }

 private:
  static constexpr std::size_t kStripe = 32;

  void AddStripe(const unsigned char* stripe);

  std::uint64_t lanes_[4] = {0x243F6A8885A308D3ull, 0x13198A2E03707344ull, 0xA4093822299F31D0ull,
                             0x082EFA98EC4E6C89ull};
  unsigned char pending_[kStripe] = {};
  std::size_t pendingSize_ = 0;
  std::uint64_t total_ = 0;
};
