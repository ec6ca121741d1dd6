#pragma once
// Showing the help: the help file in the system's HTML Help viewer at the Help topic, or, where
// the viewer has no HTML engine to show pages with (Wine without its Gecko engine, as on
// Debian), the same topics as HTML pages in the desktop's browser.

#include <string>

namespace orla {

// `helpFile` is the help file's full path (HelpFilePath). Nothing is reported when the
// viewer or the browser cannot be reached.
void ShowHelp(const std::string& helpFile);

}  // namespace orla
