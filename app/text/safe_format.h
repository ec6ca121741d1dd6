#pragma once
// printf-style formatting for format texts that come from language files. Only integer
// conversions (d i u x X o, with flags, width, precision and length letters) take the given
// numbers, in order; "%%" gives "%"; every other % sequence, and an integer conversion with
// no number left for it, is copied literally. A file can therefore never make the program
// read an argument it did not pass.

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace orla {

// Output longer than `maxBytes` is cut there.
std::string FormatIntegers(std::string_view format, std::initializer_list<long long> numbers,
                           std::size_t maxBytes = 4095);

// The same over a UTF-16 text, such as a language text shown in a message box. It goes
// through UTF-8, where the bytes of a character beyond ASCII are never '%' or a digit.
std::u16string FormatIntegers(std::u16string_view format, std::initializer_list<long long> numbers);

}  // namespace orla
