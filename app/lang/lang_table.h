#pragma once
// The language text table: 32-bit keys to UTF-16 texts, one table per process, filled from
// a language file at start-up and searched by key.

#include <cstdint>
#include <string>
#include <vector>

namespace orla {

struct LangEntry {
  std::uint32_t key = 0;
  std::u16string text;
};

using LangTable = std::vector<LangEntry>;

// The process-wide table; empty until the program loads its language.
extern LangTable g_LangTable;

// Sorts ascending by key; entries with the same key keep their file order.
void SortLanguageTable(LangTable& table);

// Binary search of a sorted table; copies the text out on a hit.
bool FindLanguageEntry(const LangTable& table, std::uint32_t key, std::u16string& text);
bool FindLanguageEntry(std::uint32_t key, std::u16string& text);

}  // namespace orla
