#pragma once
// One copy of ORLA at a time: the mark of the running copy's main dialog, and how a second
// copy brings that dialog, or the popup it owns, to the front before it ends.

#include <windows.h>

// The name of the single-instance semaphore and of the window property that marks the
// running copy's main dialog.
inline constexpr char kSingleInstanceName[] = "ZOZORERADADEDURE";

// Restores a minimised window or brings a visible one to the foreground; false (and nothing
// done) for a hidden one.
bool RestoreOrBringForward(HWND window);

// The first top-level window owned by `owner` that is minimised (then restored) or visible,
// brought to the foreground; null when there is none.
HWND ActivateOwnedPopup(HWND owner);

// Finds the running copy's main dialog by its window property and brings it, or the popup it
// owns, to the front. Nothing happens when no window carries the property.
void BringRunningCopyForward();
