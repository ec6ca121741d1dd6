// The faces ORLA's windows draw with are real faces in the prefix, not stand-ins GDI picked
// for a missing one: Marlett, whose letters are the title bar's minimise, maximise and close
// symbols (without it they show as "0 1 r"), the dialogs' "MS Shell Dlg" and the system's
// caption, menu and message fonts. Prints what GDI maps each face to.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "wine_check.h"

namespace {

struct FaceSearch {
  std::u16string face;
  BYTE charset = DEFAULT_CHARSET;
  bool found = false;
};

int CALLBACK NoteFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM param) {
  auto* search = reinterpret_cast<FaceSearch*>(param);
  // Only an outline font scales to every title bar height.
  if (std::u16string(reinterpret_cast<const char16_t*>(font->lfFaceName)) == search->face &&
      (type & TRUETYPE_FONTTYPE) != 0) {
    search->found = true;
    search->charset = font->lfCharSet;
  }
  return 1;
}

// The faces the system lists under `face`, as an application that enumerates fonts sees them.
FaceSearch Enumerate(HDC dc, const std::u16string& face) {
  FaceSearch search{face};
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  face.copy(reinterpret_cast<char16_t*>(wanted.lfFaceName), LF_FACESIZE - 1);
  EnumFontFamiliesExW(dc, &wanted, NoteFace, reinterpret_cast<LPARAM>(&search), 0);
  return search;
}

struct Mapped {
  std::u16string family;
  BYTE charset = 0;
};

// The family of the outline face GDI realises for a font asked for as a window asks for it:
// the face's own name, which a substituted name such as "MS Shell Dlg" does not hide. Empty
// when GDI realised no outline face.
Mapped MapFont(HDC dc, LOGFONTW wanted) {
  Mapped mapped;
  HFONT font = CreateFontIndirectW(&wanted);
  if (font == nullptr) return mapped;
  HGDIOBJ old = SelectObject(dc, font);
  const UINT size = GetOutlineTextMetricsW(dc, 0, nullptr);
  if (size != 0) {
    std::vector<char> buffer(size);
    auto* metrics = reinterpret_cast<OUTLINETEXTMETRICW*>(buffer.data());
    if (GetOutlineTextMetricsW(dc, size, metrics) != 0) {
      mapped.family = reinterpret_cast<const char16_t*>(buffer.data() +
                                                        reinterpret_cast<std::uintptr_t>(metrics->otmpFamilyName));
    }
  }
  mapped.charset = static_cast<BYTE>(GetTextCharset(dc));
  SelectObject(dc, old);
  DeleteObject(font);
  return mapped;
}

LOGFONTW Asked(const std::u16string& face, BYTE charset, LONG height) {
  LOGFONTW font{};
  font.lfHeight = height;
  font.lfCharSet = charset;
  face.copy(reinterpret_cast<char16_t*>(font.lfFaceName), LF_FACESIZE - 1);
  return font;
}

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

}  // namespace

int main() {
  HDC dc = GetDC(nullptr);
  CHECK(dc != nullptr);
  if (dc == nullptr) return wine_check::Finish("window_fonts");

  // Marlett as the title bar asks for it: by name, in the symbol character set.
  const FaceSearch marlett = Enumerate(dc, u"Marlett");
  CHECK(marlett.found);
  CHECK(marlett.charset == SYMBOL_CHARSET);
  const Mapped titleSymbols = MapFont(dc, Asked(u"Marlett", SYMBOL_CHARSET, -13));
  std::printf("Marlett maps to %s (character set %d)\n", Narrow(titleSymbols.family).c_str(), titleSymbols.charset);
  CHECK(titleSymbols.family == u"Marlett");
  CHECK(titleSymbols.charset == SYMBOL_CHARSET);

  // The dialog templates' font is a name the system substitutes; the face behind it must exist.
  const Mapped dialogs = MapFont(dc, Asked(u"MS Shell Dlg", DEFAULT_CHARSET, -11));
  std::printf("MS Shell Dlg maps to %s\n", Narrow(dialogs.family).c_str());
  CHECK(dialogs.family == u"Tahoma");
  CHECK(Enumerate(dc, u"Tahoma").found);

  // The system's own window fonts: caption, small caption, menu, status and message boxes. Each
  // names its face, or the dialogs' substituted name.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  CHECK(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) != FALSE);
  const std::vector<std::pair<const char*, LOGFONTW>> systemFonts = {
      {"caption", metrics.lfCaptionFont}, {"small caption", metrics.lfSmCaptionFont},
      {"menu", metrics.lfMenuFont},       {"status", metrics.lfStatusFont},
      {"message", metrics.lfMessageFont}};
  for (const auto& [what, font] : systemFonts) {
    const std::u16string asked(reinterpret_cast<const char16_t*>(font.lfFaceName));
    const Mapped mapped = MapFont(dc, font);
    std::printf("%s font %s maps to %s\n", what, Narrow(asked).c_str(), Narrow(mapped.family).c_str());
    CHECK(!asked.empty() && mapped.family == (asked == u"MS Shell Dlg" ? u"Tahoma" : asked));
  }

  ReleaseDC(nullptr, dc);
  return wine_check::Finish("window_fonts");
}
