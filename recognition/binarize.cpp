#include <cstddef>

#include "progress_share.h"
#include "shading_reg.h"

orla::RecognizeResult CShadingReg::Binarize(int threshold, orla::ProgressSink* progress) {
  for (std::size_t y = 0; y < page->rows.size() && static_cast<int>(y) < page->height; ++y) {
    std::uint8_t* row = page->rows[y].get();
    for (int x = 0; x < page->width; ++x) row[x] = row[x] < threshold ? 0 : 255;
  }
  if (orla::ProgressAlive(progress)) {
    progress->SetPos(progress->Position() + orla::ProgressShare(*progress, 8));
    progress->PumpMessages();
    if (progress->Cancelled()) return orla::kRecognizeCancelled;
  }
  return orla::kRecognizeFound;
}
