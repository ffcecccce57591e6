#include "install/SettingsFileReader.h"

#include <gtest/gtest.h>

#include <string>

#include "install/DefaultSettings.h"
#include "platform/Path.h"
#include "unit/HostSim_fixture.h"

namespace {

const std::string kDataFile = "C:\\Users\\Ann\\Local Settings\\Fotelix\\Fotelix.Dat";
const std::string kProgramFolder = "C:\\Program Files\\Fotelix\\";

class ProductSettingsTest : public HostSimTest {
 protected:
  void Write(const std::string& path, const std::string& downloadDir) {
    MakeFolder(ExtractFilePath(path));
    TSetupState state;
    state.InstallerEdition = "04";
    state.DownloadDir = downloadDir;
    state.CacheDir = "C:\\Cache\\";
    state.ConnectionKind = 3;
    TNoProgress none;
    WriteSettingsFile(*os_, path, state, none);
  }
};

TEST_F(ProductSettingsTest, TheDataFolderFirstThenTheCopyBesideTheProgramAndAProblemInWords) {
  os_->SetShellFolder(kCsidlLocalAppData, "C:\\Users\\Ann\\Local Settings", 0);
  MakeFolder(kProgramFolder);
  TProductSettings settings = LoadProductSettings(*os_, kProgramFolder);
  EXPECT_EQ(settings.Problem, "No settings file was found: there is no \"" + kDataFile + "\" and no \"" +
                                  kProgramFolder + "FXInst.Dat\".");

  Write(kProgramFolder + "FXInst.Dat", "C:\\Copy\\");
  EXPECT_EQ(LoadProductSettings(*os_, kProgramFolder).DownloadDir, "C:\\Copy\\");

  Write(kDataFile, "C:\\Images\\");
  settings = LoadProductSettings(*os_, kProgramFolder);
  EXPECT_EQ(settings.Problem, "");
  EXPECT_EQ(settings.Path, kDataFile);
  EXPECT_EQ(settings.Edition, "04");
  EXPECT_EQ(settings.DownloadDir, "C:\\Images\\");
  EXPECT_EQ(settings.CacheDir, "C:\\Cache\\");
  EXPECT_EQ(settings.Performance, "27");
  ASSERT_EQ(settings.Named.size(), NamedDefaults().size());
  EXPECT_EQ(settings.Named.back(), (std::pair<std::string, std::string>{"VerLatestVersion", "2.3"}));

  // A damaged file in the data folder is said to be damaged, not passed over.
  const std::string whole = Content(kDataFile);
  MakeFile(kDataFile, whole.substr(0, whole.size() - 1));
  settings = LoadProductSettings(*os_, kProgramFolder);
  EXPECT_EQ(settings.Problem.rfind("The settings file \"" + kDataFile + "\" is damaged at byte offset ", 0), 0u)
      << settings.Problem;
  EXPECT_EQ(settings.DownloadDir, "");
  os_->DenyAccess(kDataFile);
  EXPECT_NE(LoadProductSettings(*os_, kProgramFolder).Problem.find("access is denied"), std::string::npos);
}

}  // namespace
