#pragma once
// The file side of Track: every page of one image file becomes an 8-bit grey page, is searched
// for the tracking pattern, and leaves one record (the decoded one, or an empty one when the
// page holds none). The program supplies the windows through FileRunHost; the pages come from
// the portable readers, so the path here is the file's Unix path.

#include <string>
#include <vector>

#include "get_position.h"
#include "progress_sink.h"
#include "track/page_file_type.h"
#include "tracking_record.h"

namespace orla {

class FileRunHost {
 public:
  // The progress window over the dialog, modal, its range and Cancel caption set. The sink
  // stays valid until CloseProgress.
  virtual ProgressSink* OpenProgress() = 0;
  virtual void CloseProgress() = 0;
  // Back to an empty text, position 0 and not cancelled, between the pages of a file.
  virtual void ClearProgress() = 0;
  // The progress text for page `page` (1-based).
  virtual void ShowPageText(int page) = 0;
  virtual void ProgressToFront() = 0;
  // The dialog in front, then message `id` owned by it.
  virtual void ReportToDialog(int id) = 0;
  // The page holds no tracking information: message 18, owned by the progress window.
  virtual void ReportNothingFound() = 0;
  // A page is finished: trim the list to the run and show its first page.
  virtual void FinishRun() = 0;

 protected:
  ~FileRunHost() = default;
};

// Runs the file. `recognizer` serves every page and appends a decoded page's record to
// `records` itself; the run appends the empty ones, also for a PDF page that draws no image.
// A file that gives no page at all (empty, unreadable, of no known type, or with only pages
// that cannot be loaded) is reported with message 12 and leaves `records` as it was; a cancel
// ends the run at once without a message.
void RunPageFile(PageFileType type, const std::string& unixPath, CGetPosition& recognizer,
                 std::vector<TrackingRecord>& records, FileRunHost& host);

}  // namespace orla
