#pragma once
// What assistive technology is told of a control. A screen reader asks the
// platform, the platform asks the control (TControl::AccessibleInfo), so
// the answer is always the control's state of the moment; the platform
// alone knows how its clients want it said.

#include <string>

enum class TAccessibleRole {
  None,          // not told of: a picture, an ornament
  Client,        // the whole of a top-level window
  Pane,          // a container
  PropertyPage,  // a page of a wizard
  Grouping,      // a framed group of buttons
  StaticText,
  Link,
  PushButton,
  CheckButton,
  RadioButton,
  Text,  // an edit field
  List,
  ComboBox,
  ProgressBar,
};

struct TAccessibleInfo {
  TAccessibleRole Role = TAccessibleRole::None;
  std::string Name;
  // What the control holds: a field's text, the chosen item, a percentage.
  std::string Value;
  // The letter that "&" marks in the caption, which acts with Alt; '\0' for none.
  char AccessKey = '\0';
  // What TControl::DoDefaultAction does, in a word ("Press"); empty for nothing.
  const char* DefaultAction = "";
  bool Focusable = false;
  bool Checked = false;
  bool Pressed = false;
};

// The text as shown: "&&" is one "&", a single "&" only underlines.
std::string ShownText(const std::string& text);
// The letter that the first single "&" of text marks, or '\0'.
char AccessKeyOf(const std::string& text);
