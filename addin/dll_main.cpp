#include <windows.h>

#include "hook_state.h"

// The hooks need the library's own module handle; nothing else runs at load.
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH || reason == DLL_THREAD_ATTACH) g_hModule = module;
  return TRUE;
}
