#pragma once
// The theme functions the owner-drawn buttons call, each looked up by name in g_hUxTheme at
// every call. Without the library, or when the loaded library lacks a function, the call
// goes to a replacement that fails the way the theme does when no theme is active: E_FAIL,
// FALSE or no theme handle.

#include <windows.h>
// Wine's header declares the functions without C linkage.
extern "C" {
#include <uxtheme.h>
}

class CButtonVE_Helper {
 public:
  static BOOL IsAppThemed();
  static BOOL IsThemeActive();
  static HTHEME OpenThemeData(HWND window, const char16_t* classList);
  static HRESULT CloseThemeData(HTHEME theme);
  static BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);
  static HRESULT DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect);
  static HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip);
  static HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds,
                                               RECT* content);
  static HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, const char16_t* text, int length, DWORD flags,
                               DWORD flags2, const RECT* rect);
};
