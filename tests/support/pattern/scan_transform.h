#pragma once
// What a scanner does to a page before anything else: it never lies quite straight on the
// glass, and the scanner's pixels are not the printer's. The page is turned about its centre
// and resampled by a scale factor, every new pixel interpolated from the four nearest old ones.

#include <cstdint>

#include "grey_page.h"

namespace orla::pattern {

// `degrees` turns x towards y; `scale` above 1 enlarges. The new page is the old one's size
// times `scale`, rounded; what comes from outside the old page is `paper`. A turn of 0 and a
// scale of 1 give the page unchanged.
GreyPage TurnAndScale(const GreyPage& page, double degrees, double scale, std::uint8_t paper);

}  // namespace orla::pattern
