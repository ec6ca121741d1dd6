#include "help/help_viewer.h"

#include <windows.h>
#include <objbase.h>

#include <chrono>
#include <utility>

#include "help/desktop_open_watch.h"
#include "help/help_file.h"
#include "text/code_page_conversion.h"
#include "text/utf_conversion.h"
#include "track/unix_path.h"

namespace orla {
namespace {

using HtmlHelpAProc = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

// The HTML engine's document object (CLSID_HTMLDocument). Named here: the engine's own header
// does not compile as C++ with 16-bit wide characters.
constexpr CLSID kHtmlDocumentClass = {0x25336920, 0x03F9, 0x11CF, {0x8F, 0xD0, 0x00, 0xAA, 0x00, 0x68, 0x6F, 0x13}};

// The help viewer's entry, looked up when Help is first asked for; null without the viewer.
// The viewer stays loaded: its window outlives the call that opens it.
HtmlHelpAProc HtmlHelpEntry() {
  static const HtmlHelpAProc entry = []() -> HtmlHelpAProc {
    HMODULE viewer = ::LoadLibraryA("hhctrl.ocx");
    if (viewer == nullptr) return nullptr;
    return reinterpret_cast<HtmlHelpAProc>(reinterpret_cast<void*>(::GetProcAddress(viewer, "HtmlHelpA")));
  }();
  return entry;
}

// The viewer shows its topics through the system's HTML document object; where none can be
// made, its window stays empty. Asked once: the engine does not come or go while ORLA runs.
bool HasHtmlEngine() {
  static const bool available = [] {
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IUnknown* document = nullptr;
    const bool made = SUCCEEDED(::CoCreateInstance(kHtmlDocumentClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                                   reinterpret_cast<void**>(&document)));
    if (document != nullptr) document->Release();
    if (SUCCEEDED(com)) ::CoUninitialize();
    return made;
  }();
  return available;
}

// The pages go to the desktop's opener directly, not through the shell's open verb: Wine's
// shell hands them to winebrowser, which starts xdg-open without waiting for it and reports
// success as soon as anything started, so a failing xdg-open would go unnoticed.
constexpr char kDesktopOpener[] = "xdg-open";
// xdg-open that fails does so within a second or two; one still running after this has started
// a browser in the foreground and ends with it.
constexpr auto kOpenerGrace = std::chrono::seconds(10);
constexpr UINT_PTR kOpenerWatchTimer = 0x4F48;  // no other timer of the owner has this id
constexpr UINT kOpenerWatchPeriodMs = 100;

// The openers started so far and whom to tell; one for the program, as it has one main dialog.
struct BrowserWatch {
  DesktopOpenWatch openers{kDesktopOpener, kOpenerGrace};
  HelpPagesNotOpened notOpened;
  std::u16string startPage;
  bool pending = false;
  bool reporting = false;
};

BrowserWatch& Watch() {
  static BrowserWatch watch;
  return watch;
}

void CALLBACK OnOpenerWatchTimer(HWND owner, UINT, UINT_PTR timer, DWORD) {
  BrowserWatch& watch = Watch();
  // The report's message box runs a loop of its own, which delivers this timer too.
  if (watch.reporting) return;
  if (!watch.openers.TakeFailures(DesktopOpenWatch::Clock::now()).empty()) watch.pending = true;
  // While a dialog or the progress window is modal over the owner, the report waits for it.
  if (watch.pending && ::IsWindowEnabled(owner)) {
    watch.pending = false;
    watch.reporting = true;
    if (watch.notOpened) watch.notOpened(watch.startPage);
    watch.reporting = false;
  }
  if (!watch.openers.Watching() && !watch.pending) ::KillTimer(owner, timer);
}

void OpenInBrowser(const std::string& page, HWND owner, HelpPagesNotOpened notOpened) {
  const std::string unixPage = UnixPathOf(page.c_str());
  BrowserWatch& watch = Watch();
  watch.notOpened = std::move(notOpened);
  watch.startPage = unixPage.empty() ? MultiByteToWide(page) : Utf8ToWideString(unixPage);
  if (unixPage.empty() || !watch.openers.Open("file://" + unixPage, DesktopOpenWatch::Clock::now())) {
    if (watch.notOpened) watch.notOpened(watch.startPage);
    return;
  }
  ::SetTimer(owner, kOpenerWatchTimer, kOpenerWatchPeriodMs, OnOpenerWatchTimer);
}

}  // namespace

void ShowHelp(const std::string& helpFile, HWND owner, HelpPagesNotOpened notOpened) {
  if (!HasHtmlEngine()) {
    OpenInBrowser(HelpStartPagePath(helpFile), owner, std::move(notOpened));
    return;
  }
  if (const HtmlHelpAProc htmlHelp = HtmlHelpEntry()) {
    htmlHelp(nullptr, helpFile.c_str(), kHtmlHelpContextCommand, kHelpContextId);
  }
}

}  // namespace orla
