#include "process/process_windows.h"

#include <tlhelp32.h>

std::vector<HWND> g_ProcessWindows;

BOOL CALLBACK CollectWindowsProc(HWND window, LPARAM) {
  if (window != nullptr && IsWindow(window) && IsWindowVisible(window)) g_ProcessWindows.push_back(window);
  return TRUE;
}

int CollectProcessWindows(DWORD processId) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  if (!Thread32First(snapshot, &entry)) {
    CloseHandle(snapshot);
    return 0;
  }
  g_ProcessWindows.clear();
  do {
    if (entry.th32OwnerProcessID == processId) EnumThreadWindows(entry.th32ThreadID, CollectWindowsProc, 0);
    entry.dwSize = sizeof entry;
  } while (Thread32Next(snapshot, &entry));
  CloseHandle(snapshot);
  return 1;
}
