#include "buttons/shadow_filter.h"

#include <algorithm>

namespace orla {
namespace {

// Weights of the blur; they add up to 80, so a uniform neighbourhood keeps its value.
// clang-format off
constexpr int kKernel[5][5] = {
    {1, 2, 3, 2, 1},
    {2, 4, 6, 4, 2},
    {3, 6, 8, 6, 3},
    {2, 4, 6, 4, 2},
    {1, 2, 3, 2, 1},
};
// clang-format on

// `rows` is never 0, so neither is array.rows past the first test; rowWords at most
// size / rows keeps rowWords x rows within the pixels without computing the product.
bool Holds(const PixelRows32& array, std::size_t columns, std::size_t rows) {
  if (array.rowWords < columns || array.rows < rows) return false;
  return array.rowWords <= array.pixels.size() / array.rows;
}

std::uint32_t Scale(std::uint32_t pixel, int intensity) {
  const auto channel = [&](int shift) {
    const std::uint32_t byte = (pixel >> shift) & 0xFF;
    return (byte * static_cast<std::uint32_t>(intensity) / 255) << shift;
  };
  return channel(16) | channel(8) | channel(0);
}

}  // namespace

bool ApplyShadowKernel(const PixelRows32& silhouette, PixelRows32& background, int width, int height) {
  if (width <= 0 || height <= 0) return false;
  const std::size_t columns = static_cast<std::size_t>(width) + 2 * kShadowMargin;
  const std::size_t rows = static_cast<std::size_t>(height) + 2 * kShadowMargin;
  if (!Holds(silhouette, columns, rows) || !Holds(background, columns, rows)) return false;

  for (std::size_t r = 2; r < rows - 2; ++r) {
    for (std::size_t c = 2; c < columns - 2; ++c) {
      int sum = 0;
      for (int dr = 0; dr < 5; ++dr) {
        const std::uint32_t* row = &silhouette.pixels[(r + dr - 2) * silhouette.rowWords];
        for (int dc = 0; dc < 5; ++dc) sum += kKernel[dr][dc] * static_cast<int>(row[c + dc - 2] & 0xFF);
      }
      const int intensity = std::min(sum / 80, 255);
      std::uint32_t& pixel = background.pixels[r * background.rowWords + c];
      pixel = Scale(pixel, intensity);
    }
  }
  return true;
}

}  // namespace orla
