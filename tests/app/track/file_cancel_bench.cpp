// Cancel during a file of A4 pages at 600 dots per inch, as the operator meets it: the file road
// runs with the real progress window over an owner window, and another thread clicks Cancel at
// chosen moments of a page's reading and of its recognition. Reported per file: how long each
// page takes to read and to recognize, the longest stretch in each without a call to the
// window's message pump, and for every click the time from the click to the end of the run.
// Run by hand:
//   scripts/with-wine build/wineprefix /usr/lib/wine/wine64 build/tests/app/track/file_cancel_bench.exe.so

#include <windows.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "framework.h"
#include "mem_block.h"
#include "pattern_writer.h"
#include "plain_window_class.h"
#include "progress/x_progress_wnd.h"
#include "shading_reg.h"
#include "tiff_writer.h"
#include "track/page_file_run.h"
#include "tracking_records.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPages = 2;
constexpr int kA4Width600 = 4961;
constexpr int kA4Height600 = 7016;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

orla::pattern::GreyPage PatternPage(int page) {
  orla::pattern::PatternRecord record;
  record.serialNumber = "LM40210" + std::to_string(page);
  orla::pattern::PatternOptions options;
  options.page.dpi = 600;
  options.page.dotSize = 3;
  options.page.width = kA4Width600;
  options.page.height = kA4Height600;
  options.page.left = kA4Width600 * page / 4;
  options.page.top = kA4Height600 * page / 5;
  const orla::pattern::PatternPage made = orla::pattern::MakePatternPage(record, options);
  if (!made.ok()) {
    std::fprintf(stderr, "page %d: %s\n", page, made.error.c_str());
    std::exit(2);
  }
  return made.page;
}

// The same pages as other scanners write them: grey or RGB, Deflate, with `rowsPerStrip` lines
// a strip.
bool WriteTiff(const std::vector<orla::pattern::GreyPage>& pages, const std::string& path, std::uint16_t samples,
               std::uint32_t rowsPerStrip) {
  std::vector<orla::test::TiffPageSpec> specs;
  for (const auto& page : pages) {
    orla::test::TiffPageSpec spec;
    spec.width = static_cast<std::uint32_t>(page.width);
    spec.length = static_cast<std::uint32_t>(page.height);
    spec.samplesPerPixel = samples;
    spec.photometric = samples == 3 ? 2 : 1;  // RGB or minimum-is-black
    spec.compression = 8;                     // Deflate
    spec.rowsPerStrip = rowsPerStrip;
    spec.xResolution = spec.yResolution = 600.0f;
    spec.resolutionUnit = 2;
    spec.data.reserve(page.pixels.size() * samples);
    for (const std::uint8_t grey : page.pixels) spec.data.insert(spec.data.end(), samples, grey);
    specs.push_back(std::move(spec));
  }
  const std::vector<std::uint8_t> bytes = orla::test::BuildTiff(specs);
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return std::fclose(out) == 0 && written;
}

// What happened when, in one run.
struct Timeline {
  Clock::time_point start;
  Clock::time_point end;
  Clock::time_point cancelSeen{};  // when the run first found the window cancelled
  std::vector<Clock::time_point> pumps;
  double longestPumpMs = 0.0;  // the longest single call to the pump
  std::vector<std::pair<Clock::time_point, Clock::time_point>> recognitions;
  std::vector<std::pair<Clock::time_point, std::string>> events;  // what the host was asked
};

// The real window, with every call to its pump noted.
class TimedWindow final : public orla::ProgressSink {
 public:
  TimedWindow(CXProgressWnd& window, Timeline& timeline) : window_(window), timeline_(timeline) {}
  bool IsAlive() const override { return window_.IsAlive(); }
  int Position() const override { return window_.Position(); }
  int PassEnd() const override { return window_.PassEnd(); }
  void SetPassEnd(int end) override { window_.SetPassEnd(end); }
  void SetPos(int position) override { window_.SetPos(position); }
  void PumpMessages() override {
    const Clock::time_point start = Clock::now();
    timeline_.pumps.push_back(start);
    window_.PumpMessages();
    timeline_.longestPumpMs = std::max(timeline_.longestPumpMs, Ms(Clock::now() - start));
  }
  bool Cancelled() const override {
    const bool cancelled = window_.Cancelled();
    if (cancelled && timeline_.cancelSeen == Clock::time_point{}) timeline_.cancelSeen = Clock::now();
    return cancelled;
  }
  int PixelsPerVisit() const override { return window_.PixelsPerVisit(); }

 private:
  CXProgressWnd& window_;
  Timeline& timeline_;
};

class TimedRecognizer final : public CGetPosition {
 public:
  explicit TimedRecognizer(Timeline& timeline) : timeline_(timeline) {}
  orla::RecognizeResult Recognize(CHalvoPic* page, int singlePass) override {
    const Clock::time_point start = Clock::now();
    timeline_.events.emplace_back(start, "recognize");
    const orla::RecognizeResult result = real_.Recognize(page, singlePass);
    timeline_.events.emplace_back(Clock::now(), "recognized");
    timeline_.recognitions.emplace_back(start, Clock::now());
    return result;
  }

 private:
  Timeline& timeline_;
  CShadingReg real_;
};

// The program's host, without its message boxes.
class BenchHost final : public orla::FileRunHost {
 public:
  BenchHost(CWnd& owner, Timeline& timeline) : owner_(owner), timeline_(timeline) {}
  orla::ProgressSink* OpenProgress() override {
    Note("open");
    window_ = std::make_unique<CXProgressWnd>(&owner_, "Progress");
    window_->EnterModal(&owner_);
    window_->SetRangeDefault();
    window_->SetCancelButtonText("Cancel");
    timed_ = std::make_unique<TimedWindow>(*window_, timeline_);
    cancelButton.store(window_->CancelButton().m_hWnd);
    return timed_.get();
  }
  void CloseProgress() override {
    Note("close");
    cancelButton.store(nullptr);
    timed_.reset();
    window_.reset();
  }
  void ClearProgress() override {
    Note("clear");
    if (window_) window_->Clear();
  }
  void ShowPageText(int page) override {
    Note("text " + std::to_string(page));
    if (window_) window_->SetText("Page %d: %%d%%", page);
  }
  void ProgressToFront() override {}
  void ReportToDialog(int id) override { messages.push_back(id); }
  void ReportNothingFound() override { messages.push_back(18); }
  void FinishRun() override { Note("finish"); }

  std::atomic<HWND> cancelButton{nullptr};
  std::vector<int> messages;

 private:
  void Note(std::string what) { timeline_.events.emplace_back(Clock::now(), std::move(what)); }

  CWnd& owner_;
  Timeline& timeline_;
  std::unique_ptr<CXProgressWnd> window_;
  std::unique_ptr<TimedWindow> timed_;
};

// Clicks Cancel once, at `at` or as soon after it as the button exists.
struct Clicker {
  std::atomic<HWND>& button;
  Clock::time_point at;
  std::atomic<bool> done{false};
  std::atomic<bool> posted{false};
  Clock::time_point clickTime{};

  static DWORD WINAPI Run(void* self) {
    auto& c = *static_cast<Clicker*>(self);
    while (!c.done.load() && Clock::now() < c.at) Sleep(1);
    while (!c.done.load()) {
      const HWND target = c.button.load();
      if (target != nullptr) {
        c.clickTime = Clock::now();
        PostMessageW(target, BM_CLICK, 0, 0);
        c.posted.store(true);
        return 0;
      }
      Sleep(1);
    }
    return 0;
  }
};

void DrainQueue() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// One run over the file; with a click on Cancel `clickAfter` after the run started (none when
// negative). Returns the moment of the click, or the run's end when there was none.
Clock::time_point RunOnce(CWnd& owner, orla::PageFileType type, const std::string& path, Timeline& timeline,
                          Clock::duration clickAfter, std::vector<int>& messages, bool& clicked) {
  ClearTrackingRecords();
  timeline = Timeline{};
  BenchHost host(owner, timeline);
  TimedRecognizer recognizer(timeline);
  timeline.start = Clock::now();
  Clicker clicker{host.cancelButton, timeline.start + clickAfter};
  // A thread of Wine's own: only those may call the window functions.
  HANDLE thread = clickAfter >= Clock::duration::zero() ? CreateThread(nullptr, 0, Clicker::Run, &clicker, 0, nullptr)
                                                         : nullptr;
  orla::RunPageFile(type, path, recognizer, g_TrackingRecords, host);
  timeline.end = Clock::now();
  clicker.done.store(true);
  if (thread != nullptr) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
  DrainQueue();
  messages = host.messages;
  clicked = clicker.posted.load();
  return clicked ? clicker.clickTime : timeline.end;
}

// Longest time without a call to the pump while reading (outside every recognition) and while
// recognizing, from the run's start to its end; `where` tells what the host or the recognizer
// was last asked before the longest one while reading.
void LongestQuiet(const Timeline& t, double& reading, double& recognizing, std::string& where) {
  std::vector<Clock::time_point> marks;
  marks.push_back(t.start);
  marks.insert(marks.end(), t.pumps.begin(), t.pumps.end());
  marks.push_back(t.end);
  reading = recognizing = 0.0;
  for (std::size_t i = 1; i < marks.size(); ++i) {
    const Clock::time_point a = marks[i - 1], b = marks[i];
    bool inside = false;
    for (const auto& [from, to] : t.recognitions) inside = inside || (a >= from && b <= to);
    double& longest = inside ? recognizing : reading;
    if (Ms(b - a) <= longest) continue;
    longest = Ms(b - a);
    if (inside) continue;
    where = "from the start";
    for (const auto& [at, what] : t.events) {
      if (at <= a) where = "after " + what;
    }
    where += " (at " + std::to_string(static_cast<int>(Ms(a - t.start))) + " ms)";
  }
}

// Where the run was at `moment`: "reading page N" or "recognizing page N".
std::string PhaseAt(const Timeline& t, Clock::time_point moment) {
  int page = 1;
  for (const auto& [from, to] : t.recognitions) {
    if (moment < from) break;
    if (moment < to) return "recognizing page " + std::to_string(page);
    ++page;
  }
  return "reading page " + std::to_string(page);
}

struct BenchFile {
  const char* label;
  orla::PageFileType type;
  std::string path;
};

int Bench(CWnd& owner, const BenchFile& file) {
  Timeline base;
  std::vector<int> messages;
  bool clicked = false;
  RunOnce(owner, file.type, file.path, base, Clock::duration(-1), messages, clicked);
  if (base.recognitions.size() != kPages || g_TrackingRecords.size() != kPages || !messages.empty()) {
    std::printf("%s: %zu pages recognized, %zu records, %zu messages: the file road did not run through\n", file.label,
                base.recognitions.size(), g_TrackingRecords.size(), messages.size());
    return 1;
  }
  const auto& r = base.recognitions;
  double quietReading = 0.0, quietRecognizing = 0.0;
  std::string where;
  LongestQuiet(base, quietReading, quietRecognizing, where);
  std::printf("%s: page 1 read %.0f ms, recognized %.0f ms; page 2 read %.0f ms, recognized %.0f ms\n", file.label,
              Ms(r[0].first - base.start), Ms(r[0].second - r[0].first), Ms(r[1].first - r[0].second),
              Ms(r[1].second - r[1].first));
  std::printf("  longest without a call to the pump: reading %.0f ms (%s), recognizing %.0f ms; longest call %.0f ms\n",
              quietReading, where.c_str(), quietRecognizing, base.longestPumpMs);

  // Moments in the uncancelled run: spread over page 1's and page 2's reading, and within
  // page 1's recognition for comparison.
  const auto within = [&](Clock::time_point a, Clock::time_point b, double share) {
    return (a - base.start) + std::chrono::duration_cast<Clock::duration>((b - a) * share);
  };
  std::vector<Clock::duration> offsets;
  for (const double share : {0.1, 0.3, 0.5, 0.7, 0.9}) {
    offsets.push_back(within(base.start, r[0].first, share));
    offsets.push_back(within(r[0].second, r[1].first, share));
  }
  offsets.push_back(within(r[0].first, r[0].second, 0.5));
  std::vector<double> reading, recognizing;
  int failures = 0;
  for (const Clock::duration offset : offsets) {
    Timeline t;
    const Clock::time_point click = RunOnce(owner, file.type, file.path, t, offset, messages, clicked);
    if (!clicked) continue;  // the run was over before the click
    const std::string phase = PhaseAt(t, click);
    const double latency = Ms(t.end - click);
    const double seen = t.cancelSeen == Clock::time_point{} ? -1.0 : Ms(t.cancelSeen - click);
    std::printf("  Cancel at %5.0f ms, %-19s -> seen %4.0f ms later, run ended %4.0f ms later, %zu page(s) kept\n",
                Ms(click - t.start), phase.c_str(), seen, latency, g_TrackingRecords.size());
    (phase.rfind("reading", 0) == 0 ? reading : recognizing).push_back(latency);
    if (!messages.empty()) ++failures;
  }
  const auto summary = [](const char* what, std::vector<double> v) {
    if (v.empty()) return;
    std::sort(v.begin(), v.end());
    std::printf("  Cancel while %s: median %.0f ms, slowest %.0f ms (%zu clicks)\n", what, v[v.size() / 2], v.back(),
                v.size());
  };
  summary("reading", reading);
  summary("recognizing", recognizing);
  std::fflush(stdout);
  return failures;
}

}  // namespace

int main() {
  test_support::RegisterPlainWindowClass(u"FileCancelBenchOwner");
  CWnd owner;
  owner.CreateEx(0, u"FileCancelBenchOwner", u"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 400, nullptr,
                 nullptr);

  // Plain C paths: the winelib build's locale cannot take std::filesystem's conversions.
  char folder[] = "/tmp/orla_file_cancel_XXXXXX";
  if (mkdtemp(folder) == nullptr) return 2;
  const std::string dir = folder;
  std::vector<orla::pattern::GreyPage> pages;
  for (int page = 1; page <= kPages; ++page) pages.push_back(PatternPage(page));
  const BenchFile files[] = {
      {"grey TIFF (Deflate, 2 rows a strip)", orla::PageFileType::Tiff, dir + "/grey.tif"},
      {"RGB TIFF (Deflate, 2 rows a strip)", orla::PageFileType::Tiff, dir + "/rgb.tif"},
      {"grey TIFF (Deflate, one strip a page)", orla::PageFileType::Tiff, dir + "/strip.tif"},
      {"grey PDF (Flate image)", orla::PageFileType::Pdf, dir + "/grey.pdf"},
  };
  if (!orla::pattern::WriteTiffFile(pages, files[0].path) || !WriteTiff(pages, files[1].path, 3, 2) ||
      !WriteTiff(pages, files[2].path, 1, kA4Height600) || !orla::pattern::WritePdfFile(pages, files[3].path)) {
    std::fprintf(stderr, "cannot write the files\n");
    return 2;
  }
  std::printf("%d A4 pages at 600 dpi (%d x %d) a file\n", kPages, kA4Width600, kA4Height600);
  int failures = 0;
  for (const BenchFile& file : files) failures += Bench(owner, file);
  for (const BenchFile& file : files) std::remove(file.path.c_str());
  rmdir(folder);
  ClearTrackingRecords();
  if (orla::LiveBlockCount() != 0) {
    std::printf("%zu bitmap block(s) left behind\n", orla::LiveBlockCount());
    ++failures;
  }
  owner.DestroyWindow();
  return failures == 0 ? 0 : 1;
}
