#include "platform/hostsim/HostSim.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unit/HostSim_fixture.h"

namespace {

TEST_F(HostSimTest, LinksAreReadableFiles) {
  MakeFolder("C:\\Menu");
  TShellLink link{"C:\\Fotelix\\Fotelix.Exe", "Fotelix", "/x", "C:\\Fotelix\\Fotelix.Exe", 0};
  os_->CreateShellLink(link, "C:\\Menu\\Fotelix.Lnk");
  TShellLink web{"http://www.example/fotelix", "On the web", "", "", -1};
  os_->CreateShellLink(web, "C:\\Menu\\Web.Lnk");
  EXPECT_EQ(Content("C:\\Menu\\Fotelix.Lnk"),
            "[ShellLink]\nTarget=C:\\Fotelix\\Fotelix.Exe\nDescription=Fotelix\nArguments=/x\n"
            "IconLocation=C:\\Fotelix\\Fotelix.Exe,0\n");
  const TShellLink back = os_->ReadShellLink("c:\\menu\\web.lnk");
  EXPECT_EQ(back.Target, web.Target);
  EXPECT_EQ(back.Description, web.Description);
  EXPECT_EQ(back.IconIndex, -1);
  EXPECT_THROW(os_->CreateShellLink(link, "C:\\NoMenu\\Fotelix.Lnk"), EPlatformError);
}

// A failing query may still name a folder; only a succeeding one knows it.
TEST_F(HostSimTest, ShellFoldersAndPrograms) {
  const TShellFolder none = os_->GetShellFolder(kCsidlProgramFiles);
  EXPECT_NE(none.Code, 0);
  EXPECT_EQ(none.Named(), std::nullopt);
  os_->SetShellFolder(kCsidlProgramFiles, "C:\\Program Files", 0);
  os_->SetShellFolder(kCsidlLocalAppData, "C:\\Local", static_cast<int32_t>(0x80004005));
  EXPECT_EQ(os_->GetShellFolder(kCsidlProgramFiles).Known(), "C:\\Program Files");
  const TShellFolder failed = os_->GetShellFolder(kCsidlLocalAppData);
  EXPECT_EQ(failed.Code, static_cast<int32_t>(0x80004005));
  EXPECT_EQ(failed.Known(), std::nullopt);
  EXPECT_EQ(failed.Named(), "C:\\Local");

  os_->StartProgram("\"C:\\Program Files\\Fotelix\\Fotelix.Exe\"", kSwShowMaximized);
  EXPECT_TRUE(os_->TryShellOpen("mailto:support@example"));
  ASSERT_EQ(os_->StartedPrograms().size(), 1u);
  EXPECT_EQ(os_->StartedPrograms()[0].second, kSwShowMaximized);
  os_->FailStartProgram(true);
  EXPECT_THROW(os_->StartProgram("x.exe", kSwShowNormal), EPlatformError);
  EXPECT_FALSE(os_->TryShellOpen("mailto:other@example"));
  EXPECT_EQ(os_->OpenedDocuments(), std::vector<std::string>{"mailto:support@example"});
}

}  // namespace
