#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "GoldenRecords.h"
#include "app_Wizard_fixture.h"

// Every page as the user first sees it, one line per control: name, kind,
// bounds, text, colour and font, nested as the controls are, then the
// buttons the page puts on the bar. Compared with golden/<page>.txt, so a
// changed caption or a moved control on any page fails with the first line
// that differs.
namespace {

std::string Hex(TColor color) {
  char text[16];
  std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(color));
  return text;
}

void Dump(std::ostream& out, const TControl& control, int depth) {
  const TFont& font = control.Font();
  std::string style;
  for (auto [bit, letter] : {std::pair{fsBold, 'b'}, {fsItalic, 'i'}, {fsUnderline, 'u'}, {fsStrikeOut, 's'}})
    if (font.Style & bit) style += letter;
  out << std::string(2 * depth, ' ') << (control.Name.empty() ? "-" : control.Name) << ' ' << control.ClassName() << ' '
      << control.Left() << ',' << control.Top() << ' ' << control.Width() << 'x' << control.Height()
      << ' ' << Quoted(control.Text()) << " color " << Hex(control.Color()) << " font "
      << Quoted(font.Name) << ' ' << font.Height << ' ' << (style.empty() ? "-" : style) << ' '
      << Hex(font.Color) << '\n';
  if (auto* parent = dynamic_cast<const TWinControl*>(&control))
    for (const TControl* child : parent->Controls()) Dump(out, *child, depth + 1);
}

class GoldenTest : public WizardTest {};

TEST_F(GoldenTest, EveryPageLooksAsRecorded) {
  for (TTabSheet* sheet : form->PageControl->Pages()) {
    SCOPED_TRACE(sheet->Name);
    auto& page = dynamic_cast<TFramePanel&>(*sheet->Controls().front());
    form->PnlButtons->Clear();
    page.SetupButtons(*form->PnlButtons);
    page.EnterPage();
    std::ostringstream dump;
    Dump(dump, page, 0);
    dump << "bar\n";
    for (int i = 1; i <= form->PnlButtons->LeftCount(); ++i) Dump(dump, *form->PnlButtons->LeftButton(i), 1);
    for (int i = 1; i <= form->PnlButtons->RightCount(); ++i) Dump(dump, *form->PnlButtons->RightButton(i), 1);

    ExpectRecorded(FX_GOLDEN_DIR "/" + sheet->Name + ".txt", dump.str());
  }
}

}  // namespace
