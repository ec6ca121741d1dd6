#pragma once
// A painted grey page in the forms ORLA reads: a CHalvoPic in memory, a BMP file, a packed
// bitmap, and JPEG, TIFF (one or more pages) and PDF (one or more pages) files made by the
// page readers' fixture writers with the real libraries. Every function returns false (or an
// empty result) when it cannot write, and leaves no half-written file claimed as written.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "grey_page.h"
#include "halvo_pic.h"
#include "mem_block.h"

namespace orla::pattern {

// Pixels per metre as a BMP writer stores a resolution: dpi / 0.0254, rounded.
std::int32_t PixelsPerMetreOf(int dpi);

// An 8-bit grey CHalvoPic with the page's pixels and dpi in both directions.
bool ToHalvoPic(const GreyPage& page, CHalvoPic& out);
// An 8-bit BMP file with a 256-entry grey palette, rows bottom-up.
std::vector<std::uint8_t> BmpFileBytes(const GreyPage& page);
bool WriteBmpFile(const GreyPage& page, const std::string& path);
// The same bitmap without its file header, in a movable block the caller frees.
MemBlock ToPackedDib(const GreyPage& page);

// A greyscale baseline JPEG with its resolution in dots per inch.
bool WriteJpegFile(const GreyPage& page, const std::string& path, int quality = 95);

enum class TiffCompression { None, Deflate, Lzw, PackBits };
// One directory per page, 8-bit minimum-is-black grey, resolutions in inches.
bool WriteTiffFile(std::span<const GreyPage> pages, const std::string& path,
                   TiffCompression compression = TiffCompression::Deflate);

// One PDF page per grey page, each drawing its image (an 8-bit DeviceGray image XObject,
// Flate-compressed) over the whole page. The reader keeps an image at its own pixel size and
// states no resolution, so the page's size in points does not matter.
std::vector<std::uint8_t> PdfFileBytes(std::span<const GreyPage> pages);
bool WritePdfFile(std::span<const GreyPage> pages, const std::string& path);

}  // namespace orla::pattern
