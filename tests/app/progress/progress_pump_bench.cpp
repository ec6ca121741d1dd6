// What the progress window costs the recognizer: the stages call PumpMessages and read
// Cancelled once per pixel in places (tens of millions of calls on a 600-dpi page). Times that
// call pattern through the real window and through a sink that does nothing. Run by hand:
//   scripts/with-wine build/wineprefix /usr/lib/wine/wine64 build/tests/app/progress_pump_bench.exe.so

#include <windows.h>

#include <chrono>
#include <cstdio>

#include "framework.h"
#include "plain_window_class.h"
#include "progress/x_progress_wnd.h"
#include "progress_sink.h"

namespace {

class IdleSink final : public orla::ProgressSink {
 public:
  bool IsAlive() const override { return true; }
  int Position() const override { return 0; }
  int PassEnd() const override { return 100; }
  void SetPassEnd(int) override {}
  void SetPos(int) override {}
  void PumpMessages() override {}
  bool Cancelled() const override { return false; }
};

// The shape of a per-pixel stage: a little work, then the pump and the cancel test.
double SecondsFor(orla::ProgressSink& sink, long long calls, unsigned& checksum) {
  const auto start = std::chrono::steady_clock::now();
  for (long long i = 0; i < calls; ++i) {
    checksum = checksum * 33u + static_cast<unsigned>(i);
    if (!sink.IsAlive()) continue;
    sink.PumpMessages();
    if (sink.Cancelled()) break;
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
  test_support::RegisterPlainWindowClass(u"PumpBenchOwner");
  CWnd owner;
  owner.CreateEx(0, u"PumpBenchOwner", u"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 400, nullptr, nullptr);
  CXProgressWnd progress(&owner, "Bench");
  progress.EnterModal(&owner);
  progress.SetText("Page %d, %%d%%", 1);

  constexpr long long kCalls = 35'000'000;  // about one call per pixel of an A4 page at 600 dpi
  unsigned checksum = 1;
  IdleSink idle;
  const double none = SecondsFor(idle, kCalls, checksum);
  const double real = SecondsFor(progress, kCalls, checksum);
  std::printf("%lld calls: no window %.3f s, progress window %.3f s (%.1f ns per call more), checksum %u\n", kCalls,
              none, real, (real - none) * 1e9 / kCalls, checksum);
  std::fflush(stdout);
  progress.DestroyWindow();
  owner.DestroyWindow();
  return 0;
}
