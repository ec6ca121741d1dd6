#include "buttons/button_look.h"

namespace orla {

ThemedState ChooseThemedState(bool disabled, bool pressedLook, bool hover, bool defaultButton) {
  if (disabled) return kStateDisabled;
  if (pressedLook) return kStatePressed;
  if (hover) return kStateHot;
  if (defaultButton) return kStateDefaulted;
  return kStateNormal;
}

int FadeSteps(int newState, int oldState) {
  switch (newState) {
    case kStateNormal:
      // Leaving the mouse fades out slowly, over a second.
      return oldState == kStateHot ? 20 : 4;
    case kStateHot:
      return oldState == kStatePressed ? 4 : 2;
    case kStatePressed:
      return 2;
    case kStateDisabled:
      return 4;
    case kStateDefaulted:
      return oldState == kStateHot ? 20 : 2;
    default:
      return 0;
  }
}

int FadeAlphaStep(int steps) { return steps > 0 ? 250 / steps : 0; }

int NextPulseCounter(int counter) {
  const int next = counter + 1;
  return next > kPulseCounterMax ? 0 : next;
}

int PulseAlpha(int counter) {
  // counter * 12.5, truncated, in integers.
  const int rising = counter * 25 / 2;
  return counter >= 20 ? 500 - rising : rising;
}

unsigned DialogCode(bool enabled, bool defaultButton) {
  if (!enabled) return kDlgcButton;
  return kDlgcButton | (defaultButton ? kDlgcDefPushButton : kDlgcUndefPushButton);
}

unsigned ClassicFrameFlags(bool disabled, bool pressedLook, bool pushed, bool pushLike, int checkState) {
  unsigned flags = kDfcsButtonPush;
  if (disabled) {
    flags |= kDfcsInactive;
  } else if (pressedLook) {
    flags |= kDfcsPushed;
  }
  if (!pushed && pushLike && checkState != 0) flags |= kDfcsChecked;
  return flags;
}

int CheckStateAfterClick(bool pushLike, int checkState) {
  if (!pushLike) return 0;
  return checkState == 0 ? 1 : 0;
}

bool IsDefaultPushStyle(unsigned style) { return (style & kBsTypeMask) == kBsDefPushButton; }

unsigned StyleKeptOwnerDrawn(unsigned style) { return (style & ~0x4u) | kBsOwnerDraw; }

}  // namespace orla
