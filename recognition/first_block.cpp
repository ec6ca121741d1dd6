// The first block stage: walk the dot map until one block's frame fits and its cell map and
// data read. That block teaches the page's dot pitch, resolution and block period.

#include <algorithm>
#include <array>
#include <cmath>

#include "block_search_progress.h"
#include "resolution_estimate.h"
#include "shading_reg.h"

using orla::Point;

namespace {

constexpr int kMostCandidates = 5;
constexpr int kHighestBarPosition = 99;

double Distance(Point a, Point b) {
  const double dx = static_cast<double>(b.x) - a.x;
  const double dy = static_cast<double>(b.y) - a.y;
  return std::sqrt(dx * dx + dy * dy);
}

}  // namespace

orla::RecognizeResult CShadingReg::FindFirstBlock(orla::ProgressSink* progress) {
  const double sqrt2 = std::sqrt(2.0);
  const double basePitch = 6.0 * sqrt2;
  const double pitch300 = basePitch * 300.0 / 600.0;
  const double pitch600 = basePitch * 600.0 / 600.0;
  // The ring in which a dot's row neighbour may lie: from 3/4 of the pitch at 300 dots per
  // inch to 5/4 of the pitch at 600, so both resolutions are found without knowing which.
  const double innerRadius = pitch300 * 3.0 * 0.25;
  const double outerRadius = pitch600 * 5.0 * 0.25;

  BlockCellMap cellMap{};
  BlockReading reading;
  BlockReading nextReading;
  const int width = pageWidth;
  const int height = pageHeight;
  orla::BlockSearchProgress bar(progress, width, height);
  int lastP = 0;

  const orla::Point from = firstBlockFrom;
  for (int y = std::max(from.y, 0); y < height; ++y) {
    const std::uint8_t* row = page->rows[y].get();
    const int firstX = y == from.y ? std::clamp(from.x, 0, width) : 0;
    for (int x = bar.NextStop(row, firstX, width); x < width; x = bar.NextStop(row, x + 1, width)) {
      if (bar.VisitDue()) {
        const int p = static_cast<int>(bar.Fraction(x, y, width));
        if (p != lastP) {
          lastP = p;
          bar.SetPos(std::min(bar.Start() + p, kHighestBarPosition));
        }
        if (bar.PumpAndCheckCancel()) return orla::kRecognizeCancelled;
      }
      if (!IsDot(x, y)) continue;
      // A screen's specks are passed over here, not painted out: frames may be traced through
      // them. Once they are marked, the mark says it (a dot only loses neighbours).
      if (fieldDots ? fieldDots->Test(x, y) : InsideDotField(x, y)) continue;

      // The row neighbours to try: the nearest five of the first 25 dots in the ring, nearest
      // first.
      std::array<Point, kMostCandidates> candidates;
      const int count = FindNearestDots(candidates, x, y, innerRadius, outerRadius, 0.0);
      for (int c = 0; c < count; ++c) {
        const Point candidate = candidates[c];
        dotPitch = Distance(Point{x, y}, candidate);
        if (FindFirstBlockRegion(x, y, candidate.x, candidate.y) != orla::kFrameFitted) continue;

        double gaps = 0.0;
        for (int k = 0; k < kRunLength - 1; ++k) {
          gaps += Distance(refA[k], refA[k + 1]);
        }
        dotPitch = gaps / 11.0;
        const orla::ResolutionEstimate estimate = orla::RoundResolution(static_cast<int>(dotPitch * 100.0 / sqrt2));
        resolution = estimate.resolution;
        if (estimate.rounded) dotPitch = resolution * basePitch / 600.0;

        // Only this candidate's dots may be painted out with the block: dots read for a
        // candidate that failed may belong to real blocks.
        pointCount = 0;
        if (ReadBlockCellMap(cellMap, refA, refB) != 0 || ReadBlockNumber(cellMap, reading, nextReading) != 0) {
          continue;
        }

        blockPeriod = refA[11] - refA[0];
        firstBlockFrom = orla::Point{x + 1, y};
        EraseReferenceDots(cellMap);
        ErasePointTable();
        const int b = reading.blockNumber;
        NoteReadings(b, reading, nextReading, cellMap.refA, cellMap.refB);
        if (reading.symbolCount > 0 && MergeBlockReading(reading, b) == 1) CommitBlock(b, reading, 1);
        if (nextReading.symbolCount > 0 && MergeBlockReading(nextReading, b + 1) == 1) {
          CommitBlock(b + 1, nextReading, 1);
        }
        return orla::kRecognizeFound;
      }
    }
  }
  return orla::kRecognizeNothingFound;
}
