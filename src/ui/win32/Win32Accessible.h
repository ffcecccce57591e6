#pragma once
// The accessible object of one of our windows: what a screen reader gets
// when it asks the window for the object of its client area (WM_GETOBJECT).
// It says what the control's description says (TControl::AccessibleInfo),
// lists a painted control's children in reading order, graphic children as
// elements of its own, and leaves to the system's object of the window what
// the system knows better: where it is, where to go from it, and the items
// of a standard list. Every call comes on the window's thread; none throws.

#include <vector>

#include "ui/win32/Win32Peer.h"

// After the control library, whose colour helpers the system's macros would rename.
#include <oleacc.h>

// Defined here: the import library of one toolchain gives a wrong value for it.
extern const IID kIidAccessible;

class TWin32Accessible final : public IAccessible, public IOleWindow {
 public:
  // The object of the peer's window, holding one reference for the caller;
  // null when the system's accessibility library cannot be had.
  static TWin32Accessible* Create(TWin32Peer& peer);
  // The window is going: every call fails from now on, and the references
  // that other processes hold are let go.
  void Disconnect();
  // WM_GETOBJECT's answer; not above 0 when it fails.
  LRESULT Answer(WPARAM wParam);

  // The states a screen reader is told of when they change; focus and
  // visibility the system tells itself.
  static constexpr LONG kAnnouncedStates = STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_CHECKED | STATE_SYSTEM_PRESSED;
  static LONG StateOf(const TControl& control, const TAccessibleInfo& info);

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override;
  ULONG STDMETHODCALLTYPE Release() noexcept override;
  // IDispatch: clients call the interface itself.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) noexcept override;
  // IOleWindow: which window the object stands for.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) noexcept override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) noexcept override;
  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) noexcept override;
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) noexcept override;
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) noexcept override;
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) noexcept override;
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) noexcept override;
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) noexcept override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) noexcept override;
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) noexcept override;
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) noexcept override;

 private:
  explicit TWin32Accessible(TWin32Peer& peer) : peer_(&peer) {}
  ~TWin32Accessible() = default;

  // The control that a child id names: S_OK with it, S_FALSE for an item
  // that only the system's object knows, an error for no such child.
  HRESULT Target(const VARIANT& child, TControl*& control) const noexcept;
  // The same, with the control's description.
  HRESULT Describe(const VARIANT& child, TControl*& control, TAccessibleInfo& info) const noexcept;
  // The painted control's children that are told of.
  HRESULT Children(std::vector<TControl*>& told) const noexcept;
  // One text of the named control's description; an item that only the
  // system's object knows is asked of it with system.
  enum class TText { Name, Value, Shortcut, Action };
  using TSystemText = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
  HRESULT Text(const VARIANT& child, BSTR* out, TText which, TSystemText system) noexcept;
  // The role or the state, the same way.
  enum class TNumber { Role, State };
  using TSystemNumber = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, VARIANT*);
  HRESULT Number(const VARIANT& child, VARIANT* out, TNumber which, TSystemNumber system) noexcept;
  // The object of a windowed control, with a reference for the caller.
  static IDispatch* ObjectOf(TWinControl& control);

  LONG references_ = 1;
  // Null once disconnected.
  TWin32Peer* peer_;
  TComPtr<IAccessible> system_;
};
