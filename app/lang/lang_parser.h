#pragma once
// Language files: UTF-8 text of entries KEY = "TEXT" with hexadecimal keys, blanks, line
// breaks and ';' comments around them.

#include <cstddef>
#include <string_view>

#include "lang/lang_table.h"

namespace orla {

// Files larger than this are not loaded (the whole file is read into memory at once).
constexpr std::size_t kMaxLanguageFileBytes = 0x100000;

// Clears `table` and appends one entry per entry of `text`, in file order. The text ends at
// its first NUL. True at a clean end; false at the first malformed entry, with the entries
// before it left in `table`.
bool ParseLanguageText(std::string_view text, LangTable& table);

// A whole file's bytes: refuses an empty or oversized file, skips a UTF-8 byte-order mark,
// parses, and sorts the table for searching (also after a malformed entry, since the table
// of the last file examined may be the one the program ends up searching).
bool LoadLanguageBytes(std::string_view bytes, LangTable& table);

}  // namespace orla
