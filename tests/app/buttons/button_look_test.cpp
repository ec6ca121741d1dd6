#include "buttons/button_look.h"

#include <gtest/gtest.h>

#include <vector>

namespace orla {
namespace {

TEST(ChooseThemedState, DisabledBeatsPressedBeatsHoverBeatsDefault) {
  const struct {
    bool disabled, pressed, hover, defaulted;
    ThemedState state;
  } cases[] = {
      {true, true, true, true, kStateDisabled},   {false, true, true, true, kStatePressed},
      {false, false, true, true, kStateHot},      {false, false, false, true, kStateDefaulted},
      {false, false, false, false, kStateNormal},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseThemedState(c.disabled, c.pressed, c.hover, c.defaulted), c.state)
        << c.disabled << c.pressed << c.hover << c.defaulted;
  }
}

TEST(FadeSteps, ByNewAndOldStateWithTheirAlphaStep) {
  const struct {
    int newState, oldState, steps, alphaStep;
  } cases[] = {
      {kStateNormal, kStateHot, 20, 12},         {kStateNormal, kStatePressed, 4, 62},
      {kStateNormal, kStateDisabled, 4, 62},     {kStateHot, kStatePressed, 4, 62},
      {kStateHot, kStateNormal, 2, 125},         {kStateHot, kStateDefaulted, 2, 125},
      {kStatePressed, kStateHot, 2, 125},        {kStatePressed, kStateNormal, 2, 125},
      {kStateDisabled, kStateNormal, 4, 62},     {kStateDisabled, kStateDefaulted, 4, 62},
      {kStateDefaulted, kStateHot, 20, 12},      {kStateDefaulted, kStateNormal, 2, 125},
      {kStateDefaulted, kStateDisabled, 2, 125},
  };
  for (const auto& c : cases) {
    const int steps = FadeSteps(c.newState, c.oldState);
    EXPECT_EQ(steps, c.steps) << c.newState << " from " << c.oldState;
    EXPECT_EQ(FadeAlphaStep(steps), c.alphaStep);
    // The first step of a fade never exceeds an opaque blend.
    EXPECT_LE(FadeAlphaStep(steps) * steps, 250);
  }
  EXPECT_EQ(FadeAlphaStep(0), 0);
}

TEST(Pulse, CounterRunsOneToFortyThenZeroAndAlphaRisesAndFalls) {
  std::vector<int> seen;
  int counter = 0;
  for (int tick = 0; tick < 43; ++tick) {
    counter = NextPulseCounter(counter);
    seen.push_back(counter);
  }
  for (int i = 0; i < 40; ++i) EXPECT_EQ(seen[i], i + 1);
  EXPECT_EQ(seen[40], 0);
  EXPECT_EQ(seen[41], 1);
  EXPECT_EQ(seen[42], 2);

  EXPECT_EQ(PulseAlpha(0), 0);
  EXPECT_EQ(PulseAlpha(1), 12);
  EXPECT_EQ(PulseAlpha(19), 237);
  EXPECT_EQ(PulseAlpha(20), 250);
  EXPECT_EQ(PulseAlpha(21), 238);
  EXPECT_EQ(PulseAlpha(40), 0);
  for (int c = 1; c <= 20; ++c) EXPECT_GT(PulseAlpha(c), PulseAlpha(c - 1)) << c;
  for (int c = 21; c <= 40; ++c) EXPECT_LT(PulseAlpha(c), PulseAlpha(c - 1)) << c;
}

TEST(DialogCode, DisabledEnabledAndDefault) {
  EXPECT_EQ(DialogCode(false, true), 0x2000u);
  EXPECT_EQ(DialogCode(false, false), 0x2000u);
  EXPECT_EQ(DialogCode(true, true), 0x2010u);
  EXPECT_EQ(DialogCode(true, false), 0x2020u);
}

TEST(ClassicFrameFlags, DisabledPressedAndChecked) {
  const struct {
    bool disabled, pressedLook, pushed, pushLike;
    int check;
    unsigned flags;
  } cases[] = {
      {false, false, false, false, 0, 0x10}, {true, true, false, false, 0, 0x110}, {false, true, true, false, 0, 0x210},
      {false, true, false, true, 1, 0x610},  {false, true, true, true, 1, 0x210},  {false, false, false, true, 0, 0x10},
      {false, false, false, false, 1, 0x10}, {true, false, false, true, 2, 0x510},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ClassicFrameFlags(c.disabled, c.pressedLook, c.pushed, c.pushLike, c.check), c.flags)
        << c.disabled << c.pressedLook << c.pushed << c.pushLike << c.check;
  }
}

TEST(CheckStateAfterClick, PushLikeTogglesOthersClear) {
  EXPECT_EQ(CheckStateAfterClick(true, 0), 1);
  EXPECT_EQ(CheckStateAfterClick(true, 1), 0);
  EXPECT_EQ(CheckStateAfterClick(true, 2), 0);
  EXPECT_EQ(CheckStateAfterClick(false, 1), 0);
  EXPECT_EQ(CheckStateAfterClick(false, 0), 0);
}

TEST(SetStyle, DefaultFlagAndTheStyleKeptOwnerDrawn) {
  EXPECT_TRUE(IsDefaultPushStyle(0x1));
  EXPECT_TRUE(IsDefaultPushStyle(0x50010001));
  EXPECT_FALSE(IsDefaultPushStyle(0x0));
  EXPECT_FALSE(IsDefaultPushStyle(0xB));
  EXPECT_EQ(StyleKeptOwnerDrawn(0x1), 0xBu);
  EXPECT_EQ(StyleKeptOwnerDrawn(0x0), 0xBu);
  EXPECT_EQ(StyleKeptOwnerDrawn(0x50010085), 0x5001008Bu);  // bitmap style and window bits stay
}

}  // namespace
}  // namespace orla
