// The second stage of a pass: the binarized page becomes the dot map, one pixel of value 0
// at the centre of every printed dot and 255 everywhere else.
//
// The binarized page itself is what the fills and the gap test read while the components are
// collected: which dark pixels a fill has taken is kept in a mask beside it, so the page needs
// no copies. It is cleared and the dots are painted in once the walk is over.

#include <cstring>
#include <deque>
#include <memory>
#include <vector>

#include "dot_components.h"
#include "flood_fill.h"
#include "page_walk.h"
#include "pixel_mask.h"
#include "progress_share.h"
#include "shading_reg.h"

namespace {

// A candidate dot in one word: its centre as the pixel index y x width + x, above its pixel
// count (below 32). A noisy page has hundreds of thousands of them: eight bytes each, in
// blocks that are never copied, they stay well below the page, where a list of three ints
// that doubles as it grows would pass it.
using Candidate = std::uint64_t;
constexpr int kCountBits = 5;
static_assert(orla::kLargestDot < (1 << kCountBits));

std::vector<const std::uint8_t*> RowTable(const CHalvoPic& pic, int height) {
  std::vector<const std::uint8_t*> rows;
  rows.reserve(static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) rows.push_back(pic.rows[y].get());
  return rows;
}

}  // namespace

orla::RecognizeResult CShadingReg::CollectComponents(orla::ProgressSink* progress) {
  int start = 0;
  int share = 0;
  if (orla::ProgressAlive(progress)) {
    start = progress->Position();
    share = orla::ProgressShare(*progress, 20);
  }

  const int width = page->width;
  const int height = std::min<int>(page->height, static_cast<int>(page->rows.size()));
  const std::vector<const std::uint8_t*> rows = RowTable(*page, height);
  orla::PixelMask taken(width, height);
  auto take = [&](int x, int y) {
    if (x < 0 || x >= width || y < 0 || y >= height || rows[y][x] != 0 || taken.Test(x, y)) {
      return false;
    }
    taken.Set(x, y);
    return true;
  };
  auto mark = [&](int x, int y) { taken.Set(x, y); };

  orla::SizeHistogram sizes{};
  std::deque<Candidate> candidates;
  auto fill = std::make_unique<orla::FillList>();
  const double pixels = static_cast<double>(width) * static_cast<double>(height);
  int lastDelta = 0;
  bool cancelled = false;
  orla::ProgressVisits visits(progress);
  for (int y = 0; y < height && !cancelled; ++y) {
    const std::uint8_t* row = rows[y];
    for (int x = orla::NextStop(row, 0, width, visits); x < width; x = orla::NextStop(row, x + 1, width, visits)) {
      if (visits.Due() && orla::ProgressAlive(progress)) {
        const double index = static_cast<double>(y) * width + x;
        const int delta = static_cast<int>(index * share / pixels);
        if (delta != lastDelta) {
          lastDelta = delta;
          progress->SetPos(start + delta);
        }
        progress->PumpMessages();
        if (progress->Cancelled()) {
          cancelled = true;
          break;
        }
      }
      if (row[x] != 0 || taken.Test(x, y)) continue;
      orla::ComponentExtent extent{0, x, x, y, y};
      orla::FillComponent(*fill, x, y, extent, take, mark);
      if (!orla::HasDotShape(extent) || orla::HasRowGap(extent, rows)) continue;
      const std::uint64_t centre = static_cast<std::uint64_t>((extent.minY + extent.maxY) / 2) * static_cast<std::uint64_t>(width) +
                                   static_cast<std::uint64_t>((extent.minX + extent.maxX) / 2);
      candidates.push_back(centre << kCountBits | static_cast<std::uint64_t>(extent.count));
      ++sizes[extent.count];
    }
  }

  for (CHalvoPic::Row& row : page->rows) std::memset(row.get(), 255, static_cast<std::size_t>(page->stride));
  noiseSizeLimit = orla::NoiseSizeLimit(sizes);
  for (const Candidate c : candidates) {
    const auto count = static_cast<int>(c & ((1u << kCountBits) - 1));
    const std::uint64_t centre = c >> kCountBits;
    const auto uWidth = static_cast<std::uint64_t>(width);
    if (count > noiseSizeLimit) page->rows[centre / uWidth][centre % uWidth] = 0;
  }
  return orla::ProgressAlive(progress) && progress->Cancelled() ? orla::kRecognizeCancelled : orla::kRecognizeFound;
}
