#pragma once
// The page's resolution as the first block's dot pitch tells it: printers use whole hundreds
// of dots per inch, so an estimate within 20 below or 19 above a hundred is taken to be that
// hundred, and the exact pitch of that resolution replaces the measured one.

namespace orla {

struct ResolutionEstimate {
  int resolution = 0;
  bool rounded = false;  // the resolution is a whole hundred and the pitch is to follow it
};

// From the estimate e (the measured pitch x 100 / sqrt 2, truncated).
constexpr ResolutionEstimate RoundResolution(int e) {
  if (e % 100 >= 80 || (e >= 100 && e % 100 < 20)) return {(e + 21) / 100 * 100, true};
  return {e, false};
}

}  // namespace orla
