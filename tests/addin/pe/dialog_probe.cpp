// Reports, on one line, what a test driving the real installer from outside needs to know
// about one of its dialogs: whether a watch runs on it, whether Next is enabled, and where to
// click. Window properties and window states are read across processes, as the watch itself
// reads them.
// Usage: trellum_dialog_probe <dialog title> [expected]
// Prints: found=0, or found=1 hooks=<0..2> viewed=<0|1> next=<-1|0|1> text=<x>,<y>
// (hooks: how many of the two hook properties are set; next: -1 when there is no Next button;
// text: screen centre of the licence text box, or -1,-1). With `expected`, the exit code is 0
// only when the line contains it, so a setup can run the probe as a check of its own.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

POINT Centre(HWND window) {
  RECT rect;
  if (!window || !GetWindowRect(window, &rect)) return {-1, -1};
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

HWND FindNextButton(HWND dialog) {
  for (HWND child = FindWindowExW(dialog, nullptr, L"Button", nullptr); child;
       child = FindWindowExW(dialog, child, L"Button", nullptr)) {
    wchar_t text[64] = {};
    GetWindowTextW(child, text, 64);
    if (std::wstring(text).ends_with(L"Next")) return child;
  }
  return nullptr;
}

std::wstring Describe(HWND dialog) {
  if (!dialog || !IsWindowVisible(dialog)) return L"found=0";
  const int hooks = (GetPropW(dialog, L"KIVREL_HOOK_PROCRET") != nullptr) +
                    (GetPropW(dialog, L"KIVREL_HOOK_GETMSG") != nullptr);
  const int viewed = GetPropW(dialog, L"KIVREL_LICVIEWED") != nullptr;
  HWND next = FindNextButton(dialog);
  const int nextState = next ? (IsWindowEnabled(next) ? 1 : 0) : -1;
  const POINT text = Centre(FindWindowExW(dialog, nullptr, L"RichEdit20W", nullptr));
  return L"found=1 hooks=" + std::to_wstring(hooks) + L" viewed=" + std::to_wstring(viewed) +
         L" next=" + std::to_wstring(nextState) + L" text=" + std::to_wstring(text.x) + L"," +
         std::to_wstring(text.y);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2 && argc != 3) {
    std::printf("usage: trellum_dialog_probe <dialog title> [expected]\n");
    return 2;
  }
  const std::wstring line = Describe(FindWindowW(L"MsiDialogCloseClass", argv[1]));
  std::printf("%ls\n", line.c_str());
  return argc == 3 && line.find(argv[2]) == std::wstring::npos ? 1 : 0;
}
