#include "jpeg_page_reader.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>
// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

#include "packed_dib_layout.h"

namespace {

struct JpegErrorManager {
  jpeg_error_mgr standard;
  std::jmp_buf jump;
};

// One decoding run. It lives in the frame of LoadJpegFileAsDib, outside the function that
// calls setjmp, so everything written here before a fatal error is still valid after the jump.
struct JpegSession {
  jpeg_decompress_struct decoder{};
  JpegErrorManager errors{};
  bool created = false;
  orla::MemBlock dib = nullptr;
  std::uint8_t* bits = nullptr;  // the locked block, or null
};

// Fatal libjpeg errors: let the library print its message to the standard error stream and
// return to the reader. The messages stay on stderr on purpose: the dialog program has no
// console, so the operator sees nothing, while a developer who starts it from a terminal, or
// a test log, learns why a file failed.
void JpegErrorExit(j_common_ptr decoder) {
  (*decoder->err->output_message)(decoder);
  std::longjmp(reinterpret_cast<JpegErrorManager*>(decoder->err)->jump, 1);
}

std::int32_t DensityToPixelsPerMetre(std::uint8_t unit, std::uint16_t density) {
  if (unit == 2) return std::int32_t{density} * 100;  // dots per centimetre
  return static_cast<std::int32_t>(density / 2.54 * 100);
}

std::uint8_t Multiply255(unsigned a, unsigned b) { return static_cast<std::uint8_t>((a * b + 127) / 255); }

// Blue, green, red of one CMYK sample. Files with an Adobe marker store the inks inverted
// (255 is no ink); plain CMYK stores 255 as full ink.
void CmykToBgr(const JSAMPLE* cmyk, bool inverted, std::uint8_t* bgr) {
  unsigned c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
  if (!inverted) {
    c = 255 - c;
    m = 255 - m;
    y = 255 - y;
    k = 255 - k;
  }
  bgr[0] = Multiply255(y, k);
  bgr[1] = Multiply255(m, k);
  bgr[2] = Multiply255(c, k);
}

void StoreLine(const JSAMPLE* line, const jpeg_decompress_struct& decoder, std::uint8_t* row) {
  const JDIMENSION width = decoder.output_width;
  switch (decoder.output_components) {
    case 1:
      std::memcpy(row, line, width);
      break;
    case 3:
      for (JDIMENSION x = 0; x < width; ++x, line += 3, row += 3) {
        row[0] = line[2];
        row[1] = line[1];
        row[2] = line[0];
      }
      break;
    case 4:
      for (JDIMENSION x = 0; x < width; ++x, line += 4, row += 3) CmykToBgr(line, decoder.saw_Adobe_marker, row);
      break;
  }
}

// Runs the decoder into session.dib. Returns on success and after a fatal error alike; the
// caller cleans up from what the session holds. No object with a destructor lives here, since
// longjmp would skip it.
void Decode(JpegSession& session, std::FILE* file) {
  jpeg_decompress_struct& decoder = session.decoder;
  decoder.err = jpeg_std_error(&session.errors.standard);
  session.errors.standard.error_exit = JpegErrorExit;
  if (setjmp(session.errors.jump) != 0) return;

  jpeg_create_decompress(&decoder);
  session.created = true;
  jpeg_stdio_src(&decoder, file);
  jpeg_read_header(&decoder, TRUE);
  jpeg_start_decompress(&decoder);

  const int components = decoder.output_components;
  if (components != 1 && components != 3 && components != 4) return;
  // CMYK is delivered as colour: three bytes per pixel like RGB.
  const int storedComponents = components == 1 ? 1 : 3;
  orla::PackedDibLayout layout;
  if (!orla::PlanPackedDib(decoder.output_width, decoder.output_height, 8 * storedComponents,
                           components == 1 ? 1024 : 0, layout)) {
    return;
  }
  session.dib = orla::AllocateBlock(static_cast<std::size_t>(layout.blockSize));
  if (session.dib == nullptr) return;
  session.bits = static_cast<std::uint8_t*>(orla::LockBlock(session.dib));
  if (session.bits == nullptr) return;

  orla::DibHeaderFields fields;
  fields.width = static_cast<std::int32_t>(decoder.output_width);
  fields.height = static_cast<std::int32_t>(decoder.output_height);
  fields.bitCount = static_cast<std::uint16_t>(8 * storedComponents);
  fields.sizeImage = static_cast<std::uint32_t>(layout.blockSize);
  fields.xPelsPerMeter = DensityToPixelsPerMetre(decoder.density_unit, decoder.X_density);
  fields.yPelsPerMeter = DensityToPixelsPerMetre(decoder.density_unit, decoder.Y_density);
  orla::WriteDibHeader(session.bits, fields);
  if (components == 1) orla::WriteGreyPalette(session.bits);

  std::uint8_t* pixels = session.bits + 40 + GetDibPaletteSize(session.bits);
  JSAMPARRAY line = (*decoder.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&decoder), JPOOL_IMAGE,
                                                 decoder.output_width * static_cast<JDIMENSION>(components), 1);
  while (decoder.output_scanline < decoder.output_height) {
    const JDIMENSION lineNumber = decoder.output_scanline;
    if (jpeg_read_scanlines(&decoder, line, 1) != 1) break;
    StoreLine(line[0], decoder, pixels + (decoder.output_height - 1 - lineNumber) * layout.stride);
  }
  jpeg_finish_decompress(&decoder);
}

}  // namespace

PackedDib LoadJpegFileAsDib(const char* fileName) {
  if (fileName == nullptr) return nullptr;
  std::FILE* file = std::fopen(fileName, "rb");
  if (file == nullptr) return nullptr;

  JpegSession session;
  Decode(session, file);

  if (session.created) jpeg_destroy_decompress(&session.decoder);
  std::fclose(file);
  if (session.bits != nullptr) {
    orla::UnlockBlock(session.dib);
  } else {
    // Refused, or the block could not be locked: nothing was written into it.
    orla::FreeBlock(session.dib);
    session.dib = nullptr;
  }
  return session.dib;
}
