#include "pages/PNL_Layout.h"

#include "lib/LIB_Endpoints.h"
#include "platform/Platform.h"
#include "resources/Resources.h"
#include "ui/Jpeg.h"

namespace PageLayout {

TLabel* Label(TComponent& owner, TWinControl& parent, const std::string& name, int left, int top,
              const std::string& caption, unsigned style) {
  TLabel* label = Place<TLabel>(owner, parent, name, left, top);
  label->SetTransparent(true);
  if (style) SetFontStyle(*label, style);
  label->SetCaption(caption);
  return label;
}

TStaticText* StaticText(TComponent& owner, TWinControl& parent, const std::string& name, int left,
                        int top, int width, int height, const std::string& text) {
  TStaticText* control = Place<TStaticText>(owner, parent, name, left, top, width, height);
  control->SetParentColor(true);
  control->SetCaption(text);
  return control;
}

namespace {

TImage* PlacePicture(TComponent& owner, TWinControl& parent, const std::string& name, int left,
                     int top, int width, int height, TBitmap picture) {
  TImage* image = Place<TImage>(owner, parent, name, left, top, width, height);
  image->SetPicture(std::move(picture));
  return image;
}

TBitmap Decoded(std::string_view resource) { return LoadJpeg(GetEmbeddedResource(resource).Bytes()); }

}  // namespace

TImage* Picture(TComponent& owner, TWinControl& parent, const std::string& name, int left, int top,
                std::string_view resource) {
  TBitmap picture = Decoded(resource);
  const int width = picture.Width();
  const int height = picture.Height();
  return PlacePicture(owner, parent, name, left, top, width, height, std::move(picture));
}

TImage* Picture(TComponent& owner, TWinControl& parent, const std::string& name, int left, int top,
                int width, int height, std::string_view resource) {
  return PlacePicture(owner, parent, name, left, top, width, height, Decoded(resource));
}

TLabel* MailLink(TComponent& owner, TWinControl& parent, const std::string& name, int left, int top) {
  TLabel* link = Label(owner, parent, name, left, top, kSupportEmail, fsUnderline);
  SetFontColor(*link, clBlue);
  return link;
}

void OpenSupportMail(TPlatform& platform) {
  // Without a mail program the address stays readable on the page.
  platform.TryShellOpen(std::string("mailto:") + kSupportEmail);
}

void SetFontStyle(TControl& control, unsigned style) {
  TFont font = control.Font();
  font.Style = style;
  control.SetFont(font);
}

void SetFontHeight(TControl& control, int height) {
  TFont font = control.Font();
  font.Height = height;
  control.SetFont(font);
}

void SetFontColor(TControl& control, TColor color) {
  TFont font = control.Font();
  font.Color = color;
  control.SetFont(font);
}

}  // namespace PageLayout
