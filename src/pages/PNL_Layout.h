#pragma once
// Small helpers that build a page's controls from its layout table, so that
// each page reads as the list of its controls.

#include <string>
#include <string_view>

#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"

class TPageHost;
class TPlatform;

namespace PageLayout {

template <class T>
T* Place(TComponent& owner, TWinControl& parent, const std::string& name, int left, int top) {
  T* control = owner.Create<T>();
  control->Name = name;
  control->SetParent(&parent);
  control->SetLeft(left);
  control->SetTop(top);
  return control;
}

// A label that sizes itself to its caption.
TLabel* Label(TComponent& owner, TWinControl& parent, const std::string& name, int left, int top,
              const std::string& caption, unsigned style = 0);
// Fixed-size wrapped text in a window of its own.
TStaticText* StaticText(TComponent& owner, TWinControl& parent, const std::string& name, int left,
                        int top, int width, int height, const std::string& text);
// A picture from the carried resources, sized to it.
TImage* Picture(TComponent& owner, TWinControl& parent, const std::string& name, int left, int top,
                std::string_view resource);
// The support address as a mail link: blue, underlined; a click opens a mail
// to it, and whatever the shell answers is ignored.
TLabel* MailLink(TComponent& owner, TWinControl& parent, const std::string& name, int left, int top);
// Opens a mail to the support address; a missing mail program is no error
// of the setup.
void OpenSupportMail(TPlatform& platform);
// What "&Start Fotelix" of both finished pages does: starts the product from
// the folder the run wrote to, maximised, and closes the window. The run is
// complete either way: a product that does not start is no error of the
// setup, and the Start menu still has it.
void StartProductAndClose(TPageHost& host);

void SetFontStyle(TControl& control, unsigned style);
void SetFontHeight(TControl& control, int height);
void SetFontColor(TControl& control, TColor color);

}  // namespace PageLayout
