#include "help/help_viewer.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include "help/help_file.h"

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

// The page is opened as a document of the system's HTML class, not by its extension: without
// an HTML engine Wine registers no ".html" type, but its HTML class opens in the desktop's
// browser.
void OpenInBrowser(const std::string& page) {
  SHELLEXECUTEINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_CLASSNAME | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = "open";
  info.lpFile = page.c_str();
  info.lpClass = "htmlfile";
  info.nShow = SW_SHOWNORMAL;
  ::ShellExecuteExA(&info);
}

}  // namespace

void ShowHelp(const std::string& helpFile) {
  if (!HasHtmlEngine()) {
    OpenInBrowser(HelpStartPagePath(helpFile));
    return;
  }
  if (const HtmlHelpAProc htmlHelp = HtmlHelpEntry()) {
    htmlHelp(nullptr, helpFile.c_str(), kHtmlHelpContextCommand, kHelpContextId);
  }
}

}  // namespace orla
