#pragma once
// A photo printed beside the pattern: a smooth synthetic grey picture halftoned by an ordered
// threshold matrix at the page's own pixels, as a printer's driver screens a photo. The screen
// leaves a regular lattice of small dark specks in the light tones, the very thing the reader
// takes for printed dots.

#include <cstdint>
#include <vector>

#include "grey_page.h"
#include "pattern_writer.h"

namespace orla::pattern {

// Dispersed dots (each level adds the pixel farthest from those already dark) on 8 x 8 and
// 4 x 4 cells, and dots that grow from the middle of a 6 x 6 cell.
enum class HalftoneScreen { Dispersed8x8, Clustered6x6, Dispersed4x4 };

const char* NameOf(HalftoneScreen screen);

// The screen's cell, row after row: side * side thresholds, a permutation of 0 .. side² - 1.
struct ThresholdMatrix {
  int side = 0;
  std::vector<int> order;
  int at(int x, int y) const { return order[static_cast<std::size_t>((y % side) * side + x % side)]; }
};
ThresholdMatrix MatrixOf(HalftoneScreen screen);

// The photo's tone at (x, y) of a band of `width` x `height` pixels, 0 black to 1 white: a
// gradient that runs through every tone, a few soft shapes on it, and patches of fine ripples
// nearly along the page's axes (water, fabric), drawn from the seed.
class SyntheticPhoto {
 public:
  SyntheticPhoto(int width, int height, std::uint64_t seed);
  double ToneAt(int x, int y) const;

 private:
  struct Blob {
    double cx, cy, radius, depth;
  };
  struct Ripples {
    double cx, cy, radius, amplitude, kx, ky, phase;
  };
  int width_;
  int height_;
  double angle_;
  std::vector<Blob> blobs_;
  std::vector<Ripples> ripples_;
};

// Rows top to top + height - 1 of the page (held to the page) become the halftoned photo:
// black where the tone falls below the matrix's level, paper white elsewhere, whatever was there.
void PaintHalftoneBand(GreyPage& page, HalftoneScreen screen, int top, int height, std::uint64_t seed);

// A page of options.page.width x height (at its dpi) whose top `bandShare` holds the photo
// screened by `screen`, and below it the record's pattern filling the page as a printer fills
// it, every tile used and the blocks repeated; without the pattern, only the photo on blank
// paper. The photo is drawn from options.page.seed.
PatternPage MakeHalftonePage(const PatternRecord& record, PatternOptions options, HalftoneScreen screen,
                             double bandShare, bool withPattern);

}  // namespace orla::pattern
