// The dot searches against references written here straight from the rules, pixel by pixel:
// the nearest dots in a ring (every offset of the square in scan order, the first 5 N dots in
// the ring kept, ordered by their square-root distances) and the dots of a quadrilateral
// (every pixel of its box tested with the region's own rule). On seeded random pages, dense
// and sparse, with the row padding dark, and for centres and regions inside, across the
// edges and outside the page, the recognizer must give the same answers in the same order,
// also when the same rings come back in any order.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "dot_page.h"
#include "quad_region.h"
#include "seeded_random.h"

namespace {

using orla::Point;
using orla::pattern::SeededRandom;

// Dots at the given density; the bytes past each row's width, which no search may take for
// a dot, are 0.
void DotPage(CHalvoPic& pic, SeededRandom& random, int width, int height, double density) {
  pic.CreateBlank8(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < pic.stride; ++x) {
      const bool dot = x >= width || random.Chance(density);
      pic.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = dot ? 0 : 255;
    }
  }
}

bool IsDotAt(const CHalvoPic& pic, int x, int y) {
  return x >= 0 && y >= 0 && x < pic.width && y < pic.height && pic.rows[static_cast<std::size_t>(y)][x] == 0;
}

std::vector<Point> ReferenceNearest(const CHalvoPic& pic, int wanted, int cx, int cy, double inner, double outer,
                                    double flag) {
  if (static_cast<int>(flag) <= 0 && wanted == 1 && cx > 0 && cy >= 0 && IsDotAt(pic, cx, cy)) return {{cx, cy}};
  std::vector<Point> found;
  std::vector<double> distance;
  const int reach = static_cast<int>(outer + 0.5);
  for (int j = -reach; j <= reach; ++j) {
    for (int i = -reach; i <= reach; ++i) {
      const double d2 = static_cast<double>(i * i + j * j);
      if (d2 < inner * inner || d2 > outer * outer + 1.0 || !IsDotAt(pic, cx + i, cy + j)) continue;
      if (static_cast<int>(found.size()) >= 5 * wanted) continue;
      found.push_back(Point{cx + i, cy + j});
      distance.push_back(std::sqrt(d2));
    }
  }
  if (found.size() <= 1) return found;
  const int n = std::min(static_cast<int>(found.size()), wanted);
  for (int p = 0; p < n; ++p) {
    for (std::size_t q = static_cast<std::size_t>(p) + 1; q < found.size(); ++q) {
      if (distance[q] < distance[static_cast<std::size_t>(p)]) {
        std::swap(distance[q], distance[static_cast<std::size_t>(p)]);
        std::swap(found[q], found[static_cast<std::size_t>(p)]);
      }
    }
  }
  found.resize(static_cast<std::size_t>(n));
  return found;
}

int ReferenceCount(const CHalvoPic& pic, const orla::QuadRegion& region) {
  const orla::PixelBox box = region.Bounds();
  int count = 0;
  for (int y = std::max(box.top, 0); y <= std::min(box.bottom, pic.height - 1); ++y)
    for (int x = std::max(box.left, 0); x <= std::min(box.right, pic.width - 1); ++x)
      count += IsDotAt(pic, x, y) && region.Contains(x, y);
  return count;
}

// The radii the recognizer asks with (the first block's ring, a third of a pitch, half a
// pitch), whole and half values where the ring's edge falls on pixels, and random ones.
double Radius(SeededRandom& random) {
  const double pitch = 6.0 * std::sqrt(2.0);
  const double fixed[] = {0.0, 1.0, 1.5, 2.0, 3.0, pitch / 3.0, pitch / 2.0, pitch * 5.0 * 0.25,
                          pitch * 0.5 * 3.0 * 0.25, std::sqrt(8.0), 11.0, -1.0};
  return random.Chance(0.5) ? fixed[random.Below(static_cast<int>(std::size(fixed)))] : 12.0 * random.Unit();
}

TEST(DotSearchReference, NearestDotsAreFoundInTheSameOrder) {
  std::vector<Point> out(12);
  for (std::uint64_t seed = 1; seed <= 300; ++seed) {
    SeededRandom random(seed);
    CHalvoPic pic;
    const double densities[] = {0.0, 0.01, 0.05, 0.2, 0.6};
    DotPage(pic, random, 1 + random.Below(60), 1 + random.Below(40), densities[random.Below(5)]);
    orla::test::StageRecognizer reg;
    reg.Use(pic);
    // A few rings, each asked for again and again at centres all over, as a traced row does.
    double rings[3][2];
    for (auto& ring : rings) {
      ring[1] = Radius(random);
      ring[0] = random.Chance(0.7) ? 0.0 : std::max(0.0, ring[1] - 1.0 - 3.0 * random.Unit());
    }
    for (int query = 0; query < 200; ++query) {
      const double* ring = rings[random.Below(3)];
      const int wanted = random.Chance(0.6) ? 1 : 1 + random.Below(11);
      const int cx = random.Below(pic.width + 30) - 15;
      const int cy = random.Below(pic.height + 30) - 15;
      const double flag = random.Chance(0.8) ? 0.0 : 1.0;
      const std::vector<Point> expected = ReferenceNearest(pic, std::min(wanted, 10), cx, cy, ring[0], ring[1], flag);
      const int n = reg.FindNearestDots(std::span(out.data(), static_cast<std::size_t>(wanted)), cx, cy, ring[0],
                                        ring[1], flag);
      SCOPED_TRACE(testing::Message() << "seed " << seed << ", page " << pic.width << " x " << pic.height << ", centre ("
                                      << cx << ", " << cy << "), ring " << ring[0] << " to " << ring[1] << ", wanted "
                                      << wanted << ", flag " << flag);
      ASSERT_EQ(n, static_cast<int>(expected.size()));
      for (int i = 0; i < n; ++i) ASSERT_EQ(out[static_cast<std::size_t>(i)], expected[static_cast<std::size_t>(i)]) << i;
      if (n == 0) {
        ASSERT_EQ(out[0], (Point{0, 0}));
      }
    }
  }
}

TEST(DotSearchReference, RegionsCountTheSameDots) {
  for (std::uint64_t seed = 1; seed <= 300; ++seed) {
    SeededRandom random(seed);
    CHalvoPic pic;
    DotPage(pic, random, 1 + random.Below(70), 1 + random.Below(50), 0.05 + 0.5 * random.Unit());
    orla::test::StageRecognizer reg;
    reg.Use(pic);
    for (int query = 0; query < 100; ++query) {
      std::array<Point, 4> corners;
      if (random.Chance(0.5)) {
        // A strip beside a row, as the frame search draws it, at any angle.
        const double angle = 6.283185307179586 * random.Unit();
        const double length = 60.0 * random.Unit();
        const double width = 1.0 + 10.0 * random.Unit();
        const double x0 = random.Below(pic.width + 20) - 10.0;
        const double y0 = random.Below(pic.height + 20) - 10.0;
        const double ux = std::cos(angle), uy = std::sin(angle);
        const double offsets[4][2] = {{0.5, 0}, {1.5, 0}, {1.5, 1}, {0.5, 1}};
        for (int k = 0; k < 4; ++k) {
          const double along = offsets[k][1] * length;
          const double across = offsets[k][0] * width;
          corners[static_cast<std::size_t>(k)] =
              Point{static_cast<int>(x0 + along * ux - across * uy), static_cast<int>(y0 + along * uy + across * ux)};
        }
      } else {
        // Any four corners: bow ties, slivers, points and lines.
        for (Point& c : corners) c = Point{random.Below(pic.width + 40) - 20, random.Below(pic.height + 40) - 20};
      }
      const orla::QuadRegion region(corners);
      const int expected = ReferenceCount(pic, region);
      SCOPED_TRACE(testing::Message() << "seed " << seed << ", query " << query);
      ASSERT_EQ(reg.CountDarkInRegion(region), expected);
      for (const int most : {0, 1, 3, 4, 1000}) ASSERT_EQ(reg.CountDarkInRegion(region, most), std::min(expected, most));
    }
  }
}

}  // namespace
