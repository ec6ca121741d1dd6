#include "track/page_file_run.h"

#include <algorithm>

#include "halvo_pic.h"
#include "jpeg_page_reader.h"
#include "lang/message_ids.h"
#include "mem_block.h"
#include "pdf_dib.h"
#include "progress_share.h"
#include "read_progress.h"
#include "recognize_result.h"
#include "tiff_page_reader.h"

namespace orla {
namespace {

// Frees a reader's block when the scope ends.
class OwnedBlock {
 public:
  explicit OwnedBlock(MemBlock block) : block_(block) {}
  ~OwnedBlock() { FreeBlock(block_); }
  OwnedBlock(const OwnedBlock&) = delete;
  OwnedBlock& operator=(const OwnedBlock&) = delete;
  MemBlock get() const { return block_; }

 private:
  MemBlock block_;
};

// The progress window of one file, closed on every way out.
class ProgressScope {
 public:
  explicit ProgressScope(FileRunHost& host) : host_(host), sink_(host.OpenProgress()) {}
  ~ProgressScope() { host_.CloseProgress(); }
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;
  ProgressSink* sink() const { return sink_; }

 private:
  FileRunHost& host_;
  ProgressSink* sink_;
};

// The bar while a page of a TIFF or PDF file is read, before the recognizer takes it over:
// decoding fills it up to kDecodedAt, loading the bitmap up to kLoadedAt, the grey conversion
// up to kReadAt. The recognizer's passes then move it on from there with their own shares of
// what remains of each pass, so it reaches 100 only when the page is done.
constexpr int kDecodedAt = 15;
constexpr int kLoadedAt = 20;
constexpr int kReadAt = 25;

// The progress window as the page readers see it: every report moves the bar through the
// current step's stretch, turns the window's message loop and asks whether Cancel was pressed.
// Like the recognizer, it reads on without a word when the window has gone.
class ReadingBar final : public ReadProgress {
 public:
  explicit ReadingBar(ProgressSink* progress) : progress_(progress) {}

  // The next step of the reading fills the bar from `from` to `to`.
  void Step(int from, int to) {
    from_ = from;
    to_ = to;
  }
  // The page is read: the bar stands at the end of the reading's stretch.
  void Finish() {
    if (ProgressAlive(progress_) && progress_->Position() < kReadAt) progress_->SetPos(kReadAt);
  }
  bool Cancelled() const { return ProgressAlive(progress_) && progress_->Cancelled(); }

  bool Advance(std::int64_t done, std::int64_t total) override {
    if (!ProgressAlive(progress_)) return true;
    if (total > 0) {
      const auto share = static_cast<int>((to_ - from_) * std::clamp<std::int64_t>(done, 0, total) / total);
      // The bar never goes back: a PDF page may draw several images, each from its first row.
      if (from_ + share > progress_->Position()) progress_->SetPos(from_ + share);
    }
    progress_->PumpMessages();
    return !progress_->Cancelled();
  }

 private:
  ProgressSink* progress_;
  int from_ = 0;
  int to_ = kDecodedAt;
};

class FileRun {
 public:
  FileRun(CGetPosition& recognizer, std::vector<TrackingRecord>& records, FileRunHost& host)
      : recognizer_(recognizer), records_(records), host_(host) {}

  void Run(PageFileType type, const std::string& path) {
    switch (type) {
      case PageFileType::Bmp: RunBmp(path); break;
      case PageFileType::Jpeg: RunJpeg(path); break;
      case PageFileType::Tiff: RunTiff(path); break;
      case PageFileType::Pdf: RunPdf(path); break;
      case PageFileType::Empty:
      case PageFileType::Unsupported: break;
    }
    // Reported once, after the progress window has gone, unless the file already said why.
    if (pagesRead_ == 0 && !cancelled_ && !reported_) host_.ReportToDialog(kMsgUnsupportedFile);
  }

 private:
  // P1: the page as the recognizer reads it, or null when it has no rows to read. Every page
  // that is not grey already is converted, also an 8-bit page with a colour palette.
  static CHalvoPic* GreyPage(CHalvoPic& loaded, CHalvoPic& converted, ReadProgress* progress = nullptr) {
    if (loaded.IsGreyPage()) return loaded.rows.empty() ? nullptr : &loaded;
    loaded.ConvertTo8Bit(converted, progress);
    loaded.Free();
    return converted.rows.empty() ? nullptr : &converted;
  }

  // A page of a TIFF or PDF file is about to be read: the window names it, from an empty bar.
  // A Cancel the window took after the last page's recognizer had looked for it (as its bar
  // went to 100) ends the file here, where clearing the window would forget it.
  bool StartReading(ProgressSink* progress, int pageNumber) {
    if (ProgressAlive(progress) && progress->Cancelled()) {
      cancelled_ = true;
      return false;
    }
    host_.ClearProgress();
    host_.ShowPageText(pageNumber);
    return true;
  }

  // A reader or a conversion gave nothing: true, with the file ended, when that was a cancel.
  bool CancelledWhileReading(const ReadingBar& bar) {
    if (bar.Cancelled()) cancelled_ = true;
    return cancelled_;
  }

  void NothingFound(bool multiPage) {
    records_.push_back(TrackingRecord{});
    if (multiPage) host_.ProgressToFront();
    host_.ReportNothingFound();
  }

  // P2-P6 for one page; `multiPage` for TIFF and PDF files. A cancel sets cancelled_, which
  // ends the file.
  void RecognizePage(CHalvoPic& page, int pageNumber, ProgressSink* progress, bool multiPage) {
    page.progress = progress;
    page.pageNumber = pageNumber;
    ++pagesRead_;
    if (!multiPage) host_.ShowPageText(pageNumber);
    const RecognizeResult result = recognizer_.Recognize(&page, 0);
    if (!multiPage) host_.ProgressToFront();
    if (result == kRecognizeCancelled) {
      cancelled_ = true;
      return;
    }
    if (result == kRecognizeNothingFound) NothingFound(multiPage);
    host_.FinishRun();
  }

  // A PDF page of text or vector drawing alone has no image to search: it is a page without
  // tracking information, like a blank scan, and keeps its place among the file's pages.
  void PageWithoutImage() {
    ++pagesRead_;
    NothingFound(true);
    host_.FinishRun();
  }

  void RunSinglePage(CHalvoPic& loaded) {
    CHalvoPic converted;
    CHalvoPic* page = GreyPage(loaded, converted);
    if (page == nullptr) return;
    ProgressScope progress(host_);
    RecognizePage(*page, 1, progress.sink(), false);
  }

  void RunBmp(const std::string& path) {
    CHalvoPic loaded;
    if (loaded.LoadBmpFile(path) == 0) return;
    RunSinglePage(loaded);
  }

  void RunJpeg(const std::string& path) {
    CHalvoPic loaded;
    {
      const OwnedBlock dib(LoadJpegFileAsDib(path.c_str()));
      if (dib.get() == nullptr || loaded.LoadFromDib(dib.get()) == 0) return;
    }
    RunSinglePage(loaded);
  }

  void RunTiff(const std::string& path) {
    std::vector<TiffPageInfo> pages;
    if (ListTiffPages(pages, path.c_str()) <= 0 || pages.empty()) return;
    ProgressScope progress(host_);
    for (std::size_t i = 0; i < pages.size(); ++i) {
      const int pageNumber = static_cast<int>(i) + 1;
      if (!StartReading(progress.sink(), pageNumber)) return;
      ReadingBar bar(progress.sink());
      CHalvoPic loaded;
      {
        const OwnedBlock dib(LoadTiffPageAsDib(path.c_str(), pages[i].directoryIndex, &bar));
        if (dib.get() == nullptr) {
          if (CancelledWhileReading(bar)) return;
          host_.ReportToDialog(kMsgUnsupportedFile);
          reported_ = true;
          return;
        }
        bar.Step(kDecodedAt, kLoadedAt);
        if (loaded.LoadFromDib(dib.get(), &bar) == 0) {
          if (CancelledWhileReading(bar)) return;
          continue;
        }
      }
      if (!RecognizeRead(loaded, bar, pageNumber, progress.sink())) return;
    }
  }

  void RunPdf(const std::string& path) {
    PdfDibHandle* document = PdfDib_Open(path.c_str(), nullptr, nullptr, 600);
    if (document == nullptr) return;
    struct Closer {
      PdfDibHandle* handle;
      ~Closer() { PdfDib_Close(handle); }
    } closer{document};
    const int count = PdfDib_GetPageCount(document);
    ProgressScope progress(host_);
    for (int p = 1; p <= count; ++p) {
      if (!StartReading(progress.sink(), p)) return;
      ReadingBar bar(progress.sink());
      const PackedDib dib = PdfDib_GetPageDib(document, p, &bar);
      if (dib == nullptr) {
        if (CancelledWhileReading(bar)) return;
        // A page whose image is of a kind not read is skipped.
        if (PdfDib_PageHasNoImage(document) != 0) PageWithoutImage();
        continue;
      }
      CHalvoPic loaded;
      bar.Step(kDecodedAt, kLoadedAt);
      const int loadedOk = loaded.LoadFromDib(dib, &bar);
      PdfDib_ReleasePage(document);
      if (loadedOk == 0) {
        if (CancelledWhileReading(bar)) return;
        continue;
      }
      if (!RecognizeRead(loaded, bar, p, progress.sink())) return;
    }
  }

  // The rest of a loaded page of a TIFF or PDF file: made grey, then recognized. False when
  // the file ends here (a cancel).
  bool RecognizeRead(CHalvoPic& loaded, ReadingBar& bar, int pageNumber, ProgressSink* progress) {
    CHalvoPic converted;
    bar.Step(kLoadedAt, kReadAt);
    CHalvoPic* page = GreyPage(loaded, converted, &bar);
    if (page == nullptr) return !CancelledWhileReading(bar);
    bar.Finish();
    RecognizePage(*page, pageNumber, progress, true);
    return !cancelled_;
  }

  CGetPosition& recognizer_;
  std::vector<TrackingRecord>& records_;
  FileRunHost& host_;
  int pagesRead_ = 0;
  bool cancelled_ = false;
  bool reported_ = false;
};

}  // namespace

void RunPageFile(PageFileType type, const std::string& unixPath, CGetPosition& recognizer,
                 std::vector<TrackingRecord>& records, FileRunHost& host) {
  FileRun(recognizer, records, host).Run(type, unixPath);
}

}  // namespace orla
