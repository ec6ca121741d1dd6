#pragma once
// The process code page of the running program against UTF-16 and UTF-8: window texts are
// UTF-16, the program's own texts are in the process code page, and the saved results XML
// is UTF-8.

#include <string>
#include <string_view>

#include "afx_string.h"

namespace orla {

std::u16string MultiByteToWide(std::string_view text);
// Characters the process code page lacks become "_"; `usedDefault` tells whether any did.
std::string WideToMultiByte(std::u16string_view text, bool* usedDefault);
CString WideToCString(std::u16string_view text);
std::string AnsiToUtf8(std::string_view text);

}  // namespace orla
