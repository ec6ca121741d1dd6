#pragma once
// The Save As road after the save dialog: choose the form and the file, ask before replacing
// a renamed file, build the text and write it safely. The program supplies the question and
// the conversion, and shows its failure message when the result is Failed.

#include <functional>
#include <span>
#include <string>

#include "saving/file_store.h"
#include "saving/results_document.h"
#include "saving/save_target.h"
#include "tracking_record.h"

namespace orla {

enum class SaveOutcome {
  Saved,
  // The operator declined to replace the renamed file; nothing was written.
  Declined,
  // Nothing was changed on disk: the text could not be converted or the file not written.
  Failed,
};

struct SaveServices {
  FileStore* files = nullptr;
  // Asked with the target path when a renamed target exists; true replaces it.
  std::function<bool(const std::string& target)> confirmReplace;
  CodePageToUtf8 toUtf8;
};

SaveOutcome SaveRecordsToFile(std::span<const TrackingRecord> records, std::string_view chosenPath,
                              const SaveServices& services);

}  // namespace orla
