#pragma once
// What a platform gives the control library: windows for the windowed
// controls, the message loop with its timers, message boxes and the
// clipboard. The program picks the Windows backend at start; tests run the
// same controls on the headless one.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Graphics.h"

class TControl;
class TWinControl;

// How the platform shows a windowed control.
enum class TControlKind {
  Form,         // a top-level window
  Custom,       // a window of the control's own class, painted by the control
  Button,
  CheckBox,
  RadioButton,
  Edit,
  ComboBox,     // drop-down list
  ListBox,      // owner-drawn list with fixed item height
  ProgressBar,
  StaticText,   // fixed-size, word-wrapped text
};

// What changed on a control, so that its window follows.
enum class TPeerChange {
  Parent,
  Bounds,
  Visible,
  Enabled,
  Text,
  Font,
  Color,
  State,  // the kind's own values: check, items, item index, range, position, opacity
};

// A windowed control's presence on the platform. The control owns its peer
// and keeps every value itself; the peer only mirrors them.
class TWindowPeer {
 public:
  virtual ~TWindowPeer() = default;
  virtual void Changed(TPeerChange what) = 0;
  // Marks part of the client area for painting at the next chance.
  virtual void Invalidate(const TRect& rect) = 0;
  // Paints the invalid part now.
  virtual void Update() = 0;
  virtual void SetFocus() = 0;
  virtual bool Focused() const = 0;
  // Screen position of the client area's top-left corner.
  virtual TPoint ClientOrigin() const = 0;
  // The platform's window handle, or null where there is none.
  virtual void* Handle() const = 0;
  // The text or the state of one of the control's graphic children changed,
  // which assistive technology may have to hear of.
  virtual void GraphicChildChanged(TControl&, TPeerChange) {}
};

// Message box flags and answers carry the platform's values.
enum TMessageBoxFlags : unsigned {
  mbOk = 0x0,
  mbOkCancel = 0x1,
  mbYesNo = 0x4,
  mbIconError = 0x10,
  mbIconQuestion = 0x20,
  mbIconWarning = 0x30,
  mbIconInformation = 0x40,
};
enum TModalResult : int { idOk = 1, idCancel = 2, idYes = 6, idNo = 7 };

class TBackend {
 public:
  virtual ~TBackend() = default;

  virtual std::unique_ptr<TWindowPeer> CreatePeer(TWinControl& control, TControlKind kind) = 0;

  // Handles every message waiting, and returns.
  virtual void ProcessMessages() = 0;
  // Waits for the next message and handles it; false when nothing can ever
  // arrive any more.
  virtual bool HandleMessage() = 0;
  // A call for the main thread was queued from another thread; any thread.
  virtual void WakeMainThread() = 0;

  // Milliseconds since some fixed point, wrapping as the platform's does.
  virtual uint32_t TickCount() = 0;
  virtual void Sleep(unsigned milliseconds) = 0;

  // Message-loop timers: the tick runs from the loop every interval.
  virtual uintptr_t StartTimer(unsigned interval, std::function<void()> tick) = 0;
  virtual void StopTimer(uintptr_t id) = 0;

  virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
  // Shows a popup menu of these captions ("-" a separator) with its top-left
  // corner at a screen position and waits until it closes; returns the index
  // of the chosen item, or -1 when none was chosen.
  virtual int TrackPopupMenu(const std::vector<std::string>& captions, TPoint at) = 0;
  virtual void SetClipboardText(const std::string& text) = 0;
  virtual std::string ClipboardText() = 0;
  virtual int ScreenColorDepth() = 0;
  // Width and height of the screen's work area.
  virtual TPoint ScreenSize() = 0;
  // A canvas for measuring text outside of painting.
  virtual std::unique_ptr<TCanvas> CreateMeasureCanvas() = 0;
};
