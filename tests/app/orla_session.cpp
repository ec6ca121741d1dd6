#include "orla_session.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>

#include "resource.h"

namespace orla::test {
namespace {

constexpr char kDialogProperty[] = "ZOZORERADADEDURE";

struct WindowSearch {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId) search->found.push_back(window);
  return TRUE;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::u16string WindowTextW(HWND window) {
  char16_t text[4096] = {};
  SendMessageW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text));
  return text;
}

}  // namespace

HWND FindOrlaDialog(DWORD processId) {
  WindowSearch search{processId, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  for (HWND window : search.found) {
    if (GetPropA(window, kDialogProperty) != nullptr) return window;
  }
  return nullptr;
}

OrlaSession::OrlaSession(const std::string& program, const std::string& wineDebug) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  char previousDebug[256] = {};
  const bool hadDebug = GetEnvironmentVariableA("WINEDEBUG", previousDebug, sizeof previousDebug) > 0;
  if (!wineDebug.empty()) SetEnvironmentVariableA("WINEDEBUG", wineDebug.c_str());
  std::string command = "\"" + program + "\"";
  const BOOL created =
      CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_);
  if (!wineDebug.empty()) SetEnvironmentVariableA("WINEDEBUG", hadDebug ? previousDebug : nullptr);
  if (!created) {
    std::printf("cannot start %s (error %lu)\n", program.c_str(), static_cast<unsigned long>(GetLastError()));
    return;
  }
  for (int i = 0; i < 300 && dialog_ == nullptr; ++i) {
    dialog_ = FindOrlaDialog(process_.dwProcessId);
    if (dialog_ == nullptr) Sleep(100);
  }
  // The dialog carries the property from its initialisation on; it shows after that.
  if (dialog_ != nullptr) WaitUntil([this] { return IsWindowVisible(dialog_) && IsWindowEnabled(dialog_); }, 30000);
}

OrlaSession::~OrlaSession() {
  if (process_.hProcess != nullptr) {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      Close();
      if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
    }
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }
}

std::u16string OrlaSession::Text(int id) const { return WindowTextW(Control(id)); }

HWND OrlaSession::Focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog_, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

std::string OrlaSession::TextA(int id) const {
  char text[4096] = {};
  SendMessageA(Control(id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

void CALLBACK OrlaSession::Handled(HWND, UINT, ULONG_PTR session, LRESULT) {
  --reinterpret_cast<OrlaSession*>(session)->unhandled_;
}

void OrlaSession::SendCounted(HWND window, UINT message, WPARAM wParam) {
  if (SendMessageCallbackW(window, message, wParam, 0, Handled, reinterpret_cast<ULONG_PTR>(this))) {
    ++unhandled_;
  } else {
    std::printf("cannot send message %u (error %lu)\n", message, static_cast<unsigned long>(GetLastError()));
  }
}

void OrlaSession::Click(int id) { SendCounted(Control(id), BM_CLICK, 0); }

void OrlaSession::Type(int id, const std::string& text) const {
  SendMessageA(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void OrlaSession::PressEnter(int id) const {
  HWND control = Control(id);
  PostMessageW(control, WM_KEYDOWN, VK_RETURN, 1);
  PostMessageW(control, WM_KEYUP, VK_RETURN, 0xC0000001);
  WaitUntilPostedTaken();
}

bool OrlaSession::WaitUntilPostedTaken(int timeoutMs) const {
  // Posted messages are taken in order, so a marker posted now is taken after them. The
  // marker is the page field's modified flag, which the program never looks at: cleared at
  // once, set by the posted message.
  HWND marker = Control(IDC_EDIT_PAGE);
  SendMessageW(marker, EM_SETMODIFY, FALSE, 0);
  PostMessageW(marker, EM_SETMODIFY, TRUE, 0);
  for (int waited = 0; waited < timeoutMs; waited += 10) {
    if (SendMessageW(marker, EM_GETMODIFY, 0, 0) != 0) return true;
    Sleep(10);
  }
  return false;
}

std::vector<HWND> OrlaSession::TopLevelWindows() const {
  WindowSearch search{process_.dwProcessId, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND OrlaSession::ProgressWindow() const {
  for (HWND window : TopLevelWindows()) {
    if (ClassOf(window) == "OrlaProgressWnd") return window;
  }
  return nullptr;
}

bool OrlaSession::CloseOneMessageBox() {
  for (HWND window : TopLevelWindows()) {
    if (window == dialog_ || ClassOf(window) != "#32770" || !IsWindowVisible(window)) continue;
    // A message box's text is its static control 0xFFFF.
    HWND text = GetDlgItem(window, 0xFFFF);
    if (text == nullptr) continue;
    char buffer[4096] = {};
    SendMessageA(text, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    messages_.emplace_back(buffer);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    for (int i = 0; i < 100 && IsWindow(window) && IsWindowVisible(window); ++i) Sleep(20);
    return true;
  }
  return false;
}

bool OrlaSession::WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  for (int waited = 0; waited < timeoutMs; waited += 20) {
    // Runs Handled for every handler that has returned since.
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    if (WaitForSingleObject(process_.hProcess, 0) != WAIT_TIMEOUT) return false;
    if (CloseOneMessageBox()) continue;
    if (condition()) return true;
    Sleep(20);
  }
  return false;
}

bool OrlaSession::WaitUntilIdle(int timeoutMs) {
  return WaitUntil(
      [this] { return unhandled_ == 0 && ProgressWindow() == nullptr && IsWindowEnabled(dialog_); }, timeoutMs);
}

std::vector<std::string> OrlaSession::TakeMessages() {
  std::vector<std::string> out;
  out.swap(messages_);
  return out;
}

int OrlaSession::Close() {
  if (process_.hProcess == nullptr) return -1;
  if (dialog_ != nullptr && IsWindow(dialog_)) PostMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  if (WaitForSingleObject(process_.hProcess, 15000) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return static_cast<int>(code);
}

void OrlaSession::Command(int id) { SendCounted(dialog_, WM_COMMAND, MAKEWPARAM(id, 0)); }

HWND OrlaSession::FindDialogWith(int controlId) const {
  for (HWND window : TopLevelWindows()) {
    if (window == dialog_ || ClassOf(window) != "#32770" || !IsWindowVisible(window)) continue;
    if (GetDlgItem(window, controlId) != nullptr) return window;
  }
  return nullptr;
}

HWND OrlaSession::WaitForDialogWith(int controlId, int timeoutMs) const {
  for (int waited = 0; waited < timeoutMs; waited += 20) {
    if (HWND window = FindDialogWith(controlId)) return window;
    Sleep(20);
  }
  return nullptr;
}

std::string OrlaSession::AnswerMessageBox(int button, int timeoutMs) {
  for (int waited = 0; waited < timeoutMs; waited += 50) {
    for (HWND window : TopLevelWindows()) {
      if (window == dialog_ || ClassOf(window) != "#32770" || !IsWindowVisible(window)) continue;
      HWND text = GetDlgItem(window, 0xFFFF);
      if (text == nullptr || GetDlgItem(window, button) == nullptr) continue;
      char buffer[4096] = {};
      SendMessageA(text, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
      PostMessageW(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
      WaitUntilClosed(window, 5000);
      return buffer;
    }
    Sleep(50);
  }
  return "<no message box>";
}

bool OrlaSession::MenuOpen() const {
  for (HWND window : TopLevelWindows()) {
    if (ClassOf(window) == "#32768" && IsWindowVisible(window)) return true;
  }
  return false;
}

bool OrlaSession::WaitForMenu(bool open, int timeoutMs) const {
  for (int waited = 0; waited < timeoutMs; waited += 20) {
    if (MenuOpen() == open) return true;
    Sleep(20);
  }
  return false;
}

bool OrlaSession::WaitUntilClosed(HWND window, int timeoutMs) {
  for (int waited = 0; waited < timeoutMs; waited += 20) {
    if (!IsWindow(window) || !IsWindowVisible(window)) return true;
    Sleep(20);
  }
  return false;
}

namespace {

void PutBig32(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
  PutBig32(out, static_cast<std::uint32_t>(data.size()));
  const std::string body = std::string(type, 4) + data;
  out += body;
  PutBig32(out, static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size())));
}

}  // namespace

bool SaveWindowPng(HWND window, const std::string& unixPath) {
  RECT rect{};
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  GdiFlush();
  std::string raw;
  const auto* pixels = static_cast<const std::uint8_t*>(bits);
  for (int y = 0; y < height; ++y) {
    raw.push_back('\0');
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* p = pixels + (static_cast<std::size_t>(y) * width + x) * 4;
      raw.push_back(static_cast<char>(p[2]));
      raw.push_back(static_cast<char>(p[1]));
      raw.push_back(static_cast<char>(p[0]));
    }
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  uLongf packedSize = compressBound(raw.size());
  std::string packed(packedSize, '\0');
  if (compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
               raw.size()) != Z_OK)
    return false;
  packed.resize(packedSize);
  std::string png = "\x89PNG\r\n\x1a\n";
  std::string header;
  PutBig32(header, static_cast<std::uint32_t>(width));
  PutBig32(header, static_cast<std::uint32_t>(height));
  header += std::string("\x08\x02\x00\x00\x00", 5);
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", packed);
  PutChunk(png, "IEND", "");
  std::FILE* file = std::fopen(unixPath.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(png.data(), 1, png.size(), file) == png.size();
  std::fclose(file);
  return ok;
}

}  // namespace orla::test
