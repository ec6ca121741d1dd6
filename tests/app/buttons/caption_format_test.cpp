#include "buttons/caption_format.h"

#include <gtest/gtest.h>

namespace orla {
namespace {

TEST(TextFormatForStyle, AlignmentBitsAndMultiLine) {
  const struct {
    unsigned style, format;
  } cases[] = {
      {0x0000, kDtCenter | kDtVCenter | kDtSingleLine},  // no alignment bits
      {0x0300, kDtCenter | kDtVCenter | kDtSingleLine},  // BS_CENTER
      {0x0100, kDtLeft | kDtVCenter | kDtSingleLine},
      {0x0200, kDtRight | kDtVCenter | kDtSingleLine},
      {0x0400, kDtCenter | kDtTop | kDtSingleLine},
      {0x0800, kDtCenter | kDtBottom | kDtSingleLine},
      {0x0C00, kDtCenter | kDtVCenter | kDtSingleLine},  // BS_VCENTER
      {0x2000, kDtCenter | kDtVCenter},
      {0x2A00, kDtRight | kDtBottom},
      {0x5001008B, kDtCenter | kDtVCenter | kDtSingleLine},  // an owner-drawn bitmap button
  };
  for (const auto& c : cases) EXPECT_EQ(TextFormatForStyle(c.style), c.format) << std::hex << c.style;
}

TEST(StripAccelerators, SingleMarksGoDoubleMarksStayOnce) {
  const struct {
    const char* caption;
    const char* shown;
  } cases[] = {
      {"&Track", "Track"},
      {"Data && Time:", "Data & Time:"},
      {"Open(&B)", "Open(B)"},
      {"a&&&b", "a&b"},
      {"&", ""},
      {"&&&&", "&&"},
      {"end&", "end"},
      {"", ""},
      {"plain", "plain"},
  };
  for (const auto& c : cases) EXPECT_EQ(StripAccelerators(c.caption), c.shown) << c.caption;
}

TEST(LineFeedsToBlanks, EveryLineFeed) {
  EXPECT_EQ(LineFeedsToBlanks("one\ntwo\n"), "one two ");
  EXPECT_EQ(LineFeedsToBlanks("none"), "none");
}

TEST(AlignedCaptionTop, CentredBottomAndTop) {
  EXPECT_EQ(AlignedCaptionTop(3, 26, 13, kDtVCenter), 8);
  EXPECT_EQ(AlignedCaptionTop(3, 26, 13, kDtBottom), 13);
  EXPECT_EQ(AlignedCaptionTop(3, 26, 13, kDtTop), 3);
  // Text taller than the rectangle starts above it, truncating toward zero.
  EXPECT_EQ(AlignedCaptionTop(0, 10, 13, kDtVCenter), -1);
}

}  // namespace
}  // namespace orla
