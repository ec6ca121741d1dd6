// Scanning through Wine's real source manager from the test scanner: the session opens the
// manager, finds the scanner by name among the sources Wine lists, acquires page files and
// receives them byte for byte, and closes. The scanner's failure switches show what the
// session does with each failure when a real manager stands between them (a page that fails
// is reported, the pages behind it still come, and the source closes at the batch's end),
// and a second Track while the source stays enabled leaves it scanning.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bmp_bytes.h"
#include "test_scanner.h"
#include "twain_session.h"
#include "wine_check.h"

using Bytes = std::vector<std::uint8_t>;
namespace scanner = orla::test::scanner;

namespace {

HWND g_parent = nullptr;

class ScanSession : public CTwain {
 public:
  using CTwain::m_bDsmOpen;
  using CTwain::m_bSourceEnabled;
  using CTwain::m_bSourceOpen;
  using CTwain::m_SourceId;
  using CTwain::m_Status;

  // Every source the manager lists, in its order.
  std::vector<TW_IDENTITY> Sources() {
    std::vector<TW_IDENTITY> sources;
    TW_IDENTITY identity{};
    bool listed = CallDsm(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &identity);
    while (listed) {
      sources.push_back(identity);
      identity = TW_IDENTITY{};
      listed = CallDsm(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, &identity);
    }
    return sources;
  }

  std::vector<std::string> SourceNames() {
    std::vector<std::string> names;
    for (const TW_IDENTITY& source : Sources()) names.emplace_back(source.ProductName);
    return names;
  }

  // The first source in the manager's order with the test scanner's product name.
  int SelectSource() override {
    if (m_bSourceSelected) return 1;
    for (const TW_IDENTITY& source : Sources()) {
      if (std::strcmp(source.ProductName, scanner::kProductName) == 0) {
        m_SourceId = source;
        m_bSourceSelected = 1;
        return 1;
      }
    }
    return 0;
  }

  void OnImageAcquired(PackedDib dib, const TW_IMAGEINFO* info) override {
    Bytes bytes;
    if (const void* p = GlobalLock(dib)) {
      const auto* begin = static_cast<const std::uint8_t*>(p);
      bytes.assign(begin, begin + GlobalSize(dib));
      GlobalUnlock(dib);
    }
    pages.push_back(std::move(bytes));
    infos.push_back(*info);
    parentEnabled = parentEnabled || IsWindowEnabled(g_parent);
  }

  void OnTransferFailed(int image) override { failed.push_back(image); }

  std::vector<Bytes> pages;
  std::vector<int> failed;  // the pages that did not arrive, by place in the batch
  std::vector<TW_IMAGEINFO> infos;
  bool parentEnabled = false;  // ever enabled while a page was handed over
};

// One queued message through the session, as the main dialog's message filter passes it.
// False when the queue is empty.
bool PumpOne(ScanSession& session) {
  MSG msg;
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  session.ProcessEvent(msg);
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  return true;
}

// Pumps the thread's messages through the session until `done` or a time limit. False on the
// time limit.
bool PumpUntil(ScanSession& session, const std::function<bool()>& done, DWORD limit = 10000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > limit) return false;
    if (!PumpOne(session)) MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return true;
}

// Lets the queue run dry. The scanner posts each signal inside the call that gives rise to
// it, on this thread, so once the queue is empty it has nothing more to say.
void PumpQueued(ScanSession& session) {
  while (PumpOne(session)) {
  }
}

// Two pages of different kinds: 8-bit grey with a pattern, and 24-bit colour whose rows
// need padding.
std::vector<Bytes> MakePageFiles() {
  orla::test::BmpSpec grey;
  grey.width = 37;
  grey.height = 20;
  grey.bitCount = 8;
  grey.palette = orla::test::GreyRamp(256);
  for (int y = 0; y < grey.height; ++y) {
    Bytes row = orla::test::FilledRow(8, grey.width, 255);
    for (int x = 0; x < grey.width; ++x) row[x] = static_cast<std::uint8_t>((x * 7 + y * 13) % 256);
    grey.rows.push_back(row);
  }
  orla::test::BmpSpec colour;
  colour.width = 5;
  colour.height = 3;
  colour.bitCount = 24;
  colour.xPelsPerMeter = colour.yPelsPerMeter = 23622;  // 600 dpi
  for (int y = 0; y < colour.height; ++y) {
    Bytes row = orla::test::FilledRow(24, colour.width, 0);
    for (int i = 0; i < colour.width * 3; ++i) row[i] = static_cast<std::uint8_t>(y * 40 + i);
    colour.rows.push_back(row);
  }
  return {orla::test::BuildBmp(grey), orla::test::BuildBmp(colour)};
}

// A packed bitmap as the scanner delivers it: the file without its 14-byte header.
Bytes PackedFromFile(const Bytes& file) { return Bytes(file.begin() + 14, file.end()); }

void SetVariable(const char* name, const std::string& value) {
  SetEnvironmentVariableA(name, value.empty() ? nullptr : value.c_str());
}

struct Case {
  const char* name;
  const char* fail;        // ORLA_TEST_SCANNER_FAIL
  bool keepOpen;           // ORLA_TEST_SCANNER_KEEP_OPEN
  bool acquired;           // what Acquire returns
  std::vector<int> pages;  // the page files received, in order
  TW_UINT16 condition;     // the status after Acquire, when it fails
  std::vector<int> failed = {};  // the pages the session said did not arrive
};

void RunCase(ScanSession& session, const Case& c, const std::vector<Bytes>& files) {
  std::printf("case: %s\n", c.name);
  SetVariable(scanner::kFailVariable, c.fail);
  SetVariable(scanner::kKeepOpenVariable, c.keepOpen ? "1" : "");
  session.pages.clear();
  session.infos.clear();
  session.failed.clear();

  CHECK(session.SelectSource() == 1);
  const bool acquired = session.Acquire();
  CHECK(acquired == c.acquired);
  CHECK(IsWindowEnabled(g_parent));
  if (!acquired) {
    CHECK(session.m_bSourceOpen == 0);
    CHECK(session.m_Status.ConditionCode == c.condition);
    return;
  }
  CHECK(session.m_bSourceEnabled == 1);
  if (c.keepOpen) {
    CHECK(PumpUntil(session, [&] { return session.pages.size() >= c.pages.size(); }));
    PumpQueued(session);
    CHECK(session.m_bSourceEnabled == 1);
  } else {
    // The batch ends with the scanner's close request, after which the source is closed.
    CHECK(PumpUntil(session, [&] { return session.m_bSourceOpen == 0; }));
    CHECK(session.m_bSourceEnabled == 0);
  }
  CHECK(IsWindowEnabled(g_parent));
  CHECK(!session.parentEnabled);

  CHECK(session.failed == c.failed);
  CHECK(session.pages.size() == c.pages.size());
  for (std::size_t i = 0; i < session.pages.size() && i < c.pages.size(); ++i) {
    const Bytes expected = PackedFromFile(files[static_cast<std::size_t>(c.pages[i])]);
    CHECK(session.pages[i] == expected);
  }
  if (c.pages == std::vector<int>{0, 1} && session.infos.size() == 2) {
    CHECK(session.infos[0].ImageWidth == 37);
    CHECK(session.infos[0].ImageLength == 20);
    CHECK(session.infos[0].BitsPerPixel == 8);
    CHECK(session.infos[1].ImageWidth == 5);
    CHECK(session.infos[1].BitsPerPixel == 24);
    CHECK(session.infos[1].XResolution.Whole == 600);
  }
}

}  // namespace

int main() {
  g_parent = CreateWindowExW(0, reinterpret_cast<LPCWSTR>(u"STATIC"), reinterpret_cast<LPCWSTR>(u"scan parent"),
                             WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr, GetModuleHandleW(nullptr),
                             nullptr);
  CHECK(g_parent != nullptr);

  const std::vector<Bytes> files = MakePageFiles();
  const orla::test::TempFile first(files[0]);
  const orla::test::TempFile second(files[1]);
  // One page by its Unix path, the other by the Windows path Wine gives it.
  std::string secondWindows = "Z:" + second.path();
  for (char& ch : secondWindows) {
    if (ch == '/') ch = '\\';
  }
  SetVariable(scanner::kPagesVariable, first.path() + ";" + secondWindows);

  {
    ScanSession session;
    CHECK(session.OpenSourceManager(g_parent));
    CHECK(session.m_bDsmOpen == 1);
    // Wine lists its own sources too: the scanner is found by name, wherever it stands.
    const std::vector<std::string> names = session.SourceNames();
    std::printf("sources listed:");
    for (const std::string& name : names) std::printf(" \"%s\"", name.c_str());
    std::printf("\n");
    CHECK(std::count(names.begin(), names.end(), std::string(scanner::kProductName)) == 1);
    CHECK(session.SelectSource() == 1);
    CHECK(std::strcmp(session.m_SourceId.ProductName, scanner::kProductName) == 0);

    const Case cases[] = {
        {"two pages", "", false, true, {0, 1}, 0},
        {"the next Track scans again", "", false, true, {0, 1}, 0},
        {"the source changes the transfer count", "checkstatus", false, true, {0, 1}, 0},
        {"a cancelled page", "cancel:1", false, true, {1}, 0},
        {"a failed transfer, the next page comes", "nativexfer:1", false, true, {1}, 0, {1}},
        {"the last transfer fails", "nativexfer:2", false, true, {0}, 0, {2}},
        {"image information fails, the next page comes", "imageinfo:1", false, true, {1}, 0, {1}},
        {"the last page's image information fails", "imageinfo:2", false, true, {0}, 0, {2}},
        {"the source does not open", "opends", false, false, {}, TWCC_OPERATIONERROR},
        {"the count is refused", "xfercount", false, false, {}, TWCC_BADVALUE},
        {"the source does not enable", "enableds", false, false, {}, TWCC_OPERATIONERROR},
        {"the source stays enabled", "", true, true, {0, 1}, 0},
    };
    for (const Case& c : cases) RunCase(session, c, files);

    // Track again while the source stays enabled: nothing is started and nothing closed, and
    // the user's next Scan in the source's window delivers the pages as before.
    session.pages.clear();
    CHECK(session.Acquire());
    CHECK(session.m_bSourceEnabled == 1);
    CHECK(IsWindowEnabled(g_parent));
    PumpQueued(session);
    CHECK(session.pages.empty());
    PostMessageA(g_parent, RegisterWindowMessageA(scanner::kScanAgainMessage), 0, 0);
    CHECK(PumpUntil(session, [&] { return session.pages.size() >= 2; }));
    PumpQueued(session);
    CHECK(session.pages.size() == 2);
    if (session.pages.size() == 2) {
      CHECK(session.pages[0] == PackedFromFile(files[0]));
      CHECK(session.pages[1] == PackedFromFile(files[1]));
    }
    CHECK(session.m_bSourceEnabled == 1);

    // Closing from state 5: source disabled and closed, manager closed.
    session.CloseSourceManager();
    CHECK(session.m_bDsmOpen == 0);
    CHECK(session.m_bSourceOpen == 0);
    CHECK(session.m_bSourceEnabled == 0);
  }
  DestroyWindow(g_parent);
  return wine_check::Finish("twain_scan_test");
}
