#include "pages/PNL_InstallChooseConnection.h"

#include <string>
#include <vector>

#include "pages/PNL_Layout.h"
#include "pages/PageNames.h"
#include "resources/Resources.h"
#include "ui/Dialogs.h"

using namespace PageLayout;

namespace {

// In the order of their index, which is what ConnectionKind holds.
const std::vector<std::string> kConnections = {
    "Dial-up &Modem < 56KBS", "Dial-up M&odem 56K", "&ISDN", "&ADSL / DSL", "&Cable",
    "&T1", "T&2", "ADSL 2", "I &don't know",
};

}  // namespace

TPNLInstallChooseConnection::TPNLInstallChooseConnection(TComponent* owner, TPageHost& host)
    : TFramePanel(owner, host) {
  Name = PageName::PNLInstallChooseConnection;
  Image1 = Picture(*this, *this, "Image1", 16, 16, ResourceName::Connection);
  StaticText1 = StaticText(*this, *this, "StaticText1", 200, 16, 216, 105, "");
  rgConnection = Place<TRadioGroup>(*this, *this, "rgConnection", 200, 130, 185, 145);
  rgConnection->SetCaption("Internet-connection");
  HeaderText = "Select your internet-connection";
}

void TPNLInstallChooseConnection::SetupButtons(tMvButtonBar& bar) {
  AddExitButton(bar);
  bar.AddRightButton("&Next", 2, 1, [this](TObject* sender) { NextClick(sender); });
  bar.AddRightButton("&Previous", 3, 1, [this](TObject* sender) { PreviousClick(sender); });
}

void TPNLInstallChooseConnection::EnterPage() {
  StaticText1->SetCaption(
      "Choose the kind of internet-connection that\r"
      "you use. Fotelix uses this information to \r"
      "optimize its performance dependend on the\r"
      "kind of connection you have. After installation\r"
      "you could select to the item \"Performance\"\r"
      "of Fotelix to finetune this settings yourself.");
  rgConnection->SetItems(kConnections);
  // A choice left by "&Previous" is not kept: the selection is always the
  // stored one. A value of no item selects nothing.
  const int32_t kind = State().ConnectionKind;
  rgConnection->SetItemIndex(kind >= 0 && kind < static_cast<int32_t>(kConnections.size()) ? kind : -1);
}

void TPNLInstallChooseConnection::NextClick(TObject*) {
  if (rgConnection->ItemIndex() < 0) {
    ShowMessage("Choose a connection first");
    return;
  }
  State().ConnectionKind = rgConnection->ItemIndex();
  Host().ShowPage(PageName::PNLInstallGo, true);
}

void TPNLInstallChooseConnection::PreviousClick(TObject*) {
  Host().ShowPage(PageName::PNLInstallChooseDownloadDir, true);
}
