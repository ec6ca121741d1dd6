#pragma once
// Program message ids and the language keys behind them. Code names a text by its id; the
// table maps it to a key of the language file.

#include <cstdint>
#include <optional>
#include <string>

namespace orla {

enum MessageId : int {
  kMsgCaption = 2,
  kMsgOpenImageTitle = 3,
  kMsgNoScannerInterface = 4,
  kMsgNoScannerSource = 5,
  kMsgPrintedLabel = 7,
  kMsgSaveTitle = 8,
  kMsgCannotOpenFile = 11,
  kMsgUnsupportedFile = 12,
  kMsgNothingFound = 18,
  kMsgProgressTitle = 19,
  kMsgProgressText = 20,
  kMsgProgressCancel = 21,
  kMsgHelpFileName = 22,
  kMsgMenuSaveAs = 23,
  kMsgMenuPrint = 24,
  kMsgMenuFile = 25,
  kMsgCannotSave = 27,
  kMsgReplaceFile = 28,
  kMsgCannotPrint = 29,
  // A scanned page did not arrive: a format that receives its place in the batch.
  kMsgScanTransferFailed = 30,
  // The help pages could not be shown: followed by where they are.
  kMsgHelpNotOpened = 31,
};

struct MessageKey {
  std::uint32_t id;
  std::uint32_t key;
};

// Keys of the message ids in the order the lookup walks them.
const MessageKey* MessageKeyTable(std::size_t& rows);

// The text of message `id` in the process-wide table; empty when the id has no row or its
// key is missing.
std::u16string GetLangTextW(int id);

}  // namespace orla
