// The test scanner's data source entry (see test_scanner.h): a small state machine over the
// TWAIN states 3 (closed) to 7 (transferring), with a condition code for every failure.

#include <windows.h>
#include <twain.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "test_scanner.h"
#include "test_scanner_pages.h"

namespace orla::test::scanner {
namespace {

enum State { kClosed = 3, kOpen = 4, kEnabled = 5, kReady = 6, kTransferring = 7 };

struct FailStep {
  std::string step;
  std::size_t page = 1;
};

struct Source {
  State state = kClosed;
  TW_UINT16 condition = TWCC_SUCCESS;
  HWND parent = nullptr;
  std::vector<Page> pages;
  std::size_t current = 0;  // index of the page to transfer next
  FailStep fail;
  bool keepOpen = false;
  TW_UINT16 transferCount = 0xFFFF;
};

Source g_source;

void Complain(const std::string& text) {
  std::fprintf(stderr, "test scanner: %s\n", text.c_str());
  std::fflush(stderr);
}

std::string Variable(const char* name) {
  char buffer[32768];
  const DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return {};
  return std::string(buffer, length);
}

FailStep ReadFailStep() {
  FailStep fail;
  const std::string text = Variable(kFailVariable);
  const std::size_t colon = text.find(':');
  fail.step = text.substr(0, colon);
  if (colon != std::string::npos) fail.page = std::strtoul(text.c_str() + colon + 1, nullptr, 10);
  return fail;
}

bool FailsAt(const char* step) { return g_source.fail.step == step; }
bool FailsAtPage(const char* step) { return FailsAt(step) && g_source.fail.page == g_source.current + 1; }

bool ReadFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
  HANDLE file = INVALID_HANDLE_VALUE;
  if (!path.empty() && path[0] == '/') {
    WCHAR* dosPath = wine_get_dos_file_name(path.c_str());
    if (dosPath == nullptr) return false;
    file = CreateFileW(dosPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HeapFree(GetProcessHeap(), 0, dosPath);
  } else {
    file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  }
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(file, &size) && size.QuadPart < (std::int64_t{1} << 31);
  if (ok) {
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    ok = ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size();
  }
  CloseHandle(file);
  return ok;
}

bool LoadPages() {
  g_source.pages.clear();
  g_source.current = 0;
  const std::vector<std::string> paths = SplitPageList(Variable(kPagesVariable));
  if (paths.empty()) {
    Complain(std::string("no pages: set ") + kPagesVariable);
    return false;
  }
  for (const std::string& path : paths) {
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(path, bytes)) {
      Complain("cannot read " + path);
      return false;
    }
    Page page;
    page.path = path;
    std::string error;
    if (!PageFromBmp(bytes, page, error)) {
      Complain(path + ": " + error);
      return false;
    }
    g_source.pages.push_back(std::move(page));
  }
  return true;
}

UINT EventMessage() {
  static const UINT message = RegisterWindowMessageA(kEventMessage);
  return message;
}

// Events reach the application as messages in its queue, which it hands back through
// MSG_PROCESSEVENT; wParam carries the TWAIN message.
void Signal(TW_UINT16 twMessage) {
  if (g_source.parent == nullptr || !PostMessageA(g_source.parent, EventMessage(), twMessage, 0)) {
    PostThreadMessageA(GetCurrentThreadId(), EventMessage(), twMessage, 0);
  }
}

// A disabled or closed source has nothing more to say: drop what it posted.
void DropSignals() {
  MSG msg;
  while (PeekMessageA(&msg, g_source.parent, EventMessage(), EventMessage(), PM_REMOVE)) {
  }
  while (PeekMessageA(&msg, reinterpret_cast<HWND>(-1), EventMessage(), EventMessage(), PM_REMOVE)) {
  }
}

TW_UINT16 Fail(TW_UINT16 condition, TW_UINT16 result = TWRC_FAILURE) {
  g_source.condition = condition;
  return result;
}

TW_UINT16 Succeed(TW_UINT16 result = TWRC_SUCCESS) {
  g_source.condition = TWCC_SUCCESS;
  return result;
}

void FillIdentity(TW_IDENTITY& identity) {
  const TW_UINT32 id = identity.Id;  // the manager's number for this source
  std::memset(&identity, 0, sizeof identity);
  identity.Id = id;
  identity.Version.MajorNum = 1;
  identity.Version.MinorNum = 0;
  identity.Version.Language = TWLG_USA;
  identity.Version.Country = TWCY_USA;
  std::strcpy(identity.Version.Info, "test source");
  identity.ProtocolMajor = TWON_PROTOCOLMAJOR;
  identity.ProtocolMinor = TWON_PROTOCOLMINOR;
  identity.SupportedGroups = DG_CONTROL | DG_IMAGE;
  std::strcpy(identity.Manufacturer, kManufacturer);
  std::strcpy(identity.ProductFamily, kProductFamily);
  std::strcpy(identity.ProductName, kProductName);
}

TW_UINT16 BatchEnded() {
  g_source.state = kEnabled;
  if (!g_source.keepOpen) Signal(MSG_CLOSEDSREQ);
  return Succeed();
}

TW_UINT16 OneValue(TW_CAPABILITY& capability, TW_UINT16 itemType, TW_UINT32 item) {
  HGLOBAL block = GlobalAlloc(GHND, sizeof(TW_ONEVALUE));
  auto* value = static_cast<TW_ONEVALUE*>(GlobalLock(block));
  if (value == nullptr) return Fail(TWCC_LOWMEMORY);
  value->ItemType = itemType;
  value->Item = item;
  GlobalUnlock(block);
  capability.ConType = TWON_ONEVALUE;
  capability.hContainer = block;
  return Succeed();
}

TW_UINT16 Capability(TW_UINT16 msg, TW_CAPABILITY& capability) {
  if (capability.Cap != CAP_XFERCOUNT) return Fail(TWCC_CAPUNSUPPORTED);
  if (msg == MSG_GET || msg == MSG_GETCURRENT) {
    return OneValue(capability, TWTY_INT16, static_cast<TW_INT16>(g_source.transferCount));
  }
  if (msg != MSG_SET) return Fail(TWCC_BADPROTOCOL);
  if (g_source.state != kOpen) return Fail(TWCC_SEQERROR);
  if (FailsAt("xfercount")) return Fail(TWCC_BADVALUE);
  if (capability.ConType != TWON_ONEVALUE) return Fail(TWCC_BADVALUE);
  const auto* value = static_cast<const TW_ONEVALUE*>(GlobalLock(capability.hContainer));
  if (value == nullptr) return Fail(TWCC_BADVALUE);
  const TW_UINT16 count = static_cast<TW_UINT16>(value->Item);
  GlobalUnlock(capability.hContainer);
  if (FailsAt("checkstatus") && count == 0xFFFF) {
    // Takes what it can deliver: the number of pages listed now.
    g_source.transferCount = static_cast<TW_UINT16>(SplitPageList(Variable(kPagesVariable)).size());
    return Succeed(TWRC_CHECKSTATUS);
  }
  g_source.transferCount = count;
  return Succeed();
}

TW_UINT16 EnableSource(TW_USERINTERFACE& ui) {
  if (g_source.state != kOpen) return Fail(TWCC_SEQERROR);
  g_source.fail = ReadFailStep();
  g_source.keepOpen = Variable(kKeepOpenVariable) == "1";
  if (FailsAt("enableds") || !LoadPages()) return Fail(TWCC_OPERATIONERROR);
  g_source.parent = static_cast<HWND>(ui.hParent);
  g_source.state = kEnabled;
  Signal(MSG_XFERREADY);
  return Succeed();
}

TW_UINT16 ImageInfo(TW_IMAGEINFO& info) {
  if (g_source.state != kReady || g_source.current >= g_source.pages.size()) return Fail(TWCC_SEQERROR);
  if (FailsAtPage("imageinfo")) return Fail(TWCC_BUMMER);
  const Page& page = g_source.pages[g_source.current];
  std::memset(&info, 0, sizeof info);
  const auto dpi = [](std::int32_t pixelsPerMetre) {
    TW_FIX32 value{};
    value.Whole = static_cast<TW_INT16>((pixelsPerMetre * 254 + 5000) / 10000);
    return value;
  };
  info.XResolution = dpi(page.xPelsPerMeter);
  info.YResolution = dpi(page.yPelsPerMeter);
  info.ImageWidth = page.width;
  info.ImageLength = page.height;
  const bool colour = page.bitCount > 8;
  info.SamplesPerPixel = colour ? 3 : 1;
  for (int i = 0; i < info.SamplesPerPixel; ++i) info.BitsPerSample[i] = colour ? 8 : page.bitCount;
  info.BitsPerPixel = static_cast<TW_INT16>(page.bitCount);
  info.Planar = FALSE;
  info.PixelType = page.bitCount == 1 ? TWPT_BW : page.bitCount == 8 ? TWPT_GRAY : colour ? TWPT_RGB : TWPT_PALETTE;
  info.Compression = TWCP_NONE;
  return Succeed();
}

TW_UINT16 NativeTransfer(TW_HANDLE& image) {
  if (g_source.state != kReady || g_source.current >= g_source.pages.size()) return Fail(TWCC_SEQERROR);
  if (FailsAtPage("nativexfer")) return Fail(TWCC_LOWMEMORY);
  g_source.state = kTransferring;
  if (FailsAtPage("cancel")) return Succeed(TWRC_CANCEL);
  const std::vector<std::uint8_t>& dib = g_source.pages[g_source.current].dib;
  HGLOBAL block = GlobalAlloc(GHND, dib.size());
  void* bytes = GlobalLock(block);
  if (bytes == nullptr) {
    GlobalFree(block);
    g_source.state = kReady;
    return Fail(TWCC_LOWMEMORY);
  }
  std::memcpy(bytes, dib.data(), dib.size());
  GlobalUnlock(block);
  image = block;
  return Succeed(TWRC_XFERDONE);
}

TW_UINT16 PendingTransfers(TW_UINT16 msg, TW_PENDINGXFERS& pending) {
  if (msg == MSG_ENDXFER) {
    // From state 7 it ends the transfer done; from state 6, as after a failed transfer, it
    // drops the image that was to come next.
    if (g_source.state != kTransferring && g_source.state != kReady) return Fail(TWCC_SEQERROR);
    ++g_source.current;
    pending.Count = static_cast<TW_UINT16>(g_source.pages.size() - g_source.current);
    if (pending.Count == 0) return BatchEnded();
    g_source.state = kReady;
    return Succeed();
  }
  if (msg == MSG_RESET) {
    if (g_source.state != kReady) return Fail(TWCC_SEQERROR);
    g_source.current = g_source.pages.size();
    pending.Count = 0;
    return BatchEnded();
  }
  if (msg == MSG_GET) {
    pending.Count = static_cast<TW_UINT16>(g_source.state >= kReady ? g_source.pages.size() - g_source.current : 0);
    return Succeed();
  }
  return Fail(TWCC_BADPROTOCOL);
}

UINT ScanAgainMessage() {
  static const UINT message = RegisterWindowMessageA(kScanAgainMessage);
  return message;
}

// The user presses Scan in the source's window: a new batch, once the last one has ended.
void ScanAgain() {
  if (g_source.state != kEnabled) return;
  if (LoadPages()) Signal(MSG_XFERREADY);
}

TW_UINT16 ProcessEvent(TW_EVENT& event) {
  event.TWMessage = MSG_NULL;
  const auto* msg = static_cast<const MSG*>(event.pEvent);
  if (msg != nullptr && msg->message == ScanAgainMessage()) {
    ScanAgain();
    return TWRC_DSEVENT;
  }
  if (msg == nullptr || msg->message != EventMessage()) return TWRC_NOTDSEVENT;
  event.TWMessage = static_cast<TW_UINT16>(msg->wParam);
  // Transfers are ready from the moment the application hears of it.
  if (event.TWMessage == MSG_XFERREADY && g_source.state == kEnabled) g_source.state = kReady;
  return TWRC_DSEVENT;
}

TW_UINT16 Control(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
  switch (dat) {
    case DAT_IDENTITY:
      if (msg == MSG_GET) {
        FillIdentity(*static_cast<TW_IDENTITY*>(data));
        return Succeed();
      }
      if (msg == MSG_OPENDS) {
        if (g_source.state != kClosed) return Fail(TWCC_SEQERROR);
        g_source.fail = ReadFailStep();
        if (FailsAt("opends")) return Fail(TWCC_OPERATIONERROR);
        g_source.state = kOpen;
        g_source.transferCount = 0xFFFF;
        return Succeed();
      }
      if (msg == MSG_CLOSEDS) {
        if (g_source.state != kOpen) return Fail(TWCC_SEQERROR);
        g_source.state = kClosed;
        return Succeed();
      }
      return Fail(TWCC_BADPROTOCOL);
    case DAT_STATUS: {
      auto* status = static_cast<TW_STATUS*>(data);
      status->ConditionCode = g_source.condition;
      status->Reserved = 0;
      return TWRC_SUCCESS;  // asking leaves the condition as it was
    }
    case DAT_CAPABILITY:
      return Capability(msg, *static_cast<TW_CAPABILITY*>(data));
    case DAT_USERINTERFACE:
      if (msg == MSG_ENABLEDS) return EnableSource(*static_cast<TW_USERINTERFACE*>(data));
      if (msg == MSG_DISABLEDS) {
        if (g_source.state != kEnabled) return Fail(TWCC_SEQERROR);
        DropSignals();  // a ready-to-transfer still on its way is taken back
        g_source.state = kOpen;
        return Succeed();
      }
      return Fail(TWCC_BADPROTOCOL);
    case DAT_EVENT:
      if (msg != MSG_PROCESSEVENT || g_source.state < kEnabled) return Fail(TWCC_SEQERROR);
      return ProcessEvent(*static_cast<TW_EVENT*>(data));
    case DAT_PENDINGXFERS:
      return PendingTransfers(msg, *static_cast<TW_PENDINGXFERS*>(data));
    default:
      return Fail(TWCC_BADPROTOCOL);
  }
}

}  // namespace
}  // namespace orla::test::scanner

extern "C" TW_UINT16 WINAPI DS_Entry(pTW_IDENTITY, TW_UINT32 group, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
  using namespace orla::test::scanner;
  if (data == nullptr) return Fail(TWCC_BADVALUE);
  if (group == DG_CONTROL) return Control(dat, msg, data);
  if (group == DG_IMAGE && msg == MSG_GET) {
    if (dat == DAT_IMAGEINFO) return ImageInfo(*static_cast<TW_IMAGEINFO*>(data));
    if (dat == DAT_IMAGENATIVEXFER) return NativeTransfer(*static_cast<TW_HANDLE*>(data));
  }
  return Fail(TWCC_BADPROTOCOL);
}
