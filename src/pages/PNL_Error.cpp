#include "pages/PNL_Error.h"

#include "pages/PNL_Layout.h"
#include "pages/PageNames.h"
#include "platform/Platform.h"
#include "ui/Application.h"
#include "resources/Resources.h"

using namespace PageLayout;

TPnlError* ErrorPage = nullptr;

TPnlError::TPnlError(TComponent* owner, TPageHost& host) : TFramePanel(owner, host) {
  Name = PageName::PnlError;
  Image1 = Picture(*this, *this, "Image1", 16, 8, 121, 122, ResourceName::Error);

  Panel1 = Place<TPanel>(*this, *this, "Panel1", 132, 8, 559, 119);
  Panel1->SetColor(clWhite);
  Panel1->SetBevelOuter(TBevelCut::bvNone);
  Label1 = Label(*this, *Panel1, "Label1", 8, 8, "Install could not continue - An error occured");
  TFont font = Label1->Font();
  font.Color = clRed;
  font.Height = 19;
  Label1->SetFont(font);
  StaticText1 = StaticText(*this, *Panel1, "StaticText1", 10, 32, 500, 50, "");
  btnClipboard = Place<TButton>(*this, *Panel1, "btnClipboard", 464, 97, 91, 19);
  btnClipboard->SetCaption("Copy to clipboard");
  btnClipboard->OnClick = [this](TObject* sender) { btnClipboardClick(sender); };

  Label2 = Label(*this, *this, "Label2", 16, 144, "How to resolve", fsBold);
  StaticText2 = StaticText(*this, *this, "StaticText2", 16, 160, 217, 49,
                           "This error was unexpected, the installation program has no knowledge "
                           "how to automatically resolve or by pass this problem. ");
  StaticText3 = StaticText(*this, *this, "StaticText3", 16, 211, 217, 46,
                           "Possible remedies can be to install the program in a different folder "
                           "or to run the installer with all usage rights (as administrator).");
  StaticText4 = StaticText(*this, *this, "StaticText4", 17, 262, 217, 46,
                           "You can hit the restart button to give it another shot. ");
  Label3 = Label(*this, *this, "Label3", 308, 143, "Let us know", fsBold);
  StaticText5 = StaticText(*this, *this, "StaticText5", 308, 159, 217, 50,
                           "We aim on creating software that just does what it should do, "
                           "apperently something went wrong in this. We would love to know that "
                           "so we can fix it.");
  StaticText6 = StaticText(*this, *this, "StaticText6", 309, 221, 217, 60,
                           "If you get an error you cannot resolve or you think you should not "
                           "have gotten on the first place. We will try to help you out by E-mail "
                           "support (that is of course free of charge).");
  StaticText7 = StaticText(*this, *this, "StaticText7", 309, 281, 217, 45,
                           "Could you include the exact text of the error message in your E-mail? "
                           "For copy/paste use the copy to clipboard button.");
  Label4 = Label(*this, *this, "Label4", 310, 334, "You can reach us at: ");
  Label5 = MailLink(*this, *this, "Label5", 413, 334);
  Label5->OnClick = [this](TObject* sender) { Label5Click(sender); };

  ErrorPage = this;
  HeaderText = "Error";
}

TPnlError::~TPnlError() {
  if (ErrorPage == this) ErrorPage = nullptr;
}

void TPnlError::SetupButtons(tMvButtonBar& bar) {
  AddExitButton(bar);
  bar.AddRightButton("&Restart", 2, 1, [this](TObject* sender) { RestartClick(sender); });
}

void TPnlError::SetMessage(const std::string& message) { StaticText1->SetCaption(message); }

void TPnlError::RestartClick(TObject*) {
  // The new copy gets no arguments: a failed automatic update comes back as
  // an ordinary setup. It starts with the signed-in user's rights, and only
  // while the file at this program's path is still this very program, not
  // something put in its place. Whether it starts or not, this copy ends here.
  TPlatform& os = Host().Platform();
  const std::string self = os.ProgramPath();
  if (os.IsThisProgram(self)) os.TryShellOpen(self);
  os.ExitProcess(0);
}

void TPnlError::btnClipboardClick(TObject*) { Clipboard::SetAsText(StaticText1->Text()); }

void TPnlError::Label5Click(TObject*) { OpenSupportMail(Host().Platform()); }
