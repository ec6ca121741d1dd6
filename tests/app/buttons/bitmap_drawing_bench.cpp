// What the image buttons' bitmap work costs per redraw: the soft shadow (two 32-bit work
// bitmaps, read and written back) and a 32-bit bitmap opened in a memory context, as the
// cross-fade's snapshot is. A pulsing default button redraws every 100 ms. Run by hand:
//   scripts/with-wine build/wineprefix /usr/lib/wine/wine64 build/tests/app/bitmap_drawing_bench.exe.so

#include <windows.h>

#include <chrono>
#include <cstdio>

#include "buttons/bitmap_drawing.h"
#include "buttons/dc_bitmap.h"
#include "dib_canvas.h"

namespace {

using namespace test_support;

template <typename F>
double MicrosecondsPerCall(int calls, F&& call) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < calls; ++i) call();
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / calls;
}

}  // namespace

int main() {
  constexpr int kCalls = 2000;
  DibCanvas image(16, 12);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x) image.Set(x, y, TestImagePixel(x, y));
  DibCanvas face(140, 30, kGreen);

  const double shadow = MicrosecondsPerCall(kCalls, [&] {
    CDCBitmap buffer(face.dc(), 0, 0, 140, 30);
    DrawShadowBitmap(buffer, image.dc(), kMagenta, 19, 8, 16, 12);
  });
  const double opened = MicrosecondsPerCall(kCalls, [&] {
    CBitmap bitmap;
    bitmap.Attach(Create32BitBitmap(140, 30));
    CDCBitmap dc(face.dc(), &bitmap);
  });
  std::printf("per call: buffer with a 16 x 12 shadow %.1f us, 140 x 30 32-bit bitmap opened %.1f us\n", shadow,
              opened);
  return 0;
}
