#include "scan_transform.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orla::pattern {

GreyPage TurnAndScale(const GreyPage& page, double degrees, double scale, std::uint8_t paper) {
  if (page.empty() || scale <= 0 || (degrees == 0 && scale == 1)) return page;
  GreyPage out;
  out.width = std::max(1, static_cast<int>(std::lround(page.width * scale)));
  out.height = std::max(1, static_cast<int>(std::lround(page.height * scale)));
  out.dpi = page.dpi;
  out.pixels.assign(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height), paper);

  const double angle = degrees * std::numbers::pi / 180.0;
  const double c = std::cos(angle);
  const double s = std::sin(angle);
  const double inX = (page.width - 1) / 2.0;
  const double inY = (page.height - 1) / 2.0;
  const double outX = (out.width - 1) / 2.0;
  const double outY = (out.height - 1) / 2.0;
  const auto sample = [&](int x, int y) -> double {
    return page.contains(x, y) ? page.at(x, y) : paper;
  };
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      // Back from the new pixel to where it lies on the old page: undo the scale, then the turn.
      const double dx = (x - outX) / scale;
      const double dy = (y - outY) / scale;
      const double sx = inX + c * dx + s * dy;
      const double sy = inY - s * dx + c * dy;
      const int x0 = static_cast<int>(std::floor(sx));
      const int y0 = static_cast<int>(std::floor(sy));
      const double fx = sx - x0;
      const double fy = sy - y0;
      const double top = sample(x0, y0) * (1 - fx) + sample(x0 + 1, y0) * fx;
      const double bottom = sample(x0, y0 + 1) * (1 - fx) + sample(x0 + 1, y0 + 1) * fx;
      out.at(x, y) = static_cast<std::uint8_t>(std::clamp(std::lround(top * (1 - fy) + bottom * fy), 0L, 255L));
    }
  }
  return out;
}

}  // namespace orla::pattern
