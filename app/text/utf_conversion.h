#pragma once
// UTF-8 <-> UTF-16 for language texts and the results document. Both directions are lenient
// in the same ways as the language files have always been read (no overlong or surrogate
// checks when decoding), but never read or write out of bounds.

#include <string>
#include <string_view>

namespace orla {

// Decodes `utf8` into `out`. On failure `out` holds what was converted before the fault and
// the result is false: a continuation byte (0x80-0xBF) where a sequence should begin, or a
// value above 0x10FFFF. A sequence cut short by the end of the input or by a byte that is not
// a continuation byte uses the value gathered so far; the interrupting byte is dropped.
bool Utf8ToUtf16(std::string_view utf8, std::u16string& out);

// Encodes `utf16` into `out`. On failure (an unpaired surrogate) `out` holds what was
// converted before the fault and the result is false.
bool Utf16ToUtf8(std::u16string_view utf16, std::string& out);

// Whole-string forms: what converted, ignoring the report.
std::u16string Utf8ToWideString(std::string_view utf8);
std::string WideToUtf8String(std::u16string_view utf16);

}  // namespace orla
