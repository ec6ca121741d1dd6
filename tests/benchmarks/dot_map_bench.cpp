// The threshold estimate and the dot map on an A4 page at 600 dots per inch (4961 x 7016),
// printed with a dense field of 3 x 3 dots over mid-grey noise.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

#include "halvo_pic.h"
#include "scripted_progress.h"
#include "shading_reg.h"

namespace {

constexpr int kWidth = 4961;
constexpr int kHeight = 7016;

class BenchRecognizer : public CShadingReg {
 public:
  orla::RecognizeResult Recognize(CHalvoPic*, int) override { return orla::kRecognizeNothingFound; }
};

const CHalvoPic& A4Page() {
  static CHalvoPic page;
  if (page.width == 0) {
    page.CreateBlank8(kWidth, kHeight);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> paper(225, 255);
    std::bernoulli_distribution dot(0.5);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) page.rows[static_cast<std::size_t>(y)][x] = static_cast<std::uint8_t>(paper(random));
    for (int y = 4; y + 3 < kHeight; y += 6)
      for (int x = 4 + (y / 6 % 2) * 6; x + 3 < kWidth; x += 12)
        if (dot(random))
          for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 3; ++i) page.rows[static_cast<std::size_t>(y + j)][x + i] = 40;
  }
  return page;
}

void Threshold(benchmark::State& state) {
  const CHalvoPic& page = A4Page();
  BenchRecognizer reg;
  reg.page = const_cast<CHalvoPic*>(&page);
  for (auto _ : state) benchmark::DoNotOptimize(reg.ComputeThreshold());
}
BENCHMARK(Threshold)->Unit(benchmark::kMillisecond);

void DotMap(benchmark::State& state) {
  const CHalvoPic& page = A4Page();
  const bool withProgress = state.range(0) != 0;
  for (auto _ : state) {
    state.PauseTiming();
    CHalvoPic copy;
    copy = page;
    BenchRecognizer reg;
    reg.page = &copy;
    reg.pageWidth = copy.width;
    reg.pageHeight = copy.height;
    orla::test::ScriptedProgress progress(0, 100);
    state.ResumeTiming();
    reg.Binarize(128, withProgress ? &progress : nullptr);
    reg.CollectComponents(withProgress ? &progress : nullptr);
  }
}
BENCHMARK(DotMap)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
