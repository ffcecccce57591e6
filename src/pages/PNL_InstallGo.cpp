#include "pages/PNL_InstallGo.h"

#include "pages/PNL_Layout.h"
#include "pages/PageNames.h"
#include "resources/Resources.h"

using namespace PageLayout;

TPNLInstallGo::TPNLInstallGo(TComponent* owner, TPageHost& host) : TFramePanel(owner, host) {
  Name = PageName::PNLInstallGo;
  Image7 = Picture(*this, *this, "Image7", 8, 8, 193, 164, ResourceName::ReadyToInstall);
  Image7->SetStretch(true);
  Label1 = Label(*this, *this, "Label1", 208, 16, "All questions are answered.");
  Label2 = Label(*this, *this, "Label2", 208, 32,
                 "Click the button \"Install Now\" and the installation will begin.");
  Label6 = Label(*this, *this, "Label6", 228, 55, "");
  Label7 = Label(*this, *this, "Label7", 228, 79, "");
  Label8 = Label(*this, *this, "Label8", 228, 103, "");
  // Folder names may hold an "&", which is no accelerator here.
  Label6->SetShowAccelChar(false);
  Label7->SetShowAccelChar(false);
  HeaderText = "Ready to install";
}

void TPNLInstallGo::SetupButtons(tMvButtonBar& bar) {
  AddExitButton(bar);
  bar.AddRightButton("&Install Now", 2, 2, [this](TObject* sender) { NextClick(sender); });
  bar.AddRightButton("&Previous", 3, 1, [this](TObject* sender) { PreviousClick(sender); });
}

void TPNLInstallGo::EnterPage() {
  // The folders as stored: InstallDir with its backslash, DownloadDir as
  // the user accepted it.
  Label6->SetCaption("Installation folder = " + State().InstallDir);
  Label7->SetCaption("Download folder = " + State().DownloadDir);
  Label8->SetCaption(std::string("Create shortcut on desktop = ") +
                     (State().CreateDesktopShortcut ? "Yes" : "No"));
}

void TPNLInstallGo::NextClick(TObject*) {
  Host().ShowPage(PageName::PNLInstallInstalling, true);
}

void TPNLInstallGo::PreviousClick(TObject*) {
  Host().ShowPage(PageName::PNLInstallChooseConnection, true);
}
