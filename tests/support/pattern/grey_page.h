#pragma once
// An 8-bit grey page as the pattern writer paints it: rows top first, one byte per pixel,
// 0 black, 255 white.

#include <cstdint>
#include <vector>

namespace orla::pattern {

struct GreyPage {
  int width = 0;
  int height = 0;
  int dpi = 0;
  std::vector<std::uint8_t> pixels;  // width * height, row after row

  bool empty() const { return width <= 0 || height <= 0; }
  std::uint8_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]; }
  std::uint8_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]; }
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

}  // namespace orla::pattern
