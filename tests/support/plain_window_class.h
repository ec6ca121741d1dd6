#pragma once
// Winelib test support: a window class with the default window procedure, for the plain owner
// and test windows the Wine tests put their windows over.

#include <windows.h>

namespace test_support {

// Registering a name twice is harmless: the second call fails and the first class stays.
inline void RegisterPlainWindowClass(const char16_t* name) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = reinterpret_cast<LPCWSTR>(name);
  RegisterClassW(&wc);
}

}  // namespace test_support
