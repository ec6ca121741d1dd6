#pragma once
// Where the Help button finds the help file: in the program folder, under the name the
// language file gives (message 22) or the built-in one.

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

}  // namespace orla
