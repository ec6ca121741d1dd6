// The second stage of a pass: the binarized page becomes the dot map, one pixel of value 0
// at the centre of every printed dot and 255 everywhere else.

#include <cstring>
#include <memory>
#include <vector>

#include "dot_components.h"
#include "flood_fill.h"
#include "progress_share.h"
#include "shading_reg.h"

namespace {

struct Candidate {
  int x;
  int y;
  int count;
};

std::vector<std::uint8_t*> RowTable(CHalvoPic& pic) {
  std::vector<std::uint8_t*> rows;
  rows.reserve(pic.rows.size());
  for (CHalvoPic::Row& row : pic.rows) rows.push_back(row.get());
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
  CHalvoPic fillCopy;
  fillCopy = *page;
  CHalvoPic referenceCopy;
  referenceCopy = *page;
  const std::vector<std::uint8_t*> fillRows = RowTable(fillCopy);
  const std::vector<std::uint8_t*> referenceRows = RowTable(referenceCopy);
  const std::span<const std::uint8_t* const> reference(referenceRows.data(), referenceRows.size());
  for (CHalvoPic::Row& row : page->rows) std::memset(row.get(), 255, static_cast<std::size_t>(page->stride));

  orla::SizeHistogram sizes{};
  std::vector<Candidate> candidates;
  auto fill = std::make_unique<orla::FillList>();
  const double pixels = static_cast<double>(width) * static_cast<double>(height);
  int lastDelta = 0;
  bool cancelled = false;
  orla::ProgressVisits visits(progress);
  for (int y = 0; y < height && !cancelled; ++y) {
    for (int x = 0; x < width; ++x) {
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
      if (fillRows[static_cast<std::size_t>(y)][x] != 0) continue;
      orla::ComponentExtent extent{0, x, x, y, y};
      orla::FloodFillComponent(*fill, x, y, fillRows, width, height, extent);
      if (!orla::HasDotShape(extent) || orla::HasRowGap(extent, reference)) continue;
      candidates.push_back(Candidate{(extent.minX + extent.maxX) / 2, (extent.minY + extent.maxY) / 2, extent.count});
      ++sizes[static_cast<std::size_t>(extent.count)];
    }
  }

  noiseSizeLimit = orla::NoiseSizeLimit(sizes);
  for (const Candidate& c : candidates) {
    if (c.count > noiseSizeLimit) page->rows[static_cast<std::size_t>(c.y)][c.x] = 0;
  }
  return orla::ProgressAlive(progress) && progress->Cancelled() ? orla::kRecognizeCancelled : orla::kRecognizeFound;
}
