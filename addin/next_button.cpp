#include "next_button.h"

#include <msiquery.h>

#include <string_view>

#include "installer_names.h"
#include "scroll_rules.h"

namespace trellum {
namespace {

constexpr DWORD kTextCapacity = 1024;

class MsiHandle {
 public:
  MsiHandle() = default;
  explicit MsiHandle(MSIHANDLE handle) : handle_(handle) {}
  MsiHandle(const MsiHandle&) = delete;
  MsiHandle& operator=(const MsiHandle&) = delete;
  ~MsiHandle() {
    if (handle_) MsiCloseHandle(handle_);
  }
  MSIHANDLE get() const { return handle_; }
  MSIHANDLE* out() { return &handle_; }

 private:
  MSIHANDLE handle_ = 0;
};

}  // namespace

bool QueryFirstField(MSIHANDLE session, const wchar_t* query, wchar_t* buffer, DWORD capacity) {
  MsiHandle database(MsiGetActiveDatabase(session));
  MsiHandle view;
  if (MsiDatabaseOpenViewW(database.get(), query, view.out()) != ERROR_SUCCESS) return false;
  if (MsiViewExecute(view.get(), 0) != ERROR_SUCCESS) return false;
  MsiHandle record;
  if (MsiViewFetch(view.get(), record.out()) != ERROR_SUCCESS) return false;
  DWORD length = capacity;
  return MsiRecordGetStringW(record.get(), 1, buffer, &length) == ERROR_SUCCESS;
}

void EnableNextButton(MSIHANDLE session, HWND dialog) {
  wchar_t text[kTextCapacity];
  if (!QueryFirstField(session, kNextConditionQuery, text, kTextCapacity)) return;
  if (MsiEvaluateConditionW(session, text) != MSICONDITION_TRUE) return;
  if (!QueryFirstField(session, kNextTextQuery, text, kTextCapacity)) return;
  const auto name = NextButtonName(std::wstring_view(text));
  if (!name) return;
  // The name is a view into text, ending where text ends, so it is zero-terminated.
  if (HWND next = FindWindowExW(dialog, nullptr, nullptr, name->data())) EnableWindow(next, TRUE);
}

}  // namespace trellum
