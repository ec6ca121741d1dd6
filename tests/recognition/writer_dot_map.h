#pragma once
// A pattern-writer page turned into a dot map by the recognizer's own first two stages, with
// the writer's placements at hand to say where each block's dots should be.

#include <cmath>
#include <optional>

#include "dot_page.h"
#include "pattern_writer.h"

namespace orla::test {

class WriterDotMap {
 public:
  explicit WriterDotMap(const orla::pattern::PatternOptions& options, const orla::pattern::PatternRecord& record = {})
      : options_(options) {
    made_ = orla::pattern::MakePatternPage(record, options);
    ok_ = made_.ok() && orla::pattern::ToHalvoPic(made_.page, pic_);
    if (!ok_) return;
    reg.Use(pic_);
    ok_ = reg.Binarize(128, nullptr) == kRecognizeFound && reg.CollectComponents(nullptr) == kRecognizeFound;
  }

  bool ok() const { return ok_; }
  const orla::pattern::PatternPage& made() const { return made_; }
  CHalvoPic& pic() { return pic_; }

  // The dot of the map nearest to where the writer put position `at` of a placed block.
  std::optional<Point> Dot(int placement, orla::pattern::LatticePoint at) const {
    const orla::pattern::PixelPoint p =
        orla::pattern::PixelOf(made_.placements[static_cast<std::size_t>(placement)], at);
    Point dot;
    if (!reg.FindDot(Point{p.x, p.y}, 2.0, dot)) return std::nullopt;
    return dot;
  }
  bool HasDot(int placement, orla::pattern::LatticePoint at) const { return Dot(placement, at).has_value(); }

  // Puts the frame of a placed block into tables A and B, as a fitted frame would be, and sets
  // the pitch of the page's resolution.
  void UseFrame(int placement) {
    for (int k = 0; k < 12; ++k) {
      reg.refA[static_cast<std::size_t>(k)] =
          Dot(placement, orla::pattern::ReferenceAPosition(k)).value_or(Point{-9, -9});
      reg.refB[static_cast<std::size_t>(k)] =
          Dot(placement, orla::pattern::ReferenceBPosition(k)).value_or(Point{-9, -9});
    }
    reg.dotPitch = orla::pattern::PitchOf(options_.page.dpi);
  }

  StageRecognizer reg;

 private:
  orla::pattern::PatternOptions options_;
  orla::pattern::PatternPage made_;
  CHalvoPic pic_;
  bool ok_ = false;
};

}  // namespace orla::test
