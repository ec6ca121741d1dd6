#include "track/page_file_run.h"

#include "halvo_pic.h"
#include "jpeg_page_reader.h"
#include "lang/message_ids.h"
#include "mem_block.h"
#include "pdf_dib.h"
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
  static CHalvoPic* GreyPage(CHalvoPic& loaded, CHalvoPic& converted) {
    if (loaded.IsGreyPage()) return loaded.rows.empty() ? nullptr : &loaded;
    loaded.ConvertTo8Bit(converted);
    loaded.Free();
    return converted.rows.empty() ? nullptr : &converted;
  }

  void StartPage(int pageNumber, bool multiPage) {
    ++pagesRead_;
    if (multiPage) host_.ClearProgress();
    host_.ShowPageText(pageNumber);
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
    StartPage(pageNumber, multiPage);
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
  void PageWithoutImage(int pageNumber) {
    StartPage(pageNumber, true);
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
      CHalvoPic loaded;
      {
        const OwnedBlock dib(LoadTiffPageAsDib(path.c_str(), pages[i].directoryIndex));
        if (dib.get() == nullptr) {
          host_.ReportToDialog(kMsgUnsupportedFile);
          reported_ = true;
          return;
        }
        if (loaded.LoadFromDib(dib.get()) == 0) continue;
      }
      CHalvoPic converted;
      CHalvoPic* page = GreyPage(loaded, converted);
      if (page == nullptr) continue;
      RecognizePage(*page, static_cast<int>(i) + 1, progress.sink(), true);
      if (cancelled_) return;
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
      const PackedDib dib = PdfDib_GetPageDib(document, p);
      if (dib == nullptr) {
        // A page whose image is of a kind not read is skipped.
        if (PdfDib_PageHasNoImage(document) != 0) PageWithoutImage(p);
        continue;
      }
      CHalvoPic loaded;
      const int loadedOk = loaded.LoadFromDib(dib);
      PdfDib_ReleasePage(document);
      if (loadedOk == 0) continue;
      CHalvoPic converted;
      CHalvoPic* page = GreyPage(loaded, converted);
      if (page == nullptr) continue;
      RecognizePage(*page, p, progress.sink(), true);
      if (cancelled_) return;
    }
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
