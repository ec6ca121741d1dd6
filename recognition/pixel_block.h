#pragma once
// The pixels of one page as a single block taken straight from the system and given straight
// back: a page of tens of megabytes must not linger in the heap once it is freed, and a page
// copied into one of the same size keeps its block, already mapped, instead of a fresh one
// whose every memory page faults in again.

#include <cstddef>
#include <cstdint>

namespace orla {

class PixelBlock {
 public:
  PixelBlock() = default;
  ~PixelBlock() { Release(); }
  PixelBlock(const PixelBlock&) = delete;
  PixelBlock& operator=(const PixelBlock&) = delete;

  // A block of exactly `bytes` bytes: the one held when it has that size (its contents kept),
  // else a new one of unspecified contents. False when memory runs out; nothing is held then.
  bool Resize(std::size_t bytes);
  void Release();

  std::uint8_t* data() const { return bytes_; }
  std::size_t size() const { return size_; }

 private:
  std::uint8_t* bytes_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace orla
