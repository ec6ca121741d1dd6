#include "buttons/theme_library.h"

#include <cstdlib>
#include <string>

HMODULE g_hUxTheme = nullptr;

void LoadThemeLibrary() {
  if (g_hUxTheme != nullptr) return;
  char folder[MAX_PATH];
  const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  std::string path(folder, length);
  path += "\\UxTheme.dll";
  g_hUxTheme = ::LoadLibraryA(path.c_str());
}

void FreeThemeLibrary() {
  if (g_hUxTheme == nullptr) return;
  ::FreeLibrary(g_hUxTheme);
  g_hUxTheme = nullptr;
}

namespace {

struct ThemeLibraryLoader {
  ThemeLibraryLoader() {
    LoadThemeLibrary();
    std::atexit(FreeThemeLibrary);
  }
} g_themeLibraryLoader;

}  // namespace
