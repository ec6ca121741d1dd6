#include "buttons/button_ve_helper.h"

#include "buttons/theme_library.h"

namespace {

// The function `name` of the theme library, or `fallback` when there is none to call.
template <typename Function>
Function ThemeFunction(const char* name, Function fallback) {
  if (g_hUxTheme == nullptr) return fallback;
  const FARPROC found = ::GetProcAddress(g_hUxTheme, name);
  // Through void*: FARPROC names no real signature.
  return found != nullptr ? reinterpret_cast<Function>(reinterpret_cast<void*>(found)) : fallback;
}

BOOL WINAPI NoIsAppThemed() { return FALSE; }
BOOL WINAPI NoIsThemeActive() { return FALSE; }
HTHEME WINAPI NoOpenThemeData(HWND, LPCWSTR) { return nullptr; }
HRESULT WINAPI NoCloseThemeData(HTHEME) { return E_FAIL; }
BOOL WINAPI NoIsThemeBackgroundPartiallyTransparent(HTHEME, int, int) { return FALSE; }
HRESULT WINAPI NoDrawThemeParentBackground(HWND, HDC, RECT*) { return E_FAIL; }
HRESULT WINAPI NoDrawThemeBackground(HTHEME, HDC, int, int, const RECT*, const RECT*) { return E_FAIL; }
HRESULT WINAPI NoGetThemeBackgroundContentRect(HTHEME, HDC, int, int, const RECT*, RECT*) { return E_FAIL; }
HRESULT WINAPI NoDrawThemeText(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*) { return E_FAIL; }

}  // namespace

BOOL CButtonVE_Helper::IsAppThemed() { return ThemeFunction("IsAppThemed", &NoIsAppThemed)(); }

BOOL CButtonVE_Helper::IsThemeActive() { return ThemeFunction("IsThemeActive", &NoIsThemeActive)(); }

HTHEME CButtonVE_Helper::OpenThemeData(HWND window, const char16_t* classList) {
  return ThemeFunction("OpenThemeData", &NoOpenThemeData)(window, reinterpret_cast<LPCWSTR>(classList));
}

HRESULT CButtonVE_Helper::CloseThemeData(HTHEME theme) {
  return ThemeFunction("CloseThemeData", &NoCloseThemeData)(theme);
}

BOOL CButtonVE_Helper::IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state) {
  return ThemeFunction("IsThemeBackgroundPartiallyTransparent", &NoIsThemeBackgroundPartiallyTransparent)(theme, part,
                                                                                                          state);
}

HRESULT CButtonVE_Helper::DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect) {
  RECT area = *rect;
  return ThemeFunction("DrawThemeParentBackground", &NoDrawThemeParentBackground)(window, dc, &area);
}

HRESULT CButtonVE_Helper::DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                                              const RECT* clip) {
  return ThemeFunction("DrawThemeBackground", &NoDrawThemeBackground)(theme, dc, part, state, rect, clip);
}

HRESULT CButtonVE_Helper::GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds,
                                                        RECT* content) {
  return ThemeFunction("GetThemeBackgroundContentRect", &NoGetThemeBackgroundContentRect)(theme, dc, part, state,
                                                                                          bounds, content);
}

HRESULT CButtonVE_Helper::DrawThemeText(HTHEME theme, HDC dc, int part, int state, const char16_t* text, int length,
                                        DWORD flags, DWORD flags2, const RECT* rect) {
  return ThemeFunction("DrawThemeText", &NoDrawThemeText)(theme, dc, part, state, reinterpret_cast<LPCWSTR>(text),
                                                          length, flags, flags2, rect);
}
