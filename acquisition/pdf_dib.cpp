#include "pdf_dib.h"

#include <GlobalParams.h>

#include <optional>

#include "pdf_dib_handle.h"

namespace {

// poppler keeps one process-wide configuration object. It is made when the first document
// opens and deleted when the last one closes, never from under another open document; one
// that someone else made is left alone.
int g_openDocuments = 0;
bool g_ownGlobalParams = false;

void AcquireGlobalParams() {
  if (g_openDocuments++ == 0 && !globalParams) {
    globalParams = std::make_unique<GlobalParams>();
    g_ownGlobalParams = true;
  }
}

void ReleaseGlobalParams() {
  if (--g_openDocuments == 0 && g_ownGlobalParams) {
    globalParams.reset();
    g_ownGlobalParams = false;
  }
}

std::optional<GooString> Password(const char* text) {
  if (text == nullptr || *text == '\0') return std::nullopt;
  return GooString(text);
}

bool IsValid(const PdfDibHandle* handle) { return handle != nullptr && handle->magic == kPdfDibMagic; }

}  // namespace

PdfDibHandle* PdfDib_Open(const char* fileName, const char* ownerPassword, const char* userPassword, int dpi) {
  if (fileName == nullptr || *fileName == '\0') return nullptr;
  auto handle = std::make_unique<PdfDibHandle>();
  handle->dpi = dpi;
  AcquireGlobalParams();
  handle->document = std::make_unique<PDFDoc>(std::make_unique<GooString>(fileName), Password(ownerPassword),
                                              Password(userPassword));
  if (!handle->document->isOk()) {
    handle->document.reset();
    ReleaseGlobalParams();
    return nullptr;
  }
  handle->fileName = handle->document->getFileName();
  return handle.release();
}

int PdfDib_GetPageCount(PdfDibHandle* handle) {
  if (!IsValid(handle)) return 0;
  return handle->document->getNumPages();
}

PackedDib PdfDib_RenderPage(PdfDibHandle* handle, int page, orla::ReadProgress* progress) {
  if (!IsValid(handle)) return nullptr;
  handle->pageDevice.reset();
  if (page < 1 || page > handle->document->getNumPages()) return nullptr;
  auto device = std::make_unique<DIBOutputDev>();
  if (!device->isOk()) return nullptr;
  device->SetReadProgress(progress);
  handle->pageDevice = std::move(device);
  const double dpi = handle->dpi;
  DIBOutputDev* const pageDevice = handle->pageDevice.get();
  handle->document->displayPage(pageDevice, page, dpi, dpi, 0, true, false, false,
                                progress != nullptr ? DIBOutputDev::StopCheck : nullptr, pageDevice);
  pageDevice->SetReadProgress(nullptr);
  return pageDevice->Stopped() ? nullptr : pageDevice->m_hDIB;
}

PackedDib PdfDib_GetPageDib(PdfDibHandle* handle, int page, orla::ReadProgress* progress) {
  return PdfDib_RenderPage(handle, page, progress);
}

int PdfDib_PageHasNoImage(PdfDibHandle* handle) {
  if (!IsValid(handle) || handle->pageDevice == nullptr || handle->pageDevice->Stopped()) return 0;
  return handle->pageDevice->m_bImageDrawn ? 0 : 1;
}

void PdfDib_ReleasePage(PdfDibHandle* handle) {
  if (handle == nullptr) return;
  handle->pageDevice.reset();
}

void PdfDib_Close(PdfDibHandle* handle) {
  if (!IsValid(handle)) return;
  std::unique_ptr<PdfDibHandle> owned(handle);
  owned->pageDevice.reset();
  owned->document.reset();
  owned.reset();
  ReleaseGlobalParams();
}
