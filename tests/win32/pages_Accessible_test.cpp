// The wizard as a screen reader reads it: the main window on the real
// Windows layer over a simulated Windows, its accessible objects asked for
// through the system (WM_GETOBJECT), walked child by child, and every page
// of the install route compared with its record in golden/. Every step of
// the route is taken through the objects' default actions, as a screen
// reader's user takes it.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "unit/GoldenRecords.h"
#include "unit/HostSim_fixture.h"
#include "win32/Win32Fixtures.h"
#include "app/Appl_Globals.h"
#include "app/Form_Main.h"
#include "lib/LIB_Random.h"
#include "pages/PNL_Disclaimer.h"
#include "pages/PNL_InstallInstalling.h"
#include "ui/Application.h"
#include "ui/headless/HeadlessBackend.h"
#include "ui/win32/Win32Accessible.h"
#include "ui/win32/Win32Backend.h"

namespace {

// The words a screen reader says for them; any other role or state shows
// as its number, so that a new one cannot pass unseen.
const std::map<long, const char*> kRoles = {
    {ROLE_SYSTEM_CLIENT, "client"},          {ROLE_SYSTEM_PANE, "pane"},
    {ROLE_SYSTEM_PROPERTYPAGE, "page"},      {ROLE_SYSTEM_GROUPING, "grouping"},
    {ROLE_SYSTEM_STATICTEXT, "text"},        {ROLE_SYSTEM_LINK, "link"},
    {ROLE_SYSTEM_PUSHBUTTON, "button"},      {ROLE_SYSTEM_CHECKBUTTON, "check box"},
    {ROLE_SYSTEM_RADIOBUTTON, "radio button"}, {ROLE_SYSTEM_TEXT, "edit"},
    {ROLE_SYSTEM_LIST, "list"},              {ROLE_SYSTEM_COMBOBOX, "combo box"},
    {ROLE_SYSTEM_PROGRESSBAR, "progress bar"},
};
const std::pair<long, const char*> kStates[] = {
    {STATE_SYSTEM_UNAVAILABLE, "unavailable"}, {STATE_SYSTEM_PRESSED, "pressed"},
    {STATE_SYSTEM_CHECKED, "checked"},         {STATE_SYSTEM_FOCUSED, "focused"},
    {STATE_SYSTEM_INVISIBLE, "invisible"},     {STATE_SYSTEM_FOCUSABLE, "focusable"},
};

VARIANT ChildId(long id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::string Narrow(BSTR text) {
  if (!text) return {};
  const int length = static_cast<int>(SysStringLen(text));
  std::string out(static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr)),
                  '\0');
  WideCharToMultiByte(CP_ACP, 0, text, length, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
  SysFreeString(text);
  return out;
}

// A property read as a string; empty when the object has none.
std::string Read(const std::function<HRESULT(BSTR*)>& get) {
  BSTR text = nullptr;
  return get(&text) == S_OK ? Narrow(text) : std::string();
}

// The test's screen reader: it reaches a window's object through the
// system, as every client does, and walks and presses from there.
class TReader {
 public:
  TReader() {
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    library_ = LoadLibraryA((std::string(folder, length) + "\\oleacc.dll").c_str());
    if (!library_) return;
    fromWindow_ = reinterpret_cast<TFromWindow>(
        reinterpret_cast<void*>(GetProcAddress(library_, "AccessibleObjectFromWindow")));
    children_ = reinterpret_cast<TChildren>(reinterpret_cast<void*>(GetProcAddress(library_, "AccessibleChildren")));
  }
  ~TReader() {
    if (library_) FreeLibrary(library_);
  }
  bool Ready() const { return fromWindow_ && children_; }

  // One line per object, nested as the objects are: role, name, value,
  // shortcut, default action and state.
  std::string Tree(HWND window) {
    std::ostringstream out;
    Walk(window, [&](IAccessible& object, long child, int depth) {
      VARIANT id = ChildId(child);
      VARIANT role, state;
      VariantInit(&role);
      VariantInit(&state);
      out << std::string(2 * depth, ' ');
      if (object.get_accRole(id, &role) != S_OK || role.vt != VT_I4) out << "(no role)";
      else if (kRoles.count(role.lVal)) out << kRoles.at(role.lVal);
      else out << "role " << role.lVal;
      out << ' ' << Quoted(Read([&](BSTR* b) { return object.get_accName(id, b); }));
      BSTR value = nullptr;
      if (object.get_accValue(id, &value) == S_OK) out << " value " << Quoted(Narrow(value));
      for (const auto& [label, text] :
           {std::pair{" key ", Read([&](BSTR* b) { return object.get_accKeyboardShortcut(id, b); })},
            {" action ", Read([&](BSTR* b) { return object.get_accDefaultAction(id, b); })}})
        if (!text.empty()) out << label << text;
      long bits = object.get_accState(id, &state) == S_OK && state.vt == VT_I4 ? state.lVal : 0;
      std::string words;
      for (const auto& [bit, word] : kStates)
        if (bits & bit) {
          words += std::string(words.empty() ? "" : ", ") + word;
          bits &= ~bit;
        }
      if (bits) words += std::string(words.empty() ? "" : ", ") + "state " + std::to_string(bits);
      if (!words.empty()) out << " (" << words << ')';
      out << '\n';
      return false;
    });
    return out.str();
  }

  // The window's object, with a reference for the caller.
  IAccessible* Object(HWND window) {
    IAccessible* object = nullptr;
    EXPECT_EQ(fromWindow_(window, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible, reinterpret_cast<void**>(&object)),
              S_OK);
    return object;
  }

  // The default action of the first object with that name.
  HRESULT Press(HWND window, const std::string& name) {
    HRESULT result = E_INVALIDARG;
    Walk(window, [&](IAccessible& object, long child, int) {
      if (Read([&](BSTR* b) { return object.get_accName(ChildId(child), b); }) != name) return false;
      result = object.accDoDefaultAction(ChildId(child));
      return true;
    });
    return result;
  }

 private:
  using TFromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
  using TChildren = HRESULT(WINAPI*)(IAccessible*, LONG, LONG, VARIANT*, LONG*);
  // Visits the window's object and its children, depth first, until the
  // visitor returns true.
  using TVisitor = std::function<bool(IAccessible& object, long child, int depth)>;

  void Walk(HWND window, const TVisitor& visit) {
    IAccessible* root = Object(window);
    if (!root) return;
    Visit(*root, CHILDID_SELF, 0, visit);
    root->Release();
  }

  bool Visit(IAccessible& object, long child, int depth, const TVisitor& visit) {
    if (visit(object, child, depth)) return true;
    long count = 0;
    if (child != CHILDID_SELF || object.get_accChildCount(&count) != S_OK || count <= 0) return false;
    std::vector<VARIANT> children(static_cast<size_t>(count));
    long got = 0;
    if (FAILED(children_(&object, 0, count, children.data(), &got))) return false;
    bool stop = false;
    for (long i = 0; i < got; ++i) {
      VARIANT& c = children[static_cast<size_t>(i)];
      IAccessible* inner = nullptr;
      if (!stop && c.vt == VT_I4) stop = Visit(object, c.lVal, depth + 1, visit);
      if (!stop && c.vt == VT_DISPATCH &&
          c.pdispVal->QueryInterface(kIidAccessible, reinterpret_cast<void**>(&inner)) == S_OK) {
        stop = Visit(*inner, CHILDID_SELF, depth + 1, visit);
        inner->Release();
      }
      VariantClear(&c);
    }
    return stop;
  }

  HMODULE library_ = nullptr;
  TFromWindow fromWindow_ = nullptr;
  TChildren children_ = nullptr;
};

// The events the program raised, as a screen reader hears them.
struct TEvent {
  DWORD Event;
  HWND Window;
  LONG Child;
};
std::vector<TEvent> g_events;

void CALLBACK Heard(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (object == OBJID_CLIENT) g_events.push_back({event, window, child});
}

size_t Count(DWORD event, const TWinControl& control, LONG child) {
  size_t n = 0;
  for (const TEvent& e : g_events) n += e.Event == event && e.Window == control.Handle() && e.Child == child;
  return n;
}

class AccessibleRouteTest : public HostSimTest {
 protected:
  void SetUp() override {
    HostSimTest::SetUp();
    std::unique_ptr<TWatchedWin32Backend> backend;
    try {
      backend = std::make_unique<TWatchedWin32Backend>();
    } catch (const std::runtime_error&) {
      GTEST_SKIP() << "Windows cannot be made here: run with a display (Xvfb) for these tests.";
    }
    ASSERT_TRUE(reader.Ready());
    watched = backend.get();
    Application().SetBackend(std::move(backend));
    for (const auto& [csidl, folder] : {std::pair{kCsidlProgramFiles, std::string("C:\\Program Files")},
                                        std::pair{kCsidlLocalAppData, std::string("C:\\Local")},
                                        std::pair{kCsidlPrograms, std::string("C:\\Menu")},
                                        std::pair{kCsidlDesktopDirectory, std::string("C:\\Desk")}}) {
      MakeFolder(folder);
      os_->SetShellFolder(csidl, folder, 0);
    }
    savedColors = tMvButtonBar::SharedColors();
    SetRandSeed(0);
    ::Setup = TSetupState();
    ::Setup.InstallerEdition = "04";
    Application().Title = "Install_Fotelix";
    g_events.clear();
    hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr, Heard, GetCurrentProcessId(), 0,
                           WINEVENT_OUTOFCONTEXT);
    form = std::make_unique<TFormMain>(nullptr, *os_, std::vector<std::string>{});
    Application().MainForm = form.get();
    form->Show();
  }

  void TearDown() override {
    if (watched) watched->AfterMessages = nullptr;
    if (hook) UnhookWinEvent(hook);
    Application().MainForm = nullptr;
    form.reset();
    tMvButtonBar::SetSharedColors(savedColors);
    if (dynamic_cast<TWin32Backend*>(&Application().Backend()))
      Application().SetBackend(std::make_unique<THeadlessBackend>());
    HostSimTest::TearDown();
  }

  HWND Window() const { return static_cast<HWND>(form->Handle()); }

  // Lets the program run until the page with that header has slid in.
  bool WaitForPage(const std::string& header) {
    const DWORD start = GetTickCount();
    while (form->PnlHeader->Caption() != header || form->Busy()) {
      if (GetTickCount() - start > 20000) return false;
      Application().ProcessMessages();
      Sleep(5);
    }
    return true;
  }

  template <class T>
  T& Page(const std::string& name) {
    return dynamic_cast<T&>(*form->PageControl->FindPage(name)->Controls().front());
  }

  const TComScope com;
  TReader reader;
  HWINEVENTHOOK hook = nullptr;
  TWatchedWin32Backend* watched = nullptr;
  std::unique_ptr<TFormMain> form;
  TMvButtonColors savedColors;
};

TEST_F(AccessibleRouteTest, EveryPageOfTheInstallReadsAsRecordedAndWorksByDefaultActions) {
  struct TVisit {
    const char* Header;
    const char* Record;
    std::vector<const char*> Presses;
  };
  const TVisit route[] = {
      {"Welcome", "PnlWelcome", {"Next"}},
      {"Disclaimer", "PnlDisclaimer", {"I have read the statement above and I fully agree with this statement.", "Next"}},
      // "Previous" is pressed while the slide of "Next" runs: it does nothing.
      {"Install or upgrade?", "PnlInstall", {"Next", "Previous"}},
      {"Choose installation folder", "PnlInstallChooseDir", {"Next"}},
      {"Choose download folder", "PNLInstallChooseDownloadDir", {"Next"}},
      {"Select your internet-connection", "PNLInstallChooseConnection", {"ADSL / DSL", "Next"}},
      {"Ready to install", "PNLInstallGo", {"Install Now"}},
      {"Installation of Fotelix ready", "PNLInstallReady", {}},
  };
  // The run's page is read at its first step, with the run under way.
  auto& installing = Page<TPNLInstallInstalling>("PNLInstallInstalling");
  std::string duringRun;
  std::vector<std::string> captions = {"0% complete"};  // as the page slides in
  watched->AfterMessages = [&] {
    if (form->PnlHeader->Caption() != "Installing Fotelix" || form->Busy()) return;
    if (duringRun.empty()) duringRun = reader.Tree(Window());
    if (captions.back() != installing.Label12->Caption()) captions.push_back(installing.Label12->Caption());
  };

  for (const TVisit& visit : route) {
    SCOPED_TRACE(visit.Header);
    ASSERT_TRUE(WaitForPage(visit.Header));
    ExpectRecorded(std::string(FX_ACCESSIBLE_GOLDEN_DIR "/") + visit.Record + ".txt", reader.Tree(Window()));
    for (const char* name : visit.Presses) EXPECT_EQ(reader.Press(Window(), name), S_OK) << name;
  }
  ExpectRecorded(FX_ACCESSIBLE_GOLDEN_DIR "/PNLInstallInstalling.txt", duringRun);

  // Told once each: the tick, the last page's arrival, a button disabled.
  TLbSpeedButton& start = *form->PnlButtons->RightButton(1);
  const size_t startStates = Count(EVENT_OBJECT_STATECHANGE, start, CHILDID_SELF);
  start.SetEnabled(false);
  Application().ProcessMessages();
  EXPECT_EQ(Count(EVENT_OBJECT_STATECHANGE, start, CHILDID_SELF), startStates + 1);
  EXPECT_EQ(Count(EVENT_OBJECT_STATECHANGE, *Page<TPnlDisclaimer>("PnlDisclaimer").CheckBox1, CHILDID_SELF), 1u);
  EXPECT_EQ(Count(EVENT_OBJECT_FOCUS, Page<TFramePanel>("PNLInstallReady"), CHILDID_SELF), 1u);
  // The percentage is told as often as its text changes, the bar's value
  // no more often; the label is the page's first object.
  ASSERT_GT(captions.size(), 2u);
  EXPECT_EQ(Count(EVENT_OBJECT_NAMECHANGE, installing, 1), captions.size() - 1);
  const size_t values = Count(EVENT_OBJECT_VALUECHANGE, *installing.ProgressBar1, CHILDID_SELF);
  EXPECT_GE(values, 1u);
  EXPECT_LE(values, captions.size() - 1);

  // An object kept after its window has gone answers, and touches nothing.
  IAccessible* kept = reader.Object(static_cast<HWND>(start.Handle()));
  ASSERT_TRUE(kept);
  form.reset();
  BSTR name = nullptr;
  EXPECT_EQ(kept->get_accName(ChildId(CHILDID_SELF), &name), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(kept->Release(), 0u);
}

}  // namespace
