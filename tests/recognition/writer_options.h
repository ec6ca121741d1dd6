#pragma once
// Pattern pages as the tests lay them out: a resolution, a lattice, a turn and a payload
// form, with dots of a size that suits the resolution.

#include <string>

#include "pattern_writer.h"

namespace orla::test {

inline orla::pattern::PatternOptions WriterOptions(
    int dpi, orla::pattern::Lattice lattice = orla::pattern::Lattice::Diagonal, int turns = 0,
    orla::pattern::Compression compression = orla::pattern::Compression::Gzip) {
  orla::pattern::PatternOptions options;
  options.payload.compression = compression;
  options.page.dpi = dpi;
  options.page.lattice = lattice;
  options.page.quarterTurns = turns;
  options.page.dotSize = dpi == 300 ? 2 : 3;
  return options;
}

inline std::string Describe(const orla::pattern::PatternOptions& o) {
  return std::to_string(o.page.dpi) + (o.page.lattice == orla::pattern::Lattice::Diagonal ? " diagonal" : " axis") +
         " turn " + std::to_string(o.page.quarterTurns) +
         (o.payload.compression == orla::pattern::Compression::Gzip ? " gzip" : " plain") + " seed " +
         std::to_string(o.page.seed);
}

}  // namespace orla::test
