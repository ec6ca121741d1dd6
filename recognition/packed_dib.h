#pragma once
// A packed device-independent bitmap: one movable block holding a 40-byte info header, the
// palette and the bottom-up rows padded to 4 bytes. The page readers and the scanner session
// produce it; CHalvoPic::LoadFromDib copies it; the producer's side frees it.

#include <cstdint>

#include "mem_block.h"

using PackedDib = orla::MemBlock;

// Palette size in bytes of the bitmap whose info header starts at `header`: for a 40-byte
// header, the low 16 bits of biClrUsed times 4 when biClrUsed is not 0, else 8, 64 or 1024
// for 1, 4 or 8 bits per pixel and 0 otherwise; any other header is read as the 12-byte core
// header (bit count at offset 10) with 3-byte entries: 6, 48 or 768 bytes.
std::uint16_t GetDibPaletteSize(const void* header);

namespace orla {

// Row length in bytes of a bitmap row, padded to 4 bytes, in 64 bits so it cannot overflow
// for any int32 width and bit count.
constexpr std::int64_t DibStride(std::int64_t bitsPerPixel, std::int64_t width) {
  return ((bitsPerPixel * width + 31) / 32) * 4;
}

// Pages whose pixel rows would exceed this are refused rather than half-allocated.
inline constexpr std::int64_t kMaxPageBytes = std::int64_t{1} << 31;

// What a page costs per row beside its pixels once it is a CHalvoPic (the row's entry in the
// row table), with room to spare. It counts against kMaxPageBytes, so that a few header bytes
// asking for a narrow page of hundreds of millions of rows are refused like a wide one.
inline constexpr std::int64_t kRowOverheadBytes = 32;

// Bytes of `rows` rows of a bitmap, or -1 when the bit count is not one a bitmap can have
// (1..32), a side is not positive, or the rows with their overhead would exceed kMaxPageBytes.
constexpr std::int64_t PageBytes(std::int64_t bitsPerPixel, std::int64_t width, std::int64_t rows) {
  if (bitsPerPixel < 1 || bitsPerPixel > 32 || width <= 0 || rows <= 0) return -1;
  const std::int64_t stride = DibStride(bitsPerPixel, width);
  if (stride + kRowOverheadBytes > kMaxPageBytes / rows) return -1;
  return stride * rows;
}

// Resolution in dots per inch from pixels per metre, rounded the way the loaders do it:
// (ppm x 2.54) / 100 + 1, truncated. 11811 gives 300, 3780 gives 97, 0 gives 1.
inline std::int32_t DpiFromPixelsPerMetre(std::int32_t pixelsPerMetre) {
  return static_cast<std::int32_t>((pixelsPerMetre * 2.54) / 100.0 + 1.0);
}

}  // namespace orla
