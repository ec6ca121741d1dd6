// The whole recognizer on A4 pages: one pattern at 300 and at 600 dots per inch (found in the
// first pass), and a blank page at 600 (nothing found: all three passes run), beside one plain
// copy of the same page as the floor. Peak heap is counted by replacing the global allocator.
//
// Run: build/tests/benchmarks/recognize_bench

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "pattern_writer.h"
#include "shading_reg.h"
#include "tracking_records.h"

namespace {

std::atomic<std::size_t> g_live{0};
std::atomic<std::size_t> g_peak{0};

// Each block carries its size in front of it, so that delete knows what it frees.
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* Allocate(std::size_t size) {
  void* block = std::malloc(size + kHeader);
  if (block == nullptr) throw std::bad_alloc();
  *static_cast<std::size_t*>(block) = size;
  const std::size_t live = g_live += size;
  std::size_t peak = g_peak.load();
  while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {
  }
  return static_cast<char*>(block) + kHeader;
}

void Release(void* p) {
  if (p == nullptr) return;
  void* block = static_cast<char*>(p) - kHeader;
  g_live -= *static_cast<std::size_t*>(block);
  std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }

namespace {

constexpr int kA4Width300 = 2480;
constexpr int kA4Height300 = 3508;

enum Page { Pattern300, Pattern600, Blank600 };

const CHalvoPic& A4(Page which) {
  static CHalvoPic pages[3];
  CHalvoPic& page = pages[which];
  if (page.width == 0) {
    const int scale = which == Pattern300 ? 1 : 2;
    orla::pattern::PatternOptions options;
    options.page.dpi = 300 * scale;
    options.page.dotSize = scale == 1 ? 2 : 3;
    options.page.width = kA4Width300 * scale + (scale - 1);
    options.page.height = kA4Height300 * scale;
    options.page.left = options.page.width / 3;
    options.page.top = options.page.height / 2;
    if (which == Blank600) {
      page.CreateBlank8(options.page.width, options.page.height);
    } else {
      const orla::pattern::PatternPage made = orla::pattern::MakePatternPage({}, options);
      if (!made.ok() || !orla::pattern::ToHalvoPic(made.page, page)) std::abort();
    }
    page.dpiX = page.dpiY = options.page.dpi;
  }
  return page;
}

void ReportPeak(benchmark::State& state, std::size_t baseline) {
  state.counters["peak_MB"] = static_cast<double>(g_peak.load() - baseline) / (1024.0 * 1024.0);
}

void Recognize(benchmark::State& state) {
  const Page which = static_cast<Page>(state.range(0));
  CHalvoPic& page = const_cast<CHalvoPic&>(A4(which));
  const std::size_t baseline = g_live.load();
  g_peak = baseline;
  int result = -1;
  for (auto _ : state) {
    CShadingReg reg;
    result = reg.Recognize(&page, 0);
    benchmark::DoNotOptimize(result);
    ClearTrackingRecords();
  }
  if (result != (which == Blank600 ? orla::kRecognizeNothingFound : orla::kRecognizeFound)) {
    state.SkipWithError("unexpected result");
  }
  ReportPeak(state, baseline);
  state.SetLabel(which == Pattern300   ? "A4 300 dpi, one pattern"
                 : which == Pattern600 ? "A4 600 dpi, one pattern"
                                       : "A4 600 dpi, blank");
}
BENCHMARK(Recognize)->Arg(Pattern300)->Arg(Pattern600)->Arg(Blank600)->Unit(benchmark::kMillisecond);

// The floor: one plain copy of the page, as every pass makes.
void PlainCopy(benchmark::State& state) {
  const Page which = static_cast<Page>(state.range(0));
  const CHalvoPic& page = A4(which);
  const std::size_t baseline = g_live.load();
  g_peak = baseline;
  for (auto _ : state) {
    CHalvoPic copy;
    copy = page;
    benchmark::DoNotOptimize(copy.rows.data());
  }
  ReportPeak(state, baseline);
  state.SetLabel(which == Pattern300 ? "A4 300 dpi" : "A4 600 dpi");
}
BENCHMARK(PlainCopy)->Arg(Pattern300)->Arg(Blank600)->Unit(benchmark::kMillisecond);

}  // namespace
