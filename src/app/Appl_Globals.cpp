#include "app/Appl_Globals.h"

#include <memory>

#include "app/Form_Main.h"
#include "pages/PNL_Disclaimer.h"
#include "pages/PNL_Error.h"
#include "pages/PNL_Install.h"
#include "pages/PNL_InstallChooseConnection.h"
#include "pages/PNL_InstallChooseDir.h"
#include "pages/PNL_InstallChooseDownloadDir.h"
#include "pages/PNL_InstallGo.h"
#include "pages/PNL_InstallInstalling.h"
#include "pages/PNL_InstallReady.h"
#include "pages/PNL_UpgradeFindDir.h"
#include "pages/PNL_UpgradeReady.h"
#include "pages/PNL_UpgradeStart.h"
#include "pages/PNL_UpgradeUpgrading.h"
#include "pages/PNL_Welcome.h"

TSetupState Setup;

namespace {

template <class TPage>
void AddNewPage(TFormMain& form) {
  form.AddPage(std::make_unique<TPage>(nullptr, form));
}

}  // namespace

void CreatePages(TFormMain& form) {
  AddNewPage<TPnlWelcome>(form);
  AddNewPage<TPnlDisclaimer>(form);
  AddNewPage<TPnlInstall>(form);
  AddNewPage<TPnlInstallChooseDir>(form);
  AddNewPage<TPNLInstallChooseDownloadDir>(form);
  AddNewPage<TPNLInstallChooseConnection>(form);
  AddNewPage<TPNLInstallGo>(form);
  AddNewPage<TPNLInstallInstalling>(form);
  AddNewPage<TPNLInstallReady>(form);
  AddNewPage<TPnlUpgradeFindDir>(form);
  AddNewPage<TPNLUpgradeStart>(form);
  AddNewPage<TPNLUpgradeUpgrading>(form);
  AddNewPage<TPNLUpgradeReady>(form);
  AddNewPage<TPnlError>(form);
}
