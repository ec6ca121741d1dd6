// The recognizer when memory runs out while it copies the page: the caller gets "nothing
// found", never an exception, and the page and the record list are as they were. A binary of
// its own, because it replaces the global array allocator to fail on demand.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "pattern_writer.h"
#include "scripted_progress.h"
#include "shading_reg.h"
#include "tracking_records.h"

namespace {
// Array allocations of exactly this many bytes fail while it is not 0: the test page's row
// stride is chosen so that nothing else asks for that size.
std::size_t failingSize = 0;
}  // namespace

void* operator new[](std::size_t size) {
  if (failingSize != 0 && size == failingSize) throw std::bad_alloc();
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace {

TEST(RecognizeMemory, APageThatCannotBeCopiedIsNothingFound) {
  orla::pattern::PatternOptions options;
  options.page.dpi = 300;
  options.page.dotSize = 2;
  options.page.width = 1237;  // an odd stride no other allocation of the run asks for
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
  failingSize = static_cast<std::size_t>(pic.stride);
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
