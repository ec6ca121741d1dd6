// The pass loop: up to three passes over fresh copies of the caller's page, each with its own
// threshold, until one of them decodes a record or the operator cancels; a threshold that
// makes the black and white page of an earlier pass is passed over.

#include <algorithm>
#include <array>
#include <new>
#include <optional>

#include "pass_thresholds.h"
#include "progress_share.h"
#include "same_binarization.h"
#include "shading_reg.h"

namespace {

// A page the stages can walk: 8 bits per pixel, a size, and a row of at least that width for
// every line.
bool Readable(const CHalvoPic& pic) {
  if (pic.bitsPerPixel != 8 || pic.width <= 0 || pic.height <= 0 || pic.stride < pic.width || pic.empty != 0) {
    return false;
  }
  if (pic.rows.size() < static_cast<std::size_t>(pic.height)) return false;
  return std::all_of(pic.rows.begin(), pic.rows.begin() + pic.height,
                     [](const CHalvoPic::Row& row) { return row != nullptr; });
}

void FinishBar(orla::ProgressSink* progress) {
  if (!orla::ProgressAlive(progress)) return;
  progress->SetPos(100);
  progress->PumpMessages();
}

}  // namespace

orla::RecognizeResult CShadingReg::Recognize(CHalvoPic* pic, int singlePass) {
  if (pic == nullptr) return orla::kRecognizeNothingFound;
  orla::ProgressSink* const progress = pic->progress;
  if (!Readable(*pic)) {
    FinishBar(progress);
    return orla::kRecognizeNothingFound;
  }

  page = pic;
  pageWidth = pic->width;
  pageHeight = pic->height;
  pageDpiX = pic->dpiX;
  pageDpiY = pic->dpiY;
  pointCount = 0;
  ResetPage();
  resolution = std::min(pageDpiX, pageDpiY);

  orla::RecognizeResult result = orla::kRecognizeNothingFound;
  try {
    result = RunPasses(*pic, singlePass, progress);
  } catch (const std::bad_alloc&) {
    // The passes work on a copy of the page: a page too large for the memory left is a page on
    // which nothing could be read, never an exception for the caller.
    page = nullptr;
    fieldDots.reset();
  }
  FinishBar(progress);
  return result;
}

orla::RecognizeResult CShadingReg::RunPasses(const CHalvoPic& pic, int singlePass, orla::ProgressSink* progress) {
  const std::array<int, orla::kPasses> thresholds = orla::PassThresholds(ComputeThreshold());
  orla::RecognizeResult result = orla::kRecognizeNothingFound;
  // One working page serves every pass: each copy of the caller's page goes into the block the
  // previous pass used. It is freed when the passes end, on every way out.
  CHalvoPic work;
  // Looked for when a second pass is due.
  std::optional<std::array<bool, orla::kPasses>> alike;
  for (int pass = 0; pass < orla::kPasses; ++pass) {
    if (progress != nullptr) progress->SetPassEnd(singlePass != 0 ? 100 : (pass + 1) * 100 / 3);
    // Every stage of a pass reads only the black and white page, so a threshold that makes the
    // page an earlier pass read in vain would read it in vain again. A clean page (a blank
    // one, a screened photo) binarizes alike at every threshold.
    if (singlePass == 0 && pass > 0) {
      if (!alike) alike = orla::AlikeBefore(pic, thresholds);
      if ((*alike)[static_cast<std::size_t>(pass)]) continue;
    }
    // Every pass starts from the caller's unaltered page.
    work = pic;
    page = &work;
    ResetPage();
    resolution = std::min(pageDpiX, pageDpiY);

    result = singlePass != 0 ? orla::kRecognizeFound : Binarize(thresholds[pass], progress);
    if (result == orla::kRecognizeFound) result = CollectComponents(progress);
    if (result == orla::kRecognizeFound) result = SearchBlocks(progress);
    // Between the passes and after them nothing may point at the working page, nor keep what
    // was marked on it.
    page = nullptr;
    fieldDots.reset();
    if (result == orla::kRecognizeFound || result == orla::kRecognizeCancelled || singlePass != 0) break;
    if (orla::ProgressAlive(progress)) {
      progress->PumpMessages();
      if (progress->Cancelled()) return orla::kRecognizeCancelled;
    }
  }
  return result;
}
