#pragma once
// Small helpers that build a page's controls from its layout table, so that
// each page reads as the list of its controls.

#include <string>
#include <string_view>

#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"

class TPlatform;

namespace PageLayout {

// A control at its place; one that sizes itself (a label, a picture) keeps
// its own size.
template <class T>
T* Place(TComponent& owner, TWinControl& parent, const std::string& name, int left, int top) {
  T* control = owner.Create<T>();
  control->Name = name;
  control->SetParent(&parent);
  control->SetBounds(left, top, control->Width(), control->Height());
  return control;
}

template <class T>
T* Place(TComponent& owner, TWinControl& parent, const std::string& name, int left, int top,
         int width, int height) {
  T* control = Place<T>(owner, parent, name, left, top);
  control->SetBounds(control->Left(), control->Top(), width, height);
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
// A picture in a box of its own size, drawn from the box's corner unless
// stretched to fill it.
TImage* Picture(TComponent& owner, TWinControl& parent, const std::string& name, int left, int top,
                int width, int height, std::string_view resource);
// The support address as a mail link: blue, underlined; a click opens a mail
// to it, and whatever the shell answers is ignored.
TLabel* MailLink(TComponent& owner, TWinControl& parent, const std::string& name, int left, int top);
// Opens a mail to the support address; a missing mail program is no error
// of the setup.
void OpenSupportMail(TPlatform& platform);

void SetFontStyle(TControl& control, unsigned style);
void SetFontHeight(TControl& control, int height);
void SetFontColor(TControl& control, TColor color);

}  // namespace PageLayout
