#include "buttons/image_placement.h"

#include "buttons/caption_format.h"

namespace orla {
namespace {

// Start of a span `size` long aligned between `low` and `high` by the format's flags.
int AlignX(int low, int high, int size, unsigned format) {
  if ((format & kDtCenter) != 0) return low + (high - low - size) / 2;
  if ((format & kDtRight) != 0) return high - size;
  return low;
}

int AlignY(int low, int high, int size, unsigned format) {
  if ((format & kDtVCenter) != 0) return low + (high - low - size) / 2;
  if ((format & kDtBottom) != 0) return high - size;
  return low;
}

}  // namespace

ImagePlacement PlaceImage(const ImagePlacementInput& in) {
  const LayoutRect& r = in.text;
  const int w = in.imageWidth;
  const int h = in.imageHeight;
  ImagePlacement out;
  out.caption = r;
  out.captionFormat = in.format;
  out.x = AlignX(r.left, r.right, w, in.format);
  out.y = AlignY(r.top, r.bottom, h, in.format);
  if (!in.hasCaption) return out;

  switch (in.side) {
    case kImageLeft: {
      const int group = w + in.gapX + in.captionWidth;
      out.x = AlignX(r.left, r.right, group, in.format);
      out.caption.left = out.x + w + in.gapX;
      out.captionFormat = (in.format & ~kDtHorizontalMask) | kDtLeft;
      break;
    }
    case kImageRight: {
      const int group = w + in.gapX + in.captionWidth;
      if ((in.format & kDtCenter) != 0) {
        out.x = r.right - (r.right - r.left - group) / 2 - w;
      } else if ((in.format & kDtRight) != 0) {
        out.x = r.right - w;
      } else {
        out.x = r.left + in.captionWidth + in.gapX;
      }
      out.caption.right = out.x - in.gapX;
      out.captionFormat = (in.format & ~kDtHorizontalMask) | kDtRight;
      break;
    }
    case kImageAbove: {
      const int group = h + in.gapY + in.captionHeight;
      out.y = AlignY(r.top, r.bottom, group, in.format);
      out.caption.top = out.y + h + in.gapY;
      out.captionFormat = (in.format & ~kDtVerticalMask) | kDtTop;
      break;
    }
    case kImageBelow: {
      const int group = h + in.gapY + in.captionHeight;
      if ((in.format & kDtVCenter) != 0) {
        out.y = r.bottom - (r.bottom - r.top - group) / 2 - h;
      } else if ((in.format & kDtBottom) != 0) {
        out.y = r.bottom - h;
      } else {
        out.y = r.top + in.captionHeight + in.gapY;
      }
      out.caption.bottom = out.y - in.gapY;
      out.captionFormat = (in.format & ~kDtVerticalMask) | kDtBottom;
      break;
    }
    default:
      break;
  }
  return out;
}

}  // namespace orla
