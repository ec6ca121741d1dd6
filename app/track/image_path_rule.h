#pragma once
// Which paths Track takes as an image file: a network path (two backslashes) or a drive path
// such as C:\ or C:/. Relative paths are refused before the file is touched, since they would
// be resolved against whatever the current folder happens to be.

#include <string_view>

namespace orla {

// Looks at the first three bytes only, stepping over double-byte characters of the process
// code page, so a trail byte that equals '\' is never taken for a separator.
bool IsAcceptedImagePath(std::string_view path);

}  // namespace orla
