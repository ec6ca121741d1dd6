// The whole recognizer on A4 pages (bench_pages.h): a pattern at 300 and at 600 dots per inch
// (found in the first pass), a blank page at 600 (nothing found; read once, as every threshold makes it alike), the
// 300 dpi pattern page under grey noise of sigma 20 and 45, and at 600 a screened photo over
// the top of a blank page (nothing found: its cost beside the blank page's is the price of the
// search past the photo's false blocks), of a page filled with the pattern, and that page
// without the photo; beside the floor, one copy of a page into a page of the same size. Peak
// memory is what the process holds resident beyond the page itself. With a progress window that
// draws nothing: how often it is visited, and the longest wait for a visit (the latest a Cancel
// can be seen).
//
// Every page's outcome (result code, and the record field by field) must be the one written
// down below from a run of the recognizer before it was made faster: a faster recognizer that
// reads a page differently is wrong, not fast.
//
// Run: build/tests/benchmarks/recognize_bench [benchmark flags]
//      build/tests/benchmarks/recognize_bench --check-outcomes   (each page once, no timing)

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "bench_pages.h"
#include "resident_memory.h"
#include "shading_reg.h"
#include "tracking_records.h"

namespace {

using orla::bench::A4;
using orla::bench::kPageCount;

struct Outcome {
  int result = -1;
  // The record's six texts and its valid flag, when the result is 0 (left out, they are empty).
  const char* fields[6] = {"", "", "", "", "", ""};
  int valid = 0;
};

const char* const kFieldNames[6] = {"TimeStamp", "SerialNumber", "MACAddress", "UserName", "JobName", "Description"};

// Written from a run of the recognizer before any of its speed work (the time stamp is the
// pattern writer's default, since made a real date).
const Outcome kExpected[kPageCount] = {
    {0, {"261210090745", "LM40211783", "00A0C9143B7E", "operator", "quarterly-report.docx", "Accounts"}, 1},
    {0, {"261210090745", "LM40211783", "00A0C9143B7E", "operator", "quarterly-report.docx", "Accounts"}, 1},
    {1},
    {0, {"261210090745", "LM40211783", "00A0C9143B7E", "operator", "quarterly-report.docx", "Accounts"}, 1},
    {1},
    // Recorded when they were added, with the search going on past a first block in the photo.
    {1},
    {0, {"261210090745", "LM40211783", "00A0C9143B7E", "operator", "quarterly-report.docx", "Accounts"}, 1},
    {0, {"261210090745", "LM40211783", "00A0C9143B7E", "operator", "quarterly-report.docx", "Accounts"}, 1},
};

struct Seen {
  int result = -1;
  std::string fields[6];
  int valid = 0;
};

Seen RecognizeOnce(CHalvoPic& page) {
  Seen seen;
  ClearTrackingRecords();
  CShadingReg reg;
  seen.result = reg.Recognize(&page, 0);
  if (seen.result == orla::kRecognizeFound && !g_TrackingRecords.empty()) {
    const TrackingRecord& r = g_TrackingRecords.back();
    const char* texts[6] = {r.TimeStamp, r.SerialNumber, r.MACAddress, r.UserName, r.JobName, r.Description};
    for (int i = 0; i < 6; ++i) seen.fields[i] = texts[i];
    seen.valid = r.Valid;
  }
  ClearTrackingRecords();
  return seen;
}

// The differences from the recorded outcome, one per line; empty when there are none.
std::string Differences(int which, const Seen& seen) {
  const Outcome& expected = kExpected[which];
  std::string out;
  char line[512];
  if (seen.result != expected.result) {
    std::snprintf(line, sizeof line, "result %d, recorded %d\n", seen.result, expected.result);
    out += line;
  }
  for (int i = 0; i < 6; ++i) {
    if (seen.fields[i] != expected.fields[i]) {
      std::snprintf(line, sizeof line, "%s \"%s\", recorded \"%s\"\n", kFieldNames[i], seen.fields[i].c_str(),
                    expected.fields[i]);
      out += line;
    }
  }
  if (seen.valid != expected.valid) {
    std::snprintf(line, sizeof line, "Valid %d, recorded %d\n", seen.valid, expected.valid);
    out += line;
  }
  return out;
}

// Every bench page, one run each.
void EveryPage(benchmark::internal::Benchmark* bench) {
  for (const int page : {orla::bench::Pattern300, orla::bench::Pattern600, orla::bench::Blank600,
                         orla::bench::Noise20, orla::bench::Noise45, orla::bench::Photo600,
                         orla::bench::PhotoPattern600, orla::bench::Filled600}) {
    bench->Arg(page);
  }
}

void Recognize(benchmark::State& state) {
  const int which = static_cast<int>(state.range(0));
  CHalvoPic& page = A4(which);
  const std::size_t baseline = orla::bench::RestartPeak();
  Seen seen;
  for (auto _ : state) {
    seen = RecognizeOnce(page);
    benchmark::DoNotOptimize(seen.result);
  }
  state.counters["peak_MB"] = orla::bench::PeakMegabytesSince(baseline);
  state.counters["page_MB"] = orla::bench::PageMegabytes(page);
  state.SetLabel(orla::bench::PageLabel(which));
  const std::string differences = Differences(which, seen);
  if (!differences.empty()) state.SkipWithError(("outcome changed: " + differences).c_str());
}
BENCHMARK(Recognize)->Apply(EveryPage)->Unit(benchmark::kMillisecond);

// What the progress window sees of a run: the recognizer visits it at the pixels the window's
// cadence names (every 4096th of each walk), so the number of visits must stay what it was,
// and Cancel can take effect no later than the longest time between two of them.
class TimedWindow final : public orla::ProgressSink {
 public:
  using Clock = std::chrono::steady_clock;
  bool IsAlive() const override { return true; }
  int Position() const override { return position_; }
  int PassEnd() const override { return passEnd_; }
  void SetPassEnd(int end) override { passEnd_ = end; }
  void SetPos(int position) override { position_ = position; }
  void PumpMessages() override {
    const Clock::time_point now = Clock::now();
    if (pumps > 0) longestGap = std::max(longestGap, std::chrono::duration<double, std::milli>(now - last_).count());
    last_ = now;
    ++pumps;
  }
  bool Cancelled() const override { return false; }
  int PixelsPerVisit() const override { return 4096; }

  long pumps = 0;
  double longestGap = 0.0;

 private:
  int position_ = 0;
  int passEnd_ = 100;
  Clock::time_point last_{};
};

void RecognizeWithWindow(benchmark::State& state) {
  const int which = static_cast<int>(state.range(0));
  CHalvoPic& page = A4(which);
  TimedWindow window;
  Seen seen;
  for (auto _ : state) {
    window = TimedWindow();
    page.progress = &window;
    seen = RecognizeOnce(page);
    page.progress = nullptr;
  }
  state.counters["pumps"] = static_cast<double>(window.pumps);
  state.counters["longest_gap_ms"] = window.longestGap;
  state.SetLabel(orla::bench::PageLabel(which));
  const std::string differences = Differences(which, seen);
  if (!differences.empty()) state.SkipWithError(("outcome changed: " + differences).c_str());
}
BENCHMARK(RecognizeWithWindow)->Apply(EveryPage)->Unit(benchmark::kMillisecond);

// The floor: one copy of the page into a page of the same size, as every pass makes.
void PlainCopy(benchmark::State& state) {
  const int which = static_cast<int>(state.range(0));
  const CHalvoPic& page = A4(which);
  CHalvoPic copy;
  copy = page;
  const std::size_t baseline = orla::bench::RestartPeak();
  for (auto _ : state) {
    copy = page;
    benchmark::DoNotOptimize(copy.rows.data());
  }
  state.counters["peak_MB"] = orla::bench::PeakMegabytesSince(baseline);
  state.counters["page_MB"] = orla::bench::PageMegabytes(page);
  state.SetLabel(which == orla::bench::Pattern300 ? "A4 300 dpi" : "A4 600 dpi");
}
BENCHMARK(PlainCopy)->Arg(orla::bench::Pattern300)->Arg(orla::bench::Blank600)->Unit(benchmark::kMillisecond);

// Each page once, its outcome against the recorded one: 0 when all are unchanged.
int CheckOutcomes() {
  int changed = 0;
  for (int which = 0; which < kPageCount; ++which) {
    const Seen seen = RecognizeOnce(A4(which));
    const std::string differences = Differences(which, seen);
    std::printf("%-46s result %d%s\n%s", orla::bench::PageLabel(which), seen.result,
                differences.empty() ? ", as recorded" : ", CHANGED:", differences.c_str());
    if (!differences.empty()) ++changed;
  }
  return changed == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--check-outcomes") == 0) return CheckOutcomes();
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
