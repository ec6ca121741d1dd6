#pragma once
// The soft shadow under an image button's image, over plain 32-bit pixel arrays (blue in the
// low byte, as GDI hands out 32-bit DIB rows).

#include <cstddef>
#include <cstdint>
#include <span>

namespace orla {

// A 32-bit pixel array of `rows` rows of `rowWords` pixels each.
struct PixelRows32 {
  std::span<std::uint32_t> pixels;
  std::size_t rowWords = 0;
  std::size_t rows = 0;
};

// Margin around the image in both arrays: the silhouette sits 4 pixels in, and the kernel
// reaches 2 pixels out from every pixel it writes.
constexpr int kShadowMargin = 4;

// Blurs the silhouette (grey 0x80 on white, image at (4, 4), both arrays (width + 8) x
// (height + 8)) with a 5 x 5 kernel and scales every background pixel with 2 <= row <
// height + 6 and 2 <= column < width + 6 by the blurred value / 255: 128 darkens to half,
// 255 leaves the pixel as it was. The fourth byte of those pixels becomes 0.
// Returns false, touching nothing, when either array is too small for the image.
bool ApplyShadowKernel(const PixelRows32& silhouette, PixelRows32& background, int width, int height);

}  // namespace orla
