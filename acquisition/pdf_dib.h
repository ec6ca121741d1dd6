#pragma once
// PDF pages to packed bitmaps, behind one opaque handle. Neutral interface: no library or
// Windows types, so the winelib side can call it.
//
// Use: open; page count; for each page: get its bitmap, load it, release the page; close.

#include "packed_dib.h"
#include "read_progress.h"

struct PdfDibHandle;

// Opens `fileName` (passwords may be null or empty; `dpi` is the display resolution). Null
// when the name is empty or the document cannot be opened.
PdfDibHandle* PdfDib_Open(const char* fileName, const char* ownerPassword, const char* userPassword, int dpi);
// Pages of the document; 0 for a null or foreign handle.
int PdfDib_GetPageCount(PdfDibHandle* handle);
// The last raster image of page `page` (from 1) as an 8-bit grey bitmap, or 0 when the page
// is out of range or draws no image of a supported kind. The bitmap stays owned by the handle:
// read it, never free it; it lives until PdfDib_ReleasePage, the next page or PdfDib_Close.
// `progress` is told of the rows read as they come; when it asks to stop, the page ends there
// and gives 0.
PackedDib PdfDib_GetPageDib(PdfDibHandle* handle, int page, orla::ReadProgress* progress = nullptr);
// 1 when the page last rendered drew no raster image at all, only text or vector drawing (a
// page with nothing to search, unlike one whose image is of a kind not read); 0 when it drew
// one, when its reading was stopped, when no page is rendered, and for a null or foreign
// handle.
int PdfDib_PageHasNoImage(PdfDibHandle* handle);
// Frees the page's bitmap. A null handle is ignored.
void PdfDib_ReleasePage(PdfDibHandle* handle);
// Frees the page, the document and the handle. A null or foreign handle is ignored.
void PdfDib_Close(PdfDibHandle* handle);
