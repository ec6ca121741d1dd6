#pragma once
// The version text the about box shows: the product version of the program file's own
// version resource, read when asked.

#include <string>

namespace orla {

// "%d.%d.%d.%d " of the product version (one blank at the end); empty when the file has no
// version information, its fixed part is missing or malformed, or memory is short.
std::string GetFileVersionText();
// The same for any file.
std::string GetFileVersionTextOf(const char* path);

}  // namespace orla
