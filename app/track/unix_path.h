#pragma once
// The one crossing from the dialog's Windows paths (Z:\..., in the process code page) to the
// Unix paths that the portable page readers open.

#include <string>

namespace orla {

// The Unix path of `windowsPath`, or empty when Wine cannot map it.
std::string UnixPathOf(const char* windowsPath);

}  // namespace orla
