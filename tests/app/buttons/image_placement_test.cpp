#include "buttons/image_placement.h"

#include <gtest/gtest.h>

#include "buttons/caption_format.h"

namespace orla {
namespace {

// A 92 x 23 text rectangle, a 16 x 12 image and a 30 x 13 caption, the default gaps.
ImagePlacementInput Input(int side, unsigned format, bool hasCaption) {
  ImagePlacementInput in;
  in.text = {4, 3, 96, 26};
  in.imageWidth = 16;
  in.imageHeight = 12;
  in.hasCaption = hasCaption;
  in.captionWidth = hasCaption ? 30 : 0;
  in.captionHeight = hasCaption ? 13 : 0;
  in.side = side;
  in.format = format | kDtSingleLine;
  return in;
}

TEST(PlaceImage, EachSideAndAlignment) {
  constexpr unsigned kCentre = kDtCenter | kDtVCenter;
  constexpr unsigned kFar = kDtRight | kDtBottom;
  constexpr unsigned kNear = kDtLeft | kDtTop;
  const struct {
    int side;
    unsigned format;
    bool hasCaption;
    int x, y;
    LayoutRect caption;
    unsigned captionAlignment;
  } cases[] = {
      // Without a caption the side does not matter: the image is aligned alone.
      {kImageLeft, kCentre, false, 42, 8, {4, 3, 96, 26}, kCentre},
      {kImageBelow, kCentre, false, 42, 8, {4, 3, 96, 26}, kCentre},
      {kImageRight, kFar, false, 80, 14, {4, 3, 96, 26}, kFar},
      {kImageAbove, kNear, false, 4, 3, {4, 3, 96, 26}, kNear},
      // Image left: the group 16 + 8 + 30 = 54 wide is aligned; the caption follows, left-aligned.
      {kImageLeft, kCentre, true, 23, 8, {47, 3, 96, 26}, kDtLeft | kDtVCenter},
      {kImageLeft, kFar, true, 42, 14, {66, 3, 96, 26}, kDtLeft | kDtBottom},
      {kImageLeft, kNear, true, 4, 3, {28, 3, 96, 26}, kNear},
      // Image right: the caption ends a gap before it, right-aligned.
      {kImageRight, kCentre, true, 61, 8, {4, 3, 53, 26}, kDtRight | kDtVCenter},
      {kImageRight, kFar, true, 80, 14, {4, 3, 72, 26}, kFar},
      {kImageRight, kNear, true, 42, 3, {4, 3, 34, 26}, kDtRight | kDtTop},
      // Image above: the group 12 + 1 + 13 = 26 high is aligned (taller than the rectangle:
      // the centring truncates toward zero); the caption starts under it, top-aligned.
      {kImageAbove, kCentre, true, 42, 2, {4, 15, 96, 26}, kDtCenter | kDtTop},
      {kImageAbove, kFar, true, 80, 0, {4, 13, 96, 26}, kDtRight | kDtTop},
      {kImageAbove, kNear, true, 4, 3, {4, 16, 96, 26}, kNear},
      // Image below: the caption ends a gap above it, bottom-aligned.
      {kImageBelow, kCentre, true, 42, 15, {4, 3, 96, 14}, kDtCenter | kDtBottom},
      {kImageBelow, kFar, true, 80, 14, {4, 3, 96, 13}, kFar},
      {kImageBelow, kNear, true, 4, 17, {4, 3, 96, 16}, kDtLeft | kDtBottom},
  };
  for (const auto& c : cases) {
    const ImagePlacement p = PlaceImage(Input(c.side, c.format, c.hasCaption));
    SCOPED_TRACE(testing::Message() << "side " << std::hex << c.side << " format " << c.format << " caption "
                                    << c.hasCaption);
    EXPECT_EQ(p.x, c.x);
    EXPECT_EQ(p.y, c.y);
    EXPECT_EQ(p.caption, c.caption);
    EXPECT_EQ(p.captionFormat, c.captionAlignment | kDtSingleLine);
  }
}

TEST(PlaceImage, CentredImageAndCaptionStandTogetherInTheMiddle) {
  ImagePlacementInput in = Input(kImageLeft, kDtCenter | kDtVCenter, true);
  in.text = {0, 0, 200, 30};
  in.captionWidth = 40;
  const ImagePlacement p = PlaceImage(in);
  const int captionStart = p.caption.left;
  EXPECT_EQ(captionStart - (p.x + in.imageWidth), 8);
  // Equal space left of the image and right of the caption.
  EXPECT_EQ(p.x - in.text.left, in.text.right - (captionStart + in.captionWidth));
}

TEST(PlaceImage, OtherGapsAndAnUnknownSide) {
  ImagePlacementInput in = Input(kImageLeft, kDtLeft | kDtTop, true);
  in.gapX = 3;
  EXPECT_EQ(PlaceImage(in).caption.left, 4 + 16 + 3);
  in = Input(kImageAbove, kDtLeft | kDtTop, true);
  in.gapY = 5;
  EXPECT_EQ(PlaceImage(in).caption.top, 3 + 12 + 5);
  // A side the button does not know leaves image and caption aligned alone.
  in = Input(0, kDtCenter | kDtVCenter, true);
  const ImagePlacement p = PlaceImage(in);
  EXPECT_EQ(p.x, 42);
  EXPECT_EQ(p.caption, in.text);
}

}  // namespace
}  // namespace orla
