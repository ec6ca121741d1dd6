// The owner-drawn buttons on real Wine windows: each button is drawn by its own window
// (WM_PRINTCLIENT into a 32-bit DIB section, the parent reflecting WM_DRAWITEM to it) and
// read back pixel by pixel. Wine 8 has visual styles on, so the themed path runs; the classic
// path is reached by turning theming off for a window, without the theme library and with a
// library that lacks the theme functions.
//
// With "--screenshot FILE.bmp" (a host path) the program instead shows the five looks (normal, hot,
// pressed, disabled, default), themed and classic, and writes the screen's picture of them.

#include <windows.h>
// Wine's header declares the functions without C linkage.
extern "C" {
#include <uxtheme.h>
}
#include <vssym32.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "buttons/button_look.h"
#include "buttons/button_ve.h"
#include "buttons/button_ve_image.h"
#include "buttons/caption_format.h"
#include "buttons/image_placement.h"
#include "buttons/theme_library.h"
#include "dib_canvas.h"
#include "framework.h"
#include "gdi_object_count.h"
#include "wine_check.h"

namespace {

using namespace test_support;

constexpr COLORREF kUnpainted = RGB(1, 2, 3);
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 30;

// The test image as a bitmap; its magenta border is taken as transparent from the top-left
// pixel.
HBITMAP TestImage(COLORREF inner = kRed) {
  return PaintedBitmap(16, 12, [=](int x, int y) { return TestImagePixel(x, y, inner); });
}

bool IsImageColour(COLORREF c) { return c == kRed || c == kBlue; }

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  fw::DropTemporaries();
}

// A top-level window that reflects WM_DRAWITEM to its buttons, as the dialogs do.
class TestWindow : public CWnd {
 public:
  TestWindow(int x, int y, int width, int height) {
    static const bool registered = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = DefWindowProcW;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
      wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
      wc.lpszClassName = reinterpret_cast<LPCWSTR>(u"ButtonsTestWindow");
      return RegisterClassW(&wc) != 0;
    }();
    (void)registered;
    // Topmost: tests that run beside this one must not cover the buttons the pointer visits.
    CreateEx(WS_EX_TOPMOST, u"ButtonsTestWindow", u"Buttons", WS_POPUP | WS_VISIBLE | WS_CAPTION, x, y, width, height,
             nullptr, nullptr);
  }
  ~TestWindow() override { DestroyWindow(); }
};

// A button window bound to `button` the way a dialog control is.
void MakeButton(CButtonVE& button, CWnd& parent, int id, const char16_t* caption, DWORD style, int x, int y,
                int width = kButtonWidth, int height = kButtonHeight) {
  HWND window = CreateWindowExW(0, reinterpret_cast<LPCWSTR>(u"BUTTON"), reinterpret_cast<LPCWSTR>(caption),
                                WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | style, x, y, width, height, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  button.SubclassWindow(window);
}

// Gives the button the test image as its standard image; `image` keeps it.
void SetTestImage(CButtonVE& button, CBitmap& image) {
  image.Attach(TestImage());
  button.SendMessage(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(static_cast<HBITMAP>(image)));
}

// The button drawn by its own window into a canvas of its client size.
void Render(CButtonVE& button, DibCanvas& canvas) {
  canvas.Fill(kUnpainted);
  SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
  fw::DropTemporaries();
}

bool SameCanvas(const DibCanvas& a, const DibCanvas& b) {
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.At(x, y) != b.At(x, y)) return false;
  return true;
}

// The text rectangle the themed path works with: the theme's content rectangle.
orla::LayoutRect ThemedTextRect(HWND button, int state) {
  RECT client{};
  GetClientRect(button, &client);
  RECT content = client;
  HTHEME theme = OpenThemeData(button, reinterpret_cast<LPCWSTR>(u"Button"));
  HDC dc = GetDC(button);
  GetThemeBackgroundContentRect(theme, dc, BP_PUSHBUTTON, state, &client, &content);
  ReleaseDC(button, dc);
  CloseThemeData(theme);
  return {content.left, content.top, content.right, content.bottom};
}

// The classic text rectangle of a button that is not pushed: the frame's content moved up by one.
orla::LayoutRect ClassicTextRect(HWND button) {
  RECT client{};
  GetClientRect(button, &client);
  return {client.left + 4, client.top + 4 - 1, client.right - 4, client.bottom - 4};
}

orla::ImagePlacement Placement(const orla::LayoutRect& text, int captionWidth = 0, int captionHeight = 0,
                               int side = orla::kImageLeft, unsigned format = 0x25) {
  orla::ImagePlacementInput in;
  in.text = text;
  in.imageWidth = 16;
  in.imageHeight = 12;
  in.hasCaption = captionWidth > 0;
  in.captionWidth = captionWidth;
  in.captionHeight = captionHeight;
  in.side = side;
  in.format = format;
  return orla::PlaceImage(in);
}

// Where the red and blue inside of the test image lands for an image at (x, y).
bool ImageInsideAt(const DibCanvas& canvas, int x, int y) {
  const RECT found = canvas.Bounds(IsImageColour);
  const bool ok = found.left == x + 2 && found.top == y + 2 && found.right == x + 14 && found.bottom == y + 10 &&
                  canvas.At(x + 2, y + 2) == kBlue;
  if (!ok) {
    std::printf("  image inside at (%d,%d)-(%d,%d), expected (%d,%d)-(%d,%d)\n", int(found.left), int(found.top),
                int(found.right), int(found.bottom), x + 2, y + 2, x + 14, y + 10);
  }
  return ok;
}

SIZE TextExtent(HWND window, const char* text) {
  HDC dc = GetDC(window);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
  SIZE size{};
  GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
  if (old != nullptr) SelectObject(dc, old);
  ReleaseDC(window, dc);
  return size;
}

// Turns visual styles off for one window: a theme class list that names no class of the
// theme. (Wine refuses the usual empty names and keeps the window themed.)
void ThemingOff(HWND window) {
  SetWindowTheme(window, nullptr, reinterpret_cast<LPCWSTR>(u"NoThemeClass"));
  HTHEME theme = OpenThemeData(window, reinterpret_cast<LPCWSTR>(u"Button"));
  CHECK(theme == nullptr);
  if (theme != nullptr) CloseThemeData(theme);
}

// Swaps the process's theme library for the length of a scope.
class ThemeLibrarySwap {
 public:
  explicit ThemeLibrarySwap(HMODULE replacement) : saved_(g_hUxTheme) { g_hUxTheme = replacement; }
  ~ThemeLibrarySwap() { g_hUxTheme = saved_; }

 private:
  HMODULE saved_;
};

// ---- tests

void TestThemeLibrary() {
  CHECK(g_hUxTheme != nullptr);
  char path[MAX_PATH] = {};
  GetModuleFileNameA(g_hUxTheme, path, MAX_PATH);
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  CHECK(_strnicmp(path, system, std::strlen(system)) == 0);
  CHECK(CButtonVE_Helper::IsAppThemed() && CButtonVE_Helper::IsThemeActive());

  // A module without the theme functions: every call reaches its replacement.
  ThemeLibrarySwap swap(GetModuleHandleW(reinterpret_cast<LPCWSTR>(u"kernel32.dll")));
  RECT rect{0, 0, 10, 10};
  RECT content{};
  CHECK(!CButtonVE_Helper::IsAppThemed());
  CHECK(!CButtonVE_Helper::IsThemeActive());
  CHECK(CButtonVE_Helper::OpenThemeData(nullptr, u"Button") == nullptr);
  CHECK(CButtonVE_Helper::CloseThemeData(nullptr) == E_FAIL);
  CHECK(!CButtonVE_Helper::IsThemeBackgroundPartiallyTransparent(nullptr, 1, 1));
  CHECK(CButtonVE_Helper::DrawThemeParentBackground(nullptr, nullptr, &rect) == E_FAIL);
  CHECK(CButtonVE_Helper::DrawThemeBackground(nullptr, nullptr, 1, 1, &rect, nullptr) == E_FAIL);
  CHECK(CButtonVE_Helper::GetThemeBackgroundContentRect(nullptr, nullptr, 1, 1, &rect, &content) == E_FAIL);
  CHECK(CButtonVE_Helper::DrawThemeText(nullptr, nullptr, 1, 1, u"x", 1, 0, 0, &rect) == E_FAIL);
  g_hUxTheme = nullptr;
  CHECK(!CButtonVE_Helper::IsAppThemed());
  CHECK(CButtonVE_Helper::OpenThemeData(nullptr, u"Button") == nullptr);
}

void TestThemedImagePlacement(CWnd& parent) {
  CButtonVE_Image button;
  MakeButton(button, parent, 101, u"", BS_BITMAP, 10, 10);
  CBitmap image;
  SetTestImage(button, image);
  CHECK(!button.IsTimerRunning());
  DibCanvas canvas(kButtonWidth, kButtonHeight);
  Render(button, canvas);
  CHECK(button.IsTimerRunning());  // the first drawing starts the hover timer
  CHECK(button.ThemedState() == orla::kStateNormal);
  const orla::ImagePlacement place = Placement(ThemedTextRect(button, PBS_NORMAL));
  CHECK(ImageInsideAt(canvas, place.x, place.y));
  CHECK(canvas.Count([](COLORREF c) { return c == kMagenta; }) == 0);
  CHECK(canvas.Count([](COLORREF c) { return c == kUnpainted; }) == 0);

  // Right and bottom alignment by style.
  button.ModifyStyle(0, BS_RIGHT | BS_BOTTOM);
  Render(button, canvas);
  const orla::ImagePlacement farPlace = Placement(ThemedTextRect(button, PBS_NORMAL), 0, 0, orla::kImageLeft,
                                                  orla::TextFormatForStyle(button.GetStyle()));
  CHECK(ImageInsideAt(canvas, farPlace.x, farPlace.y));
  button.DestroyWindow();
  CHECK(!button.IsTimerRunning());
}

void TestClassicRoads(CWnd& parent) {
  CButtonVE_Image button;
  MakeButton(button, parent, 102, u"", BS_BITMAP, 10, 50);
  CBitmap image;
  SetTestImage(button, image);

  DibCanvas themed(kButtonWidth, kButtonHeight);
  Render(button, themed);

  // Theming turned off for the window.
  ThemingOff(button);
  DibCanvas classic(kButtonWidth, kButtonHeight);
  Render(button, classic);
  CHECK(!SameCanvas(themed, classic));
  const orla::ImagePlacement place = Placement(ClassicTextRect(button));
  CHECK(ImageInsideAt(classic, place.x, place.y));
  CHECK(classic.At(kButtonWidth - 1, kButtonHeight - 1) == GetSysColor(COLOR_3DDKSHADOW));
  CHECK(classic.At(5, 5) == GetSysColor(COLOR_BTNFACE));
  CHECK(classic.Count([](COLORREF c) { return c == kMagenta || c == kUnpainted; }) == 0);
  SetWindowTheme(button, nullptr, nullptr);

  // No theme library, and a library without the theme functions: the same classic look.
  {
    ThemeLibrarySwap swap(nullptr);
    DibCanvas canvas(kButtonWidth, kButtonHeight);
    Render(button, canvas);
    CHECK(SameCanvas(canvas, classic));
  }
  {
    ThemeLibrarySwap swap(GetModuleHandleW(reinterpret_cast<LPCWSTR>(u"kernel32.dll")));
    DibCanvas canvas(kButtonWidth, kButtonHeight);
    Render(button, canvas);
    CHECK(SameCanvas(canvas, classic));
  }
  DibCanvas again(kButtonWidth, kButtonHeight);
  Render(button, again);
  CHECK(SameCanvas(again, themed));

  // Classic and focused: a one-pixel frame in the text colour round the whole button, the
  // dotted focus rectangle 4 pixels in.
  ThemingOff(button);
  button.SetFocus();
  CHECK(GetFocus() == button.m_hWnd);
  DibCanvas focused(kButtonWidth, kButtonHeight);
  Render(button, focused);
  const COLORREF text = GetSysColor(COLOR_BTNTEXT);
  CHECK(focused.At(0, 0) == text && focused.At(kButtonWidth - 1, 0) == text &&
        focused.At(0, kButtonHeight - 1) == text);
  CHECK(classic.At(0, 0) != text);
  int changedOnFocusLine = 0;
  for (int y = 4; y < kButtonHeight - 4; ++y) changedOnFocusLine += focused.At(4, y) != classic.At(4, y) ? 1 : 0;
  CHECK(changedOnFocusLine >= (kButtonHeight - 8) / 3);
  CHECK(focused.At(5, 15) == classic.At(5, 15));
  ::SetFocus(nullptr);
  button.DestroyWindow();
}

void TestCaptionBesideImage(CWnd& parent) {
  CButtonVE_Image button;
  MakeButton(button, parent, 103, u"&Track", BS_BITMAP, 10, 90, 140, 40);
  CBitmap image;
  SetTestImage(button, image);
  ThemingOff(button);
  const SIZE caption = TextExtent(button, "Track");
  const COLORREF text = GetSysColor(COLOR_BTNTEXT);
  DibCanvas canvas(140, 40);
  RECT client{};
  GetClientRect(button, &client);
  const orla::LayoutRect textRect = ClassicTextRect(button);

  const int sides[] = {orla::kImageLeft, orla::kImageRight, orla::kImageAbove, orla::kImageBelow};
  for (const int side : sides) {
    button.SetImagePlacement(side);
    Render(button, canvas);
    const orla::ImagePlacement place = Placement(textRect, caption.cx, caption.cy, side);
    CHECK(ImageInsideAt(canvas, place.x, place.y));
    // The caption's pixels stand inside its own rectangle, beside the image.
    RECT inner{textRect.left, textRect.top + 1, textRect.right, textRect.bottom};
    const RECT glyphs = [&] {
      RECT found{1000, 1000, -1, -1};
      for (int y = inner.top; y < inner.bottom; ++y) {
        for (int x = inner.left; x < inner.right; ++x) {
          if (canvas.At(x, y) != text) continue;
          found = {std::min<LONG>(found.left, x), std::min<LONG>(found.top, y), std::max<LONG>(found.right, x + 1),
                   std::max<LONG>(found.bottom, y + 1)};
        }
      }
      return found;
    }();
    CHECK(glyphs.right > glyphs.left);
    switch (side) {
      case orla::kImageLeft:
        CHECK(glyphs.left >= place.x + 16 + 8 && glyphs.left <= place.x + 16 + 8 + 2);
        break;
      case orla::kImageRight:
        CHECK(glyphs.right <= place.x - 8 && glyphs.right >= place.x - 8 - 2);
        break;
      case orla::kImageAbove:
        CHECK(glyphs.top >= place.y + 12 + 1);
        break;
      case orla::kImageBelow:
        CHECK(glyphs.bottom <= place.y - 1);
        break;
    }
  }
  // With the default placement and centring the pair stands in the middle, 8 pixels apart.
  button.SetImagePlacement(orla::kImageLeft);
  Render(button, canvas);
  const orla::ImagePlacement place = Placement(textRect, caption.cx, caption.cy);
  CHECK(place.x - textRect.left == textRect.right - (place.x + 16 + 8 + caption.cx) ||
        place.x - textRect.left + 1 == textRect.right - (place.x + 16 + 8 + caption.cx));
  button.DestroyWindow();
}

void TestCaptionText(CWnd& parent) {
  CButtonVE button;
  MakeButton(button, parent, 104, u"Data && Time", 0, 10, 140, 140, 30);
  ThemingOff(button);
  {
    CClientDC dc(&button);
    HGDIOBJ old = dc.SelectObject(button.GetFont());
    const CRect rect(0, 0, 140, 30);
    const CSize measured = button.GetCaptionSize(&dc, "Data && Time", rect, DT_SINGLELINE);
    const CSize plain = dc.GetTextExtent("Data & Time", 11);
    CHECK(measured.cx == plain.cx && measured.cy == plain.cy);
    CHECK(button.GetCaptionSize(&dc, "&", rect, DT_SINGLELINE).cx == 0);
    // Several lines: the widest line, the height of all of them.
    const CSize lines = button.GetCaptionSize(&dc, "a\nlonger line", rect, 0);
    CHECK(lines.cx == dc.GetTextExtent("longer line", 11).cx);
    CHECK(lines.cy >= 2 * dc.GetTextExtent("a", 1).cy);
    if (old != nullptr) dc.SelectObject(old);
  }
  // A line feed on a single-line button shows as a blank; "&&" shows one "&", and a marked
  // character is underlined. (Wine 8's DrawText ignores DT_HIDEPREFIX, which hidden
  // accelerators add, so the underline stays there.)
  const CRect rect(0, 0, 140, 30);
  const auto draw = [&](DibCanvas& canvas, const char* caption, UINT uiState) {
    canvas.Fill(RGB(255, 255, 255));
    CDC* dc = CDC::FromHandle(canvas.dc());
    dc->SelectObject(button.GetFont());
    button.DrawCaptionText(dc, nullptr, uiState, rect, rect, rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE, TRUE,
                           caption);
  };
  DibCanvas withFeed(140, 30);
  DibCanvas withBlank(140, 30);
  draw(withFeed, "one\ntwo", 0);
  draw(withBlank, "one two", 0);
  CHECK(SameCanvas(withFeed, withBlank));
  DibCanvas doubled(140, 30);
  DibCanvas marked(140, 30);
  draw(doubled, "a && b", 0);
  draw(marked, "a &&& b", 0);
  CHECK(!SameCanvas(doubled, marked));
  fw::DropTemporaries();
  button.DestroyWindow();
}

// Answers WM_QUERYUISTATE with a state of the test's choice: Wine 8 keeps no UI state and
// always answers 0.
class UiStateButton : public CButtonVE {
 public:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_QUERYUISTATE) return uiState;
    return CButtonVE::WindowProc(message, wParam, lParam);
  }
  UINT uiState = 0;
};

// Classic and focused: hiding focus rectangles by the UI state leaves the frame in the text
// colour but drops the dotted rectangle; a UI-state update redraws.
void TestFocusAndUiState(CWnd& parent) {
  UiStateButton button;
  MakeButton(button, parent, 116, u"", 0, 10, 300);
  ThemingOff(button);
  DibCanvas unfocused(kButtonWidth, kButtonHeight);
  Render(button, unfocused);
  button.SetFocus();
  DibCanvas focused(kButtonWidth, kButtonHeight);
  Render(button, focused);
  CHECK(!SameCanvas(focused, unfocused));

  ValidateRect(button, nullptr);
  button.SendMessage(WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS));
  CHECK(GetUpdateRect(button, nullptr, FALSE));
  button.uiState = UISF_HIDEFOCUS;
  DibCanvas hidden(kButtonWidth, kButtonHeight);
  Render(button, hidden);
  CHECK(hidden.At(0, 0) == GetSysColor(COLOR_BTNTEXT));
  int dotted = 0;
  for (int y = 4; y < kButtonHeight - 4; ++y) dotted += hidden.At(4, y) != unfocused.At(4, y) ? 1 : 0;
  CHECK(dotted == 0);

  ::SetFocus(nullptr);
  button.DestroyWindow();
}

// A classic disabled caption is embossed: the highlight colour one pixel down and right, the
// shadow colour in place, no text colour.
void TestDisabledCaption(CWnd& parent) {
  CButtonVE button;
  MakeButton(button, parent, 117, u"Track", 0, 10, 300);
  ThemingOff(button);
  button.EnableWindow(FALSE);
  DibCanvas canvas(kButtonWidth, kButtonHeight);
  Render(button, canvas);
  const COLORREF shadow = GetSysColor(COLOR_3DSHADOW);
  const COLORREF highlight = GetSysColor(COLOR_3DHILIGHT);
  const RECT inner{4, 4, kButtonWidth - 4, kButtonHeight - 4};
  const auto countInside = [&](COLORREF colour) {
    int count = 0;
    for (int y = inner.top; y < inner.bottom; ++y)
      for (int x = inner.left; x < inner.right; ++x) count += canvas.At(x, y) == colour ? 1 : 0;
    return count;
  };
  CHECK(countInside(GetSysColor(COLOR_BTNTEXT)) == 0);
  CHECK(countInside(shadow) > 0);
  CHECK(countInside(highlight) > 0);
  const RECT glyphs = canvas.Bounds([&](COLORREF c) { return c == shadow; });
  bool raisedBelowRight = false;
  for (int y = glyphs.top; y < glyphs.bottom; ++y)
    for (int x = glyphs.left; x < glyphs.right; ++x)
      if (canvas.At(x, y) == shadow && canvas.At(x + 1, y + 1) == highlight) raisedBelowRight = true;
  CHECK(raisedBelowRight);
  button.DestroyWindow();
}

// Without a snapshot bitmap (a button of no size) a change of look shows at once: no fade.
void TestNoSnapshotNoFade(CWnd& parent) {
  CButtonVE button;
  MakeButton(button, parent, 118, u"", 0, 10, 300, 0, 0);
  DibCanvas canvas(1, 1);
  Render(button, canvas);
  KillTimer(button, CButtonVE::kHoverTimerId);
  CHECK(button.ThemedState() == orla::kStateNormal);
  button.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, FALSE);
  Render(button, canvas);
  CHECK(button.ThemedState() == orla::kStateDefaulted);
  CHECK(!button.HasSnapshot());
  CHECK(button.FadeStepsLeft() == 0);
  // The pulse starts with the next tick.
  button.SendMessage(WM_TIMER, CButtonVE::kHoverTimerId);
  CHECK(button.PulseCounter() == 1);
  button.DestroyWindow();
}

void TestDisabledLooks(CWnd& parent) {
  const COLORREF shadow = GetSysColor(COLOR_3DSHADOW);
  for (const bool themed : {true, false}) {
    CButtonVE_Image button;
    MakeButton(button, parent, 105, u"", BS_BITMAP, 10, 180);
    if (!themed) ThemingOff(button);
    CBitmap image;
    SetTestImage(button, image);
    button.EnableWindow(FALSE);
    DibCanvas canvas(kButtonWidth, kButtonHeight);
    Render(button, canvas);
    const orla::LayoutRect text = themed ? ThemedTextRect(button, PBS_DISABLED) : ClassicTextRect(button);
    const orla::ImagePlacement place = Placement(text);
    // Embossed: the shape in the shadow colour, the image's own colours gone.
    CHECK(canvas.Count(IsImageColour) == 0);
    bool shapeEmbossed = true;
    for (int y = place.y + 2; y < place.y + 10; ++y)
      for (int x = place.x + 2; x < place.x + 14; ++x) shapeEmbossed = shapeEmbossed && canvas.At(x, y) == shadow;
    CHECK(shapeEmbossed);
    CHECK(canvas.At(place.x + 14, place.y + 10) == GetSysColor(COLOR_3DHILIGHT));
    if (themed) CHECK(button.ThemedState() == orla::kStateDisabled);

    // With a disabled image of its own, that image shows as it is.
    button.SetDisabledImage(TestImage(kGreen), nullptr);
    Render(button, canvas);
    CHECK(canvas.Count([](COLORREF c) { return c == kRed; }) == 0);
    CHECK(canvas.Count([](COLORREF c) { return c == kGreen; }) == 12 * 8 - 1);
    CHECK(canvas.At(place.x + 2, place.y + 2) == kBlue);
    CHECK(canvas.At(place.x + 5, place.y + 5) == kGreen);
    button.DestroyWindow();
  }
}

void TestTransparentColourAndShadow(CWnd& parent) {
  CButtonVE_Image button;
  MakeButton(button, parent, 106, u"", BS_BITMAP, 10, 220);
  ThemingOff(button);
  CBitmap image;
  SetTestImage(button, image);
  const orla::ImagePlacement place = Placement(ClassicTextRect(button));
  DibCanvas plain(kButtonWidth, kButtonHeight);
  Render(button, plain);

  // A transparent colour of the program's choice: red is left out, the border shows.
  button.SetTransparentColor(kRed);
  DibCanvas canvas(kButtonWidth, kButtonHeight);
  Render(button, canvas);
  CHECK(canvas.Count([](COLORREF c) { return c == kRed; }) == 0);
  CHECK(canvas.At(place.x, place.y) == kMagenta);
  CHECK(canvas.At(place.x + 2, place.y + 2) == kBlue);
  CHECK(canvas.At(place.x + 5, place.y + 5) == GetSysColor(COLOR_BTNFACE));

  // The shadow darkens the face right of and under the shape, and leaves the image itself.
  button.SetTransparentColor(CButtonVE_Image::kTopLeftPixel);
  button.SetShadow(TRUE);
  Render(button, canvas);
  CHECK(ImageInsideAt(canvas, place.x, place.y));
  const int right = place.x + 14;
  const int below = place.y + 10;
  CHECK(GetGValue(canvas.At(right, place.y + 6)) < GetGValue(plain.At(right, place.y + 6)));
  CHECK(GetGValue(canvas.At(place.x + 8, below)) < GetGValue(plain.At(place.x + 8, below)));
  CHECK(canvas.At(place.x - 6, place.y + 6) == plain.At(place.x - 6, place.y + 6));
  button.DestroyWindow();
}

void TestIconImage(CWnd& parent) {
  // A 16 x 12 colour icon whose mask leaves the border out.
  HBITMAP color = TestImage();
  HBITMAP mask = PaintedBitmap(
      16, 12, [](int x, int y) { return (x < 2 || y < 2 || x >= 14 || y >= 10) ? RGB(255, 255, 255) : RGB(0, 0, 0); });
  ICONINFO info{TRUE, 0, 0, mask, color};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(color);
  DeleteObject(mask);
  CHECK(icon != nullptr);

  CButtonVE_Image button;
  MakeButton(button, parent, 107, u"", BS_ICON, 10, 260);
  ThemingOff(button);
  button.SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
  DibCanvas canvas(kButtonWidth, kButtonHeight);
  Render(button, canvas);
  const orla::ImagePlacement place = Placement(ClassicTextRect(button));
  CHECK(ImageInsideAt(canvas, place.x, place.y));

  // A monochrome icon stacks its two masks: it is as high as half its mask. Black inside,
  // the screen's colour round it.
  HBITMAP masks = CreateBitmap(16, 24, 1, 1, nullptr);
  {
    DibCanvas paint(16, 24, kWhite);
    for (int y = 2; y < 10; ++y)
      for (int x = 2; x < 14; ++x) paint.Set(x, y, kBlack);  // AND mask: opaque inside
    for (int y = 12; y < 24; ++y)
      for (int x = 0; x < 16; ++x) paint.Set(x, y, kBlack);  // XOR mask: black
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, masks);
    BitBlt(dc, 0, 0, 16, 24, paint.dc(), 0, 0, SRCCOPY);
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  ICONINFO monoInfo{TRUE, 0, 0, masks, nullptr};
  HICON mono = CreateIconIndirect(&monoInfo);
  DeleteObject(masks);
  CHECK(mono != nullptr);
  button.SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(mono));
  Render(button, canvas);
  const RECT inside{place.x + 2, place.y + 2, place.x + 14, place.y + 10};
  int black = 0;
  for (int y = 4; y < kButtonHeight - 4; ++y)
    for (int x = 4; x < kButtonWidth - 4; ++x) black += canvas.At(x, y) == kBlack ? 1 : 0;
  CHECK(black == 12 * 8);
  CHECK(canvas.At(inside.left, inside.top) == kBlack && canvas.At(inside.right - 1, inside.bottom - 1) == kBlack);
  button.DestroyWindow();
  DestroyIcon(icon);
  DestroyIcon(mono);
}

void TestHoverImage(CWnd& parent) {
  CButtonVE_Image button;
  MakeButton(button, parent, 108, u"", BS_BITMAP, 200, 10);
  ThemingOff(button);
  CBitmap image;
  SetTestImage(button, image);
  button.SetHoverImage(TestImage(kYellow), nullptr);
  DibCanvas canvas(kButtonWidth, kButtonHeight);
  KillTimer(button, CButtonVE::kHoverTimerId);

  RECT window{};
  button.GetWindowRect(&window);
  SetCursorPos(window.left + 20, window.top + 10);
  Pump();
  button.SendMessage(WM_TIMER, CButtonVE::kHoverTimerId);
  CHECK(button.IsHover());
  Render(button, canvas);
  CHECK(canvas.Count([](COLORREF c) { return c == kYellow; }) == 12 * 8 - 1);
  CHECK(canvas.Count([](COLORREF c) { return c == kRed; }) == 0);

  // Away from the button it shows its normal image again.
  SetCursorPos(0, 0);
  Pump();
  button.SendMessage(WM_TIMER, CButtonVE::kHoverTimerId);
  CHECK(!button.IsHover());
  Render(button, canvas);
  CHECK(canvas.Count([](COLORREF c) { return c == kYellow; }) == 0);
  CHECK(canvas.Count([](COLORREF c) { return c == kRed; }) == 12 * 8 - 1);
  button.DestroyWindow();
}

void TestMessages(CWnd& parent) {
  CButtonVE button;
  MakeButton(button, parent, 109, u"Go", 0, 200, 50);
  CHECK(button.SendMessage(WM_GETDLGCODE) == 0x2020);
  button.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  CHECK(button.IsDefaultButton());
  CHECK(button.SendMessage(WM_GETDLGCODE) == 0x2010);
  CHECK((button.GetStyle() & BS_TYPEMASK) == BS_OWNERDRAW);  // stays owner-drawn
  // Losing the default flag redraws at once.
  ValidateRect(button, nullptr);
  button.SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  CHECK(!button.IsDefaultButton());
  CHECK(GetUpdateRect(button, nullptr, FALSE));
  CHECK((button.GetStyle() & BS_TYPEMASK) == BS_OWNERDRAW);
  button.EnableWindow(FALSE);
  CHECK(button.SendMessage(WM_GETDLGCODE) == 0x2000);
  button.EnableWindow(TRUE);

  CHECK(button.SendMessage(WM_ERASEBKGND, 0) == 1);
  CHECK(button.SendMessage(BM_SETCHECK, 1) == 0);
  CHECK(button.SendMessage(BM_GETCHECK) == 1);
  button.SendMessage(BM_SETCHECK, 0);

  // A click on a push-like button toggles its check state; on a plain one it clears it.
  const LPARAM inside = MAKELPARAM(5, 5);
  button.ModifyStyle(0, BS_PUSHLIKE);
  for (const int expected : {1, 0, 1}) {
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, inside);
    CHECK((button.GetState() & BST_PUSHED) != 0);
    button.SendMessage(WM_LBUTTONUP, 0, inside);
    CHECK(button.SendMessage(BM_GETCHECK) == expected);
  }
  button.ModifyStyle(BS_PUSHLIKE, 0);
  button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, inside);
  button.SendMessage(WM_LBUTTONUP, 0, inside);
  CHECK(button.SendMessage(BM_GETCHECK) == 0);
  // A double click counts as a press.
  button.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, inside);
  CHECK((button.GetState() & BST_PUSHED) != 0);
  button.SendMessage(WM_LBUTTONUP, 0, inside);
  CHECK((button.GetState() & BST_PUSHED) == 0);
  Pump();
  button.DestroyWindow();
}

// Wine's theme draws the hot face like the defaulted one; this button paints its hot look
// green, so the pulse, which blends the hot look in, can be seen.
class GreenHotButton : public CButtonVE_Image {
 public:
  HRESULT DrawThemeBack(CDC* target, CDC* dc, HTHEME theme, int state, const CRect& rect, CRect* content) override {
    if (state != orla::kStateHot) return CButtonVE_Image::DrawThemeBack(target, dc, theme, state, rect, content);
    dc->FillSolidRect(rect, kGreen);
    *content = rect;
    ::InflateRect(content, -3, -3);
    return S_OK;
  }
};

void TestFadeAndPulse(CWnd& parent) {
  GreenHotButton button;
  MakeButton(button, parent, 110, u"", BS_BITMAP, 200, 90);
  CBitmap image;
  SetTestImage(button, image);
  DibCanvas canvas(kButtonWidth, kButtonHeight);
  Render(button, canvas);
  KillTimer(button, CButtonVE::kHoverTimerId);  // the test ticks by hand
  CHECK(button.ThemedState() == orla::kStateNormal);
  CHECK(!button.HasSnapshot());
  const auto tick = [&] { button.SendMessage(WM_TIMER, CButtonVE::kHoverTimerId); };

  // The mouse comes and goes: hot from normal in 2 steps, back to normal over 20. (Each
  // drawing measures the hover itself; no stray paint may draw before the test does.)
  RECT window{};
  button.GetWindowRect(&window);
  SetCursorPos(window.left + 20, window.top + 10);
  ValidateRect(button, nullptr);
  Pump();
  Render(button, canvas);
  CHECK(button.ThemedState() == orla::kStateHot);
  CHECK(button.FadeStepsLeft() == 2);
  SetCursorPos(0, 0);
  ValidateRect(button, nullptr);
  Pump();
  Render(button, canvas);
  CHECK(button.ThemedState() == orla::kStateNormal);
  CHECK(button.FadeStepsLeft() == 20 && button.FadeAlphaStep() == 12);
  for (int step = 19; step >= 0; --step) {
    tick();
    CHECK(button.FadeStepsLeft() == step);
  }

  // Normal to defaulted: a snapshot of the normal look and a 2-step fade.
  button.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, FALSE);
  Render(button, canvas);
  CHECK(button.ThemedState() == orla::kStateDefaulted);
  CHECK(button.HasSnapshot());
  CHECK(button.FadeStepsLeft() == 2 && button.FadeAlphaStep() == 125);
  DibCanvas fading(kButtonWidth, kButtonHeight);
  fading.Fill(kUnpainted);
  SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(fading.dc()), PRF_CLIENT);
  tick();
  CHECK(button.FadeStepsLeft() == 1);
  tick();
  CHECK(button.FadeStepsLeft() == 0);
  CHECK(button.PulseCounter() == 0);

  // The pulse: 1, 2, ... 40, 0, with a redraw on every even count.
  for (int expected = 1; expected <= 42; ++expected) {
    ValidateRect(button, nullptr);
    tick();
    const int counter = expected > 40 ? expected - 41 : expected;
    CHECK(button.PulseCounter() == counter);
    CHECK((GetUpdateRect(button, nullptr, FALSE) != FALSE) == (counter % 2 == 0));
  }
  // The pulse blends the hot look into the face inside the content rectangle shrunk by one
  // pixel: nothing at a count of 0, about half at 10, nearly all of it at 20.
  const orla::LayoutRect content = ThemedTextRect(button, PBS_DEFAULTED);
  const int px = content.left + 3;
  const int py = content.top + 3;
  while (button.PulseCounter() != 0) tick();
  DibCanvas quiet(kButtonWidth, kButtonHeight);
  Render(button, quiet);
  CHECK(GetGValue(quiet.At(px, py)) > 200 && GetRValue(quiet.At(px, py)) > 200);
  while (button.PulseCounter() != 10) tick();
  DibCanvas half(kButtonWidth, kButtonHeight);
  Render(button, half);
  const int r = GetRValue(quiet.At(px, py));
  const int g = GetGValue(quiet.At(px, py));
  CHECK(Near(half.At(px, py), RGB(r * 130 / 255, (160 * 125 + g * 130) / 255, r * 130 / 255), 3));
  while (button.PulseCounter() != 20) tick();
  DibCanvas peak(kButtonWidth, kButtonHeight);
  Render(button, peak);
  CHECK(Near(peak.At(px, py), RGB(r * 5 / 255, (160 * 250 + g * 5) / 255, r * 5 / 255), 3));
  // The image stays on top of the pulse, where it belongs.
  const orla::ImagePlacement place = Placement(content);
  CHECK(ImageInsideAt(peak, place.x, place.y));

  // Disabled: the default flag goes until the next BM_SETSTYLE; a 4-step fade.
  button.EnableWindow(FALSE);
  Render(button, canvas);
  CHECK(button.ThemedState() == orla::kStateDisabled);
  CHECK(!button.IsDefaultButton());
  CHECK(button.FadeStepsLeft() == 4 && button.FadeAlphaStep() == 62);
  button.EnableWindow(TRUE);
  Render(button, canvas);
  CHECK(button.ThemedState() == orla::kStateNormal);
  button.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, FALSE);
  Render(button, canvas);
  CHECK(button.ThemedState() == orla::kStateDefaulted);

  // Pressed from defaulted: 2 steps.
  button.SendMessage(BM_SETSTATE, TRUE);
  Render(button, canvas);
  CHECK(button.ThemedState() == orla::kStatePressed);
  CHECK(button.FadeStepsLeft() == 2);
  button.SendMessage(BM_SETSTATE, FALSE);
  Render(button, canvas);
  CHECK(button.ThemedState() == orla::kStateDefaulted);
  CHECK(button.HasSnapshot());

  // A colour-scheme change drops the snapshot (and redraws in the same look, taking none).
  button.SendMessage(WM_SYSCOLORCHANGE);
  CHECK(!button.HasSnapshot());
  button.DestroyWindow();
}

void TestNoLeakWhileRedrawing(CWnd& parent) {
  HBITMAP color = TestImage();
  HBITMAP mask = PaintedBitmap(16, 12, [](int, int) { return RGB(0, 0, 0); });
  ICONINFO info{TRUE, 0, 0, mask, color};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);

  CButtonVE_Image pulsing;
  CButtonVE_Image iconButton;
  CButtonVE_Image classic;
  MakeButton(pulsing, parent, 111, u"Track", BS_BITMAP, 200, 130, 140, 30);
  MakeButton(iconButton, parent, 112, u"&Icon", BS_ICON, 200, 170, 140, 30);
  MakeButton(classic, parent, 113, u"Old", BS_BITMAP, 200, 210, 140, 30);
  ThemingOff(classic);
  pulsing.SendMessage(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(color));
  classic.SendMessage(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(color));
  iconButton.SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
  pulsing.SetShadow(TRUE);
  iconButton.SetShadow(TRUE);
  classic.SetShadow(TRUE);
  pulsing.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, FALSE);
  iconButton.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, FALSE);
  classic.SetFocus();

  DibCanvas canvas(140, 30);
  CButtonVE_Image* buttons[] = {&pulsing, &iconButton, &classic};
  const auto redraw = [&](int round) {
    for (CButtonVE_Image* button : buttons) {
      button->SendMessage(WM_TIMER, CButtonVE::kHoverTimerId);
      // Now and then a change of look, so snapshots and fades come and go too.
      if (round % 50 == 25) button->EnableWindow(FALSE);
      if (round % 50 == 30) {
        button->EnableWindow(TRUE);
        button->SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, FALSE);
      }
      RedrawWindow(*button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      Render(*button, canvas);
    }
  };
  for (int round = 0; round < 60; ++round) redraw(round);  // caches GDI keeps for itself
  const int before = test_support::GdiObjectCount();
  CHECK(before > 0);  // a count that cannot be read would compare equal to itself
  for (int round = 0; round < 400; ++round) redraw(round);
  const int after = test_support::GdiObjectCount();
  if (after != before) std::printf("  GDI objects: %d before, %d after\n", before, after);
  CHECK(after == before);
  CHECK(pulsing.ThemedState() == orla::kStateDefaulted);

  for (CButtonVE_Image* button : buttons) button->DestroyWindow();
  DeleteObject(color);
  DestroyIcon(icon);
}

// Counts its own destruction.
class CountedButton : public CButtonVE {
 public:
  explicit CountedButton(int* destroyed) : destroyed_(destroyed) {}
  ~CountedButton() override { ++*destroyed_; }

 private:
  int* destroyed_;
};

void TestSelfDeletion(CWnd& parent) {
  int destroyed = 0;
  // A button that makes its own window belongs to that window: heap-made, deleted by it.
  auto* own = new CountedButton(&destroyed);
  CHECK(own->Create(u"Own", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(200, 250, 260, 280), &parent, 114));
  HWND window = own->m_hWnd;
  CHECK(destroyed == 0);
  ::DestroyWindow(window);
  CHECK(destroyed == 1);

  // One bound to an existing control stays its owner's.
  {
    CountedButton bound(&destroyed);
    MakeButton(bound, parent, 115, u"Bound", 0, 200, 250);
    bound.DestroyWindow();
    CHECK(destroyed == 1);
    CHECK(bound.m_hWnd == nullptr);
  }
  CHECK(destroyed == 2);
}

// Version 6 of the common controls, as the program's manifest asks for: buttons made while
// this context is active are comctl32's own button class.
class CommonControls6 {
 public:
  CommonControls6() {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    path_ = std::string(folder) + "orla_buttons_test.manifest";
    static const char manifest[] =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"><dependency>"
        "<dependentAssembly><assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" "
        "version=\"6.0.0.0\" processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"/>"
        "</dependentAssembly></dependency></assembly>";
    HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, manifest, sizeof(manifest) - 1, &written, nullptr);
    CloseHandle(file);
    ACTCTXA request{};
    request.cbSize = sizeof(request);
    request.lpSource = path_.c_str();
    context_ = CreateActCtxA(&request);
    active_ = context_ != INVALID_HANDLE_VALUE && ActivateActCtx(context_, &cookie_);
  }
  ~CommonControls6() {
    if (active_) DeactivateActCtx(0, cookie_);
    if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
    DeleteFileA(path_.c_str());
  }
  bool active() const { return active_; }

 private:
  std::string path_;
  HANDLE context_ = INVALID_HANDLE_VALUE;
  ULONG_PTR cookie_ = 0;
  bool active_ = false;
};

// Which module's window procedure a button class has.
std::string ButtonClassModule() {
  HWND probe = CreateWindowExW(0, reinterpret_cast<LPCWSTR>(u"BUTTON"), nullptr, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  HMODULE owner = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(GetWindowLongPtrW(probe, GWLP_WNDPROC)), &owner);
  char name[MAX_PATH] = {};
  GetModuleFileNameA(owner, name, MAX_PATH);
  ::DestroyWindow(probe);
  const char* slash = std::strrchr(name, '\\');
  return slash != nullptr ? slash + 1 : name;
}

void RunButtonTests(bool withLeakTest) {
  std::printf("buttons of %s\n", ButtonClassModule().c_str());
  TestWindow window(300, 300, 400, 340);
  TestThemedImagePlacement(window);
  TestClassicRoads(window);
  TestCaptionBesideImage(window);
  TestCaptionText(window);
  TestFocusAndUiState(window);
  TestDisabledCaption(window);
  TestNoSnapshotNoFade(window);
  TestDisabledLooks(window);
  TestTransparentColourAndShadow(window);
  TestIconImage(window);
  TestHoverImage(window);
  TestMessages(window);
  TestFadeAndPulse(window);
  if (withLeakTest) TestNoLeakWhileRedrawing(window);
  TestSelfDeletion(window);
}

// ---- the five looks on screen

bool WriteBmp(const char* path, const DibCanvas& canvas) {
  std::vector<std::uint8_t> rows;
  const int width = canvas.width();
  const int height = canvas.height();
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const COLORREF c = canvas.At(x, y);
      rows.push_back(GetBValue(c));
      rows.push_back(GetGValue(c));
      rows.push_back(GetRValue(c));
      rows.push_back(0);
    }
  }
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(rows.size());
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 32;
  FILE* out = std::fopen(path, "wb");
  if (out == nullptr) return false;
  std::fwrite(&file, sizeof(file), 1, out);
  std::fwrite(&info, sizeof(info), 1, out);
  std::fwrite(rows.data(), 1, rows.size(), out);
  return std::fclose(out) == 0;
}

int ShowFiveLooks(const char* path) {
  TestWindow window(100, 100, 580, 200);
  const char16_t* captions[] = {u"Normal", u"Hot", u"Pressed", u"Disabled", u"Default"};
  CButtonVE_Image buttons[2][5];
  HBITMAP image = TestImage();
  for (int row = 0; row < 2; ++row) {
    for (int i = 0; i < 5; ++i) {
      CButtonVE_Image& button = buttons[row][i];
      MakeButton(button, window, 200 + row * 10 + i, captions[i], BS_BITMAP, 10 + i * 110, 20 + row * 60, 100, 36);
      if (row == 1) ThemingOff(button);
      button.SendMessage(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image));
      button.SetShadow(i == 0);
    }
    buttons[row][2].SendMessage(BM_SETSTATE, TRUE);
    buttons[row][3].EnableWindow(FALSE);
    buttons[row][4].SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  }
  RECT hot{};
  buttons[0][1].GetWindowRect(&hot);
  SetCursorPos(hot.left + 50, hot.top + 30);
  // Let the fades run out and the pulse climb.
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 2000) {
    Pump();
    Sleep(10);
  }
  while (buttons[0][4].PulseCounter() < 16) {
    Pump();
    Sleep(5);
  }
  RECT area{};
  window.GetWindowRect(&area);
  DibCanvas shot(area.right - area.left, area.bottom - area.top);
  HDC screen = GetDC(nullptr);
  BitBlt(shot.dc(), 0, 0, shot.width(), shot.height(), screen, area.left, area.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  const bool written = WriteBmp(path, shot);
  std::printf("%s %s\n", written ? "wrote" : "could not write", path);
  for (auto& row : buttons)
    for (auto& button : row) button.DestroyWindow();
  DeleteObject(image);
  return written ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--screenshot") == 0) return ShowFiveLooks(argv[2]);

  SetCursorPos(0, 0);
  TestThemeLibrary();
  RunButtonTests(true);
  {
    // The same with the common controls' own button class.
    CommonControls6 controls;
    CHECK(controls.active());
    CHECK(ButtonClassModule() == "comctl32.dll");
    RunButtonTests(false);
  }
  return wine_check::Finish("buttons_test");
}
