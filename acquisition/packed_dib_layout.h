#pragma once
// Lays out the packed bitmaps the page readers produce: geometry with overflow checks, the
// info header and the grey palette. Every reader goes through here so that no image size can
// yield a block shorter than its rows.

#include <cstdint>

#include "packed_dib.h"

namespace orla {

struct PackedDibLayout {
  std::int64_t stride = 0;     // bytes per stored row, padded to 4
  std::int64_t pixelBytes = 0; // stride x height
  std::int64_t blockSize = 0;  // 40-byte header + palette + rows
};

// Geometry of a bottom-up bitmap of `width` x `height` pixels at `bitCount` bits per pixel,
// with `paletteBytes` of palette after the header. False when a side is not positive or the
// rows would exceed kMaxPageBytes: such an image gives no bitmap rather than a short one.
bool PlanPackedDib(std::int64_t width, std::int64_t height, int bitCount, std::int64_t paletteBytes,
                   PackedDibLayout& layout);

struct DibHeaderFields {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bitCount = 0;
  std::uint32_t sizeImage = 0;
  std::int32_t xPelsPerMeter = 0;
  std::int32_t yPelsPerMeter = 0;
};

// Writes the 40-byte info header at the start of `block` (biPlanes 1, no compression, no
// palette count: the palette is the default one for the bit count).
void WriteDibHeader(std::uint8_t* block, const DibHeaderFields& fields);
// Writes the 256-entry identity grey palette right after the header.
void WriteGreyPalette(std::uint8_t* block);

// Owns a freshly allocated block until it is handed to the caller.
class OwnedBlock {
 public:
  OwnedBlock() = default;
  explicit OwnedBlock(MemBlock block) : block_(block) {}
  ~OwnedBlock() { FreeBlock(block_); }
  OwnedBlock(const OwnedBlock&) = delete;
  OwnedBlock& operator=(const OwnedBlock&) = delete;

  MemBlock get() const { return block_; }
  MemBlock release() {
    MemBlock block = block_;
    block_ = nullptr;
    return block;
  }
  void reset(MemBlock block = nullptr) {
    FreeBlock(block_);
    block_ = block;
  }
  explicit operator bool() const { return block_ != nullptr; }

 private:
  MemBlock block_ = nullptr;
};

}  // namespace orla
