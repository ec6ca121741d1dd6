// The recognizer when memory runs out while it copies the page: the caller gets "nothing
// found", never an exception, and the page and the record list are as they were. A binary of
// its own, because its mapping of pixel blocks is wrapped (-Wl,--wrap=mmap) to fail on demand.

#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstring>
#include <vector>

#include "pattern_writer.h"
#include "scripted_progress.h"
#include "shading_reg.h"
#include "tracking_records.h"

namespace {
// Mappings of exactly this many bytes fail while it is not 0: the test page's size is chosen
// so that nothing else asks for it.
std::size_t failingSize = 0;
}  // namespace

extern "C" void* __real_mmap(void* address, std::size_t length, int protection, int flags, int fd, off_t offset);
extern "C" void* __wrap_mmap(void* address, std::size_t length, int protection, int flags, int fd, off_t offset) {
  if (failingSize != 0 && length == failingSize) return MAP_FAILED;
  return __real_mmap(address, length, protection, flags, fd, offset);
}

namespace {

TEST(RecognizeMemory, APageThatCannotBeCopiedIsNothingFound) {
  orla::pattern::PatternOptions options;
  options.page.dpi = 300;
  options.page.dotSize = 2;
  options.page.width = 1237;  // an odd stride, so a page size no other mapping of the run asks for
  const orla::pattern::PatternPage made = orla::pattern::MakePatternPage({}, options);
  ASSERT_TRUE(made.ok()) << made.error;
  CHalvoPic pic;
  ASSERT_TRUE(orla::pattern::ToHalvoPic(made.page, pic));
  ASSERT_EQ(pic.stride, 1240);
  const std::vector<std::uint8_t> firstRow(pic.rows[0].get(), pic.rows[0].get() + pic.stride);

  // The same page decodes while memory lasts.
  ClearTrackingRecords();
  {
    CShadingReg recognizer;
    ASSERT_EQ(recognizer.Recognize(&pic, 0), orla::kRecognizeFound);
  }
  ASSERT_EQ(g_TrackingRecords.size(), 1u);

  orla::test::ScriptedProgress progress(0, 0);
  pic.progress = &progress;
  CShadingReg recognizer;
  failingSize = static_cast<std::size_t>(pic.stride) * static_cast<std::size_t>(pic.height);
  const orla::RecognizeResult result = recognizer.Recognize(&pic, 0);
  failingSize = 0;
  pic.progress = nullptr;

  EXPECT_EQ(result, orla::kRecognizeNothingFound);
  EXPECT_EQ(g_TrackingRecords.size(), 1u);
  EXPECT_EQ(recognizer.page, nullptr);
  ASSERT_FALSE(progress.positions.empty());
  EXPECT_EQ(progress.positions.back(), 100);
  EXPECT_EQ(std::memcmp(firstRow.data(), pic.rows[0].get(), firstRow.size()), 0);
  ClearTrackingRecords();
}

}  // namespace
