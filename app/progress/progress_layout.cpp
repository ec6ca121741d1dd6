#include "progress/progress_layout.h"

#include <algorithm>

namespace orla {
namespace {

constexpr int kMargin = 10;
constexpr int kMinClientWidth = 390;

}  // namespace

ProgressLayout ComputeProgressLayout(const ProgressLayoutInput& in) {
  ProgressLayout out;
  if (in.hasAnimation) out.animation = {kMargin, kMargin, kMargin + in.animationSize, kMargin + in.animationSize};

  out.text.left = kMargin;
  out.text.top = out.animation.bottom + kMargin;
  out.text.right = out.text.left + in.textWidth;
  out.text.bottom = out.text.top + in.textHeight;

  out.clientWidth = std::max(kMinClientWidth, in.textWidth + 2 * kMargin);
  out.text.right = out.clientWidth - kMargin;

  const int buttonWidth = in.captionWidth + 11 * in.cxEdge;
  const int buttonHeight = in.captionHeight + 5 * in.cyEdge;

  out.bar = {out.text.left, out.text.bottom + kMargin, out.text.right, out.text.bottom + kMargin + buttonHeight};
  out.button = {out.bar.right - buttonWidth, out.bar.bottom + kMargin, out.bar.right,
                out.bar.bottom + kMargin + buttonHeight};
  if (in.hasAnimation) out.animation.right = out.text.right;
  out.clientHeight = out.button.bottom + kMargin;
  return out;
}

int ProgressPercent(int position, int lower, int upper) {
  if (upper <= lower) return 0;
  const double percent = (static_cast<double>(position) - lower) * 100.0 / (static_cast<double>(upper) - lower) + 0.5;
  return static_cast<int>(percent);
}

}  // namespace orla
