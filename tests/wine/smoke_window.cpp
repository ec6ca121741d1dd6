// Creates a real window under Wine and reads its text back. With --check it exits at once
// with 0 when everything matched; without it the window stays until it is closed.

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr char16_t kClassName[] = u"OrlaSmokeWindow";
constexpr char16_t kTitle[] = u"ORLA on Wine";

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int Fail(const char* what) {
  std::fprintf(stderr, "smoke: %s failed (error %lu)\n", what, static_cast<unsigned long>(GetLastError()));
  std::fflush(stderr);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const bool check = argc > 1 && std::string(argv[1]) == "--check";
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kClassName;
  if (RegisterClassW(&windowClass) == 0) return Fail("RegisterClass");

  HWND window = CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 400, 200,
                                nullptr, nullptr, windowClass.hInstance, nullptr);
  if (window == nullptr) return Fail("CreateWindow");
  ShowWindow(window, SW_SHOW);

  char16_t text[64] = {};
  GetWindowTextW(window, text, 64);
  if (std::u16string(text) != kTitle) return Fail("GetWindowText");

  if (check) {
    DestroyWindow(window);
    std::printf("smoke: window created and read back\n");
    std::fflush(stdout);
    return 0;
  }
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
