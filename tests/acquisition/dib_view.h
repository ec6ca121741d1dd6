#pragma once
// Reads back a packed bitmap a reader produced: a copy of its bytes with accessors for the
// header, the palette and the stored rows, so a test can look at it after freeing the block.

#include <cstdint>
#include <cstring>
#include <vector>

#include "bitmap_headers.h"
#include "mem_block.h"
#include "packed_dib.h"

namespace orla::test {

class DibView {
 public:
  explicit DibView(MemBlock block) : blockSize_(BlockSize(block)) {
    BlockLock lock(block);
    if (lock) {
      const auto* bytes = static_cast<const std::uint8_t*>(lock.get());
      bytes_.assign(bytes, bytes + blockSize_);
    }
  }
  bool valid() const { return bytes_.size() >= 40; }
  std::size_t blockSize() const { return blockSize_; }
  BmpInfoHeader header() const { return ReadHeader<BmpInfoHeader>(bytes_.data()); }
  std::size_t paletteBytes() const { return GetDibPaletteSize(bytes_.data()); }
  RgbQuad paletteEntry(int i) const { return ReadHeader<RgbQuad>(bytes_.data() + 40 + 4 * i); }
  std::int64_t stride() const { return DibStride(header().biBitCount, header().biWidth); }
  // Stored row r: 0 is the first one in the block, the page's bottom line.
  const std::uint8_t* storedRow(std::int64_t r) const {
    return bytes_.data() + 40 + paletteBytes() + r * stride();
  }
  // Row y counted from the top line of the page.
  const std::uint8_t* pageRow(std::int64_t y) const { return storedRow(header().biHeight - 1 - y); }
  bool hasGreyPalette() const {
    for (int i = 0; i < 256; ++i) {
      const RgbQuad e = paletteEntry(i);
      if (e.rgbBlue != i || e.rgbGreen != i || e.rgbRed != i || e.rgbReserved != 0) return false;
    }
    return true;
  }

 private:
  std::size_t blockSize_;
  std::vector<std::uint8_t> bytes_;
};

// Frees a block at the end of a scope.
struct FreeOnExit {
  MemBlock block;
  ~FreeOnExit() { FreeBlock(block); }
};

}  // namespace orla::test
