#include "buttons/dib_buffer_size.h"

#include <algorithm>
#include <limits>

namespace orla {

std::optional<DibBufferSize> DibBufferSizeFor(int width, int height, int bitsPerPixel, std::uint32_t sizeImage) {
  if (width <= 0 || height <= 0 || bitsPerPixel <= 0) return std::nullopt;
  const std::uint64_t rowWords =
      (static_cast<std::uint64_t>(bitsPerPixel) * static_cast<std::uint64_t>(width) + 31) / 32;
  if (rowWords > static_cast<std::uint64_t>(std::numeric_limits<int>::max())) return std::nullopt;
  const std::uint64_t rowBytes = rowWords * 4;
  const std::uint64_t limit = std::numeric_limits<std::size_t>::max();
  if (rowBytes > limit / static_cast<std::uint64_t>(height)) return std::nullopt;
  const std::uint64_t bytes = std::max<std::uint64_t>(rowBytes * static_cast<std::uint64_t>(height), sizeImage);
  return DibBufferSize{static_cast<int>(rowWords), static_cast<std::size_t>(bytes)};
}

}  // namespace orla
