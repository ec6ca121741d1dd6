#pragma once
// Lays encoded blocks out on a grey page: the blocks in a grid of tiles with empty pitches
// between them, every dot of the print on one lattice of dot pitches, then the damage asked for.

#include <cstdint>
#include <string>
#include <vector>

#include "block_encoder.h"
#include "block_layout.h"
#include "grey_page.h"

namespace orla::pattern {

// Diagonal: rows at 45 degrees, one pitch being dpi/100 whole pixels along x and along y (so
// the resolution must be a multiple of 100). Axis: rows along the page's axes, the pitch
// dpi * sqrt(2) / 100 pixels and every dot rounded to the nearest pixel.
enum class Lattice { Diagonal, Axis };

// A dot put in (dot true) or taken out (false) at a lattice position of one placed block.
struct DotEdit {
  int placement = 0;
  LatticePoint at{};
  bool dot = false;
};

struct Damage {
  double dropDot = 0;           // chance that a cell-map or data dot is left out
  int dropDotsPerBlock = 0;     // this many cell-map or data dots left out of every block
  bool dropFrameDots = false;   // let dropDot take reference-row and marker dots too
  double extraDot = 0;          // chance of a dot at each empty lattice position of a block
  int specks = 0;               // isolated specks at random pixel positions of the page
  int speckSize = 0;            // their side in pixels; 0: the dot size
  double saltPepper = 0;        // chance per pixel of turning black or white
  int greyNoise = 0;            // every pixel moves by up to this many grey levels
  int blurPasses = 0;           // passes of a 3x3 (1 2 1) blur
  // The scan: the painted page turned by this many degrees (x towards y) about its centre and
  // resampled by this factor, before the blur and the noise. Placements stay where the dots
  // were painted, before the turn.
  double turnDegrees = 0;
  double scale = 1;
  std::vector<DotEdit> edits{}; // applied before the random damage
};

struct PageOptions {
  int dpi = 600;                // 300 and 600 are what printers use
  Lattice lattice = Lattice::Diagonal;
  int quarterTurns = 0;         // the whole pattern turned by this many quarter turns (x towards y)
  // Side of a dot's square in pixels. The reader keeps components below 25 pixels, so at most
  // 4; and less than the pixel step between neighbours (dpi/100 on a diagonal lattice, the
  // pitch rounded down on an axis lattice), or they touch: at 300 dpi at most 2 on a diagonal
  // lattice and 3 on an axis lattice. A page that breaks either rule is refused.
  int dotSize = 3;
  std::uint8_t dotGrey = 0;
  std::uint8_t paperGrey = 255;
  int gapPitches = 4;           // empty pitches between neighbouring blocks (3 or more keeps the rows apart)
  int marginPitches = 4;        // empty pitches around the grid of blocks
  int columns = 0;              // blocks per row of tiles; 0: about as many as rows
  int width = 0;                // page size in pixels; 0: just big enough
  int height = 0;
  int left = 0;                 // the grid of blocks moved right and down by this many pixels
  int top = 0;
  // The whole print moved by this many pixels once it is placed, fractions included, as a
  // second print laid over a page lies; dots moved off the page are lost.
  double shiftX = 0;
  double shiftY = 0;
  Damage damage{};
  std::uint64_t seed = 1;       // of every random choice; the same seed gives the same page
};

// Where one block went: the pixel of its (0, 0) (the last dot of row A) and the pixel vectors
// of one pitch along u and along w.
struct Placement {
  int block = 0;  // index into the painted blocks
  double originX = 0;
  double originY = 0;
  double ux = 0, uy = 0, wx = 0, wy = 0;
};

struct PixelPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// The pixels one block takes on the page with the gap after it, along x and y: a whole
// number of lattice steps, so that the tiles keep every block of a print on one lattice as a
// printer lays its dots, with at least the gap asked for between the dots of neighbours.
struct TileSize {
  double width = 0;
  double height = 0;
};
TileSize TileSizeOf(const PageOptions& options);
// How many tiles a page of options.width x options.height holds inside its margins: a page
// filled with the pattern, as a printer fills it, has columns x rows blocks.
struct TileGrid {
  int columns = 0;
  int rows = 0;
};
TileGrid TilesOnPage(const PageOptions& options);

struct PixelVector {
  double x = 0;
  double y = 0;
};
// The pixel vector of u pitches along a block's row A and w along its row B, on the lattice
// these options lay.
PixelVector LatticeVectorOf(const PageOptions& options, double u, double w);

// The centre pixel of a lattice position of a placed block.
PixelPoint PixelOf(const Placement& placement, LatticePoint at);
// One dot pitch in pixels: dpi * sqrt(2) / 100.
double PitchOf(int dpi);

struct PaintedPage {
  GreyPage page;
  std::vector<Placement> placements;  // one per block, in the order given
  std::string error;                  // empty when the page was painted
};

// Paints every block once, in the order given, tile after tile, row after row of tiles.
PaintedPage PaintBlocks(const std::vector<EncodedBlock>& blocks, const PageOptions& options = {});

}  // namespace orla::pattern
