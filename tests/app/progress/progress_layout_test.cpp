#include "progress/progress_layout.h"

#include <gtest/gtest.h>

namespace orla {
namespace {

TEST(ComputeProgressLayout, WithAndWithoutAnimation) {
  ProgressLayoutInput in;
  in.textWidth = 24;
  in.textHeight = 26;
  in.captionWidth = 50;
  in.captionHeight = 13;
  in.cxEdge = 2;
  in.cyEdge = 2;

  const ProgressLayout plain = ComputeProgressLayout(in);
  EXPECT_EQ(plain.animation, (LayoutRect{0, 0, 0, 0}));
  EXPECT_EQ(plain.text, (LayoutRect{10, 10, 380, 36}));
  EXPECT_EQ(plain.bar, (LayoutRect{10, 46, 380, 69}));
  EXPECT_EQ(plain.button, (LayoutRect{380 - 72, 79, 380, 102}));
  EXPECT_EQ(plain.clientWidth, 390);
  EXPECT_EQ(plain.clientHeight, 112);

  in.hasAnimation = true;
  const ProgressLayout animated = ComputeProgressLayout(in);
  EXPECT_EQ(animated.animation, (LayoutRect{10, 10, 380, 60}));
  EXPECT_EQ(animated.text, (LayoutRect{10, 70, 380, 96}));
  EXPECT_EQ(animated.clientHeight, 172);
}

TEST(ComputeProgressLayout, WideTextWidensTheWindow) {
  ProgressLayoutInput in;
  in.textWidth = 500;
  in.textHeight = 13;
  in.captionWidth = 40;
  in.captionHeight = 13;
  const ProgressLayout layout = ComputeProgressLayout(in);
  EXPECT_EQ(layout.clientWidth, 520);
  EXPECT_EQ(layout.text.right, 510);
  EXPECT_EQ(layout.bar.right, 510);
  EXPECT_EQ(layout.button.right, 510);
}

TEST(ProgressPercent, TableOfPositions) {
  const struct {
    int position, lower, upper, percent;
  } cases[] = {{50, 0, 100, 50},  {0, 0, 100, 0},   {100, 0, 100, 100}, {-1, 0, 100, 0},
               {1, 0, 3, 33},     {2, 0, 3, 67},    {5, 5, 5, 0},       {5, 10, 0, 0},
               {15, 10, 20, 50},  {-2, 0, 100, -1}, {2147483647, -2147483647 - 1, 2147483647, 100}};
  for (const auto& c : cases)
    EXPECT_EQ(ProgressPercent(c.position, c.lower, c.upper), c.percent) << c.position << " " << c.lower << " " << c.upper;
}

}  // namespace
}  // namespace orla
