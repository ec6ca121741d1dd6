// The TWAIN session against a scripted source manager: the order of every call it makes, what
// it does with each answer, and where it leaves the parent window and its flags.

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "scripted_dsm.h"
#include "twain_session.h"
#include "wine_check.h"

using namespace orla::test;
using Bytes = std::vector<unsigned char>;

namespace {

HWND g_parent = nullptr;

struct Received {
  Bytes bytes;
  TW_INT32 width = 0;
  bool parentEnabled = true;
  bool blockFreed = false;
};

class Session : public CTwain {
 public:
  Session() { SetManagerLoader(ScriptedDsmLoader()); }

  using CTwain::CallDsm;
  using CTwain::m_AppId;
  using CTwain::m_bDsmOpen;
  using CTwain::m_bSourceEnabled;
  using CTwain::m_bSourceOpen;
  using CTwain::m_bSourceSelected;
  using CTwain::m_hTwainDll;
  using CTwain::m_hWndTwainParent;
  using CTwain::m_nLastReturnCode;
  using CTwain::m_pDsmEntry;
  using CTwain::m_SourceId;
  using CTwain::m_Status;

  int DecideTransfer(const TW_IMAGEINFO* info) override {
    if (decisions.empty()) return CTwain::DecideTransfer(info);
    const int decision = decisions.front();
    decisions.erase(decisions.begin());
    return decision;
  }

  void OnImageAcquired(PackedDib dib, const TW_IMAGEINFO* info) override {
    ++depth;
    maxDepth = std::max(maxDepth, depth);
    Received page;
    page.width = info->ImageWidth;
    page.parentEnabled = IsWindowEnabled(g_parent) != FALSE;
    page.blockFreed = IsFreedBlock(dib);
    if (void* bytes = GlobalLock(dib)) {
      const auto* p = static_cast<const unsigned char*>(bytes);
      page.bytes.assign(p, p + GlobalSize(dib));
      GlobalUnlock(dib);
    }
    received.push_back(page);
    if (duringImage) duringImage(received.size());
    --depth;
  }

  bool MayCloseSource() override {
    ++closeAsked;
    return mayClose;
  }

  // Records the failed image with the call that failed: the owner hears of it before the
  // session ends that transfer.
  void OnTransferFailed(int image) override {
    failed.push_back(image);
    const auto& log = ScriptedDsm::Instance().Log();
    failedCalls.push_back(log.size() >= 2 ? log[log.size() - 2] : std::string());
    failedWhileParentEnabled = failedWhileParentEnabled || IsWindowEnabled(g_parent);
  }

  std::vector<int> decisions;
  std::vector<int> failed;
  std::vector<std::string> failedCalls;
  bool failedWhileParentEnabled = false;
  std::vector<Received> received;
  std::function<void(std::size_t)> duringImage;
  bool mayClose = true;
  int closeAsked = 0;
  int depth = 0;
  int maxDepth = 0;
};

using Answer = std::function<void(TW_MEMREF)>;

DsmStep ToManager(TW_UINT16 dat, TW_UINT16 msg, TW_UINT16 result = TWRC_SUCCESS, Answer answer = nullptr,
                  TW_UINT16 condition = TWCC_SUCCESS) {
  return {DsmDest::Manager, DG_CONTROL, dat, msg, result, std::move(answer), condition};
}

DsmStep ToSource(TW_UINT32 group, TW_UINT16 dat, TW_UINT16 msg, TW_UINT16 result = TWRC_SUCCESS,
                 Answer answer = nullptr, TW_UINT16 condition = TWCC_SUCCESS) {
  return {DsmDest::Source, group, dat, msg, result, std::move(answer), condition};
}

DsmStep OpenDsm(TW_UINT16 result = TWRC_SUCCESS, TW_UINT16 condition = TWCC_SUCCESS) {
  return ToManager(DAT_PARENT, MSG_OPENDSM, result, nullptr, condition);
}
DsmStep CloseDsm() { return ToManager(DAT_PARENT, MSG_CLOSEDSM); }
DsmStep GetDefault(TW_UINT16 result = TWRC_SUCCESS) {
  return ToManager(DAT_IDENTITY, MSG_GETDEFAULT, result, answer::Identity("Default Source"));
}
DsmStep OpenDs(TW_UINT16 result = TWRC_SUCCESS, Answer answer = nullptr) {
  return ToManager(DAT_IDENTITY, MSG_OPENDS, result, std::move(answer), result == TWRC_SUCCESS ? 0 : TWCC_NODS);
}
DsmStep CloseDs() { return ToManager(DAT_IDENTITY, MSG_CLOSEDS); }
DsmStep SetCount(TW_UINT16 result = TWRC_SUCCESS, Answer answer = nullptr) {
  return ToSource(DG_CONTROL, DAT_CAPABILITY, MSG_SET, result, std::move(answer),
                  result == TWRC_SUCCESS ? 0 : TWCC_BADVALUE);
}
DsmStep GetCount(TW_UINT16 result, Answer answer) {
  return ToSource(DG_CONTROL, DAT_CAPABILITY, MSG_GET, result, std::move(answer));
}
DsmStep EnableDs(TW_UINT16 result = TWRC_SUCCESS, Answer answer = nullptr) {
  return ToSource(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, result, std::move(answer),
                  result == TWRC_SUCCESS ? 0 : TWCC_OPERATIONERROR);
}
DsmStep DisableDs(TW_UINT16 result = TWRC_SUCCESS) {
  return ToSource(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, result, nullptr,
                  result == TWRC_SUCCESS ? 0 : TWCC_SEQERROR);
}
DsmStep Event(TW_UINT16 twMessage, TW_UINT16 result = TWRC_DSEVENT) {
  return ToSource(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, result, answer::Event(twMessage));
}
DsmStep Info(TW_INT32 width, TW_UINT16 result = TWRC_SUCCESS) {
  return ToSource(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, result, answer::ImageInfo(width, 10, 8),
                  result == TWRC_SUCCESS ? 0 : TWCC_BUMMER);
}
DsmStep Native(TW_UINT16 result, Bytes image = {}) {
  return ToSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, result,
                  image.empty() ? Answer(nullptr) : answer::Image(std::move(image)),
                  result == TWRC_FAILURE ? TWCC_LOWMEMORY : 0);
}
// Also checks that the block of the image before was already freed.
DsmStep EndXfer(TW_UINT16 remaining, TW_UINT16 result = TWRC_SUCCESS) {
  return ToSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, result, [remaining](TW_MEMREF data) {
    const auto& images = ScriptedDsm::Instance().Images();
    CHECK(images.empty() || IsFreedBlock(images.back()));
    answer::Pending(remaining)(data);
  }, result == TWRC_SUCCESS ? 0 : TWCC_SEQERROR);
}
// The pending count of a source that cannot tell how many images remain.
constexpr TW_UINT16 kUnknownCount = 0xFFFF;
DsmStep Reset() { return ToSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, TWRC_SUCCESS, answer::Pending(0)); }

// Checks, inside a call, that the parent window is disabled.
Answer ParentDisabled(Answer then = nullptr) {
  return [then](TW_MEMREF data) {
    CHECK(!IsWindowEnabled(g_parent));
    if (then) then(data);
  };
}

// The containers the session handed to the source with MSG_SET, in order.
std::vector<HGLOBAL> g_setContainers;

// Checks the transfer count's container as the source receives it.
Answer CountIs(TW_UINT16 itemType, TW_UINT32 item) {
  return [=](TW_MEMREF data) {
    const auto* capability = static_cast<const TW_CAPABILITY*>(data);
    g_setContainers.push_back(capability->hContainer);
    CHECK(capability->Cap == CAP_XFERCOUNT);
    CHECK(capability->ConType == TWON_ONEVALUE);
    CHECK(GlobalSize(capability->hContainer) == sizeof(TW_ONEVALUE));
    const auto* value = static_cast<const TW_ONEVALUE*>(GlobalLock(capability->hContainer));
    CHECK(value != nullptr);
    if (value != nullptr) {
      CHECK(value->ItemType == itemType);
      CHECK(value->Item == item);
      GlobalUnlock(capability->hContainer);
    }
  };
}

MSG AnyMessage() {
  MSG msg{};
  msg.hwnd = g_parent;
  msg.message = WM_USER + 7;
  return msg;
}

ScriptedDsm& FreshDsm() {
  ScriptedDsm& dsm = ScriptedDsm::Instance();
  dsm.Reset();
  return dsm;
}

void CheckFinished(const char* test) {
  const ScriptedDsm& dsm = ScriptedDsm::Instance();
  CHECK(dsm.Finished());
  if (!dsm.Finished()) {
    std::printf("  in %s\n", test);
    dsm.Report();
  }
  CHECK(IsWindowEnabled(g_parent));
}

// The manager open (state 3).
void OpenManager(Session& session) {
  ScriptedDsm::Instance().Expect(OpenDsm());
  CHECK(session.OpenSourceManager(g_parent));
}

// The default source open and enabled through Acquire (state 5).
void OpenAndEnable(Session& session) {
  OpenManager(session);
  ScriptedDsm::Instance().Expect({GetDefault(), OpenDs(), SetCount(), EnableDs()});
  CHECK(session.Acquire());
  CHECK(session.m_bSourceEnabled == 1);
}

// What the destructor does from state 5.
void ExpectShutdownFromEnabled() { ScriptedDsm::Instance().Expect({DisableDs(), CloseDs(), CloseDsm()}); }

void TestMissingManager() {
  struct Case {
    const char* name;
    bool libraryMissing;
    bool entryMissing;
    std::vector<std::string> log;
  };
  const Case cases[] = {
      {"no library", true, false, {"load TWAIN_32.DLL"}},
      {"no entry", false, true, {"load TWAIN_32.DLL", "release"}},
  };
  for (const Case& c : cases) {
    ScriptedDsm& dsm = FreshDsm();
    dsm.libraryMissing = c.libraryMissing;
    dsm.entryMissing = c.entryMissing;
    {
      Session session;
      CHECK(!session.OpenSourceManager(g_parent));
      CHECK(session.m_hTwainDll == nullptr);
      CHECK(session.m_pDsmEntry == nullptr);
      CHECK(session.m_nLastReturnCode == TWRC_FAILURE);
      // Every later operation fails without calling anything.
      CHECK(!session.Acquire());
      CHECK(session.m_nLastReturnCode == TWRC_FAILURE);
      CHECK(!session.GetDefaultSource());
      CHECK(session.SelectSource() == 0);
      CHECK(!session.SetTransferCount(-1));
      CHECK(!session.ProcessEvent(AnyMessage()));
      CHECK(!session.EndTransfer());
      CHECK(!session.CallDsm(nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, nullptr));
      CHECK(session.m_nLastReturnCode == TWRC_FAILURE);
    }
    CHECK(dsm.Log() == c.log);  // released once, not again by the destructor
    CheckFinished(c.name);
  }

  // Not a window: nothing is loaded.
  ScriptedDsm& dsm = FreshDsm();
  {
    Session session;
    CHECK(!session.OpenSourceManager(nullptr));
  }
  CHECK(dsm.Log().empty());
  CheckFinished("no window");
}

void TestOpenTwiceAndIdentity() {
  ScriptedDsm& dsm = FreshDsm();
  {
    Session session;
    OpenManager(session);
    CHECK(session.m_bDsmOpen == 1);
    CHECK(session.m_hWndTwainParent == g_parent);

    TW_IDENTITY expected{};
    expected.Version.MajorNum = 3;
    expected.Version.MinorNum = 5;
    expected.Version.Language = 13;
    expected.Version.Country = 1;
    std::strcpy(expected.Version.Info, "3.5");
    expected.ProtocolMajor = 1;
    expected.ProtocolMinor = 8;
    expected.SupportedGroups = 3;
    std::strcpy(expected.Manufacturer, "Vosku");
    std::strcpy(expected.ProductFamily, "Generic");
    std::strcpy(expected.ProductName, "Vuzir Odev");
    CHECK(std::memcmp(&session.m_AppId, &expected, sizeof expected) == 0);

    const std::size_t calls = dsm.Log().size();
    CHECK(session.OpenSourceManager(g_parent));
    CHECK(dsm.Log().size() == calls);
    dsm.Expect(CloseDsm());
  }
  CHECK(dsm.Log().back() == "release");
  CheckFinished("open twice");

  // The manager refuses to open: the library is loaded all the same, and the status holds why.
  FreshDsm();
  {
    Session session;
    dsm.Expect(OpenDsm(TWRC_FAILURE, TWCC_LOWMEMORY));
    CHECK(session.OpenSourceManager(g_parent));
    CHECK(session.m_bDsmOpen == 0);
    CHECK(session.m_nLastReturnCode == TWRC_FAILURE);
    CHECK(session.m_Status.ConditionCode == TWCC_LOWMEMORY);
  }
  const std::vector<std::string> log = {"load TWAIN_32.DLL", "M CONTROL/PARENT/OPENDSM", "M CONTROL/STATUS/GET",
                                        "release"};
  CHECK(dsm.Log() == log);
  CheckFinished("manager refuses to open");
}

void TestSelectSource() {
  ScriptedDsm& dsm = FreshDsm();
  {
    Session session;
    OpenManager(session);
    // First choice: the default source, then the user's own choice.
    dsm.Expect({GetDefault(), ToManager(DAT_IDENTITY, MSG_USERSELECT, TWRC_SUCCESS, answer::Identity("Chosen"))});
    CHECK(session.SelectSource() == 1);
    CHECK(std::strcmp(session.m_SourceId.ProductName, "Chosen") == 0);
    // A cancelled choice keeps the earlier one selected.
    dsm.Expect(ToManager(DAT_IDENTITY, MSG_USERSELECT, TWRC_CANCEL));
    CHECK(session.SelectSource() == 1);
    dsm.Expect(CloseDsm());
  }
  CheckFinished("select source");
}

void TestTransferCount() {
  ScriptedDsm& dsm = FreshDsm();
  HGLOBAL returned = nullptr;
  {
    Session session;
    OpenManager(session);
    dsm.Expect({GetDefault(), OpenDs()});
    CHECK(session.OpenSource(nullptr));

    // The source changes -1 to 1: the count is read back and set again as an unsigned value.
    dsm.Expect({SetCount(TWRC_CHECKSTATUS, CountIs(TWTY_INT16, 0xFFFF)),
                GetCount(TWRC_SUCCESS,
                         [&returned](TW_MEMREF data) {
                           auto* capability = static_cast<TW_CAPABILITY*>(data);
                           CHECK(capability->ConType == TWON_DONTCARE16);
                           CHECK(capability->hContainer == nullptr);
                           returned = GlobalAlloc(GHND, sizeof(TW_ONEVALUE));
                           auto* value = static_cast<TW_ONEVALUE*>(GlobalLock(returned));
                           value->ItemType = TWTY_INT16;
                           value->Item = 0x00070001;  // only the low 16 bits count
                           GlobalUnlock(returned);
                           capability->ConType = TWON_ONEVALUE;
                           capability->hContainer = returned;
                         }),
                SetCount(TWRC_SUCCESS, CountIs(TWTY_UINT16, 1))});
    g_setContainers.clear();
    CHECK(session.SetTransferCount(-1));
    CHECK(IsFreedBlock(returned));
    // Each container set is freed after its call.
    CHECK(g_setContainers.size() == 2);
    for (HGLOBAL container : g_setContainers) CHECK(IsFreedBlock(container));

    // Containers that hold no single value, or none at all, end the road.
    struct Case {
      const char* name;
      TW_UINT16 getResult;
      TW_UINT16 conType;
      SIZE_T bytes;  // 0: no container
    };
    const Case cases[] = {
        {"get fails", TWRC_FAILURE, TWON_ONEVALUE, 0},
        {"no container", TWRC_SUCCESS, TWON_ONEVALUE, 0},
        {"an enumeration", TWRC_SUCCESS, TWON_ENUMERATION, 64},
        {"a short block", TWRC_SUCCESS, TWON_ONEVALUE, 2},
    };
    for (const Case& c : cases) {
      HGLOBAL container = nullptr;
      dsm.Expect({SetCount(TWRC_CHECKSTATUS), GetCount(c.getResult, [&container, c](TW_MEMREF data) {
                    auto* capability = static_cast<TW_CAPABILITY*>(data);
                    capability->ConType = c.conType;
                    if (c.bytes != 0) container = GlobalAlloc(GHND, c.bytes);
                    capability->hContainer = container;
                  })});
      CHECK(!session.SetTransferCount(-1));
      if (container != nullptr) CHECK(IsFreedBlock(container));
      CheckFinished(c.name);
    }

    // A plain refusal: no second try.
    dsm.Expect(SetCount(TWRC_FAILURE));
    CHECK(!session.SetTransferCount(-1));
    CHECK(session.m_Status.ConditionCode == TWCC_BADVALUE);
    dsm.Expect({CloseDs(), CloseDsm()});
  }
  CheckFinished("transfer count");
}

void TestBatchOfThree() {
  ScriptedDsm& dsm = FreshDsm();
  {
    Session session;
    OpenAndEnable(session);
    dsm.Expect({Event(MSG_XFERREADY),
                Info(101), Native(TWRC_XFERDONE, {1, 1, 1}), EndXfer(2),
                Info(102), Native(TWRC_XFERDONE, {2, 2, 2, 2}), EndXfer(1),
                Info(103), Native(TWRC_XFERDONE, {3}), EndXfer(0)});
    CHECK(session.ProcessEvent(AnyMessage()));
    CHECK(session.received.size() == 3);
    const Bytes pages[] = {{1, 1, 1}, {2, 2, 2, 2}, {3}};
    for (std::size_t i = 0; i < session.received.size() && i < 3; ++i) {
      CHECK(session.received[i].bytes == pages[i]);
      CHECK(session.received[i].width == static_cast<TW_INT32>(101 + i));
      CHECK(!session.received[i].parentEnabled);
      CHECK(!session.received[i].blockFreed);
    }
    for (HGLOBAL image : dsm.Images()) CHECK(IsFreedBlock(image));
    // The source stays enabled for the next batch.
    CHECK(session.m_bSourceEnabled == 1);
    ExpectShutdownFromEnabled();
  }
  CheckFinished("batch of three");
}

void TestTransferEndings() {
  struct Case {
    const char* name;
    std::vector<int> decisions;
    std::vector<DsmStep> steps;  // after the ready-to-transfer event
    std::vector<Bytes> pages;
    std::vector<int> failed = {};  // the images the owner heard had failed, by place in the batch
  };
  const std::string native = "S IMAGE/IMAGENATIVEXFER/GET";
  const std::string info = "S IMAGE/IMAGEINFO/GET";
  const Case cases[] = {
      {"cancelled transfer goes on with the next image",
       {},
       {Info(1), Native(TWRC_CANCEL), EndXfer(1), Info(2), Native(TWRC_XFERDONE, {9, 9}), EndXfer(0)},
       {{9, 9}}},
      {"skipped image", {1, 0}, {Info(1), EndXfer(1), Info(2), Native(TWRC_XFERDONE, {5}), EndXfer(0)}, {{5}}},
      {"cancel all", {2}, {Info(1), Reset()}, {}},
      {"an unknown decision cancels all", {7}, {Info(1), Reset()}, {}},
      // A failed image stays pending (state 6): ending its transfer drops it alone, and the
      // images behind it still come.
      {"failed transfer goes on with the next image",
       {},
       {Info(1), Native(TWRC_XFERDONE, {1}), EndXfer(2), Info(2), Native(TWRC_FAILURE), EndXfer(1),
        Info(3), Native(TWRC_XFERDONE, {3}), EndXfer(0)},
       {{1}, {3}},
       {2}},
      {"image information fails, the next image comes",
       {},
       {Info(1), Native(TWRC_XFERDONE, {1}), EndXfer(2), Info(2, TWRC_FAILURE), EndXfer(1),
        Info(3), Native(TWRC_XFERDONE, {3}), EndXfer(0)},
       {{1}, {3}},
       {2}},
      {"the last image fails", {}, {Info(1), Native(TWRC_XFERDONE, {1}), EndXfer(1), Info(2), Native(TWRC_FAILURE),
                                    EndXfer(0)}, {{1}}, {2}},
      // Without a reset such a source would stay in its transfer state, where it can be
      // neither disabled nor closed.
      {"a source that cannot end a failed transfer drops the rest",
       {},
       {Info(1, TWRC_FAILURE), EndXfer(2, TWRC_FAILURE), Reset()},
       {},
       {1}},
      {"an unknown count goes on after a failure",
       {},
       {Info(1), Native(TWRC_FAILURE), EndXfer(kUnknownCount), Info(2), Native(TWRC_FAILURE), EndXfer(kUnknownCount),
        Info(3), Native(TWRC_XFERDONE, {3}), EndXfer(kUnknownCount), Info(4, TWRC_FAILURE), EndXfer(kUnknownCount),
        Info(5), Native(TWRC_XFERDONE, {5}), EndXfer(0)},
       {{3}, {5}},
       {1, 2, 4}},
      {"an unknown count failing image after image gives up",
       {},
       {Info(1), Native(TWRC_FAILURE), EndXfer(kUnknownCount), Info(2), Native(TWRC_FAILURE), EndXfer(kUnknownCount),
        Info(3, TWRC_FAILURE), EndXfer(kUnknownCount), Reset()},
       {},
       {1, 2, 3}},
  };
  for (const Case& c : cases) {
    ScriptedDsm& dsm = FreshDsm();
    {
      Session session;
      OpenAndEnable(session);
      session.decisions = c.decisions;
      dsm.Expect(Event(MSG_XFERREADY));
      dsm.Expect(c.steps);
      CHECK(session.ProcessEvent(AnyMessage()));
      CHECK(session.received.size() == c.pages.size());
      for (std::size_t i = 0; i < session.received.size() && i < c.pages.size(); ++i) {
        CHECK(session.received[i].bytes == c.pages[i]);
      }
      CHECK(session.failed == c.failed);
      // Each failure was told right after the call that failed, with the parent disabled.
      for (const std::string& call : session.failedCalls) CHECK(call == native || call == info);
      CHECK(!session.failedWhileParentEnabled);
      CHECK(session.m_bSourceEnabled == 1);
      // Back in state 5: the source can be disabled and closed.
      dsm.Expect({Event(MSG_CLOSEDSREQ), DisableDs(), CloseDs()});
      CHECK(session.ProcessEvent(AnyMessage()));
      CHECK(session.m_bSourceEnabled == 0);
      CHECK(session.m_bSourceOpen == 0);
      dsm.Expect(CloseDsm());
    }
    CheckFinished(c.name);
  }
}

void TestEventsWithoutEnabledSource() {
  ScriptedDsm& dsm = FreshDsm();
  {
    Session session;
    CHECK(!session.ProcessEvent(AnyMessage()));  // nothing loaded
    OpenManager(session);
    CHECK(!session.ProcessEvent(AnyMessage()));  // manager open
    dsm.Expect({GetDefault(), OpenDs()});
    CHECK(session.OpenSource(nullptr));
    const std::size_t calls = dsm.Log().size();
    CHECK(!session.ProcessEvent(AnyMessage()));  // source open, not enabled
    CHECK(dsm.Log().size() == calls);
    dsm.Expect({CloseDs(), CloseDsm()});
  }
  CheckFinished("events without an enabled source");
}

// Operations that find the session in the wrong state call nothing; the source opened is the
// one given; an event's answer is neither kept as the last return code nor followed by a
// status request.
void TestSourceOperations() {
  ScriptedDsm& dsm = FreshDsm();
  {
    Session session;
    OpenManager(session);
    TW_IDENTITY given{};
    std::strcpy(given.ProductName, "Given");
    session.m_bSourceSelected = 1;  // chosen by the owner: no default source replaces it
    dsm.Expect(OpenDs(TWRC_SUCCESS, [](TW_MEMREF data) {
      CHECK(std::strcmp(static_cast<const TW_IDENTITY*>(data)->ProductName, "Given") == 0);
    }));
    CHECK(session.OpenSource(&given));
    CHECK(session.m_bSourceOpen == 1);

    // Opening again keeps the open source and its identity.
    TW_IDENTITY other{};
    std::strcpy(other.ProductName, "Other");
    std::size_t calls = dsm.Log().size();
    CHECK(session.OpenSource(&other));
    CHECK(session.OpenSource(nullptr));
    CHECK(dsm.Log().size() == calls);
    CHECK(std::strcmp(session.m_SourceId.ProductName, "Given") == 0);

    dsm.Expect(EnableDs());
    CHECK(session.EnableSource());
    calls = dsm.Log().size();
    CHECK(!session.EnableSource());  // enabled already
    CHECK(dsm.Log().size() == calls);

    // A refused disable leaves the source enabled.
    dsm.Expect(DisableDs(TWRC_FAILURE));
    CHECK(!session.DisableSource());
    CHECK(session.m_bSourceEnabled == 1);
    CHECK(session.m_nLastReturnCode == TWRC_FAILURE);
    CHECK(session.m_Status.ConditionCode == TWCC_SEQERROR);

    for (const TW_UINT16 result : {TW_UINT16(TWRC_NOTDSEVENT), TW_UINT16(TWRC_DSEVENT)}) {
      dsm.Expect(Event(MSG_NULL, result));
      calls = dsm.Log().size();
      CHECK(session.ProcessEvent(AnyMessage()) == (result == TWRC_DSEVENT));
      CHECK(dsm.Log().size() == calls + 1);
      CHECK(session.m_nLastReturnCode == TWRC_FAILURE);
      CHECK(session.m_Status.ConditionCode == TWCC_SEQERROR);
    }

    dsm.Expect(DisableDs());
    CHECK(session.DisableSource());
    CHECK(session.m_bSourceEnabled == 0);
    calls = dsm.Log().size();
    CHECK(!session.DisableSource());  // not enabled
    CHECK(dsm.Log().size() == calls);
    dsm.Expect({CloseDs(), CloseDsm()});
  }
  CheckFinished("source operations");
}

void TestCloseRequest() {
  for (TW_UINT16 request : {MSG_CLOSEDSREQ, MSG_CLOSEDSOK}) {
    ScriptedDsm& dsm = FreshDsm();
    {
      Session session;
      OpenAndEnable(session);
      // A message the source does not claim changes nothing.
      dsm.Expect(Event(MSG_NULL, TWRC_NOTDSEVENT));
      CHECK(!session.ProcessEvent(AnyMessage()));

      dsm.Expect({Event(request), DisableDs(), CloseDs()});
      CHECK(session.ProcessEvent(AnyMessage()));
      CHECK(session.m_bSourceEnabled == 0);
      CHECK(session.m_bSourceOpen == 0);
      CHECK(session.m_bSourceSelected == 1);

      // The next Track opens the same source again.
      dsm.Expect({OpenDs(), SetCount(), EnableDs()});
      CHECK(session.Acquire());
      CHECK(session.m_bSourceEnabled == 1);

      // An owner that keeps the source: the request is only asked about.
      session.mayClose = false;
      dsm.Expect(Event(request));
      CHECK(session.ProcessEvent(AnyMessage()));
      CHECK(session.closeAsked == 2);
      CHECK(session.m_bSourceEnabled == 1);
      ExpectShutdownFromEnabled();
    }
    CheckFinished("close request");
  }
}

// Track pressed again while the source's own window is up: a source enabled already is
// neither set up again nor closed, and nothing is called.
void TestAcquireWhileEnabled() {
  ScriptedDsm& dsm = FreshDsm();
  {
    Session session;
    OpenAndEnable(session);
    const std::size_t calls = dsm.Log().size();
    CHECK(session.Acquire());
    CHECK(dsm.Log().size() == calls);
    CHECK(session.m_bSourceEnabled == 1);
    CHECK(session.m_bSourceOpen == 1);
    ExpectShutdownFromEnabled();
  }
  CheckFinished("acquire while enabled");
}

// A source that refuses to be disabled cannot be closed: the session leaves it open and
// enabled, its events still reach it, and a later close request closes it. When the manager
// closes, no source is left marked open or enabled.
void TestRefusedDisable() {
  ScriptedDsm& dsm = FreshDsm();
  {
    Session session;
    OpenAndEnable(session);
    dsm.Expect({Event(MSG_CLOSEDSREQ), DisableDs(TWRC_FAILURE)});
    CHECK(session.ProcessEvent(AnyMessage()));
    CHECK(session.m_bSourceEnabled == 1);
    CHECK(session.m_bSourceOpen == 1);
    dsm.Expect(Event(MSG_NULL));
    CHECK(session.ProcessEvent(AnyMessage()));

    dsm.Expect({Event(MSG_CLOSEDSREQ), DisableDs(), CloseDs()});
    CHECK(session.ProcessEvent(AnyMessage()));
    CHECK(session.m_bSourceEnabled == 0);
    CHECK(session.m_bSourceOpen == 0);
    dsm.Expect(CloseDsm());
  }
  CheckFinished("refused disable, closed later");

  FreshDsm();
  {
    Session session;
    OpenAndEnable(session);
    dsm.Expect({DisableDs(TWRC_FAILURE), CloseDsm()});
    session.CloseSourceManager();
    CHECK(session.m_bSourceEnabled == 0);
    CHECK(session.m_bSourceOpen == 0);
    const std::size_t calls = dsm.Log().size();
    CHECK(!session.ProcessEvent(AnyMessage()));
    CHECK(dsm.Log().size() == calls);
  }
  CheckFinished("refused disable, manager closed");
}

void TestAcquireFailures() {
  struct Case {
    const char* name;
    std::vector<DsmStep> steps;
    TW_UINT16 condition;
  };
  const Case cases[] = {
      {"source does not open", {GetDefault(), OpenDs(TWRC_FAILURE, ParentDisabled())}, TWCC_NODS},
      {"count refused", {GetDefault(), OpenDs(), SetCount(TWRC_FAILURE, ParentDisabled()), CloseDs()}, TWCC_BADVALUE},
      {"source does not enable",
       {GetDefault(), OpenDs(), SetCount(), EnableDs(TWRC_FAILURE, ParentDisabled()), CloseDs()},
       TWCC_OPERATIONERROR},
  };
  for (const Case& c : cases) {
    ScriptedDsm& dsm = FreshDsm();
    {
      Session session;
      OpenManager(session);
      dsm.Expect(c.steps);
      CHECK(!session.Acquire());
      CHECK(IsWindowEnabled(g_parent));
      CHECK(session.m_bSourceOpen == 0);
      CHECK(session.m_bSourceEnabled == 0);
      CHECK(session.m_Status.ConditionCode == c.condition);
      dsm.Expect(CloseDsm());
    }
    CheckFinished(c.name);
  }
}

void TestDestructorOrder() {
  ScriptedDsm& dsm = FreshDsm();
  std::size_t before = 0;
  {
    Session session;
    OpenAndEnable(session);
    before = dsm.Log().size();
    ExpectShutdownFromEnabled();
  }
  const std::vector<std::string> tail(dsm.Log().begin() + static_cast<std::ptrdiff_t>(before), dsm.Log().end());
  const std::vector<std::string> expected = {"S CONTROL/USERINTERFACE/DISABLEDS", "M CONTROL/IDENTITY/CLOSEDS",
                                             "M CONTROL/PARENT/CLOSEDSM", "release"};
  CHECK(tail == expected);
  CheckFinished("destructor order");

  // Nothing loaded: nothing to undo.
  FreshDsm();
  { Session session; }
  CHECK(dsm.Log().empty());
}

void TestReentrancy() {
  ScriptedDsm& dsm = FreshDsm();
  {
    Session session;
    OpenAndEnable(session);
    // While the first page is handed over, the owner pumps messages (a message box): the
    // source sees them, but its ready-to-transfer starts no second loop and its close
    // request waits for the loop's end.
    session.duringImage = [&session](std::size_t page) {
      if (page != 1) return;
      CHECK(session.ProcessEvent(AnyMessage()));
      CHECK(session.ProcessEvent(AnyMessage()));
      CHECK(session.m_bSourceEnabled == 1);
      CHECK(session.m_bSourceOpen == 1);
    };
    dsm.Expect({Event(MSG_XFERREADY),
                Info(1), Native(TWRC_XFERDONE, {1}),
                Event(MSG_XFERREADY), Event(MSG_CLOSEDSREQ),
                EndXfer(1),
                Info(2), Native(TWRC_XFERDONE, {2}), EndXfer(0),
                DisableDs(), CloseDs()});
    CHECK(session.ProcessEvent(AnyMessage()));
    CHECK(session.received.size() == 2);
    CHECK(session.maxDepth == 1);
    CHECK(session.closeAsked == 1);
    CHECK(session.m_bSourceEnabled == 0);
    CHECK(session.m_bSourceOpen == 0);
    dsm.Expect(CloseDsm());
  }
  CheckFinished("re-entrancy");
}

// The owner closes the source (the user left scanner mode): at once from state 5; during a
// transfer loop once the loop has taken the images the source still offers. It is the
// owner's own wish, so MayCloseSource is not asked.
void TestCloseWhenIdle() {
  ScriptedDsm& dsm = FreshDsm();
  {
    Session session;
    OpenAndEnable(session);
    session.mayClose = false;
    dsm.Expect({DisableDs(), CloseDs()});
    session.CloseSourceWhenIdle();
    CHECK(session.m_bSourceOpen == 0);
    dsm.Expect({OpenDs(), SetCount(), EnableDs()});
    CHECK(session.Acquire());

    session.duringImage = [&session](std::size_t page) {
      if (page != 1) return;
      const std::size_t calls = ScriptedDsm::Instance().Log().size();
      session.CloseSourceWhenIdle();
      CHECK(ScriptedDsm::Instance().Log().size() == calls);
      CHECK(session.m_bSourceEnabled == 1);
    };
    dsm.Expect({Event(MSG_XFERREADY),
                Info(1), Native(TWRC_XFERDONE, {1}), EndXfer(1),
                Info(2), Native(TWRC_XFERDONE, {2}), EndXfer(0),
                DisableDs(), CloseDs()});
    CHECK(session.ProcessEvent(AnyMessage()));
    CHECK(session.received.size() == 2);
    CHECK(session.m_bSourceOpen == 0);
    CHECK(session.closeAsked == 0);
    // Nothing is left to close at the end of the next loop.
    dsm.Expect({OpenDs(), SetCount(), EnableDs(), Event(MSG_XFERREADY), Info(3), Native(TWRC_XFERDONE, {3}),
                EndXfer(0)});
    CHECK(session.Acquire());
    CHECK(session.ProcessEvent(AnyMessage()));
    CHECK(session.m_bSourceEnabled == 1);
    ExpectShutdownFromEnabled();
  }
  CheckFinished("close when idle");
}

}  // namespace

int main() {
  g_parent = CreateWindowExW(0, reinterpret_cast<LPCWSTR>(u"STATIC"), reinterpret_cast<LPCWSTR>(u"parent"),
                             WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, GetModuleHandleW(nullptr),
                             nullptr);
  CHECK(g_parent != nullptr);

  TestMissingManager();
  TestOpenTwiceAndIdentity();
  TestSelectSource();
  TestTransferCount();
  TestBatchOfThree();
  TestTransferEndings();
  TestEventsWithoutEnabledSource();
  TestSourceOperations();
  TestCloseRequest();
  TestAcquireWhileEnabled();
  TestRefusedDisable();
  TestAcquireFailures();
  TestDestructorOrder();
  TestReentrancy();
  TestCloseWhenIdle();

  DestroyWindow(g_parent);
  return wine_check::Finish("twain_session_test");
}
