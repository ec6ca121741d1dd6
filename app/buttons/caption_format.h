#pragma once
// How an owner-drawn button lays out its caption: text-format flags from the button style,
// the caption without accelerator marks, and the vertical placement that DrawText does not
// do for multi-line text. Win32 values, checked against windows.h by the window code.

#include <string>
#include <string_view>

namespace orla {

constexpr unsigned kDtLeft = 0x0000;
constexpr unsigned kDtCenter = 0x0001;
constexpr unsigned kDtRight = 0x0002;
constexpr unsigned kDtTop = 0x0000;
constexpr unsigned kDtVCenter = 0x0004;
constexpr unsigned kDtBottom = 0x0008;
constexpr unsigned kDtSingleLine = 0x0020;
constexpr unsigned kDtHorizontalMask = kDtCenter | kDtRight;
constexpr unsigned kDtVerticalMask = kDtVCenter | kDtBottom;

constexpr unsigned kBsLeft = 0x0100;
constexpr unsigned kBsRight = 0x0200;
constexpr unsigned kBsTop = 0x0400;
constexpr unsigned kBsBottom = 0x0800;
constexpr unsigned kBsMultiLine = 0x2000;

// DT_* flags for a button of window style `style`.
unsigned TextFormatForStyle(unsigned style);

// The caption as shown: a single "&" disappears, "&&" becomes "&".
std::string StripAccelerators(std::string_view caption);

// A single-line caption shows each line feed as a blank.
std::string LineFeedsToBlanks(std::string_view caption);

// Where the caption's rectangle starts when DT_VCENTER or DT_BOTTOM is carried out by hand
// for text `textHeight` high in the rectangle from `top` to `bottom`.
int AlignedCaptionTop(int top, int bottom, int textHeight, unsigned format);

}  // namespace orla
