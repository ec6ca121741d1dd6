// The hooks on the installer dialog's thread: the state they read from the dialog's window
// properties, their classification of each message and the stop of a watch.
#pragma once

#include <windows.h>

// Module state, one set per process that maps the library.
extern HHOOK g_hProcRetHook;
extern HHOOK g_hGetMsgHook;
extern HWND g_hLicenseTextBox;
extern HMODULE g_hModule;

namespace trellum {

enum ScrollCheck : int { kStopWatch = -1, kGoOn = 0, kEndReached = 1 };

bool LoadHookState();
ScrollCheck CheckScrolledToEnd(UINT message);
void StopWatching();
LRESULT HandleHookedMessage(UINT message, HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK GetMessageHookProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK CallWndRetHookProc(int code, WPARAM wParam, LPARAM lParam);

}  // namespace trellum
