#pragma once
// The record behind a PdfDibHandle. Only the PDF reader and its tests see it (poppler types).

#include <goo/GooString.h>
#include <PDFDoc.h>

#include <memory>

#include "dib_output_dev.h"

inline constexpr float kPdfDibMagic = 1.0f;

struct PdfDibHandle {
  float magic = kPdfDibMagic;  // every operation but PdfDib_ReleasePage refuses a handle without it
  char tag[16] = "20110705";
  std::unique_ptr<PDFDoc> document;
  const GooString* fileName = nullptr;  // the document's own copy of the name
  int dpi = 0;
  std::unique_ptr<DIBOutputDev> pageDevice;  // device of the page last rendered, or null
};

// Renders page `page` (from 1) into a new page device and returns its bitmap, or 0; 0 also
// when `progress`, told of the rows read, asks to stop.
PackedDib PdfDib_RenderPage(PdfDibHandle* handle, int page, orla::ReadProgress* progress = nullptr);
