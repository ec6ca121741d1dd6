#pragma once
// The windows of the system as the single-instance guard and the scanner road look at them.

#include <windows.h>

#include <vector>

// The name of the single-instance semaphore and of the window property that marks the
// running copy's main dialog.
inline constexpr char kSingleInstanceName[] = "ZOZORERADADEDURE";

// The visible top-level windows of this program's process, as the last CollectProcessWindows
// listed them.
extern std::vector<HWND> g_ProcessWindows;

// Restores a minimised window or brings a visible one to the foreground; false (and nothing
// done) for a hidden one.
bool RestoreOrBringForward(HWND window);

// The first top-level window owned by `owner` that is minimised (then restored) or visible,
// brought to the foreground; null when there is none.
HWND ActivateOwnedPopup(HWND owner);

// Finds the running copy's main dialog by its window property and brings it, or the popup it
// owns, to the front. Nothing happens when no window carries the property.
void BringRunningCopyForward();

// Refills g_ProcessWindows with the visible top-level windows of every thread of the process
// `processId`. 0, with the list left as it was, when the thread snapshot cannot be taken.
int CollectProcessWindows(DWORD processId);
BOOL CALLBACK CollectWindowsProc(HWND window, LPARAM);
