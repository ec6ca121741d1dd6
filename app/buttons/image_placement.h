#pragma once
// Where an image button puts its image and its caption inside the text rectangle.

#include "layout/layout_rect.h"

namespace orla {

// Side of the caption the image stands on.
enum ImageSide : int {
  kImageLeft = 0x100,
  kImageRight = 0x200,
  kImageAbove = 0x400,
  kImageBelow = 0x800,
};

struct ImagePlacementInput {
  LayoutRect text;  // the button's text rectangle
  int imageWidth = 0;
  int imageHeight = 0;
  bool hasCaption = false;
  int captionWidth = 0;  // measured caption, accelerator marks removed
  int captionHeight = 0;
  int gapX = 8;  // between image and caption, left/right of each other
  int gapY = 1;  // above/below each other
  int side = kImageLeft;
  unsigned format = 0;  // DT_* flags of the button
};

struct ImagePlacement {
  int x = 0;  // top-left corner of the image
  int y = 0;
  LayoutRect caption;  // where the caption is drawn
  unsigned captionFormat = 0;
};

ImagePlacement PlaceImage(const ImagePlacementInput& in);

}  // namespace orla
