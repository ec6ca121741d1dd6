#pragma once
// What a page reader sees of the progress window while it reads a page: it tells how far it
// has come and learns whether to go on. The readers are portable and know no window; the file
// road implements this over the progress window (its bar, its message pump and Cancel), as the
// recognizer reaches the same window through ProgressSink.

#include <cstdint>

namespace orla {

class ReadProgress {
 public:
  // `done` of `total` parts (rows, mostly) of the reader's current step are behind it; a total
  // of 0 says only that the reader is still at work. Readers call this often enough to keep
  // the window's message loop turning. False asks the reader to stop: it frees what it made
  // and gives no page.
  virtual bool Advance(std::int64_t done, std::int64_t total) = 0;

 protected:
  ~ReadProgress() = default;
};

// Reports to `progress` when there is one; without one a reader always goes on.
inline bool ReadOn(ReadProgress* progress, std::int64_t done, std::int64_t total) {
  return progress == nullptr || progress->Advance(done, total);
}

}  // namespace orla
