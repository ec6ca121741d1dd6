// Where a CHalvoPic keeps its pixels: one block with the row table pointing into it, kept when
// a page of the same size is copied in, and given back to the system when the page is freed.
// Memory is read from /proc and getrusage as the system counts it.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "halvo_pic.h"

namespace {

long ResidentKilobytes() {
  long pages = 0;
  long resident = 0;
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return -1;
  const int read = std::fscanf(statm, "%ld %ld", &pages, &resident);
  std::fclose(statm);
  return read == 2 ? resident * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

long MinorFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

TEST(HalvoPicStorage, LinesFollowEachOtherInOneBlock) {
  CHalvoPic pic;
  ASSERT_EQ(pic.CreateBlank8(5, 3), 1);
  ASSERT_EQ(pic.rows.size(), 3u);
  for (std::size_t y = 0; y < 3; ++y) EXPECT_EQ(pic.rows[y].get(), pic.rows[0].get() + y * 8) << y;
}

TEST(HalvoPicStorage, CopiesIntoAPageOfTheSameSizeAndOfAnother) {
  CHalvoPic source;
  ASSERT_EQ(source.CreateBlank8(6, 4), 1);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) source.rows[static_cast<std::size_t>(y)][x] = static_cast<std::uint8_t>(10 * y + x);
  CHalvoPic copy;
  ASSERT_EQ(copy.CreateBlank8(6, 4), 1);
  copy.rows[2][3] = 99;
  copy = source;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(copy.rows[static_cast<std::size_t>(y)][x], 10 * y + x) << x << "," << y;

  CHalvoPic larger;
  ASSERT_EQ(larger.CreateBlank8(40, 30), 1);
  larger = source;
  EXPECT_EQ(larger.height, 4);
  ASSERT_EQ(larger.rows.size(), 4u);
  EXPECT_EQ(larger.rows[3][5], 35);

  // A line the source lacks comes out white, whatever the block held there.
  source.rows[1].reset();
  copy = source;
  for (int x = 0; x < 8; ++x) EXPECT_EQ(copy.rows[1][static_cast<std::size_t>(x)], 255) << x;
  EXPECT_EQ(copy.rows[2][3], 23);
}

TEST(HalvoPicStorage, ACopyIntoAPageOfTheSameSizeTouchesNoNewMemory) {
  CHalvoPic source;
  ASSERT_EQ(source.CreateBlank8(4096, 4096), 1);
  CHalvoPic copy;
  long before = MinorFaults();
  copy = source;
  const long fresh = MinorFaults() - before;
  before = MinorFaults();
  copy = source;
  const long again = MinorFaults() - before;
  EXPECT_GT(fresh, 0);
  EXPECT_LE(again, fresh / 4) << "the second copy faulted in " << again << " pages, the first " << fresh;
}

TEST(HalvoPicStorage, AFreedPageGoesBackToTheSystem) {
  constexpr long kPageKilobytes = 8192L * 8192L / 1024L;
  CHalvoPic pic;
  ASSERT_EQ(pic.CreateBlank8(8192, 8192), 1);
  // Something allocated after the page and still alive, as the program always has.
  const auto later = std::make_unique<char[]>(64);
  later[0] = 1;
  const long loaded = ResidentKilobytes();
  ASSERT_GT(loaded, 0);
  pic.Free();
  const long freed = ResidentKilobytes();
  EXPECT_GE(loaded - freed, kPageKilobytes * 7 / 8) << "resident " << loaded << " kB with the page, " << freed
                                                    << " kB after Free";
}

}  // namespace
