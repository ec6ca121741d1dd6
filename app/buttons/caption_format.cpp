#include "buttons/caption_format.h"

#include <algorithm>

namespace orla {

unsigned TextFormatForStyle(unsigned style) {
  unsigned format = 0;
  switch (style & (kBsLeft | kBsRight)) {
    case kBsLeft:
      format |= kDtLeft;
      break;
    case kBsRight:
      format |= kDtRight;
      break;
    default:
      format |= kDtCenter;
      break;
  }
  switch (style & (kBsTop | kBsBottom)) {
    case kBsTop:
      format |= kDtTop;
      break;
    case kBsBottom:
      format |= kDtBottom;
      break;
    default:
      format |= kDtVCenter;
      break;
  }
  if ((style & kBsMultiLine) == 0) format |= kDtSingleLine;
  return format;
}

std::string StripAccelerators(std::string_view caption) {
  std::string shown;
  shown.reserve(caption.size());
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        shown += '&';
        ++i;
      }
      continue;
    }
    shown += caption[i];
  }
  return shown;
}

std::string LineFeedsToBlanks(std::string_view caption) {
  std::string shown(caption);
  std::replace(shown.begin(), shown.end(), '\n', ' ');
  return shown;
}

int AlignedCaptionTop(int top, int bottom, int textHeight, unsigned format) {
  if ((format & kDtVCenter) != 0) return top + (bottom - top - textHeight) / 2;
  if ((format & kDtBottom) != 0) return bottom - textHeight;
  return top;
}

}  // namespace orla
