#pragma once
// Sizes of the pixel buffer that GetDIBits fills, checked against overflow: a bitmap's
// dimensions come from GDI objects that other code made.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace orla {

struct DibBufferSize {
  int rowWords = 0;       // 32-bit words per row
  std::size_t bytes = 0;  // the whole buffer
};

// Row length and buffer size of a `width` x `height` bitmap at `bitsPerPixel`; the buffer is
// at least `sizeImage` bytes when the header names a size. Nothing for non-positive
// dimensions or sizes that do not fit.
std::optional<DibBufferSize> DibBufferSizeFor(int width, int height, int bitsPerPixel, std::uint32_t sizeImage);

}  // namespace orla
