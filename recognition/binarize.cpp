#include <algorithm>
#include <cstddef>
#include <cstring>

#include "progress_share.h"
#include "shading_reg.h"

namespace {

// One row at the threshold `cut` (1 to 255). The fixed inner count lets the compiler use
// vector compares even where it weighs a loop of unknown length as not worth it.
void BinarizeRow(std::uint8_t* row, int width, std::uint8_t cut) {
  constexpr int kBlock = 32;
  int x = 0;
  for (; x + kBlock <= width; x += kBlock) {
    for (int k = 0; k < kBlock; ++k) row[x + k] = row[x + k] < cut ? 0 : 255;
  }
  for (; x < width; ++x) row[x] = row[x] < cut ? 0 : 255;
}

}  // namespace

orla::RecognizeResult CShadingReg::Binarize(int threshold, orla::ProgressSink* progress) {
  const int width = page->width;
  const int height = std::min<int>(page->height, static_cast<int>(page->rows.size()));
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = page->rows[y].get();
    if (width <= 0) break;
    if (threshold <= 0 || threshold > 255) {
      // At 0 or less no pixel is dark; above 255 every pixel is.
      std::memset(row, threshold <= 0 ? 255 : 0, static_cast<std::size_t>(width));
    } else {
      BinarizeRow(row, width, static_cast<std::uint8_t>(threshold));
    }
  }
  if (orla::ProgressAlive(progress)) {
    progress->SetPos(progress->Position() + orla::ProgressShare(*progress, 8));
    progress->PumpMessages();
    if (progress->Cancelled()) return orla::kRecognizeCancelled;
  }
  return orla::kRecognizeFound;
}
