// Feeds arbitrary bytes to the JPEG page reader and loads whatever it returns.

#include <cstdint>
#include <cstdio>
// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

#include "fuzz_file.h"
#include "halvo_pic.h"
#include "jpeg_page_reader.h"

// The reader hands libjpeg the standard error manager, whose message hook prints every
// warning and error to stderr, a line for nearly every input. stderr stays open for libFuzzer's
// own report of a crash (the input, the stack), so only that hook is quietened: the link
// (--wrap) routes the reader's call of jpeg_std_error through here.
extern "C" jpeg_error_mgr* __real_jpeg_std_error(jpeg_error_mgr* err);
extern "C" jpeg_error_mgr* __wrap_jpeg_std_error(jpeg_error_mgr* err) {
  jpeg_error_mgr* standard = __real_jpeg_std_error(err);
  standard->output_message = [](j_common_ptr) {};
  return standard;
}

namespace {

// Frame headers (SOF0..SOF15 but DHT, JPG, DAC) declaring more than 4 million pixels are
// skipped: such pages are legal, and decoding them only spends the run's time.
bool DeclaresLargeFrame(const std::uint8_t* data, std::size_t size) {
  for (std::size_t i = 0; i + 8 < size; ++i) {
    if (data[i] != 0xFF || data[i + 1] < 0xC0 || data[i + 1] > 0xCF) continue;
    if (data[i + 1] == 0xC4 || data[i + 1] == 0xC8 || data[i + 1] == 0xCC) continue;
    const std::uint64_t height = (data[i + 5] << 8) | data[i + 6];
    const std::uint64_t width = (data[i + 7] << 8) | data[i + 8];
    if (width * height > 4'000'000) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (DeclaresLargeFrame(data, size)) return 0;
  orla::fuzz::MemoryFile file(data, size);
  if (!file.ok()) return 0;
  PackedDib dib = LoadJpegFileAsDib(file.path().c_str());
  if (dib != nullptr) {
    CHalvoPic page;
    page.LoadFromDib(dib);
    orla::FreeBlock(dib);
  }
  return 0;
}
