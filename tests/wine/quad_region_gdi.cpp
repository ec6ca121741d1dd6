// Cross-checks the portable quadrilateral region against the platform's polygon regions
// (CreatePolygonRgn in alternate mode, PtInRegion, GetRgnBox) on random quadrilaterals,
// convex, concave and self-crossing alike. Prints the seed so a failure can be replayed:
// quad_region_gdi [seed].

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "quad_region.h"

namespace {

constexpr int kQuads = 4000;

struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom excluded, like a RECT
  bool empty = true;
};

}  // namespace

int main(int argc, char** argv) {
  const unsigned seed = argc > 1 ? static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)) : 20261210u;
  std::mt19937 random(seed);
  int mismatches = 0;
  long points = 0;
  for (int q = 0; q < kQuads && mismatches < 20; ++q) {
    // Small quads show the edge rule at every vertex; some larger ones its long edges.
    const int span = q % 4 == 0 ? 120 : 24;
    std::uniform_int_distribution<int> coordinate(-4, span);
    std::array<orla::Point, 4> corners;
    POINT gdi[4];
    for (int i = 0; i < 4; ++i) {
      corners[i] = orla::Point{coordinate(random), coordinate(random)};
      gdi[i] = POINT{corners[i].x, corners[i].y};
    }
    const orla::QuadRegion region(corners);
    HRGN rgn = CreatePolygonRgn(gdi, 4, ALTERNATE);
    if (rgn == nullptr) {
      std::printf("quad %d: CreatePolygonRgn failed\n", q);
      ++mismatches;
      continue;
    }
    const orla::PixelBox bounds = region.Bounds();
    Box mine;
    for (int y = bounds.top - 2; y <= bounds.bottom + 2; ++y) {
      for (int x = bounds.left - 2; x <= bounds.right + 2; ++x) {
        ++points;
        const bool ours = region.Contains(x, y);
        const bool theirs = PtInRegion(rgn, x, y) != FALSE;
        if (ours != theirs && mismatches++ < 20) {
          std::printf("quad %d (%d,%d) (%d,%d) (%d,%d) (%d,%d): pixel (%d,%d) ours %d, platform %d\n", q, corners[0].x,
                      corners[0].y, corners[1].x, corners[1].y, corners[2].x, corners[2].y, corners[3].x, corners[3].y,
                      x, y, ours, theirs);
        }
        if (ours) {
          if (mine.empty) mine = Box{x, y, x + 1, y + 1, false};
          mine.left = std::min(mine.left, x);
          mine.top = std::min(mine.top, y);
          mine.right = std::max(mine.right, x + 1);
          mine.bottom = std::max(mine.bottom, y + 1);
        }
      }
    }
    RECT box{};
    const int kind = GetRgnBox(rgn, &box);
    DeleteObject(rgn);
    const bool sameBox = mine.empty ? kind == NULLREGION
                                    : (kind != NULLREGION && box.left == mine.left && box.top == mine.top &&
                                       box.right == mine.right && box.bottom == mine.bottom);
    if (!sameBox && mismatches++ < 20) {
      std::printf("quad %d: platform box %d,%d,%d,%d (kind %d), ours %d,%d,%d,%d\n", q, static_cast<int>(box.left),
                  static_cast<int>(box.top), static_cast<int>(box.right), static_cast<int>(box.bottom), kind, mine.left,
                  mine.top, mine.right, mine.bottom);
    }
  }
  std::printf("quad_region_gdi: seed %u, %d quadrilaterals, %ld pixels, %d mismatches\n", seed, kQuads, points,
              mismatches);
  std::fflush(stdout);
  return mismatches == 0 ? 0 : 1;
}
