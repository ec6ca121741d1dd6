#include "orla_session.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>

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
  // The dialog carries the property from its initialisation on; let it finish showing.
  if (dialog_ != nullptr) WaitUntilIdle(10000);
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

std::string OrlaSession::TextA(int id) const {
  char text[4096] = {};
  SendMessageA(Control(id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

void OrlaSession::Click(int id) const { PostMessageW(Control(id), BM_CLICK, 0, 0); }

void OrlaSession::Type(int id, const std::string& text) const {
  SendMessageA(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void OrlaSession::PressEnter(int id) const {
  HWND control = Control(id);
  PostMessageW(control, WM_KEYDOWN, VK_RETURN, 1);
  PostMessageW(control, WM_KEYUP, VK_RETURN, 0xC0000001);
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

bool OrlaSession::WaitUntilIdle(int timeoutMs) {
  int quiet = 0;
  for (int waited = 0; waited < timeoutMs; waited += 50) {
    if (WaitForSingleObject(process_.hProcess, 0) != WAIT_TIMEOUT) return false;
    if (CloseOneMessageBox()) {
      quiet = 0;
      continue;
    }
    const bool busy = ProgressWindow() != nullptr || !IsWindowEnabled(dialog_);
    quiet = busy ? 0 : quiet + 1;
    // Idle for a while: a run that posted its next step has had time to take it.
    if (quiet >= 6) return true;
    Sleep(50);
  }
  return false;
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

void OrlaSession::Command(int id) const { PostMessageW(dialog_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

HWND OrlaSession::WaitForDialogWith(int controlId, int timeoutMs) const {
  for (int waited = 0; waited < timeoutMs; waited += 50) {
    for (HWND window : TopLevelWindows()) {
      if (window == dialog_ || ClassOf(window) != "#32770" || !IsWindowVisible(window)) continue;
      if (GetDlgItem(window, controlId) != nullptr) return window;
    }
    Sleep(50);
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
