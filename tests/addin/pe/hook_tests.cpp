// The hook procedures of the add-in, driven directly and through real hook chains on this
// thread, against a stand-in dialog: a top-level window of the installer's dialog class with
// a real rich-edit text box.
#include <windows.h>

#include <optional>
#include <string>

#include "check.h"
#include "hook_state.h"
#include "installer_dialog.h"

namespace {

constexpr UINT kMarker = WM_APP + 0x52;
int g_nextHookCalls = 0;

struct StandInDialog {
  HWND dialog = nullptr;
  HWND textBox = nullptr;
  HWND label = nullptr;

  StandInDialog() {
    dialog = CreateWindowExW(0, L"MsiDialogCloseClass", L"Licence agreement", WS_OVERLAPPEDWINDOW, 0,
                             0, 400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    label = CreateWindowExW(0, L"Static", L"Read this", WS_CHILD | WS_VISIBLE, 5, 5, 100, 20, dialog,
                            nullptr, nullptr, nullptr);
    textBox = CreateWindowExW(0, L"RichEdit20W", L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 5, 30,
                              300, 100, dialog, nullptr, nullptr, nullptr);
    std::wstring text;
    for (int i = 1; i <= 80; ++i) text += L"Clause " + std::to_wstring(i) + L" of the agreement.\r\n";
    SetWindowTextW(textBox, text.c_str());
  }
  ~StandInDialog() { DestroyWindow(dialog); }
  StandInDialog(const StandInDialog&) = delete;
  StandInDialog& operator=(const StandInDialog&) = delete;

  void ScrollTo(int bar) { SendMessageW(textBox, WM_VSCROLL, bar, 0); }
  // Hook handles as WatchScroll stores them; only their presence matters to the hooks.
  void StartWatch() {
    trellum::StopWatching();
    SetPropW(dialog, L"KIVREL_HOOK_PROCRET", reinterpret_cast<HANDLE>(0x1234));
    SetPropW(dialog, L"KIVREL_HOOK_GETMSG", reinterpret_cast<HANDLE>(0x5678));
    RemovePropW(dialog, L"KIVREL_LICVIEWED");
  }
  bool Watching() const {
    return GetPropW(dialog, L"KIVREL_HOOK_PROCRET") && GetPropW(dialog, L"KIVREL_HOOK_GETMSG");
  }
  bool Marked() const { return GetPropW(dialog, L"KIVREL_LICVIEWED") != nullptr; }
};

void RegisterWindowClass(const wchar_t* name) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = name;
  RegisterClassW(&windowClass);
}

void PumpAll() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

void ScrollChecks() {
  struct Case {
    const char* name;
    int bar;      // where the text is scrolled first
    UINT message;
    int expected;
  };
  const Case cases[] = {
      {"key-up at the top goes on", SB_TOP, WM_KEYUP, trellum::kGoOn},
      {"scroll at the top goes on", SB_TOP, WM_VSCROLL, trellum::kGoOn},
      {"key-up at the end", SB_BOTTOM, WM_KEYUP, trellum::kEndReached},
      {"scroll at the end", SB_BOTTOM, WM_VSCROLL, trellum::kEndReached},
      {"another message at the end goes on", SB_BOTTOM, WM_MOUSEMOVE, trellum::kGoOn},
      {"a window destroyed stops", SB_TOP, WM_NCDESTROY, trellum::kStopWatch},
  };
  for (const auto& c : cases) {
    check::Run(c.name, [&] {
      StandInDialog stand;
      stand.StartWatch();
      stand.ScrollTo(c.bar);
      CHECK(trellum::LoadHookState());
      CHECK(g_hLicenseTextBox == stand.textBox);
      CHECK(trellum::CheckScrolledToEnd(c.message) == c.expected);
    });
  }
  check::Run("no text box, or one without a scroll bar, stops at a key-up", [] {
    StandInDialog stand;
    g_hLicenseTextBox = nullptr;
    CHECK(trellum::CheckScrolledToEnd(WM_KEYUP) == trellum::kStopWatch);
    g_hLicenseTextBox = stand.label;
    CHECK(trellum::CheckScrolledToEnd(WM_VSCROLL) == trellum::kStopWatch);
    CHECK(trellum::CheckScrolledToEnd(WM_MOUSEMOVE) == trellum::kGoOn);
    g_hLicenseTextBox = nullptr;
  });
}

// Calls one hook procedure the way the system does, with its own structure.
LRESULT CallHook(bool getMessage, int code, UINT message, HWND window) {
  if (getMessage) {
    MSG msg{window, message, 0, 0, 0, {0, 0}};
    return trellum::GetMessageHookProc(code, PM_REMOVE, reinterpret_cast<LPARAM>(&msg));
  }
  CWPRETSTRUCT ret{0, 0, 0, message, window};
  return trellum::CallWndRetHookProc(code, 0, reinterpret_cast<LPARAM>(&ret));
}

void HookCodes() {
  struct Case {
    const char* name;
    bool getMessage;
    int code;
    UINT message;
    bool watchGoesOn;
    bool marked;
  };
  const Case cases[] = {
      {"negative code: a destroyed window passes untouched", false, -1, WM_NCDESTROY, true, false},
      {"negative code: a key-up at the end passes untouched", true, -1, WM_KEYUP, true, false},
      {"a destroyed window stops the watch unmarked", false, HC_ACTION, WM_NCDESTROY, false, false},
      {"a key-up at the end marks and stops", true, HC_ACTION, WM_KEYUP, false, true},
      {"a scroll at the end marks and stops", false, HC_ACTION, WM_VSCROLL, false, true},
      {"other messages go on", true, HC_ACTION, WM_PAINT, true, false},
  };
  for (const auto& c : cases) {
    check::Run(c.name, [&] {
      StandInDialog stand;
      stand.ScrollTo(SB_BOTTOM);
      stand.StartWatch();
      CallHook(c.getMessage, c.code, c.message, stand.textBox);
      CHECK(stand.Watching() == c.watchGoesOn);
      CHECK(stand.Marked() == c.marked);
      if (!c.watchGoesOn) CHECK(g_hProcRetHook == nullptr && g_hGetMsgHook == nullptr && g_hLicenseTextBox == nullptr);
    });
  }
}

LRESULT CALLBACK NextGetMessage(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && reinterpret_cast<const MSG*>(lParam)->message == kMarker) ++g_nextHookCalls;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK NextCallWndRet(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && reinterpret_cast<const CWPRETSTRUCT*>(lParam)->message == kMarker) ++g_nextHookCalls;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The add-in's hooks sit above any hook installed before them; a hook with no watch to serve
// must still hand every message down the chain.
void HookChain() {
  struct Case {
    const char* name;
    bool withDialog;
    bool watching;
  };
  const Case cases[] = {
      {"no dialog: the next hooks still see each message", false, false},
      {"a dialog without a watch: the next hooks still see each message", true, false},
      {"while watching: the next hooks see each message", true, true},
  };
  for (const auto& c : cases) {
    check::Run(c.name, [&] {
      trellum::StopWatching();
      HWND window = CreateWindowExW(0, L"Static", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
      std::optional<StandInDialog> stand;
      if (c.withDialog) stand.emplace();
      if (stand && c.watching) stand->StartWatch();
      const DWORD thread = GetCurrentThreadId();
      HMODULE self = GetModuleHandleW(nullptr);
      HHOOK below[] = {SetWindowsHookExW(WH_GETMESSAGE, NextGetMessage, self, thread),
                       SetWindowsHookExW(WH_CALLWNDPROCRET, NextCallWndRet, self, thread)};
      HHOOK above[] = {SetWindowsHookExW(WH_GETMESSAGE, trellum::GetMessageHookProc, self, thread),
                       SetWindowsHookExW(WH_CALLWNDPROCRET, trellum::CallWndRetHookProc, self, thread)};
      PumpAll();
      g_nextHookCalls = 0;
      PostMessageW(window, kMarker, 0, 0);
      PumpAll();
      SendMessageW(window, kMarker, 0, 0);
      CHECK(g_nextHookCalls == 2);
      if (stand && c.watching) CHECK(stand->Watching());
      for (HHOOK hook : above) UnhookWindowsHookEx(hook);
      for (HHOOK hook : below) UnhookWindowsHookEx(hook);
      stand.reset();
      DestroyWindow(window);
      trellum::StopWatching();
    });
  }
}

// The dialog is a top-level window of the installer's dialog class, or such a window inside a
// setup's own frame of class "Kivrel_Win"; a top-level dialog comes first.
void DialogLookup() {
  check::Run("no installer dialog: none found, no hook state", [] {
    trellum::StopWatching();
    CHECK(trellum::FindInstallerDialog() == nullptr);
    CHECK(!trellum::LoadHookState());
  });
  check::Run("a dialog hosted in the setup's frame is found and watched", [] {
    HWND frame = CreateWindowExW(0, L"Kivrel_Win", L"Setup", WS_OVERLAPPEDWINDOW, 0, 0, 500, 400, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND hosted = CreateWindowExW(0, L"MsiDialogCloseClass", L"Licence agreement", WS_CHILD, 0, 0, 400, 300, frame,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND textBox = CreateWindowExW(0, L"RichEdit20W", L"", WS_CHILD | WS_VSCROLL | ES_MULTILINE, 5, 30, 300, 100,
                                   hosted, nullptr, nullptr, nullptr);
    CHECK(trellum::FindInstallerDialog() == hosted);
    trellum::StopWatching();
    SetPropW(hosted, L"KIVREL_HOOK_PROCRET", reinterpret_cast<HANDLE>(0x1234));
    SetPropW(hosted, L"KIVREL_HOOK_GETMSG", reinterpret_cast<HANDLE>(0x5678));
    CHECK(trellum::LoadHookState());
    CHECK(g_hLicenseTextBox == textBox);
    {
      StandInDialog topLevel;
      CHECK(trellum::FindInstallerDialog() == topLevel.dialog);
    }
    trellum::StopWatching();
    CHECK(GetPropW(hosted, L"KIVREL_HOOK_PROCRET") == nullptr);
    DestroyWindow(frame);
  });
}

}  // namespace

int main() {
  g_hModule = GetModuleHandleW(nullptr);
  LoadLibraryW(L"riched20.dll");
  RegisterWindowClass(L"MsiDialogCloseClass");
  RegisterWindowClass(L"Kivrel_Win");
  DialogLookup();
  ScrollChecks();
  HookCodes();
  HookChain();
  return check::Summary();
}
