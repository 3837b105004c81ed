// Memory for a large file's text, straight from the system.
#pragma once

#include <cstddef>
#include <new>
#include <utility>

// Memory for a block of `bytes` or more of kLargeBlock, straight from the
// system as pages of its own, on Linux huge pages where the system offers
// them; file_io_posix.cpp and file_io_windows.cpp hold the per-system
// code. Throws std::bad_alloc.
void* AllocateLargeBlock(std::size_t bytes);
void FreeLargeBlock(void* block, std::size_t bytes) noexcept;

// What the tables keep whole (a file's text as read, its line list) grows to
// tens of megabytes. Taken from the heap, every 4 KiB page of it costs a
// fault when first touched, and on a virtual machine a dear one; a large
// block takes one for every 2 MiB where huge pages are offered. Elements a
// vector gains by resize() are left unset, as they are about to be read in.
template <typename T>
class LargeBlockAllocator {
 public:
  using value_type = T;
  static constexpr std::size_t kLargeBlock = std::size_t{1} << 20;

  LargeBlockAllocator() noexcept = default;
  template <typename U>
  LargeBlockAllocator(const LargeBlockAllocator<U>&) noexcept {}

  T* allocate(std::size_t count) {
    if (count > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    const std::size_t bytes = count * sizeof(T);
    if (bytes >= kLargeBlock) return static_cast<T*>(AllocateLargeBlock(bytes));
    return static_cast<T*>(::operator new(bytes));
  }
  void deallocate(T* block, std::size_t count) noexcept {
    const std::size_t bytes = count * sizeof(T);
    if (bytes >= kLargeBlock) {
      FreeLargeBlock(block, bytes);
    } else {
      ::operator delete(block);
    }
  }

  template <typename U>
  void construct(U* at) noexcept {
    ::new (static_cast<void*>(at)) U;
  }
  template <typename U, typename... Args>
  void construct(U* at, Args&&... args) {
    ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
  }

  template <typename U>
  bool operator==(const LargeBlockAllocator<U>&) const noexcept {
    return true;
  }
};
