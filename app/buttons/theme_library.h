#pragma once
// The visual-styles library "UxTheme.dll", loaded once before the program's entry and freed
// at exit. The owner-drawn buttons look its functions up by name at each call, so they also
// draw (classic) where it is missing.

#include <windows.h>

// Null when the library could not be loaded.
extern HMODULE g_hUxTheme;

// Loads the library from the system folder, never by bare name: the program runs with
// administrator rights, and a file of that name beside it or in the current folder must not
// be picked up. Does nothing when it is loaded already.
void LoadThemeLibrary();
// Frees the library when it is loaded.
void FreeThemeLibrary();
