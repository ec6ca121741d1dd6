#pragma once
// The dot-geometry half of the recognizer: the state that describes the page's dot pattern
// and the operations that find and follow dots on the dot map (the pass copy in which every
// dot is one pixel of value 0 on 255).

#include <array>
#include <cstdint>
#include <span>

#include "halvo_pic.h"
#include "point.h"
#include "quad_region.h"
#include "recognize_result.h"

class CGetPosition {
 public:
  static constexpr int kPointTableSize = 300;
  static constexpr int kRunLength = 12;
  using Run = std::array<orla::Point, kRunLength>;

  CGetPosition();
  virtual ~CGetPosition();
  CGetPosition(const CGetPosition&) = delete;
  CGetPosition& operator=(const CGetPosition&) = delete;

  virtual orla::RecognizeResult Recognize(CHalvoPic* page, int singlePass) = 0;

  // (x0, y0) moved by `distance` along (dx, dy); (-1, -1) for a null direction.
  static orla::Point PointAlong(int x0, int y0, int dx, int dy, double distance);
  static orla::Point PointAlong(orla::Point start, orla::Point direction, double distance) {
    return PointAlong(start.x, start.y, direction.x, direction.y, distance);
  }

  // Up to out.size() dots nearest to (cx, cy) in the ring innerRadius..outerRadius, nearest
  // first; the number written.
  int FindNearestDots(std::span<orla::Point> out, int cx, int cy, double innerRadius, double outerRadius,
                      double flag) const;
  // The one nearest dot within `radius` of `centre`, as every tracing step looks for it.
  bool FindDot(orla::Point centre, double radius, orla::Point& dot) const;

  // The row through the neighbouring dots a and b, first outward past a, then past b.
  int TraceLine(Run& out, orla::Point a, orla::Point b, double step, double radius) const;
  // A run through `start` along a fixed direction, backward first unless forwardOnly.
  int TraceDirection(Run& out, int maxMisses, int forwardOnly, orla::Point start, orla::Point direction,
                     double step, double radius) const;
  // Reads 12 positions from `start` along `direction` as bits firstBit to firstBit + 11.
  int ReadDotBits(std::span<std::uint8_t> bits, int firstBit, orla::Point& first, orla::Point& next,
                  orla::Point start, orla::Point direction, double step);
  int CountDarkInRegion(const orla::QuadRegion& region) const;
  // The same count, but no further than `most`: where only "more than so many" matters, a
  // region in a field of dots is done with after its first few.
  int CountDarkInRegion(const orla::QuadRegion& region, int most) const;

  // Whether the four positions one `step` away from (x, y), along it and across it, are dots.
  bool HasDotsAround(int x, int y, orla::Point step) const;
  // Whether the dot at (x, y) lies inside a field of dots, where no reference dot lies.
  bool InsideDotField(int x, int y) const;

  // The value 0 at an inside position of the current page.
  bool IsDot(int x, int y) const { return IsInsidePage(x, y) && page->rows[y][x] == 0; }
  bool IsInsidePage(int x, int y) const { return x >= 0 && x < pageWidth && y >= 0 && y < pageHeight; }

  double dotPitch = 0.0;
  std::int32_t resolution = 600;
  orla::Point blockPeriod{};
  std::int32_t pointCount = 0;
  std::array<orla::Point, kPointTableSize> points{};
  std::int32_t pageWidth = 0;
  std::int32_t pageHeight = 0;
  std::int32_t pageDpiX = 600;
  std::int32_t pageDpiY = 600;
  std::int32_t noiseSizeLimit = 2;
  CHalvoPic* page = nullptr;  // never owned

 protected:
  // Appends a dot found while reading a block, so the block can be painted out later.
  void RecordPoint(orla::Point dot);

 private:
  // The dots of the ring innerRadius..outerRadius around (cx, cy), in the order of a
  // pixel-by-pixel scan of its square (rows from the top, each from the left): visit(x, y,
  // squared distance) for each, until it returns false.
  template <typename Visit>
  void ForEachDotInRing(int cx, int cy, double innerRadius, double outerRadius, Visit visit) const;

  // The ring last searched with a square of at most 7 pixels a side, as byte masks of its
  // offsets, one word per row of the square: byte k of row j (from the top) is offset
  // (k - reach, j - reach). The tracing searches ask for the same ring over and over.
  struct RingMasks {
    static constexpr int kMostReach = 3;
    // Makes these the masks of the offsets whose i² + j² lies in least..greatest.
    void Fit(int newReach, std::int64_t newLeast, std::int64_t newGreatest);

    int reach = -1;
    std::int64_t least = 0;
    std::int64_t greatest = -1;
    std::array<std::uint64_t, 2 * kMostReach + 1> rows{};
  };
  mutable RingMasks ringMasks_;
};
