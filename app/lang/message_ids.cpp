#include "lang/message_ids.h"

#include <iterator>

#include "lang/lang_table.h"

namespace orla {
namespace {

// Id 6 has no row. Ids 27 to 31 follow the original table.
constexpr MessageKey kMessageKeys[] = {
    {0, 0x10000000},  {1, 0x10000001},  {2, 0x10000002},  {3, 0x10000010},  {4, 0x10000011},
    {5, 0x10000012},  {7, 0x10000013},  {8, 0x10000014},  {9, 0x10000015},  {10, 0x10000016},
    {11, 0x10000017}, {12, 0x10000018}, {13, 0x10000019}, {14, 0x1000001A}, {15, 0x1000001B},
    {16, 0x1000001C}, {17, 0x1000001D}, {18, 0x1000001E}, {19, 0x1000001F}, {20, 0x10000020},
    {21, 0x10000021}, {22, 0x10000022}, {23, 0x0200000D}, {24, 0x0200000E}, {25, 0x02000014},
    {26, 0x10000023}, {27, 0x10000024}, {28, 0x10000025}, {29, 0x10000026}, {30, 0x10000027},
    {31, 0x10000028},
};

}  // namespace

const MessageKey* MessageKeyTable(std::size_t& rows) {
  rows = std::size(kMessageKeys);
  return kMessageKeys;
}

std::u16string GetLangTextW(int id) {
  std::u16string text;
  for (const MessageKey& row : kMessageKeys) {
    if (static_cast<int>(row.id) == id && FindLanguageEntry(row.key, text)) return text;
  }
  return {};
}

}  // namespace orla
