#pragma once
// The PDF output device that keeps a page's scanned image. It draws nothing: text and vector
// drawing fall to the base class, which ignores them, and every raster image the page draws
// replaces the kept bitmap, so after the page is displayed the device holds its last image at
// the image's own pixel size, with no geometry applied. Compiled by g++ only (poppler headers).

#include <OutputDev.h>

#include "packed_dib.h"
#include "read_progress.h"

class DIBOutputDev : public OutputDev {
 public:
  DIBOutputDev() = default;
  ~DIBOutputDev() override;
  DIBOutputDev(const DIBOutputDev&) = delete;
  DIBOutputDev& operator=(const DIBOutputDev&) = delete;

  bool upsideDown() override { return true; }
  bool useDrawChar() override { return false; }
  bool interpretType3Chars() override { return false; }
  // poppler hands images to a device only when it asks for non-text drawing.
  bool needNonText() override { return true; }

  void drawImageMask(GfxState* state, Object* ref, Stream* str, int width, int height, bool invert,
                     bool interpolate, bool inlineImg) override;
  void drawImage(GfxState* state, Object* ref, Stream* str, int width, int height, GfxImageColorMap* colorMap,
                 bool interpolate, const int* maskColors, bool inlineImg) override;

  virtual bool isOk() { return m_ok != 0; }

  // Told of the rows of every image as they are read; null reads on without telling. When it
  // asks to stop, the image being read is dropped, no later one is read, and the display's
  // abort check (StopCheck) ends the page.
  void SetReadProgress(orla::ReadProgress* progress) { m_pProgress = progress; }
  bool Stopped() const { return m_bStopped; }
  // The abort check for PDFDoc::displayPage, with the device as its data: between the page's
  // drawing operations it keeps the read progress told, and says whether to stop.
  static bool StopCheck(void* device);

  // The bitmap of the last image drawn, or null; owned by the device.
  PackedDib m_hDIB = nullptr;
  // The page drew a raster image, of a kind read or not: a page without one (text or vector
  // drawing alone) has no image at all, which is not the same as an image that cannot be read.
  bool m_bImageDrawn = false;

 private:
  void FreeDib();
  // A zeroed 8-bit bitmap of `width` x `height` with the grey palette, locked; null (after
  // reporting why) when it cannot be had.
  std::uint8_t* NewGreyDib(int width, int height, std::int64_t& stride);
  // Reads 1-bit rows with the two grey values the samples 0 and 1 stand for.
  void DrawBilevel(Stream* str, int width, int height, std::uint8_t grey0, std::uint8_t grey1);

  // One row of `height` read: false, with the device stopped, when the read progress asks.
  bool RowRead(int row, int height);

  int m_ok = 1;
  orla::ReadProgress* m_pProgress = nullptr;
  bool m_bStopped = false;
};
