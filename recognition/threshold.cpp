#include "threshold.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "point.h"
#include "shading_reg.h"

namespace orla {
namespace {

constexpr int kW = kThresholdSampleWidth;
constexpr int kH = kThresholdSampleHeight;
constexpr int kWindowHalf = 40;
constexpr double kDarkFactor = 0.85;
constexpr int kVoteFloor = 80;
constexpr int kBandWidth = 6;
// Largest speck (exclusive): dots at 600 dots per inch and more cover more pixels.
constexpr int kSpeckLimitLow = 8;
constexpr int kSpeckLimitHigh = 30;

using Sample = std::vector<std::uint8_t>;

std::size_t At(int x, int y) { return static_cast<std::size_t>(y) * kW + static_cast<std::size_t>(x); }

void CopyRow(const CHalvoPic& page, int pageRow, int firstColumn, int columns, std::uint8_t* to) {
  std::memcpy(to, page.rows[pageRow].get() + firstColumn, static_cast<std::size_t>(columns));
}

// Tall, wide pages: a band near the top joined to a band near the bottom, away from the
// margins where the pattern may stop short.
Sample TakeSample(const CHalvoPic& page) {
  Sample sample(static_cast<std::size_t>(kW) * kH, 255);
  if (page.height > 880 && page.width > kW) {
    const int c0 = (page.width - kW) / 2;
    for (int y = 0; y < kH / 2; ++y) {
      CopyRow(page, 200 + y, c0, kW, &sample[At(0, y)]);
      CopyRow(page, page.height - 439 + y, c0, kW, &sample[At(0, kH / 2 + y)]);
    }
  } else {
    const int rows = std::min<int>(std::min(page.height, kH), static_cast<int>(page.rows.size()));
    const int columns = std::min(page.width, kW);
    for (int y = 0; y < rows && columns > 0; ++y) CopyRow(page, y, 0, columns, &sample[At(0, y)]);
  }
  return sample;
}

// Dark where a pixel is darker than 0.85 of its window's mean; pixels of value 0 add neither
// brightness nor area to the mean.
Sample DarkMap(const Sample& sample) {
  std::vector<std::int32_t> sums(sample.size());
  std::vector<std::int32_t> counts(sample.size());
  for (int y = 0; y < kH; ++y) {
    std::int32_t rowSum = 0;
    std::int32_t rowCount = 0;
    for (int x = 0; x < kW; ++x) {
      const std::uint8_t v = sample[At(x, y)];
      if (v != 0) {
        rowSum += v;
        ++rowCount;
      }
      sums[At(x, y)] = rowSum + (y > 0 ? sums[At(x, y - 1)] : 0);
      counts[At(x, y)] = rowCount + (y > 0 ? counts[At(x, y - 1)] : 0);
    }
  }
  Sample dark(sample.size(), 255);
  for (int y = 0; y < kH; ++y) {
    const int y0 = std::max(y - kWindowHalf, 0);
    const int y1 = std::min(y + kWindowHalf, kH - 1);
    for (int x = 0; x < kW; ++x) {
      const int x0 = std::max(x - kWindowHalf, 0);
      const int x1 = std::min(x + kWindowHalf, kW - 1);
      // The window is x0 < x' <= x1, y0 < y' <= y1, so at the edges it loses row and
      // column 0.
      const std::int32_t sum = sums[At(x1, y1)] - sums[At(x1, y0)] - sums[At(x0, y1)] + sums[At(x0, y0)];
      const std::int32_t count = counts[At(x1, y1)] - counts[At(x1, y0)] - counts[At(x0, y1)] + counts[At(x0, y0)];
      const auto limit = static_cast<std::int32_t>(kDarkFactor * static_cast<double>(sum));
      if (sample[At(x, y)] * count < limit) dark[At(x, y)] = 0;
    }
  }
  return dark;
}

// Grows the speck seeded at (sx, sy) and casts its vote. The pixel count goes up as a pixel
// is queued and the speck is given up the moment it reaches the limit, so the queue never
// holds more than the limit.
void GrowSpeck(Sample& dark, const Sample& sample, int sx, int sy, int speckLimit, VoteHistogram& votes) {
  static constexpr Point kNeighbours[] = {{-1, 0}, {-1, -1}, {-1, 1}, {1, 0}, {1, -1}, {1, 1}, {0, -1}, {0, 1}};
  std::array<Point, kSpeckLimitHigh> queue;
  int count = 0;
  queue[count++] = Point{sx, sy};
  dark[At(sx, sy)] = 255;
  int minX = sx, maxX = sx, minY = sy, maxY = sy;
  for (int head = 0; head < count; ++head) {
    const Point p = queue[head];
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
    for (const Point& d : kNeighbours) {
      const int nx = p.x + d.x;
      const int ny = p.y + d.y;
      if (nx < 0 || nx >= kW || ny < 0 || ny >= kH || dark[At(nx, ny)] != 0) continue;
      dark[At(nx, ny)] = 255;
      queue[count++] = Point{nx, ny};
      if (count >= speckLimit) return;
    }
  }
  const int boxArea = (maxX - minX + 1) * (maxY - minY + 1);
  if (count <= 1 || 4 * count <= 3 * boxArea) return;
  std::array<std::uint8_t, kSpeckLimitHigh> greys;
  for (int i = 0; i < count; ++i) greys[i] = sample[At(queue[i].x, queue[i].y)];
  if (const std::optional<int> level = SpeckVote(std::span(greys.data(), static_cast<std::size_t>(count)))) {
    ++votes[*level];
  }
}

}  // namespace

std::optional<int> SpeckVote(std::span<const std::uint8_t> greys) {
  const int n = static_cast<int>(greys.size());
  if (n == 0) return std::nullopt;
  std::array<std::uint8_t, kSpeckLimitHigh> sorted{};
  const int kept = std::min<int>(n, kSpeckLimitHigh);
  std::copy_n(greys.begin(), kept, sorted.begin());
  std::sort(sorted.begin(), sorted.begin() + kept, [](std::uint8_t a, std::uint8_t b) { return a > b; });
  // The fifth darkest pixel (the brightest of small specks): a level just above it takes in
  // the speck's core but not its lighter rim.
  const int v = sorted[n > 5 ? std::min(n, kept) - 5 : 0];
  int level;
  if (v > kVoteFloor) {
    level = v + 1;
  } else if (n > 8) {
    level = kVoteFloor + 1;
  } else {
    return std::nullopt;
  }
  return std::clamp(level, 0, 255);
}

int BestBandEnd(const VoteHistogram& votes) {
  int bestScore = 0;
  int bestEnd = 0;
  for (int s = 0; s + kBandWidth - 1 < 250; ++s) {
    int sum = 0;
    int used = 0;
    for (int level = s; level < s + kBandWidth; ++level) {
      const int count = votes[level];
      if (count != 0) {
        sum += count;
        ++used;
      }
    }
    if (used == 0) continue;
    const int score = sum / used;
    if (score > bestScore) {
      bestScore = score;
      bestEnd = s + kBandWidth - 1;
    }
  }
  return bestEnd;
}

int ThresholdFromBandEnd(int bandEnd) {
  if (bandEnd <= 0 || bandEnd > 250) return kDefaultThreshold;
  if (bandEnd >= 135 && bandEnd <= 159) return 125;
  if (bandEnd >= 160 && bandEnd <= 169) return 185;
  if (bandEnd >= 206 && bandEnd <= 219) return 240;
  if (bandEnd >= 220 && bandEnd <= 224) return bandEnd + 15;
  return bandEnd;
}

int EstimateThreshold(const CHalvoPic& page, int resolution) {
  // A page without all its rows (freed, or never loaded) has nothing to sample.
  if (page.height > 0 && page.rows.size() < static_cast<std::size_t>(page.height)) return kDefaultThreshold;
  const int speckLimit = resolution >= 600 ? kSpeckLimitHigh : kSpeckLimitLow;
  const Sample sample = TakeSample(page);
  Sample dark = DarkMap(sample);
  VoteHistogram votes{};
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      if (dark[At(x, y)] == 0) GrowSpeck(dark, sample, x, y, speckLimit, votes);
    }
  }
  return ThresholdFromBandEnd(BestBandEnd(votes));
}

}  // namespace orla

int CShadingReg::ComputeThreshold() const {
  if (page == nullptr) return orla::kDefaultThreshold;
  return orla::EstimateThreshold(*page, resolution);
}
