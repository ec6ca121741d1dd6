#pragma once
// The window that owns the "nothing found" message of a scanned page. Scanned pages arrive
// while the scanner's own dialog may be up in front of ORLA; the message must show above it.
// The walk goes over the process's visible top-level windows in the order they were listed:
// each usable window is restored or brought forward, and the first top-most one owns the
// message; without one the first window brought forward does, else the main dialog.

#include <span>

namespace orla {

// Ops: bool IsWindow(W), bool IsIconic(W), bool IsVisible(W), void Restore(W),
// void BringToFront(W), bool IsTopmost(W).
template <typename W, typename Ops>
W ChooseScanMessageOwner(std::span<const W> windows, W dialog, Ops& ops) {
  W candidate{};
  bool haveCandidate = false;
  for (const W& window : windows) {
    if (window == W{} || !ops.IsWindow(window) || window == dialog) continue;
    if (ops.IsIconic(window)) {
      ops.Restore(window);
      ops.BringToFront(window);
    } else if (ops.IsVisible(window)) {
      ops.BringToFront(window);
    } else {
      continue;
    }
    if (!haveCandidate) {
      candidate = window;
      haveCandidate = true;
    }
    if (ops.IsTopmost(window)) return window;
  }
  return haveCandidate ? candidate : dialog;
}

}  // namespace orla
