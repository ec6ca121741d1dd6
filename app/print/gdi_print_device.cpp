#include "print/gdi_print_device.h"

#include <cstdint>
#include <cstring>
#include <utility>

namespace orla {
namespace {

int Length(std::string_view text) {
  return text.size() < INT32_MAX ? static_cast<int>(text.size()) : INT32_MAX;
}

}  // namespace

GdiPrintDevice::GdiPrintDevice(HDC dc, Ownership ownership) : dc_(dc), ownership_(ownership) {}

GdiPrintDevice::~GdiPrintDevice() {
  if (dc_ != nullptr && originalFont_ != nullptr) SelectObject(dc_, originalFont_);
  for (HFONT font : fonts_) DeleteObject(font);
  if (dc_ != nullptr && ownership_ == Ownership::Owned) DeleteDC(dc_);
}

int GdiPrintDevice::CreatePrintFont(const PrintFont& font) {
  LOGFONTA logFont{};
  logFont.lfHeight = font.height;
  logFont.lfWeight = font.weight;
  logFont.lfCharSet = font.charSet;
  logFont.lfPitchAndFamily = font.pitchAndFamily;
  const std::size_t faceLength =
      font.face.size() < sizeof logFont.lfFaceName ? font.face.size() : sizeof logFont.lfFaceName - 1;
  std::memcpy(logFont.lfFaceName, font.face.data(), faceLength);
  HFONT made = CreateFontIndirectA(&logFont);
  if (made == nullptr) return -1;
  fonts_.push_back(made);
  return static_cast<int>(fonts_.size()) - 1;
}

void GdiPrintDevice::SelectPrintFont(int font) {
  if (font < 0 || std::cmp_greater_equal(font, fonts_.size())) return;
  HGDIOBJ previous = SelectObject(dc_, fonts_[font]);
  if (originalFont_ == nullptr) originalFont_ = previous;
}

TextExtent GdiPrintDevice::MeasureText(std::string_view text) {
  SIZE size{};
  if (!GetTextExtentPoint32A(dc_, text.data(), Length(text), &size)) return {};
  return {size.cx, size.cy};
}

void GdiPrintDevice::DrawTextAt(std::int32_t x, std::int32_t y, std::string_view text) {
  TextOutA(dc_, x, y, text.data(), Length(text));
}

void GdiPrintDevice::DrawDottedRule(std::int32_t x1, std::int32_t x2, std::int32_t y) {
  HPEN pen = CreatePen(PS_DOT, 0, RGB(0, 0, 0));
  if (pen == nullptr) return;
  HGDIOBJ previous = SelectObject(dc_, pen);
  MoveToEx(dc_, x1, y, nullptr);
  LineTo(dc_, x2, y);
  SelectObject(dc_, previous);
  DeleteObject(pen);
}

}  // namespace orla
