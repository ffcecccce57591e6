// How a message reaches the control: the window procedures, the
// notifications a child window sends to its parent, the colours it asks
// its parent for, and the focus.
#include "ui/win32/Win32Peer.h"

#include "ui/Application.h"
#include "ui/Forms.h"
#include "ui/win32/Win32Accessible.h"

#include <new>

namespace {

COLORREF Ref(TColor color) { return static_cast<COLORREF>(ColorToRGB(color) & 0xFFFFFF); }

// A default action that a client asked for, run once the loop gets to it.
constexpr UINT kDefaultActionMessage = WM_APP + 2;

}  // namespace

// The peer of each of our windows. A window property would do the same, but
// some systems ask their server for a property at every message.
std::map<HWND, TWin32Peer*>& TWin32Peer::Peers() {
  static std::map<HWND, TWin32Peer*> peers;
  return peers;
}

TWin32Peer* TWin32Peer::Of(HWND window) {
  const auto found = Peers().find(window);
  return found == Peers().end() ? nullptr : found->second;
}

LRESULT CALLBACK TWin32Peer::OwnProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TWin32Peer* peer = Of(window);
  if (!peer) return ::DefWindowProcA(window, message, wParam, lParam);
  LRESULT result = 0;
  bool handled = false;
  Application().Dispatch(&peer->control_, [&] { handled = peer->Message(message, wParam, lParam, result); });
  if (message == WM_NCDESTROY) peer->Destroyed();  // with its parent
  return handled ? result : ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK TWin32Peer::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TWin32Peer* peer = Of(window);
  if (!peer) return ::DefWindowProcA(window, message, wParam, lParam);
  const WNDPROC old = peer->oldProc_;
  LRESULT result = 0;
  bool handled = false;
  Application().Dispatch(&peer->control_, [&] { handled = peer->Message(message, wParam, lParam, result); });
  if (message == WM_NCDESTROY) peer->Destroyed();
  return handled ? result : ::CallWindowProcA(old, window, message, wParam, lParam);
}

bool TWin32Peer::ChildMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND: {
      TWin32Peer* child = lParam ? Of(reinterpret_cast<HWND>(lParam)) : nullptr;
      if (!child) return false;
      child->Command(HIWORD(wParam));
      return true;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      TWin32Peer* child = Of(item->hwndItem);
      if (!child) return false;
      child->DrawItem(*item);
      result = TRUE;
      return true;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: {
      TWin32Peer* child = Of(reinterpret_cast<HWND>(lParam));
      if (!child) return false;
      HDC dc = reinterpret_cast<HDC>(wParam);
      ::SetTextColor(dc, Ref(child->control_.Font().Color));
      ::SetBkColor(dc, Ref(child->control_.Color()));
      result = reinterpret_cast<LRESULT>(child->BackgroundBrush(child->control_.Color()));
      return true;
    }
    default:
      return false;
  }
}

HBRUSH TWin32Peer::BackgroundBrush(TColor color) {
  if (!background_ || backgroundColor_ != ColorToRGB(color)) {
    backgroundColor_ = ColorToRGB(color);
    background_.reset(::CreateSolidBrush(Ref(color)));
  }
  return static_cast<HBRUSH>(background_.get());
}

bool TWin32Peer::Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (ChildMessage(message, wParam, lParam, result)) return true;
  switch (message) {
    case WM_SETFOCUS:
      if (TForm* form = control_.ParentForm()) form->ActiveControl = &control_;
      control_.DoEnter();
      return false;
    case WM_KILLFOCUS:
      control_.DoExit();
      return false;
    case WM_GETOBJECT: {
      // The client area's object is ours; the system answers for the others.
      if (static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT) return false;
      TWin32Accessible* object = Accessible();
      const LRESULT answer = object ? object->Answer(wParam) : 0;
      if (answer <= 0) return false;
      result = answer;
      return true;
    }
    case kDefaultActionMessage:
      RunDefaultAction();
      return true;
    default:
      return false;
  }
}

bool TWin32Peer::QueueDefaultAction(TControl& target) noexcept {
  try {
    pendingActions_.emplace_back(&target);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (::PostMessageA(window_.get(), kDefaultActionMessage, 0, 0)) return true;
  pendingActions_.pop_back();
  return false;
}

void TWin32Peer::RunDefaultAction() {
  if (pendingActions_.empty()) return;
  TControl* target = pendingActions_.front().get();
  pendingActions_.erase(pendingActions_.begin());
  // As for a click: only what can be reached now acts, and it may free
  // this window.
  if (target && target->Enabled() && target->Showing()) target->DoDefaultAction();
}
