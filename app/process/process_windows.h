#pragma once
// The process's own visible top-level windows, listed for the scanner road: the owner of a
// scanned page's message is chosen among them (track/scan_message_owner.h).

#include <windows.h>

#include <vector>

// The visible top-level windows of this program's process, as the last CollectProcessWindows
// listed them.
extern std::vector<HWND> g_ProcessWindows;

// Refills g_ProcessWindows with the visible top-level windows of every thread of the process
// `processId`. 0, with the list left as it was, when the thread snapshot cannot be taken.
int CollectProcessWindows(DWORD processId);
BOOL CALLBACK CollectWindowsProc(HWND window, LPARAM);
