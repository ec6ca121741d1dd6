#include "lang/lang_table.h"

#include <algorithm>
#include <cstddef>

namespace orla {

LangTable g_LangTable;

void SortLanguageTable(LangTable& table) {
  std::stable_sort(table.begin(), table.end(),
                   [](const LangEntry& a, const LangEntry& b) { return a.key < b.key; });
}

bool FindLanguageEntry(const LangTable& table, std::uint32_t key, std::u16string& text) {
  std::size_t lo = 0;
  std::size_t hi = table.size();
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    const std::uint32_t midKey = table[mid].key;
    if (midKey == key) {
      text = table[mid].text;
      return true;
    }
    if (key > midKey) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return false;
}

bool FindLanguageEntry(std::uint32_t key, std::u16string& text) { return FindLanguageEntry(g_LangTable, key, text); }

}  // namespace orla
