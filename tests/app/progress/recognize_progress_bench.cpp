// What the real progress window costs a whole recognition: Recognize on an A4 page at 600 dpi
// (one pattern, found in the first pass; and blank, read by the first pass alone, as every
// threshold makes the same blank page) with the progress window as the page's progress sink,
// against the same page with none. The window is allowed to add at most a tenth. Whole runs
// vary by more than that from one to the next on a busy machine, so the time spent inside the
// window's own calls is reported too. Run by hand:
//   scripts/with-wine build/wineprefix /usr/lib/wine/wine64 build/tests/app/recognize_progress_bench.exe.so

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "framework.h"
#include "plain_window_class.h"
#include "pattern_writer.h"
#include "shading_reg.h"
#include "tracking_records.h"
#include "progress/x_progress_wnd.h"

namespace {

constexpr int kRounds = 9;

void A4At600(CHalvoPic& page, bool withPattern) {
  orla::pattern::PatternOptions options;
  options.page.dpi = 600;
  options.page.dotSize = 3;
  options.page.width = 4961;
  options.page.height = 7016;
  options.page.left = options.page.width / 3;
  options.page.top = options.page.height / 2;
  if (withPattern) {
    const orla::pattern::PatternPage made = orla::pattern::MakePatternPage({}, options);
    if (!made.ok() || !orla::pattern::ToHalvoPic(made.page, page)) std::exit(1);
  } else {
    page.CreateBlank8(options.page.width, options.page.height);
  }
  page.dpiX = page.dpiY = 600;
}

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The progress window with a stopwatch around the calls that do work: moving the bar and
// pumping messages.
class TimedWindow final : public orla::ProgressSink {
 public:
  explicit TimedWindow(CXProgressWnd& window) : window_(window) {}
  bool IsAlive() const override { return window_.IsAlive(); }
  int Position() const override { return window_.Position(); }
  int PassEnd() const override { return window_.PassEnd(); }
  void SetPassEnd(int end) override { window_.SetPassEnd(end); }
  void SetPos(int position) override {
    const auto start = Clock::now();
    window_.SetPos(position);
    seconds += Since(start);
  }
  void PumpMessages() override {
    const auto start = Clock::now();
    window_.PumpMessages();
    seconds += Since(start);
  }
  bool Cancelled() const override { return window_.Cancelled(); }
  int PixelsPerVisit() const override { return window_.PixelsPerVisit(); }

  double seconds = 0.0;

 private:
  CXProgressWnd& window_;
};

double SecondsOfOne(CHalvoPic& page, CXProgressWnd* progress, int& result, double* inWindow = nullptr) {
  TimedWindow* timed = nullptr;
  std::unique_ptr<TimedWindow> owner;
  if (progress != nullptr) {
    progress->Clear();
    owner = std::make_unique<TimedWindow>(*progress);
    timed = owner.get();
  }
  page.progress = timed;
  const auto start = std::chrono::steady_clock::now();
  CShadingReg recognizer;
  result = recognizer.Recognize(&page, 0);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (inWindow != nullptr && timed != nullptr) *inWindow = timed->seconds;
  page.progress = nullptr;
  ClearTrackingRecords();
  return seconds;
}

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main() {
  test_support::RegisterPlainWindowClass(u"RecognizeBenchOwner");
  CWnd owner;
  owner.CreateEx(0, u"RecognizeBenchOwner", u"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 400, nullptr,
                 nullptr);
  CXProgressWnd progress(&owner, "Bench");
  progress.EnterModal(&owner);
  progress.SetRangeDefault();

  int worst = 0;
  for (const bool withPattern : {true, false}) {
    CHalvoPic page;
    A4At600(page, withPattern);
    int resultNone = -1;
    int resultWindow = -1;
    // Rounds alternate, so that a change in the machine's load falls on both sides alike.
    std::vector<double> none;
    std::vector<double> window;
    std::vector<double> inWindow;
    for (int round = 0; round < kRounds; ++round) {
      none.push_back(SecondsOfOne(page, nullptr, resultNone));
      double calls = 0.0;
      window.push_back(SecondsOfOne(page, &progress, resultWindow, &calls));
      inWindow.push_back(calls);
    }
    const double noneMedian = Median(none);
    const double windowMedian = Median(window);
    const double callsMedian = Median(inWindow);
    const double extra = (windowMedian - noneMedian) / noneMedian * 100.0;
    const double share = callsMedian / noneMedian * 100.0;
    std::printf("A4 600 dpi, %s: no window %.3f s (result %d), progress window %.3f s (result %d): %+.1f%%; "
                "inside the window's calls %.3f s (%.1f%%)\n",
                withPattern ? "one pattern" : "blank", noneMedian, resultNone, windowMedian, resultWindow, extra,
                callsMedian, share);
    if (resultNone != resultWindow || share > 10.0) worst = 1;
  }
  std::fflush(stdout);
  progress.DestroyWindow();
  owner.DestroyWindow();
  return worst;
}
