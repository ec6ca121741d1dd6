#include "saving/save_records.h"

namespace orla {

SaveOutcome SaveRecordsToFile(std::span<const TrackingRecord> records, std::string_view chosenPath,
                              const SaveServices& services) {
  if (services.files == nullptr) return SaveOutcome::Failed;
  const SaveTarget target = ChooseSaveTarget(chosenPath);
  if (MustAskBeforeReplacing(target, services.files->Exists(target.path))) {
    if (!services.confirmReplace || !services.confirmReplace(target.path)) return SaveOutcome::Declined;
  }

  std::string bytes;
  if (target.form == SaveForm::Csv) {
    bytes = BuildResultsCsv(records);
  } else {
    if (!services.toUtf8) return SaveOutcome::Failed;
    std::optional<std::string> utf8 = BuildResultsXml(records, services.toUtf8);
    if (!utf8) return SaveOutcome::Failed;
    bytes = std::move(*utf8);
  }
  return WriteFileReplacing(*services.files, target.path, bytes) ? SaveOutcome::Saved : SaveOutcome::Failed;
}

}  // namespace orla
