#pragma once
// The tracking pattern writer: test code that lays a record out as the printer's dot pattern
// on a grey page, written from the format rules alone (it shares no code with the reader).
//
// One line makes a page:
//
//   auto made = orla::pattern::MakePatternPage(record, {.page = {.dpi = 300, .dotSize = 2}});
//   CHalvoPic pic;
//   orla::pattern::ToHalvoPic(made.page, pic);
//
// Layers, each usable on its own (include the header named):
//   payload.h        record text (six NUL-ended fields, padded past 22 bytes), gzip or plain,
//                    the 24-byte header, check bytes, block bytes.
//   rs_encoder.h     systematic Reed-Solomon codewords over GF(8) (x^3 + x + 1, roots alpha^1..).
//   block_encoder.h  block plans (number, X, used cells), header symbols, cell map, data rows.
//   block_layout.h   where every bit of a block lies in pitch units (u, w).
//   page_painter.h   blocks to a grey page: resolution, lattice, turns, dot size and grey,
//                    placement, damage (dropped and extra dots, specks, noise, blur), seed.
//   page_files.h     the page as CHalvoPic, BMP, packed bitmap, JPEG, TIFF and PDF.
//
// Knobs, all with defaults that give a clean, readable page:
//   payload.compression       Gzip or Plain record text
//   payload.minTextLength     pad the text with zero bytes to this length (23; 0: no padding)
//   payload.reserved, .totalLengthOverride, .headerLength   the payload header, for lying headers
//   plan.cellMask             data cells used by every block (all 16)
//   plan.firstCellMask        cells of the first block; fewer cells give every later block X > 0
//   copies                    each block printed this many times
//   shuffle                   blocks placed in a seeded random order instead of 0, 1, 2, ...
//   page.dpi                  300 or 600 (pitch = dpi * sqrt(2) / 100 pixels)
//   page.lattice              Diagonal (45 degrees, whole-pixel steps of dpi/100) or Axis
//   page.quarterTurns         the pattern turned by 0 to 3 quarter turns
//   page.dotSize              1 to 4 pixels square (at most 2 on a diagonal lattice at 300 dpi)
//   page.dotGrey, .paperGrey  grey levels of dots and paper
//   page.gapPitches, .marginPitches, .columns, .width, .height, .left, .top   placement
//   page.damage               dropDot, dropDotsPerBlock, dropFrameDots, extraDot, specks,
//                             speckSize, saltPepper, greyNoise, blurPasses, explicit DotEdits,
//                             and the scan's turnDegrees and scale
//   page.seed                 every random choice; print it when a case fails

#include <string>
#include <vector>

#include "block_encoder.h"
#include "block_layout.h"
#include "grey_page.h"
#include "page_files.h"
#include "page_painter.h"
#include "payload.h"

namespace orla::pattern {

struct PatternOptions {
  PayloadOptions payload{};
  PlanOptions plan{};
  int copies = 1;
  bool shuffle = false;
  PageOptions page{};
};

struct PatternPage {
  GreyPage page;
  std::vector<std::uint8_t> payload;     // the bytes the blocks carry
  std::vector<EncodedBlock> blocks;      // in the order they were placed
  std::vector<Placement> placements;     // one per block
  std::string error;                     // empty when the page was made
  bool ok() const { return error.empty(); }
};

// The record's payload cut into blocks as the plan says, each repeated `copies` times, in
// placement order (shuffled with page.seed when asked). Empty with an error when the payload
// does not fit in 64 block numbers or a cell mask cannot carry payload.
struct EncodedPattern {
  std::vector<std::uint8_t> payload;
  std::vector<EncodedBlock> blocks;
  std::string error;
};
EncodedPattern EncodePattern(const PatternRecord& record, const PatternOptions& options = {});

// EncodePattern, then PaintBlocks.
PatternPage MakePatternPage(const PatternRecord& record = {}, const PatternOptions& options = {});

}  // namespace orla::pattern
