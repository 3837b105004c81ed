#include "storage/files/content_hash.h"

#include <cstring>

namespace {

constexpr std::uint64_t kMultiplier = 0x9FB21C651E98DF25ull;

std::uint64_t Load(const unsigned char* at) {
  std::uint64_t word = 0;
  for (int i = 7; i >= 0; --i) word = (word << 8) | at[i];
  return word;
}

// Every input bit reaches every output bit.
std::uint64_t Finish(std::uint64_t x) {
  x ^= x >> 31;
  x *= 0xD6E8FEB86659FD93ull;
  x ^= x >> 29;
  x *= kMultiplier;
  x ^= x >> 32;
  return x;
}

std::uint64_t Mix(std::uint64_t lane, std::uint64_t word) {
  lane = (lane ^ word) * kMultiplier;
  return lane ^ (lane >> 29);
}

}  // namespace

void ContentHash::AddStripe(const unsigned char* stripe) {
  // Four independent lanes let the processor work on four words at once.
  for (int lane = 0; lane < 4; ++lane) lanes_[lane] = Mix(lanes_[lane], Load(stripe + 8 * lane));
}

void ContentHash::Add(std::string_view bytes) {
  // Nothing to add; an empty text may have no storage, which memcpy may not be given.
  if (bytes.empty()) return;
  const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t left = bytes.size();
  total_ += left;
  if (pendingSize_ > 0) {
    const std::size_t take = left < kStripe - pendingSize_ ? left : kStripe - pendingSize_;
    std::memcpy(pending_ + pendingSize_, at, take);
    pendingSize_ += take;
    at += take;
    left -= take;
    if (pendingSize_ < kStripe) return;
    AddStripe(pending_);
    pendingSize_ = 0;
  }
  for (; left >= kStripe; at += kStripe, left -= kStripe) AddStripe(at);
  std::memcpy(pending_, at, left);
  pendingSize_ = left;
}

std::uint64_t ContentHash::Value() const {
  std::uint64_t value = total_ * kMultiplier;
  for (int lane = 0; lane < 4; ++lane) {
    value = Mix(value, Finish(lanes_[lane] + static_cast<std::uint64_t>(lane)));
  }
  // The last bytes, one word at a time, padded with zeros: the length taken
  // in above tells "ab" from "ab\0".
  unsigned char tail[kStripe] = {};
  std::memcpy(tail, pending_, pendingSize_);
  for (std::size_t at = 0; at < pendingSize_; at += 8) value = Mix(value, Load(tail + at));
  return Finish(value);
}
