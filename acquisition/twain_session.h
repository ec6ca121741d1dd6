#pragma once
// CTwain: the application side of one TWAIN session. It loads the platform's data source
// manager, opens it, opens and enables one data source with the source's own user interface,
// takes every scanned image as a native transfer and hands it over as a PackedDib to
// OnImageAcquired, which the owning class implements. Everything runs on the UI thread: the
// owner passes every message its loop takes from the queue to ProcessEvent, and transfers run
// inside that call.
//
// The TWAIN structures and constants are the platform's own (Wine's public twain.h): the
// standard's values with its 2-byte packing. Handles in them are pointer-sized.

#include <windows.h>
#include <twain.h>

#include "packed_dib.h"

static_assert(sizeof(TW_IDENTITY) == 156, "TW_IDENTITY must keep the standard's layout");
static_assert(sizeof(TW_ONEVALUE) == 6, "TW_ONEVALUE must keep the standard's layout");
static_assert(sizeof(TW_HANDLE) == sizeof(void*), "native transfer handles are pointer-sized");

// How the session reaches the data source manager's library. The default loads
// "TWAIN_32.DLL" by name and takes DSM_Entry by ordinal 1; tests give a scripted manager.
struct TwainManagerLoader {
  HMODULE (*load)(const char* libraryName);
  DSMENTRYPROC (*entry)(HMODULE library);
  void (*release)(HMODULE library);

  static TwainManagerLoader Platform();
};

class CTwain {
 public:
  CTwain();
  virtual ~CTwain();
  CTwain(const CTwain&) = delete;
  CTwain& operator=(const CTwain&) = delete;

  // Overridable steps, in the order of the class's table.
  virtual void FillIdentity();
  // Clears the source identity, takes the manager's default source when none was chosen yet,
  // then lets the user choose in the manager's dialog. Returns the source-selected flag.
  virtual int SelectSource();
  // Copies `identity` (when given) into the source identity and opens that source, or the
  // default one when none is selected. True when library, entry, manager and source are open.
  virtual bool OpenSource(const TW_IDENTITY* identity = nullptr);
  // 0 transfers the image, 1 skips it, 2 cancels all pending images.
  virtual int DecideTransfer(const TW_IMAGEINFO* info);
  virtual bool DisableSource();
  virtual bool MayCloseSource();
  // One scanned page. The block belongs to the session, which frees it right after this call
  // returns: read it here, never free or keep it. May run a message loop (a message box).
  virtual void OnImageAcquired(PackedDib dib, const TW_IMAGEINFO* info) = 0;
  // An image of the batch did not arrive: its image information or its native transfer
  // failed. `image` is its place in the batch, from 1. Called before the session ends that
  // transfer and goes on with the images the source still offers; may run a message loop.
  // The session itself tells the user nothing.
  virtual void OnTransferFailed(int image);

  // State 3: false when the window is not valid or the manager library or its entry is
  // missing; true otherwise, also when opening the manager failed (m_bDsmOpen tells).
  bool OpenSourceManager(HWND parent);
  void CloseSourceManager();
  bool GetDefaultSource();
  // Disables and closes the source; one that refuses to be disabled is left open and enabled.
  void CloseSource();
  // The same, for the owner: during a transfer loop the source cannot be disabled, so it is
  // closed when the loop ends, once the images it still offers have been taken.
  void CloseSourceWhenIdle();
  bool EnableSource();
  bool SetTransferCount(short count);
  // Opens the source when needed, asks for any number of images and enables it with its user
  // interface. Images then arrive through ProcessEvent. A source enabled already is left as
  // it is, and the result is true.
  bool Acquire();
  // True when the source claimed the message. Does nothing while no source is enabled.
  bool ProcessEvent(MSG msg);
  void TransferImages();
  bool NativeTransfer(const TW_IMAGEINFO& info);
  // True when more images are pending.
  bool EndTransfer();
  // Ends the transfer of an image that did not arrive (the source is still in state 6) and
  // drops the rest when the source cannot end it; true when more images are pending.
  bool EndFailedTransfer();
  void ResetTransfers();

 protected:
  // One call to the manager: to the source when `destination` is given, to the manager when
  // null. Stores the return code; on anything but TWRC_SUCCESS fetches the condition code
  // into m_Status. Without library or entry nothing is called and the code is TWRC_FAILURE.
  bool CallDsm(TW_IDENTITY* destination, TW_UINT32 group, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
  // Before OpenSourceManager: reach another manager (tests).
  void SetManagerLoader(const TwainManagerLoader& loader) { m_loader = loader; }
  // The manager's library and its entry are loaded.
  bool IsLoaded() const { return m_hTwainDll != nullptr && m_pDsmEntry != nullptr; }
  // Library, entry, manager and source are all open.
  bool IsSourceOpen() const { return IsLoaded() && m_bDsmOpen && m_bSourceOpen; }

  HMODULE m_hTwainDll = nullptr;
  DSMENTRYPROC m_pDsmEntry = nullptr;
  TW_IDENTITY m_AppId{};
  TW_IDENTITY m_SourceId{};
  TW_STATUS m_Status{};
  TW_UINT16 m_nLastReturnCode = TWRC_SUCCESS;
  HWND m_hWndTwainParent = nullptr;
  int m_bSourceSelected = 0;
  int m_bDsmOpen = 0;
  int m_bSourceOpen = 0;
  int m_bSourceEnabled = 0;

 private:
  bool SetTransferCountAs(TW_UINT16 itemType, TW_UINT32 item);
  bool GetTransferCount(TW_UINT32& item);
  void EnableParent(bool enable);

  TwainManagerLoader m_loader = TwainManagerLoader::Platform();
  // A transfer loop is running: a nested ready-to-transfer starts no second one, and a close
  // request, the source's or the owner's, waits for the loop's end.
  bool m_bInTransfer = false;
  bool m_bCloseRequested = false;
  bool m_bCloseWanted = false;
  // The place in the batch of the image being transferred, from 1, and how many images in a
  // row have failed.
  int m_nBatchImage = 0;
  int m_nFailuresInRow = 0;
};
