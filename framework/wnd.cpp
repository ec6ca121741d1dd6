#include "wnd.h"

#include <unordered_map>
#include <vector>

namespace fw {
namespace {

// The UI thread is the only one that makes windows; the maps need no lock.
std::unordered_map<HWND, CWnd*>& PermanentMap() {
  static std::unordered_map<HWND, CWnd*> map;
  return map;
}

struct Temporaries {
  // Keyed by handle, so a long run without an outer loop iteration stays bounded.
  std::unordered_map<HDC, std::unique_ptr<CDC>> dcs;
  std::unordered_map<HWND, std::unique_ptr<CWnd>> windows;
  std::unordered_map<HMENU, std::unique_ptr<CMenu>> menus;
};

Temporaries& Temps() {
  static Temporaries temps;
  return temps;
}

const MSG* g_currentMessage = nullptr;
CWnd* g_windowBeingCreated = nullptr;
HHOOK g_creationHook = nullptr;

}  // namespace

const MSG* CurrentMessage() { return g_currentMessage; }

void KeepTemporary(std::unique_ptr<CDC> dc) {
  HDC handle = dc->m_hDC;
  Temps().dcs[handle] = std::move(dc);
}

CDC* FindTemporary(HDC dc) {
  const auto it = Temps().dcs.find(dc);
  return it == Temps().dcs.end() ? nullptr : it->second.get();
}
void KeepTemporary(std::unique_ptr<CWnd> window) {
  HWND handle = window->m_hWnd;
  Temps().windows[handle] = std::move(window);
}
void KeepTemporary(std::unique_ptr<CMenu> menu) {
  HMENU handle = menu->m_hMenu;
  Temps().menus[handle] = std::move(menu);
}

void DropTemporaries() {
  Temporaries& temps = Temps();
  temps.dcs.clear();
  for (auto& [handle, window] : temps.windows) window->m_hWnd = nullptr;  // not owned
  temps.windows.clear();
  for (auto& [handle, menu] : temps.menus) menu->Detach();
  temps.menus.clear();
}

void MapWindow(HWND window, CWnd* object) { PermanentMap()[window] = object; }
void UnmapWindow(HWND window) { PermanentMap().erase(window); }
CWnd* LookupWindow(HWND window) {
  const auto it = PermanentMap().find(window);
  return it == PermanentMap().end() ? nullptr : it->second;
}

}  // namespace fw

// ---- message table of the base class: empty.

const fw::MessageMap* CWnd::GetThisMessageMap() {
  static const fw::MessageEntry entries[] = {{fw::EntryKind::kMessage, 0, 0, 0, nullptr}};
  static const fw::MessageMap map{nullptr, entries};
  return &map;
}

const fw::MessageMap* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

CWnd::~CWnd() {
  if (m_hWnd != nullptr && fw::LookupWindow(m_hWnd) == this) {
    // A window outliving its object would reach a dangling pointer: destroy it first.
    DestroyWindow();
  }
}

CWnd* CWnd::FromHandlePermanent(HWND window) { return window == nullptr ? nullptr : fw::LookupWindow(window); }

CWnd* CWnd::FromHandle(HWND window) {
  if (window == nullptr) return nullptr;
  if (CWnd* permanent = fw::LookupWindow(window)) return permanent;
  auto& temps = fw::Temps().windows;
  const auto it = temps.find(window);
  if (it != temps.end()) return it->second.get();
  auto wrapper = std::make_unique<CWnd>();
  wrapper->m_hWnd = window;
  CWnd* raw = wrapper.get();
  fw::KeepTemporary(std::move(wrapper));
  return raw;
}

// ---- binding

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && fw::g_windowBeingCreated != nullptr) {
    CWnd* self = fw::g_windowBeingCreated;
    fw::g_windowBeingCreated = nullptr;
    self->SubclassWindow(reinterpret_cast<HWND>(wParam));
    CWnd::UnhookCreation();
    return 0;
  }
  return CallNextHookEx(fw::g_creationHook, code, wParam, lParam);
}

void CWnd::HookNextCreation(CWnd* self) {
  fw::g_windowBeingCreated = self;
  if (fw::g_creationHook == nullptr) fw::g_creationHook = SetWindowsHookExW(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
}

void CWnd::UnhookCreation() {
  fw::g_windowBeingCreated = nullptr;
  if (fw::g_creationHook != nullptr) {
    UnhookWindowsHookEx(fw::g_creationHook);
    fw::g_creationHook = nullptr;
  }
}

BOOL CWnd::Attach(HWND window) {
  if (window == nullptr || m_hWnd != nullptr) return FALSE;
  m_hWnd = window;
  fw::MapWindow(window, this);
  return TRUE;
}

HWND CWnd::Detach() {
  HWND window = m_hWnd;
  if (window != nullptr && fw::LookupWindow(window) == this) fw::UnmapWindow(window);
  m_hWnd = nullptr;
  return window;
}

BOOL CWnd::SubclassWindow(HWND window) {
  if (!Attach(window)) return FALSE;
  m_pfnSuper = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StandardWindowProc)));
  if (m_pfnSuper == &CWnd::StandardWindowProc) m_pfnSuper = nullptr;  // never call ourselves
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  HWND control = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
  return control != nullptr && SubclassWindow(control);
}

HWND CWnd::UnsubclassWindow() {
  if (m_pfnSuper != nullptr) SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  m_pfnSuper = nullptr;
  return Detach();
}

BOOL CWnd::CreateEx(DWORD exStyle, const char16_t* className, const char16_t* windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU idOrMenu) {
  if (m_hWnd != nullptr) return FALSE;
  HookNextCreation(this);
  HWND window = CreateWindowExW(exStyle, reinterpret_cast<LPCWSTR>(className), reinterpret_cast<LPCWSTR>(windowName),
                                style, x, y, width, height, parent, idOrMenu, GetModuleHandleW(nullptr), nullptr);
  UnhookCreation();
  if (window == nullptr) {
    if (m_hWnd != nullptr) Detach();
    return FALSE;
  }
  return TRUE;
}

BOOL CWnd::DestroyWindow() {
  if (m_hWnd == nullptr) return FALSE;
  HWND window = m_hWnd;
  const BOOL ok = ::DestroyWindow(window);
  // Windows we only wrapped (no subclass) see no WM_NCDESTROY of ours.
  if (m_hWnd == window && !::IsWindow(window)) Detach();
  return ok;
}

// ---- dispatch

LRESULT CALLBACK CWnd::StandardWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* self = fw::LookupWindow(window);
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  MSG current{window, message, wParam, lParam, 0, {0, 0}};
  const MSG* previous = fw::g_currentMessage;
  fw::g_currentMessage = &current;
  LRESULT result = self->WindowProc(message, wParam, lParam);
  fw::g_currentMessage = previous;
  if (message == WM_NCDESTROY) {
    WNDPROC super = self->m_pfnSuper;
    if (super != nullptr) SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super));
    self->m_pfnSuper = nullptr;
    self->Detach();
    self->PostNcDestroy();  // may delete the object
  }
  return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper != nullptr) return CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  const MSG* current = fw::CurrentMessage();
  if (current == nullptr) return 0;
  return DefWindowProc(current->message, current->wParam, current->lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == WM_COMMAND) {
    if (OnCommand(wParam, lParam)) {
      *result = 0;
      return TRUE;
    }
    return FALSE;
  }
  if (message == WM_DRAWITEM) {
    // Owner-drawn controls draw themselves: the parent hands the request back to the
    // control's own object.
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item != nullptr && item->CtlType != ODT_MENU) {
      CWnd* control = FromHandlePermanent(item->hwndItem);
      if (control != nullptr && control->OnChildNotify(message, wParam, lParam, result)) return TRUE;
    }
  }
  for (const fw::MessageMap* map = GetMessageMap(); map != nullptr; map = map->base != nullptr ? map->base() : nullptr) {
    for (const fw::MessageEntry* entry = map->entries; entry->invoke != nullptr; ++entry) {
      if (entry->kind != fw::EntryKind::kMessage) continue;
      const bool match = entry->idLast != 0 ? (message >= entry->message && message <= entry->idLast)
                                            : message == entry->message;
      if (match) {
        *result = entry->invoke(this, wParam, lParam);
        return TRUE;
      }
    }
  }
  return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
  const UINT id = LOWORD(wParam);
  int code = HIWORD(wParam);
  if (code == 1) code = 0;  // an accelerator is a command
  return OnCmdMsg(id, code, nullptr);
}

BOOL CWnd::OnCmdMsg(UINT id, int code, CCmdUI* cmdUi) {
  for (const fw::MessageMap* map = GetMessageMap(); map != nullptr; map = map->base != nullptr ? map->base() : nullptr) {
    for (const fw::MessageEntry* entry = map->entries; entry->invoke != nullptr; ++entry) {
      if (id < entry->idFirst || id > entry->idLast) continue;
      if (cmdUi != nullptr) {
        if (entry->kind != fw::EntryKind::kUpdateCommandUi) continue;
        entry->invoke(this, 0, reinterpret_cast<LPARAM>(cmdUi));
        return TRUE;
      }
      if (entry->kind == fw::EntryKind::kCommand && entry->message == static_cast<UINT>(code)) {
        entry->invoke(this, 0, 0);
        return TRUE;
      }
    }
  }
  return FALSE;
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }

void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }

// ---- small helpers

void CWnd::GetWindowText(CString& text) const {
  const int length = ::GetWindowTextLengthA(m_hWnd);
  std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = ::GetWindowTextA(m_hWnd, buffer.data(), length + 1);
  buffer.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  text = CString(buffer);
}

std::u16string CWnd::GetWindowTextW() const {
  const int length = ::GetWindowTextLengthW(m_hWnd);
  std::u16string buffer(static_cast<std::size_t>(length) + 1, u'\0');
  const int copied = ::GetWindowTextW(m_hWnd, reinterpret_cast<LPWSTR>(buffer.data()), length + 1);
  buffer.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return buffer;
}

CMenu* CWnd::GetMenu() const { return CMenu::FromHandle(::GetMenu(m_hWnd)); }

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) {
  const DWORD style = GetStyle();
  const DWORD changed = (style & ~remove) | add;
  if (changed == style) return FALSE;
  ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(changed));
  if (flags != 0) ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
  return TRUE;
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
  HWND owner = alternateOwner != nullptr ? alternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
  RECT area{};
  if (owner != nullptr && ::IsWindowVisible(owner)) {
    ::GetWindowRect(owner, &area);
  } else {
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  RECT self{};
  ::GetWindowRect(m_hWnd, &self);
  const int width = self.right - self.left;
  const int height = self.bottom - self.top;
  const int x = area.left + ((area.right - area.left) - width) / 2;
  const int y = area.top + ((area.bottom - area.top) - height) / 2;
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- command UI

void CCmdUI::Enable(BOOL on) {
  if (m_pMenu != nullptr) {
    if (m_pSubMenu != nullptr) return;  // a pop-up entry is not enabled by its first item
    m_pMenu->EnableMenuItem(m_nIndex, MF_BYPOSITION | (on ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
  } else if (m_pOther != nullptr) {
    m_pOther->EnableWindow(on);
  }
  m_bEnableChanged = TRUE;
}

BOOL CCmdUI::DoUpdate(CWnd* target, BOOL disableIfNoHandler) {
  if (m_nID == 0) return TRUE;  // separator
  m_bEnableChanged = FALSE;
  const BOOL handled = target->OnCmdMsg(m_nID, 0, this);
  if (!handled && disableIfNoHandler && !m_bEnableChanged) Enable(FALSE);
  return handled;
}

void UpdatePopupMenuCommandUi(CWnd* target, CMenu* popup) {
  CCmdUI state;
  state.m_pMenu = popup;
  state.m_nIndexMax = popup->GetMenuItemCount();
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
    state.m_nID = popup->GetMenuItemID(static_cast<int>(state.m_nIndex));
    if (state.m_nID == 0) continue;
    if (state.m_nID == static_cast<UINT>(-1)) {
      // A sub-menu stands for its first item.
      state.m_pSubMenu = popup->GetSubMenu(static_cast<int>(state.m_nIndex));
      if (state.m_pSubMenu == nullptr) continue;
      state.m_nID = state.m_pSubMenu->GetMenuItemID(0);
      if (state.m_nID == 0 || state.m_nID == static_cast<UINT>(-1)) continue;
      state.DoUpdate(target, TRUE);
    } else {
      state.m_pSubMenu = nullptr;
      state.DoUpdate(target, FALSE);
    }
    // An update handler may remove items: step back and past items with the same id.
    const UINT count = popup->GetMenuItemCount();
    if (count < state.m_nIndexMax) {
      state.m_nIndex -= (state.m_nIndexMax - count);
      while (state.m_nIndex + 1 < count &&
             popup->GetMenuItemID(static_cast<int>(state.m_nIndex + 1)) == state.m_nID)
        ++state.m_nIndex;
    }
    state.m_nIndexMax = count;
  }
}

// ---- menus

CMenu::~CMenu() {
  if (owned_) DestroyMenu();
}

CMenu* CMenu::FromHandle(HMENU menu) {
  if (menu == nullptr) return nullptr;
  auto& temps = fw::Temps().menus;
  const auto it = temps.find(menu);
  if (it != temps.end()) return it->second.get();
  auto wrapper = std::make_unique<CMenu>();
  wrapper->m_hMenu = menu;
  wrapper->owned_ = false;
  CMenu* raw = wrapper.get();
  fw::KeepTemporary(std::move(wrapper));
  return raw;
}

BOOL CMenu::Attach(HMENU menu) {
  DestroyMenu();
  m_hMenu = menu;
  owned_ = true;
  return menu != nullptr;
}

HMENU CMenu::Detach() {
  HMENU menu = m_hMenu;
  m_hMenu = nullptr;
  return menu;
}

BOOL CMenu::DestroyMenu() {
  if (m_hMenu == nullptr) return FALSE;
  const BOOL ok = owned_ ? ::DestroyMenu(m_hMenu) : TRUE;
  m_hMenu = nullptr;
  return ok;
}
