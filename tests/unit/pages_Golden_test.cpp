#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app_Wizard_fixture.h"

// Every page as the user first sees it, one line per control: name, kind,
// bounds, text, colour and font, nested as the controls are, then the
// buttons the page puts on the bar. Compared with golden/<page>.txt, so a
// changed caption or a moved control on any page fails with the first line
// that differs. After a change meant to be seen, run the test with
// FX_UPDATE_GOLDEN=1 to rewrite the files from the code, and read their
// diff before committing it.
namespace {

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '"' || c == '\\') out += std::string("\\") + c;
    else out += c;
  }
  return out + '"';
}

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

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class GoldenTest : public WizardTest {};

TEST_F(GoldenTest, EveryPageLooksAsRecorded) {
  const bool update = std::getenv("FX_UPDATE_GOLDEN") != nullptr;
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

    const std::string path = FX_GOLDEN_DIR "/" + sheet->Name + ".txt";
    if (update) std::ofstream(path, std::ios::binary) << dump.str();
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << "no " << path;
    const std::vector<std::string> expected = Lines(std::string(std::istreambuf_iterator<char>(in), {}));
    const std::vector<std::string> actual = Lines(dump.str());
    for (size_t i = 0; i < std::max(expected.size(), actual.size()); ++i) {
      const std::string want = i < expected.size() ? expected[i] : "(end)";
      const std::string got = i < actual.size() ? actual[i] : "(end)";
      if (want == got) continue;
      ADD_FAILURE() << path << ":" << i + 1 << "\n  recorded: " << want << "\n  now:      " << got;
      break;
    }
  }
}

}  // namespace
