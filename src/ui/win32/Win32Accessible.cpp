#include "ui/win32/Win32Accessible.h"

#include <cctype>
#include <cstring>
#include <new>

const IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

namespace {

const IID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIidDispatch = {0x00020400, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIidOleWindow = {0x00000114, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The two calls of the system's accessibility library that the objects
// need. The library is loaded from the system's folder when a client first
// asks, never imported: it is none of the libraries that Windows keeps in
// its known set, so an elevated program that imported it would take one
// planted beside it. Once loaded it stays: clients may hold objects made
// with it to the end.
struct TOleacc {
  using TLresultFromObject = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
  using TCreateStdObject = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
  TLresultFromObject LresultFromObject = nullptr;
  TCreateStdObject CreateStdAccessibleObject = nullptr;
};

const TOleacc& Oleacc() {
  static const TOleacc oleacc = [] {
    TOleacc found;
    const char kName[] = "\\oleacc.dll";
    char path[MAX_PATH + sizeof kName];
    const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return found;
    std::memcpy(path + length, kName, sizeof kName);
    HMODULE library = ::LoadLibraryA(path);
    if (!library) return found;
    const auto find = [library](const char* name) {
      return reinterpret_cast<void*>(::GetProcAddress(library, name));
    };
    found.LresultFromObject = reinterpret_cast<TOleacc::TLresultFromObject>(find("LresultFromObject"));
    found.CreateStdAccessibleObject = reinterpret_cast<TOleacc::TCreateStdObject>(find("CreateStdAccessibleObject"));
    return found;
  }();
  return oleacc;
}

// The text in the ANSI code page as automation passes it; S_FALSE and
// null for an empty one, as for a property the object does not have.
HRESULT ToBstr(const char* text, int size, BSTR* out) {
  if (size == 0) return S_FALSE;
  const int length = ::MultiByteToWideChar(CP_ACP, 0, text, size, nullptr, 0);
  if (length <= 0) return E_FAIL;
  BSTR made = ::SysAllocStringLen(nullptr, static_cast<UINT>(length));
  if (!made) return E_OUTOFMEMORY;
  ::MultiByteToWideChar(CP_ACP, 0, text, size, made, length);
  *out = made;
  return S_OK;
}

void SetLong(VARIANT* out, LONG value) {
  out->vt = VT_I4;
  out->lVal = value;
}

LONG SystemRole(TAccessibleRole role) {
  switch (role) {
    case TAccessibleRole::Pane: return ROLE_SYSTEM_PANE;
    case TAccessibleRole::PropertyPage: return ROLE_SYSTEM_PROPERTYPAGE;
    case TAccessibleRole::Grouping: return ROLE_SYSTEM_GROUPING;
    case TAccessibleRole::StaticText: return ROLE_SYSTEM_STATICTEXT;
    case TAccessibleRole::Link: return ROLE_SYSTEM_LINK;
    case TAccessibleRole::PushButton: return ROLE_SYSTEM_PUSHBUTTON;
    case TAccessibleRole::CheckButton: return ROLE_SYSTEM_CHECKBUTTON;
    case TAccessibleRole::RadioButton: return ROLE_SYSTEM_RADIOBUTTON;
    case TAccessibleRole::Text: return ROLE_SYSTEM_TEXT;
    case TAccessibleRole::List: return ROLE_SYSTEM_LIST;
    case TAccessibleRole::ComboBox: return ROLE_SYSTEM_COMBOBOX;
    case TAccessibleRole::ProgressBar: return ROLE_SYSTEM_PROGRESSBAR;
    case TAccessibleRole::None:
    case TAccessibleRole::Client: break;
  }
  return ROLE_SYSTEM_CLIENT;
}

}  // namespace

// ------------------------------------------------------------ life

TWin32Accessible* TWin32Accessible::Create(TWin32Peer& peer) {
  const TOleacc& oleacc = Oleacc();
  if (!oleacc.LresultFromObject || !oleacc.CreateStdAccessibleObject) return nullptr;
  // A COM object frees itself with its last reference.
  auto* object = new (std::nothrow) TWin32Accessible(peer);
  if (!object) return nullptr;
  const HRESULT made = oleacc.CreateStdAccessibleObject(peer.Window(), OBJID_CLIENT, kIidAccessible,
                                                        object->system_.Out());
  if (FAILED(made) || !object->system_.get()) {
    object->Release();
    return nullptr;
  }
  return object;
}

void TWin32Accessible::Disconnect() {
  peer_ = nullptr;
  system_.reset();
  // Fails only where no other process was given the object: nothing to
  // let go of then.
  ::CoDisconnectObject(static_cast<IAccessible*>(this), 0);
}

LRESULT TWin32Accessible::Answer(WPARAM wParam) {
  return Oleacc().LresultFromObject(kIidAccessible, wParam, static_cast<IAccessible*>(this));
}

LONG TWin32Accessible::StateOf(const TControl& control, const TAccessibleInfo& info) {
  LONG state = 0;
  if (!control.Enabled()) state |= STATE_SYSTEM_UNAVAILABLE;
  if (!control.Showing()) state |= STATE_SYSTEM_INVISIBLE;
  if (info.Focusable) state |= STATE_SYSTEM_FOCUSABLE;
  if (const auto* window = dynamic_cast<const TWinControl*>(&control); window && window->Focused())
    state |= STATE_SYSTEM_FOCUSED;
  if (info.Checked) state |= STATE_SYSTEM_CHECKED;
  if (info.Pressed) state |= STATE_SYSTEM_PRESSED;
  return state;
}

// Nothing may leave a call of a client. Describing the controls can fail
// only for want of memory.
HRESULT TWin32Accessible::Children(std::vector<TControl*>& told) const noexcept {
  try {
    told = peer_->Control().AccessibleControls();
    return S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT TWin32Accessible::Target(const VARIANT& child, TControl*& control) const noexcept {
  control = nullptr;
  if (!peer_) return CO_E_OBJNOTCONNECTED;
  if (child.vt != VT_I4) return E_INVALIDARG;
  if (child.lVal == CHILDID_SELF) {
    control = &peer_->Control();
    return S_OK;
  }
  if (!peer_->OwnClass()) return S_FALSE;
  std::vector<TControl*> told;
  const HRESULT listed = Children(told);
  if (listed != S_OK) return listed;
  if (child.lVal < 1 || child.lVal > static_cast<LONG>(told.size())) return E_INVALIDARG;
  control = told[static_cast<size_t>(child.lVal - 1)];
  return S_OK;
}

HRESULT TWin32Accessible::Describe(const VARIANT& child, TControl*& control, TAccessibleInfo& info) const noexcept {
  const HRESULT found = Target(child, control);
  if (found != S_OK) return found;
  try {
    info = control->AccessibleInfo();
    return S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT TWin32Accessible::Text(const VARIANT& child, BSTR* out, TText which, TSystemText system) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  TControl* target = nullptr;
  TAccessibleInfo info;
  const HRESULT found = Describe(child, target, info);
  if (found == S_FALSE) return (system_.get()->*system)(child, out);
  if (found != S_OK) return found;
  const auto bstr = [out](const std::string& text) { return ToBstr(text.data(), static_cast<int>(text.size()), out); };
  switch (which) {
    case TText::Name: return bstr(info.Name);
    case TText::Value: return bstr(info.Value);
    case TText::Action: return ToBstr(info.DefaultAction, static_cast<int>(std::strlen(info.DefaultAction)), out);
    case TText::Shortcut: break;
  }
  char shortcut[] = "Alt+?";
  shortcut[4] = static_cast<char>(std::toupper(static_cast<unsigned char>(info.AccessKey)));
  return ToBstr(shortcut, info.AccessKey ? 5 : 0, out);
}

HRESULT TWin32Accessible::Number(const VARIANT& child, VARIANT* out, TNumber which, TSystemNumber system) noexcept {
  if (!out) return E_POINTER;
  ::VariantInit(out);
  TControl* target = nullptr;
  TAccessibleInfo info;
  const HRESULT found = Describe(child, target, info);
  if (found == S_FALSE) return (system_.get()->*system)(child, out);
  if (found == S_OK) SetLong(out, which == TNumber::State ? StateOf(*target, info) : SystemRole(info.Role));
  return found;
}

IDispatch* TWin32Accessible::ObjectOf(TWinControl& control) {
  TWin32Accessible* object = static_cast<TWin32Peer&>(control.Peer()).Accessible();
  if (!object) return nullptr;
  object->AddRef();
  return static_cast<IAccessible*>(object);
}

// ------------------------------------------------------------ IUnknown

HRESULT TWin32Accessible::QueryInterface(REFIID iid, void** object) noexcept {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, kIidUnknown) || IsEqualIID(iid, kIidDispatch) || IsEqualIID(iid, kIidAccessible))
    *object = static_cast<IAccessible*>(this);
  else if (IsEqualIID(iid, kIidOleWindow))
    *object = static_cast<IOleWindow*>(this);
  else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG TWin32Accessible::AddRef() noexcept { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }

ULONG TWin32Accessible::Release() noexcept {
  const LONG left = ::InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

// ------------------------------------------------------------ IDispatch

HRESULT TWin32Accessible::GetTypeInfoCount(UINT* count) noexcept {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT TWin32Accessible::GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT TWin32Accessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept { return E_NOTIMPL; }

HRESULT TWin32Accessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) noexcept {
  return E_NOTIMPL;
}

// ----------------------------------------------------------- IOleWindow

HRESULT TWin32Accessible::GetWindow(HWND* window) noexcept {
  if (!window) return E_POINTER;
  *window = peer_ ? peer_->Window() : nullptr;
  return peer_ ? S_OK : CO_E_OBJNOTCONNECTED;
}

HRESULT TWin32Accessible::ContextSensitiveHelp(BOOL) noexcept { return E_NOTIMPL; }

// ---------------------------------------------------------- IAccessible

HRESULT TWin32Accessible::get_accParent(IDispatch** parent) noexcept {
  if (!parent) return E_POINTER;
  *parent = nullptr;
  if (!peer_) return CO_E_OBJNOTCONNECTED;
  // A top-level window's client area lies in the system's object of the window.
  TWinControl* above = peer_->Control().Parent();
  if (!above) return system_->get_accParent(parent);
  *parent = ObjectOf(*above);
  return *parent ? S_OK : E_FAIL;
}

HRESULT TWin32Accessible::get_accChildCount(long* count) noexcept {
  if (!count) return E_POINTER;
  *count = 0;
  if (!peer_) return CO_E_OBJNOTCONNECTED;
  if (!peer_->OwnClass()) return system_->get_accChildCount(count);
  std::vector<TControl*> told;
  const HRESULT listed = Children(told);
  *count = static_cast<long>(told.size());
  return listed;
}

HRESULT TWin32Accessible::get_accChild(VARIANT child, IDispatch** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  TControl* target = nullptr;
  const HRESULT found = Target(child, target);
  if (found == S_FALSE) return system_->get_accChild(child, object);
  if (found != S_OK) return found;
  if (child.lVal == CHILDID_SELF) return E_INVALIDARG;
  // A graphic child is an element of this object, known by its id.
  auto* window = dynamic_cast<TWinControl*>(target);
  if (window) *object = ObjectOf(*window);
  return *object ? S_OK : S_FALSE;
}

HRESULT TWin32Accessible::get_accName(VARIANT child, BSTR* name) noexcept {
  return Text(child, name, TText::Name, &IAccessible::get_accName);
}

HRESULT TWin32Accessible::get_accValue(VARIANT child, BSTR* value) noexcept {
  return Text(child, value, TText::Value, &IAccessible::get_accValue);
}

HRESULT TWin32Accessible::get_accDescription(VARIANT child, BSTR* description) noexcept {
  if (!description) return E_POINTER;
  *description = nullptr;
  if (!peer_) return CO_E_OBJNOTCONNECTED;
  // The elements of a painted control have no description.
  if (child.vt == VT_I4 && child.lVal != CHILDID_SELF && peer_->OwnClass()) return S_FALSE;
  return system_->get_accDescription(child, description);
}

HRESULT TWin32Accessible::get_accRole(VARIANT child, VARIANT* role) noexcept {
  return Number(child, role, TNumber::Role, &IAccessible::get_accRole);
}

HRESULT TWin32Accessible::get_accState(VARIANT child, VARIANT* state) noexcept {
  return Number(child, state, TNumber::State, &IAccessible::get_accState);
}

HRESULT TWin32Accessible::get_accHelp(VARIANT child, BSTR* help) noexcept {
  if (!help) return E_POINTER;
  *help = nullptr;
  if (!peer_) return CO_E_OBJNOTCONNECTED;
  return system_->get_accHelp(child, help);
}

HRESULT TWin32Accessible::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) noexcept {
  if (!file || !topic) return E_POINTER;
  *file = nullptr;
  *topic = 0;
  if (!peer_) return CO_E_OBJNOTCONNECTED;
  return system_->get_accHelpTopic(file, child, topic);
}

HRESULT TWin32Accessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) noexcept {
  return Text(child, shortcut, TText::Shortcut, &IAccessible::get_accKeyboardShortcut);
}

HRESULT TWin32Accessible::get_accFocus(VARIANT* focus) noexcept {
  if (!focus) return E_POINTER;
  ::VariantInit(focus);
  if (!peer_) return CO_E_OBJNOTCONNECTED;
  return system_->get_accFocus(focus);
}

HRESULT TWin32Accessible::get_accSelection(VARIANT* selection) noexcept {
  if (!selection) return E_POINTER;
  ::VariantInit(selection);
  if (!peer_) return CO_E_OBJNOTCONNECTED;
  return system_->get_accSelection(selection);
}

HRESULT TWin32Accessible::get_accDefaultAction(VARIANT child, BSTR* action) noexcept {
  return Text(child, action, TText::Action, &IAccessible::get_accDefaultAction);
}

HRESULT TWin32Accessible::accSelect(long flags, VARIANT child) noexcept {
  if (!peer_) return CO_E_OBJNOTCONNECTED;
  if (child.vt == VT_I4 && child.lVal != CHILDID_SELF && peer_->OwnClass()) return DISP_E_MEMBERNOTFOUND;
  return system_->accSelect(flags, child);
}

HRESULT TWin32Accessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child) noexcept {
  if (!left || !top || !width || !height) return E_POINTER;
  *left = *top = *width = *height = 0;
  TControl* target = nullptr;
  const HRESULT found = Target(child, target);
  if (found == S_FALSE || (found == S_OK && child.lVal == CHILDID_SELF))
    return system_->accLocation(left, top, width, height, child);
  if (found != S_OK) return found;
  // A child's window stands where its control's bounds say, as a graphic
  // child is drawn there.
  POINT origin{0, 0};
  if (!::ClientToScreen(peer_->Window(), &origin)) return E_FAIL;
  const TRect bounds = peer_->Scale().Device(target->BoundsRect());
  *left = origin.x + bounds.Left;
  *top = origin.y + bounds.Top;
  *width = bounds.Width();
  *height = bounds.Height();
  return S_OK;
}

HRESULT TWin32Accessible::accNavigate(long direction, VARIANT start, VARIANT* end) noexcept {
  if (!end) return E_POINTER;
  ::VariantInit(end);
  if (!peer_) return CO_E_OBJNOTCONNECTED;
  // Clients walk the children instead; the system's object moves between
  // windows.
  if (start.vt == VT_I4 && start.lVal != CHILDID_SELF && peer_->OwnClass()) return DISP_E_MEMBERNOTFOUND;
  return system_->accNavigate(direction, start, end);
}

HRESULT TWin32Accessible::accHitTest(long x, long y, VARIANT* child) noexcept {
  if (!child) return E_POINTER;
  ::VariantInit(child);
  if (!peer_) return CO_E_OBJNOTCONNECTED;
  if (!peer_->OwnClass()) return system_->accHitTest(x, y, child);
  HWND window = peer_->Window();
  POINT at{x, y};
  RECT client;
  if (!::ScreenToClient(window, &at) || !::GetClientRect(window, &client)) return E_FAIL;
  if (!::PtInRect(&client, at)) return S_FALSE;
  std::vector<TControl*> told;
  const HRESULT listed = Children(told);
  if (listed != S_OK) return listed;
  const TPoint point = peer_->Scale().Layout(TPoint{at.x, at.y});
  LONG hit = CHILDID_SELF;
  for (size_t i = 0; i < told.size(); ++i) {
    const TRect r = told[i]->BoundsRect();
    if (point.X >= r.Left && point.X < r.Right && point.Y >= r.Top && point.Y < r.Bottom) hit = static_cast<LONG>(i + 1);
  }
  auto* inner = hit == CHILDID_SELF ? nullptr : dynamic_cast<TWinControl*>(told[static_cast<size_t>(hit - 1)]);
  if (inner && (child->pdispVal = ObjectOf(*inner))) {
    child->vt = VT_DISPATCH;
    return S_OK;
  }
  SetLong(child, hit);
  return S_OK;
}

HRESULT TWin32Accessible::accDoDefaultAction(VARIANT child) noexcept {
  TControl* target = nullptr;
  TAccessibleInfo info;
  const HRESULT found = Describe(child, target, info);
  if (found == S_FALSE) return system_->accDoDefaultAction(child);
  if (found != S_OK) return found;
  if (!*info.DefaultAction) return DISP_E_MEMBERNOTFOUND;
  if (!target->Enabled() || !target->Showing()) return E_FAIL;
  // Done from the message loop, as a click is: the action may switch the
  // page and start the install, which the client must not wait for.
  return peer_->QueueDefaultAction(*target) ? S_OK : E_OUTOFMEMORY;
}

HRESULT TWin32Accessible::put_accName(VARIANT, BSTR) noexcept { return E_NOTIMPL; }

HRESULT TWin32Accessible::put_accValue(VARIANT, BSTR) noexcept { return E_NOTIMPL; }

// ------------------------------------------------------- the peer's part

void TAccessibleRelease::operator()(TWin32Accessible* object) const {
  object->Disconnect();
  object->Release();
}

TWin32Accessible* TWin32Peer::Accessible() {
  if (!window_ || Of(window_.get()) != this) return nullptr;
  if (!accessible_) accessible_.reset(TWin32Accessible::Create(*this));
  return accessible_.get();
}

void TWin32Peer::Destroyed() {
  accessible_.reset();
  Peers().erase(window_.get());
}

void TWin32Peer::Notify(DWORD event, LONG child) const {
  ::NotifyWinEvent(event, window_.get(), OBJID_CLIENT, child);
}

void TWin32Peer::Announce() {
  const TAccessibleInfo info = control_.AccessibleInfo();
  const LONG state = TWin32Accessible::StateOf(control_, info) & TWin32Accessible::kAnnouncedStates;
  // A hidden window is told of as a whole when it shows.
  if (::IsWindowVisible(window_.get())) {
    if (info.Name != told_.Name) Notify(EVENT_OBJECT_NAMECHANGE, CHILDID_SELF);
    if (info.Value != told_.Value) Notify(EVENT_OBJECT_VALUECHANGE, CHILDID_SELF);
    if (state != told_.State) Notify(EVENT_OBJECT_STATECHANGE, CHILDID_SELF);
  }
  told_ = {info.Name, info.Value, state};
}

void TWin32Peer::GraphicChildChanged(TControl& child, TPeerChange what) {
  if (!window_ || !::IsWindowVisible(window_.get())) return;
  const std::vector<TControl*> told = control_.AccessibleControls();
  for (size_t i = 0; i < told.size(); ++i)
    if (told[i] == &child)
      Notify(what == TPeerChange::Text ? EVENT_OBJECT_NAMECHANGE : EVENT_OBJECT_STATECHANGE, static_cast<LONG>(i + 1));
}
