// The progress window on real Wine windows: creation, position, percent, text, Cancel by
// button, by mouse and by Esc through the pump, the owner disabled while it is up, a second
// window after the first, and what the pump does with paint and quit messages.

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "framework.h"
#include "plain_window_class.h"
#include "progress/x_progress_wnd.h"
#include "wine_check.h"

namespace {

// The pump looks at the queue only every few milliseconds.
void PumpSoon(CXProgressWnd& progress) {
  Sleep(20);
  progress.PumpMessages();
}

bool QueueHolds(UINT message) {
  MSG msg;
  return PeekMessageW(&msg, nullptr, message, message, PM_NOREMOVE) != 0;
}

void DrainQueue() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void TestWithoutWindow() {
  CXProgressWnd progress(nullptr, "no parent");
  CHECK(!progress.IsAlive());
  progress.SetPos(40);
  CHECK(progress.Position() == 0);
  progress.PumpMessages();
  progress.EnterModal(nullptr);
  CHECK(!progress.IsAlive());
  CHECK(!progress.Cancelled());
}

void TestProgress(CWnd& owner) {
  CXProgressWnd progress(&owner, "Reading");
  CHECK(progress.IsAlive());  // also without the shell's animation clip
  CHECK(::GetWindow(progress.m_hWnd, GW_OWNER) == owner.m_hWnd);
  CHECK(progress.GetWindowTextW() == u"Reading");

  // Centred over its owner, laid out inside its client area.
  CRect ownerRect, selfRect, client, bar, button;
  owner.GetWindowRect(&ownerRect);
  progress.GetWindowRect(&selfRect);
  CHECK(std::abs((ownerRect.left + ownerRect.right) - (selfRect.left + selfRect.right)) <= 2);
  CHECK(std::abs((ownerRect.top + ownerRect.bottom) - (selfRect.top + selfRect.bottom)) <= 2);
  progress.GetClientRect(&client);
  CHECK(client.Width() >= 390);
  progress.ProgressBar().GetWindowRect(&bar);
  progress.CancelButton().GetWindowRect(&button);
  CHECK(bar.bottom + 10 == button.top);
  CHECK(bar.right == button.right);
  POINT buttonBottom{0, button.bottom};
  ::ScreenToClient(progress.m_hWnd, &buttonBottom);
  CHECK(buttonBottom.y + 10 == client.bottom);
  CHECK(progress.TextRect().left == 10 && progress.TextRect().right == client.right - 10);

  progress.EnterModal(&owner);
  CHECK(progress.IsModal());
  CHECK(!owner.IsWindowEnabled());
  CHECK(progress.IsWindowEnabled());
  progress.SetRangeDefault();
  progress.SetCancelButtonText("Stop");
  CHECK(progress.CancelButton().GetWindowTextW() == u"Stop");
  progress.SetCancelButtonText("");
  CHECK(progress.CancelButton().GetWindowTextW() == u"Stop");

  // Percent and text.
  const struct {
    int position, percent;
  } positions[] = {{50, 50}, {-1, 0}, {100, 100}, {0, 0}};
  for (const auto& p : positions) {
    progress.SetPos(p.position);
    CHECK(progress.Position() == p.position);
    CHECK(progress.Percent() == p.percent);
    CHECK(progress.ProgressBar().GetPos() == (p.position < 0 ? 0 : p.position));
  }
  // A position between the ends that follows a drawing closely waits for the pump; the ends
  // are drawn at once. What the recognizer reads is always the latest.
  const ULONGLONG drawnAt = GetTickCount64();  // position 0 was drawn just now
  progress.SetPos(30);
  CHECK(progress.Position() == 30 && progress.Percent() == 30);
  if (GetTickCount64() - drawnAt < 90) CHECK(progress.ProgressBar().GetPos() == 0);
  Sleep(120);
  PumpSoon(progress);
  CHECK(progress.ProgressBar().GetPos() == 30);
  progress.SetPos(31);
  progress.SetPos(100);
  CHECK(progress.ProgressBar().GetPos() == 100);
  progress.SetText("Page %d of the file, %%d%%", 3);
  CHECK(progress.Text() == "Page 3 of the file, %d%");
  progress.SetPos(40);
  CHECK(progress.DisplayText() == "Page 3 of the file, 40%");
  progress.SetText("%s %n %p", 1);  // a hostile text from a file is shown as it stands
  CHECK(progress.DisplayText() == "%s %n %p");
  progress.SetText("plain");
  CHECK(progress.DisplayText() == "plain");
  CHECK(progress.IsWindowVisible());

  // WM_PAINT is validated, so the pump empties the queue.
  DrainQueue();
  progress.Invalidate();
  PumpSoon(progress);
  CHECK(!::GetUpdateRect(progress.m_hWnd, nullptr, FALSE));
  CHECK(!QueueHolds(WM_PAINT));

  // Cancel by the button.
  progress.CancelButton().SendMessage(BM_CLICK);
  PumpSoon(progress);
  CHECK(progress.Cancelled());
  CHECK(!progress.IsWindowVisible());
  // A second pump after cancelling leaves the queue alone.
  progress.PostMessage(WM_APP);
  PumpSoon(progress);
  CHECK(QueueHolds(WM_APP));
  DrainQueue();

  // Clear returns to running; the next position shows the window again.
  progress.Clear();
  CHECK(!progress.Cancelled());
  CHECK(progress.Position() == 0);
  progress.SetPos(10);
  CHECK(progress.IsWindowVisible());

  // Esc through the pump.
  ::SetFocus(progress.m_hWnd);
  progress.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  PumpSoon(progress);
  CHECK(progress.Cancelled());
  CHECK(!progress.IsWindowVisible());

  // A left-button release counts by where the cursor is: just outside the button it does
  // not cancel, inside it does.
  progress.Clear();
  progress.SetPos(20);
  DrainQueue();
  progress.CancelButton().GetWindowRect(&button);
  const struct {
    int x, y;
    bool cancels;
  } clicks[] = {{button.left - 1, button.top + 2, false}, {button.left + 2, button.top + 2, true}};
  for (const auto& click : clicks) {
    progress.Clear();
    if (!::SetCursorPos(click.x, click.y)) continue;
    POINT at{};
    ::GetCursorPos(&at);
    if (at.x != click.x || at.y != click.y) {
      std::printf("skipped a click: the display has no pointer\n");
      continue;
    }
    progress.PostMessage(WM_LBUTTONUP, 0, 0);
    PumpSoon(progress);
    PumpSoon(progress);
    CHECK(progress.Cancelled() == click.cancels);
  }

  // WM_QUIT met while pumping goes back with its own code.
  progress.Clear();
  PostQuitMessage(7);
  PumpSoon(progress);
  MSG msg;
  CHECK(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.wParam == 7);

  // Destroying re-enables the owner, even after a cancel.
  progress.Cancel();
  CHECK(progress.DestroyWindow());
  CHECK(owner.IsWindowEnabled());
  CHECK(!progress.IsAlive());
  progress.SetPos(60);
  CHECK(progress.Position() != 60);
  progress.PumpMessages();
}

void TestSecondWindow(CWnd& owner) {
  for (int round = 0; round < 2; ++round) {
    CXProgressWnd progress(&owner, "again");
    CHECK(progress.IsAlive());
    progress.EnterModal(&owner);
    CHECK(!owner.IsWindowEnabled());
  }
  CHECK(owner.IsWindowEnabled());
  {
    // Destroyed behind the object's back: it sees that at once, and still gives the owner back.
    CXProgressWnd progress(&owner, "gone");
    progress.EnterModal(&owner);
    ::DestroyWindow(progress.m_hWnd);
    CHECK(!progress.IsAlive());
    progress.SetPos(30);
    progress.PumpMessages();
    CHECK(progress.Position() == 0);
  }
  CHECK(owner.IsWindowEnabled());
}

}  // namespace

int main() {
  test_support::RegisterPlainWindowClass(u"ProgressTestOwner");
  CWnd owner;
  CHECK(owner.CreateEx(0, u"ProgressTestOwner", u"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 700, 500,
                       nullptr, nullptr));
  TestWithoutWindow();
  TestProgress(owner);
  TestSecondWindow(owner);
  owner.DestroyWindow();
  return wine_check::Finish("progress_wnd_test");
}
