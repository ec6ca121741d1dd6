#pragma once
// Showing the help: the help file in the system's HTML Help viewer at the Help topic, or, where
// the viewer has no HTML engine to show pages with (Wine without its Gecko engine, as on
// Debian), the same topics as HTML pages in the desktop's browser.

#include <windows.h>

#include <functional>
#include <string>

namespace orla {

// Told that the help's pages could not be opened in the desktop's browser, with where they are
// (the start page's path as the desktop names it).
using HelpPagesNotOpened = std::function<void(const std::u16string& startPage)>;

// `helpFile` is the help file's full path (HelpFilePath). A browser that cannot be started is
// reported at once; one that fails soon after its start is reported later, from a timer of
// `owner`, once `owner` is enabled again (no other window of the program is modal over it).
// Nothing is reported when the viewer cannot be reached: it shows its own window or none.
void ShowHelp(const std::string& helpFile, HWND owner, HelpPagesNotOpened notOpened);

}  // namespace orla
