#include "twain_session.h"

#include <cstring>
#include <utility>

#include "packed_dib_layout.h"

namespace {

constexpr char kManagerLibrary[] = "TWAIN_32.DLL";

// The manager exports DSM_Entry as ordinal 1; taking it by number does not depend on how the
// name was decorated.
constexpr WORD kDsmEntryOrdinal = 1;

HMODULE LoadPlatformManager(const char* libraryName) { return LoadLibraryA(libraryName); }

DSMENTRYPROC PlatformEntry(HMODULE library) {
  FARPROC entry = GetProcAddress(library, MAKEINTRESOURCEA(kDsmEntryOrdinal));
  // Through the generic function type: the entry's real signature is the standard's.
  return reinterpret_cast<DSMENTRYPROC>(reinterpret_cast<void (*)()>(entry));
}

void ReleasePlatformManager(HMODULE library) { FreeLibrary(library); }

// The pending count of a source that cannot tell how many images remain (-1).
constexpr TW_UINT16 kUnknownPendingCount = 0xFFFF;

// Such a source, failing image after image, would keep the transfer loop going for ever:
// after this many failures in a row the rest of its batch is dropped.
constexpr int kFailuresInRowBeforeReset = 3;

void CopyText(char* field, std::size_t fieldSize, const char* text) {
  std::strncpy(field, text, fieldSize - 1);
  field[fieldSize - 1] = '\0';
}

// Runs a function when the scope ends (the transfer loop's way out on every road).
template <typename F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) : f_(f) {}
  ~ScopeExit() { f_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  F f_;
};

}  // namespace

TwainManagerLoader TwainManagerLoader::Platform() {
  return {LoadPlatformManager, PlatformEntry, ReleasePlatformManager};
}

CTwain::CTwain() = default;

CTwain::~CTwain() {
  if (IsLoaded()) {
    CloseSourceManager();
    m_loader.release(m_hTwainDll);
    m_hTwainDll = nullptr;
    m_pDsmEntry = nullptr;
  }
}

void CTwain::FillIdentity() {
  std::memset(&m_AppId, 0, sizeof m_AppId);
  m_AppId.Id = 0;
  m_AppId.Version.MajorNum = 3;
  m_AppId.Version.MinorNum = 5;
  m_AppId.Version.Language = TWLG_USA;
  m_AppId.Version.Country = TWCY_USA;
  CopyText(m_AppId.Version.Info, sizeof m_AppId.Version.Info, "3.5");
  m_AppId.ProtocolMajor = 1;
  m_AppId.ProtocolMinor = 8;
  m_AppId.SupportedGroups = DG_CONTROL | DG_IMAGE;
  CopyText(m_AppId.Manufacturer, sizeof m_AppId.Manufacturer, "Vosku");
  CopyText(m_AppId.ProductFamily, sizeof m_AppId.ProductFamily, "Generic");
  CopyText(m_AppId.ProductName, sizeof m_AppId.ProductName, "Vuzir Odev");
}

bool CTwain::CallDsm(TW_IDENTITY* destination, TW_UINT32 group, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
  if (!IsLoaded()) {
    m_nLastReturnCode = TWRC_FAILURE;
    return false;
  }
  m_nLastReturnCode = m_pDsmEntry(&m_AppId, destination, group, dat, msg, data);
  if (m_nLastReturnCode != TWRC_SUCCESS) {
    m_pDsmEntry(&m_AppId, destination, DG_CONTROL, DAT_STATUS, MSG_GET, &m_Status);
  }
  return m_nLastReturnCode == TWRC_SUCCESS;
}

bool CTwain::OpenSourceManager(HWND parent) {
  if (IsLoaded()) return true;
  std::memset(&m_AppId, 0, sizeof m_AppId);
  if (!IsWindow(parent)) return false;
  m_hWndTwainParent = parent;

  m_hTwainDll = m_loader.load(kManagerLibrary);
  if (m_hTwainDll != nullptr) {
    m_pDsmEntry = m_loader.entry(m_hTwainDll);
    if (m_pDsmEntry == nullptr) {
      m_loader.release(m_hTwainDll);
      m_hTwainDll = nullptr;
    }
  }
  if (m_hTwainDll == nullptr) {
    m_nLastReturnCode = TWRC_FAILURE;  // what every later operation then reports
    return false;
  }

  FillIdentity();
  m_bDsmOpen = CallDsm(nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &m_hWndTwainParent);
  return true;
}

void CTwain::CloseSourceManager() {
  if (!IsLoaded() || !m_bDsmOpen) return;
  CloseSource();
  CallDsm(nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &m_hWndTwainParent);
  m_bDsmOpen = 0;
  // Without its manager no source is reached any more, whatever state it was left in.
  m_bSourceOpen = 0;
  m_bSourceEnabled = 0;
}

bool CTwain::GetDefaultSource() {
  m_bSourceSelected = CallDsm(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &m_SourceId);
  return m_bSourceSelected != 0;
}

int CTwain::SelectSource() {
  std::memset(&m_SourceId, 0, sizeof m_SourceId);
  if (!m_bSourceSelected) GetDefaultSource();
  if (CallDsm(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT, &m_SourceId)) m_bSourceSelected = 1;
  return m_bSourceSelected;
}

bool CTwain::OpenSource(const TW_IDENTITY* identity) {
  // Opening an open source again would fail and lose track of the one that is open.
  if (IsSourceOpen()) return true;
  if (identity != nullptr) m_SourceId = *identity;
  if (m_hTwainDll == nullptr) return false;
  if (IsLoaded() && m_bDsmOpen) {
    if (!m_bSourceSelected) GetDefaultSource();
    m_bSourceOpen = CallDsm(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &m_SourceId);
  }
  return IsSourceOpen();
}

void CTwain::CloseSource() {
  if (!IsSourceOpen()) return;
  // An enabled source cannot be closed: one that refuses to be disabled stays open and
  // enabled, and its events keep reaching it, so a later request can close it.
  if (m_bSourceEnabled && !DisableSource()) return;
  CallDsm(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &m_SourceId);
  m_bSourceOpen = 0;
}

void CTwain::CloseSourceWhenIdle() {
  if (m_bInTransfer) {
    m_bCloseWanted = true;
    return;
  }
  CloseSource();
}

bool CTwain::EnableSource() {
  if (!IsSourceOpen() || m_bSourceEnabled) return false;
  TW_USERINTERFACE ui{};
  ui.ShowUI = TRUE;
  ui.ModalUI = FALSE;
  ui.hParent = m_hWndTwainParent;
  m_bSourceEnabled = CallDsm(&m_SourceId, DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
  return m_bSourceEnabled != 0;
}

bool CTwain::DisableSource() {
  if (!m_bSourceEnabled) return false;
  TW_USERINTERFACE ui{};
  if (!CallDsm(&m_SourceId, DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui)) return false;
  m_bSourceEnabled = 0;
  return true;
}

bool CTwain::MayCloseSource() { return true; }

void CTwain::OnTransferFailed(int) {}

int CTwain::DecideTransfer(const TW_IMAGEINFO*) { return 0; }

bool CTwain::SetTransferCountAs(TW_UINT16 itemType, TW_UINT32 item) {
  const orla::OwnedBlock container(orla::AllocateBlock(sizeof(TW_ONEVALUE)));
  {
    const orla::BlockLock lock(container.get());
    if (!lock) {
      m_nLastReturnCode = TWRC_FAILURE;
      return false;
    }
    auto* value = static_cast<TW_ONEVALUE*>(lock.get());
    value->ItemType = itemType;
    value->Item = item;
  }
  TW_CAPABILITY capability{};
  capability.Cap = CAP_XFERCOUNT;
  capability.ConType = TWON_ONEVALUE;
  capability.hContainer = container.get();
  return CallDsm(&m_SourceId, DG_CONTROL, DAT_CAPABILITY, MSG_SET, &capability);
}

bool CTwain::GetTransferCount(TW_UINT32& item) {
  TW_CAPABILITY capability{};
  capability.Cap = CAP_XFERCOUNT;
  capability.ConType = TWON_DONTCARE16;
  capability.hContainer = nullptr;
  if (!CallDsm(&m_SourceId, DG_CONTROL, DAT_CAPABILITY, MSG_GET, &capability)) return false;
  // The container is ours once returned, whatever it holds; a source may answer with no
  // container or another container type, which has no single value to read. The source made
  // it, so it is freed as a plain global block, outside the count of blocks made here.
  if (capability.hContainer == nullptr) return false;
  bool read = false;
  {
    const orla::BlockLock lock(capability.hContainer);
    if (lock && capability.ConType == TWON_ONEVALUE &&
        GlobalSize(capability.hContainer) >= sizeof(TW_ONEVALUE)) {
      item = static_cast<const TW_ONEVALUE*>(lock.get())->Item;
      read = true;
    }
  }
  GlobalFree(capability.hContainer);
  return read;
}

bool CTwain::SetTransferCount(short count) {
  if (SetTransferCountAs(TWTY_INT16, static_cast<TW_UINT16>(count))) return true;
  if (m_nLastReturnCode != TWRC_CHECKSTATUS) return false;
  // The source changed the value: take the one it chose.
  TW_UINT32 item = 0;
  if (!GetTransferCount(item)) return false;
  return SetTransferCountAs(TWTY_UINT16, item & 0xFFFF);
}

void CTwain::EnableParent(bool enable) {
  if (m_hWndTwainParent != nullptr) EnableWindow(m_hWndTwainParent, enable ? TRUE : FALSE);
}

bool CTwain::Acquire() {
  // An enabled source has its user interface up and delivers through ProcessEvent already:
  // nothing is to start, and closing it would take its window from under the user.
  if (IsSourceOpen() && m_bSourceEnabled) return true;
  EnableParent(false);
  if ((IsSourceOpen() || OpenSource(nullptr)) && SetTransferCount(-1) && EnableSource()) {
    EnableParent(true);
    return true;
  }
  EnableParent(true);
  CloseSource();
  return false;
}

bool CTwain::ProcessEvent(MSG msg) {
  if (!m_bSourceEnabled || m_pDsmEntry == nullptr) return false;
  TW_EVENT event{};
  event.pEvent = &msg;
  event.TWMessage = MSG_NULL;
  const TW_UINT16 result = m_pDsmEntry(&m_AppId, &m_SourceId, DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
  switch (event.TWMessage) {
    case MSG_XFERREADY:
      TransferImages();
      break;
    case MSG_CLOSEDSREQ:
    case MSG_CLOSEDSOK:
      // A source cannot be disabled while transfers are pending: the loop closes it at its end.
      if (m_bInTransfer) {
        m_bCloseRequested = true;
      } else if (MayCloseSource()) {
        CloseSource();
      }
      break;
    default:
      break;
  }
  return result == TWRC_DSEVENT;
}

void CTwain::TransferImages() {
  // Inside a running loop (OnImageAcquired pumping messages) the pending images are that
  // loop's: a second loop would transfer them out of order and re-enter the source.
  if (m_bInTransfer) return;
  m_bInTransfer = true;
  EnableParent(false);
  {
    ScopeExit leave([this] {
      EnableParent(true);
      m_bInTransfer = false;
    });
    bool goOn = true;
    m_nFailuresInRow = 0;
    for (m_nBatchImage = 1; m_bSourceEnabled && goOn; ++m_nBatchImage) {
      TW_IMAGEINFO info{};
      if (!CallDsm(&m_SourceId, DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info)) {
        // The image stays pending: it is ended like a failed transfer, so the images behind
        // it still come and the source leaves its transfer state.
        goOn = EndFailedTransfer();
        continue;
      }
      switch (DecideTransfer(&info)) {
        case 0:
          goOn = NativeTransfer(info);
          break;
        case 1:
          goOn = EndTransfer();
          break;
        default:  // 2, and any value the owner did not mean, cancels all
          ResetTransfers();
          goOn = false;
          break;
      }
    }
  }
  const bool sourceAsked = std::exchange(m_bCloseRequested, false);
  const bool ownerAsked = std::exchange(m_bCloseWanted, false);
  if ((sourceAsked && MayCloseSource()) || ownerAsked) CloseSource();
}

bool CTwain::NativeTransfer(const TW_IMAGEINFO& info) {
  TW_HANDLE image = nullptr;
  CallDsm(&m_SourceId, DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &image);
  if (m_nLastReturnCode == TWRC_FAILURE) return EndFailedTransfer();
  if (m_nLastReturnCode == TWRC_XFERDONE) {
    m_nFailuresInRow = 0;
    OnImageAcquired(image, &info);
  }
  if (image != nullptr) GlobalFree(image);
  return EndTransfer();
}

bool CTwain::EndTransfer() {
  TW_PENDINGXFERS pending{};
  return CallDsm(&m_SourceId, DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending) && pending.Count != 0;
}

bool CTwain::EndFailedTransfer() {
  ++m_nFailuresInRow;
  // Told while the image is still pending, before the source can post the end of its batch.
  OnTransferFailed(m_nBatchImage);
  TW_PENDINGXFERS pending{};
  if (!CallDsm(&m_SourceId, DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending)) {
    // A source that cannot end a transfer that never began can still drop the rest, which
    // takes it back to state 5, where it can be disabled and closed.
    ResetTransfers();
    return false;
  }
  if (pending.Count == 0) return false;
  if (pending.Count == kUnknownPendingCount && m_nFailuresInRow >= kFailuresInRowBeforeReset) {
    ResetTransfers();
    return false;
  }
  return true;
}

void CTwain::ResetTransfers() {
  TW_PENDINGXFERS pending{};
  CallDsm(&m_SourceId, DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
}
