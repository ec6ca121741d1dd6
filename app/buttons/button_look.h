#pragma once
// The owner-drawn button's choices of look as plain arithmetic: which themed state to draw,
// how long a cross-fade between two looks lasts, how the default button pulses, what the
// dialog manager is told, and the classic frame's flags. The constants carry the Win32
// values so this file needs no windows.h; the window code checks them against it.

namespace orla {

// Themed looks of the push-button part, numbered as the theme numbers them.
enum ThemedState : int {
  kStateNormal = 1,
  kStateHot = 2,
  kStatePressed = 3,
  kStateDisabled = 4,
  kStateDefaulted = 5,
};

// Pulse counter range: it climbs to 40 and wraps to 0, a period of 41 timer ticks.
constexpr int kPulseCounterMax = 40;

constexpr unsigned kDlgcDefPushButton = 0x0010;
constexpr unsigned kDlgcUndefPushButton = 0x0020;
constexpr unsigned kDlgcButton = 0x2000;

constexpr unsigned kDfcsButtonPush = 0x0010;
constexpr unsigned kDfcsInactive = 0x0100;
constexpr unsigned kDfcsPushed = 0x0200;
constexpr unsigned kDfcsChecked = 0x0400;

constexpr unsigned kBsDefPushButton = 0x1;
constexpr unsigned kBsOwnerDraw = 0xB;
constexpr unsigned kBsTypeMask = 0xF;

ThemedState ChooseThemedState(bool disabled, bool pressedLook, bool hover, bool defaultButton);

// Number of 50 ms steps of the cross-fade into `newState` from `oldState`.
int FadeSteps(int newState, int oldState);
// Constant-alpha step per fade step: 250 / steps, so a fade starts just short of opaque.
int FadeAlphaStep(int steps);

// The counter after one timer tick: up by one, from above the maximum back to 0.
int NextPulseCounter(int counter);
// The pulse's alpha for a counter: rises by 12.5 per tick to 250 at 20, then falls to 0.
int PulseAlpha(int counter);

// The answer to WM_GETDLGCODE.
unsigned DialogCode(bool enabled, bool defaultButton);

// DrawFrameControl flags of the classic push button.
unsigned ClassicFrameFlags(bool disabled, bool pressedLook, bool pushed, bool pushLike, int checkState);

// The check state after a click released on a pushed button.
int CheckStateAfterClick(bool pushLike, int checkState);

// BM_SETSTYLE: whether the new style makes this the default button, and the style the
// control itself is given so that it stays owner-drawn.
bool IsDefaultPushStyle(unsigned style);
unsigned StyleKeptOwnerDrawn(unsigned style);

}  // namespace orla
