#pragma once
// Where the Help button finds the help file: in the program folder, under the name the
// language file gives (message 22) or the built-in one; and where it finds the same topics as
// HTML pages, for a help viewer that has no engine to show them.

#include <string>
#include <string_view>

namespace orla {

inline constexpr std::string_view kDefaultHelpFileName = "Dravo_Marrowfind.chm";
// The topic the Help button opens, by its context id in the help file's map.
inline constexpr unsigned kHelpContextId = 4096;
inline constexpr unsigned kHtmlHelpContextCommand = 15;  // HH_HELP_CONTEXT

// `folder` ends in a backslash, or is empty when the program folder is unknown. The name is
// `nameText` without blanks around it, or the built-in name when nothing is left.
std::string HelpFilePath(std::string_view nameText, std::string_view folder);

// The start page of the help's topics as HTML pages: "index.html", the topic the context id
// opens, in the folder beside the help file that has its name without the extension, so each
// help file a language file names has pages of its own ("Z:\orla\Dravo_Marrowfind.chm" has
// "Z:\orla\Dravo_Marrowfind\index.html").
std::string HelpStartPagePath(std::string_view helpFilePath);

}  // namespace orla
