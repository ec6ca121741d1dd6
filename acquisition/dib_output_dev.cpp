#include "dib_output_dev.h"

#include <Error.h>
#include <GfxState.h>
#include <Stream.h>

#include <cstdint>
#include <memory>

#include "packed_dib_layout.h"

namespace {

std::uint8_t GreyByte(GfxGray gray) {
  const int value = static_cast<int>(colToDbl(gray) * 255.0 + 0.5);
  return static_cast<std::uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

}  // namespace

DIBOutputDev::~DIBOutputDev() { FreeDib(); }

bool DIBOutputDev::StopCheck(void* device) {
  auto* self = static_cast<DIBOutputDev*>(device);
  if (!self->m_bStopped && !orla::ReadOn(self->m_pProgress, 0, 0)) self->m_bStopped = true;
  return self->m_bStopped;
}

bool DIBOutputDev::RowRead(int row, int height) {
  if (!orla::ReadOn(m_pProgress, row + 1, height)) m_bStopped = true;
  return !m_bStopped;
}

void DIBOutputDev::FreeDib() {
  orla::FreeBlock(m_hDIB);
  m_hDIB = nullptr;
}

std::uint8_t* DIBOutputDev::NewGreyDib(int width, int height, std::int64_t& stride) {
  orla::PackedDibLayout layout;
  if (orla::PlanPackedDib(width, height, 8, 1024, layout)) {
    m_hDIB = orla::AllocateBlock(static_cast<std::size_t>(layout.blockSize));
  }
  if (m_hDIB == nullptr) {
    error(errInternal, -1, "function GlobalAlloc alloc memory for m_hDIB failed ");
    return nullptr;
  }
  auto* bits = static_cast<std::uint8_t*>(orla::LockBlock(m_hDIB));
  if (bits == nullptr) {
    error(errInternal, -1, "function GlobalLock  for lpDIB failed ");
    FreeDib();
    return nullptr;
  }
  // No resolution: the raster image picks its default from the page size.
  orla::DibHeaderFields fields;
  fields.width = width;
  fields.height = height;
  fields.bitCount = 8;
  orla::WriteDibHeader(bits, fields);
  orla::WriteGreyPalette(bits);
  stride = layout.stride;
  return bits;
}

void DIBOutputDev::DrawBilevel(Stream* str, int width, int height, std::uint8_t grey0, std::uint8_t grey1) {
  std::int64_t stride = 0;
  std::uint8_t* bits = NewGreyDib(width, height, stride);
  if (bits == nullptr) return;
  std::uint8_t* pixels = bits + 1064;
  const int bytesPerRow = (width + 7) / 8;
  str->reset();
  // The stream gives the top row first; a bottom-up bitmap stores it last. A stream that ends
  // early leaves the remaining rows as allocated.
  bool ended = false;
  for (int y = 0; y < height && !ended; ++y) {
    std::uint8_t* row = pixels + (height - 1 - y) * stride;
    for (int i = 0; i < bytesPerRow; ++i) {
      const int c = str->getChar();
      if (c == EOF) {
        ended = true;
        break;
      }
      for (int bit = 0; bit < 8; ++bit) {
        const int x = 8 * i + bit;
        if (x >= width) break;
        row[x] = (c & (0x80 >> bit)) != 0 ? grey1 : grey0;
      }
    }
    if (!RowRead(y, height)) break;
  }
  str->close();
  orla::UnlockBlock(m_hDIB);
  if (m_bStopped) FreeDib();
}

void DIBOutputDev::drawImageMask(GfxState*, Object*, Stream* str, int width, int height, bool invert, bool,
                                 bool) {
  if (m_bStopped) return;
  m_bImageDrawn = true;
  FreeDib();
  // Without inversion a clear sample is painted with the fill colour (ink, black) and a set one
  // leaves the paper white; an inverted mask paints the set samples.
  DrawBilevel(str, width, height, invert ? 255 : 0, invert ? 0 : 255);
}

void DIBOutputDev::drawImage(GfxState*, Object*, Stream* str, int width, int height, GfxImageColorMap* colorMap,
                             bool, const int*, bool) {
  if (m_bStopped) return;
  m_bImageDrawn = true;
  FreeDib();
  if (colorMap == nullptr) return;
  const int components = colorMap->getNumPixelComps();
  const int bits = colorMap->getBits();

  if (components == 1 && bits == 1) {
    // Through the colour map, so that a /Decode [1 0] or an indexed palette keeps its meaning.
    GfxGray gray0 = 0, gray1 = 0;
    const unsigned char sample0 = 0, sample1 = 1;
    colorMap->getGray(&sample0, &gray0);
    colorMap->getGray(&sample1, &gray1);
    DrawBilevel(str, width, height, GreyByte(gray0), GreyByte(gray1));
    return;
  }
  if (bits != 8) return;

  std::int64_t stride = 0;
  std::uint8_t* dib = NewGreyDib(width, height, stride);
  if (dib == nullptr) return;
  std::uint8_t* pixels = dib + 1064;
  auto image = std::make_unique<ImageStream>(str, width, components, 8);
  image->reset();
  for (int y = 0; y < height; ++y) {
    // getLine gives null at the end of the data, and for a line too long for the library.
    const unsigned char* line = image->getLine();
    if (line == nullptr) break;
    std::uint8_t* row = pixels + (height - 1 - y) * stride;
    for (int x = 0; x < width; ++x, line += components) {
      GfxGray gray = 0;
      colorMap->getGray(line, &gray);
      row[x] = GreyByte(gray);
    }
    if (!RowRead(y, height)) break;
  }
  image->close();
  orla::UnlockBlock(m_hDIB);
  if (m_bStopped) FreeDib();
}
