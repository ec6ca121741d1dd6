#pragma once
// TIFF pages to packed bitmaps. Neutral interface: no library or Windows types, so the winelib
// side can call it.

#include <cstdint>
#include <string>
#include <vector>

#include "packed_dib.h"
#include "read_progress.h"

// One listed page of a TIFF file.
struct TiffPageInfo {
  std::int32_t width = 0;           // ImageWidth
  std::int32_t length = 0;          // ImageLength
  std::int32_t directoryIndex = 0;  // 0-based TIFF directory
  std::int32_t bitsPerSample = 0;   // BitsPerSample, 0 when the tag is absent
  std::string name;                 // "image%d" of the directory index
};

// Appends one entry per usable directory of `fileName`, in directory order, and returns how
// many it appended (0 when the file cannot be opened). A directory without a width or length,
// or one that cannot be read, is not listed. The caller empties the list beforehand.
int ListTiffPages(std::vector<TiffPageInfo>& pages, const char* fileName);

// Reads directory `directoryIndex` of `fileName` into a new 24-bit packed bitmap owned by the
// caller, transparent parts laid over white paper. The file is opened anew on every call.
// 0 when the file or the directory cannot be read or the page is too large, and when
// `progress`, told of the lines read as they come, asks to stop.
PackedDib LoadTiffPageAsDib(const char* fileName, std::int32_t directoryIndex,
                            orla::ReadProgress* progress = nullptr);

// Turns a libtiff RGBA raster (bytes R, G, B, A per pixel, alpha already premultiplied into
// the colours) in place into bytes B, G, R, A of the pixel laid over white paper: each colour
// c becomes c + 255 - a. Opaque pixels keep their colours exactly.
void PremultiplyAndSwapRB(std::uint32_t* pixels, std::int32_t width, std::int32_t height);

// The last warning or error libtiff reported to the readers (they show none to the user),
// empty when there was none.
std::string LastTiffDiagnostic();
