#pragma once
// The in-memory raster image of one page. The recognizer reads 8-bit pages of it: grey value
// 0 is black, 255 white, and the grey value of pixel (x, y) is rows[y][x], rows[0] being the
// top line. The lines lie one after the other in one pixel block; the row table points into it.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "bitmap_headers.h"
#include "packed_dib.h"
#include "pixel_block.h"
#include "pixel_row.h"
#include "progress_sink.h"
#include "read_progress.h"

class CHalvoPic {
 public:
  using Row = orla::PixelRow;

  CHalvoPic();
  virtual ~CHalvoPic();
  CHalvoPic(const CHalvoPic&) = delete;
  // A deep copy; a page that already holds a block of the source's size copies into it.
  // Throws std::bad_alloc when memory runs out.
  CHalvoPic& operator=(const CHalvoPic& source);

  // 1 when loaded, 0 when the file cannot be opened or is not an uncompressed bottom-up BMP
  // of a sane size. A file that ends early still gives 1, the missing rows white, unless it
  // holds almost none of the rows of a large page.
  int LoadBmpFile(std::string path);
  // 1 when loaded, 0 when the block cannot be locked or its contents do not fit in it. With a
  // `progress`, the rows copied are reported to it, and 0 (no rows kept) when it asks to stop.
  int LoadFromDib(PackedDib dib, orla::ReadProgress* progress = nullptr);
  // Makes this image a white 8-bit page; 0 when memory runs out or the size is not sane.
  int CreateBlank8(std::int32_t newWidth, std::int32_t newHeight);
  // Writes an 8-bit grey copy of this image into `destination`; 0 for a bit count it does not
  // convert (after telling the operator) or when this image has no rows. With a `progress`,
  // the rows converted are reported to it, and 0 (the copy freed) when it asks to stop.
  int ConvertTo8Bit(CHalvoPic& destination, orla::ReadProgress* progress = nullptr) const;
  // Gives the pixel block back to the system.
  void Free();

  // True when the rows are 8-bit grey values already: 8 bits per pixel with the identity grey
  // ramp as palette. Every other page goes through ConvertTo8Bit before recognition, also an
  // 8-bit page whose rows are indices into a colour palette.
  bool IsGreyPage() const;

  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t stride = 0;
  std::int32_t dpiX = 0;
  std::int32_t dpiY = 0;
  std::vector<Row> rows;
  std::int32_t bitsPerPixel = 0;
  BmpFileHeader fileHeader{};
  BmpInfoHeader infoHeader{};
  std::array<RgbQuad, 256> palette{};
  orla::ProgressSink* progress = nullptr;  // not owned; null for scanned pages
  std::int32_t empty = 0;
  std::int32_t pageNumber = 1;

 private:
  // Makes the block hold `count` lines of `stride` bytes (keeping a block of that size) and
  // points the row table at them; false, with no rows, when memory runs out.
  bool ReserveRows(std::size_t count);
  // `height` rows of `stride` bytes filled with `fill`; false when memory runs out.
  bool AllocateRows(std::uint8_t fill);
  // CreateBlank8, its rows white, or (white false) of unspecified contents for a caller that
  // writes every byte of them.
  int Shape8(std::int32_t newWidth, std::int32_t newHeight, bool white);

  orla::PixelBlock pixels_;
};
