#pragma once
// The A4 pages the recognizer benchmarks run on, each made once per process: one pattern at
// 300 and at 600 dots per inch, a blank page at 600, the 300 dpi pattern page under grey
// noise of two strengths, as a worn scanner or a photocopy gives it, and at 600 a photo
// screened by a dispersed 4x4 matrix over the top 40 percent of a page that is otherwise
// blank, or filled with the pattern, beside the same page filled with the pattern alone.

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "halftone.h"
#include "halvo_pic.h"
#include "pattern_writer.h"
#include "seeded_random.h"

namespace orla::bench {

enum Page { Pattern300, Pattern600, Blank600, Noise20, Noise45, Photo600, PhotoPattern600, Filled600, kPageCount };

inline const char* PageLabel(int which) {
  switch (which) {
    case Pattern300: return "A4 300 dpi, one pattern";
    case Pattern600: return "A4 600 dpi, one pattern";
    case Blank600: return "A4 600 dpi, blank";
    case Noise20: return "A4 300 dpi, one pattern, grey noise sigma 20";
    case Noise45: return "A4 300 dpi, one pattern, grey noise sigma 45";
    case Photo600: return "A4 600 dpi, photo in the top 40%, no pattern";
    case PhotoPattern600: return "A4 600 dpi, photo in the top 40%, pattern";
    case Filled600: return "A4 600 dpi, filled with the pattern";
    default: return "?";
  }
}

namespace detail {

constexpr int kA4Width300 = 2480;
constexpr int kA4Height300 = 3508;

// Gaussian noise of the given sigma added to every pixel, rounded and held to 0..255. The
// deviates come from the seeded generator (Box-Muller), so the page is the same on every run.
inline void AddGreyNoise(CHalvoPic& page, double sigma, std::uint64_t seed) {
  orla::pattern::SeededRandom random(seed);
  const double twoPi = 2.0 * std::acos(-1.0);
  for (int y = 0; y < page.height; ++y) {
    for (int x = 0; x < page.width; ++x) {
      const double u1 = 1.0 - random.Unit();  // in (0, 1], so the logarithm is finite
      const double u2 = random.Unit();
      const double z = std::sqrt(-2.0 * std::log(u1)) * std::cos(twoPi * u2);
      const long v = std::lround(page.rows[static_cast<std::size_t>(y)][x] + sigma * z);
      page.rows[static_cast<std::size_t>(y)][x] = static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
    }
  }
}

// The pages at 600 dots per inch whose pattern, if any, fills the page as a printer fills it.
inline bool FillsThePage(Page which) { return which == Photo600 || which == PhotoPattern600 || which == Filled600; }

inline void Make(Page which, CHalvoPic& page) {
  const int scale = which == Pattern300 || which == Noise20 || which == Noise45 ? 1 : 2;
  orla::pattern::PatternOptions options;
  options.page.dpi = 300 * scale;
  options.page.dotSize = scale == 1 ? 2 : 3;
  options.page.width = kA4Width300 * scale + (scale - 1);
  options.page.height = kA4Height300 * scale;
  options.page.left = options.page.width / 3;
  options.page.top = options.page.height / 2;
  if (FillsThePage(which)) {
    options.page.left = options.page.top = 0;
    const double photo = which == Filled600 ? 0.0 : 0.4;
    const orla::pattern::PatternPage made = orla::pattern::MakeHalftonePage(
        {}, options, orla::pattern::HalftoneScreen::Dispersed4x4, photo, which != Photo600);
    if (!made.ok() || !orla::pattern::ToHalvoPic(made.page, page)) std::abort();
  } else if (which == Blank600) {
    if (page.CreateBlank8(options.page.width, options.page.height) == 0) std::abort();
  } else {
    const orla::pattern::PatternPage made = orla::pattern::MakePatternPage({}, options);
    if (!made.ok() || !orla::pattern::ToHalvoPic(made.page, page)) std::abort();
  }
  page.dpiX = page.dpiY = options.page.dpi;
  if (which == Noise20) AddGreyNoise(page, 20.0, 20);
  if (which == Noise45) AddGreyNoise(page, 45.0, 45);
}

}  // namespace detail

inline CHalvoPic& A4(int which) {
  static CHalvoPic pages[kPageCount];
  CHalvoPic& page = pages[which];
  if (page.width == 0) detail::Make(static_cast<Page>(which), page);
  return page;
}

inline double PageMegabytes(const CHalvoPic& page) {
  return static_cast<double>(page.stride) * page.height / (1024.0 * 1024.0);
}

}  // namespace orla::bench
