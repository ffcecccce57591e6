#include "install/DefaultSettings.h"

#include "install/SettingsFileReader.h"
#include "lib/LIB_Endpoints.h"
#include "lib/LIB_Random.h"

#include "HostSim_fixture.h"
#include "RunFakes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

class MemorySink : public TDataSink {
 public:
  void Write(const char* data, size_t size) override {
    if (fail_write) throw EPlatformError(kErrorDiskFull, "disk full");
    bytes.append(data, size);
  }
  void Close() override {
    if (fail_close) throw EPlatformError(kErrorAccessDenied, "close failed");
  }
  std::string bytes;
  bool fail_write = false;
  bool fail_close = false;
};

class DefaultSettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_seed_ = RandSeed();
    saved_key_ = SettingsKey;
  }
  void TearDown() override {
    SetRandSeed(saved_seed_);
    SettingsKey = saved_key_;
  }

  static TSetupState Install() {
    TSetupState v;
    v.InstallerEdition = "04";
    v.DownloadDir = "D:\\Images\\";
    v.CacheDir = "C:\\Users\\ann\\AppData\\Local\\Fotelix\\cache\\";
    v.ConnectionKind = 3;
    return v;
  }

  static std::string WriteInstallFile(const TSetupState& v) {
    TNoProgress none;
    return WriteInstallFile(v, none);
  }
  static std::string WriteInstallFile(const TSetupState& v, IRunProgress& progress) {
    MemorySink sink;
    WriteSettingsFile(sink, v, progress);
    return sink.bytes;
  }

  static std::vector<std::string> Values(const std::vector<TSettingsItem>& items) {
    std::vector<std::string> out;
    for (const TSettingsItem& item : items)
      if (item.Kind != TSettingsItem::KeySeed) out.push_back(item.Name.empty() ? item.Value : item.Name + "=" + item.Value);
    return out;
  }

  TNoProgress none_;

 private:
  uint32_t saved_seed_ = 0;
  std::string saved_key_;
};

TEST(PerformanceValue, FollowsTheConnectionKind) {
  const std::pair<int32_t, int32_t> cases[] = {{0, 5},  {1, 8},  {2, 12}, {3, 27},  {4, 30},
                                               {5, 30}, {6, 30}, {7, 30}, {8, 20},  {-1, 20},
                                               {9, 20}, {2147483647, 20}};
  for (const auto& [kind, value] : cases) EXPECT_EQ(PerformanceValue(kind), value) << "kind " << kind;
}

TEST_F(DefaultSettingsTest, InstallFileStartsWithFormatByteAndKeySeedLength) {
  for (uint32_t seed : {0u, 1u, 99u, 123456u}) {
    SetRandSeed(seed);
    const uint32_t length = 879 + Random(99);
    SetRandSeed(seed);
    const std::string bytes = WriteInstallFile(Install());
    ASSERT_GE(bytes.size(), 5u);
    EXPECT_EQ(bytes.substr(0, 2), "\x1F\x54");
    // The low byte (111 to 209) as is, the high byte 3 escaped.
    EXPECT_EQ(static_cast<uint8_t>(bytes[2]), length % 256);
    EXPECT_GE(static_cast<uint8_t>(bytes[2]), 111);
    EXPECT_LE(static_cast<uint8_t>(bytes[2]), 209);
    EXPECT_EQ(bytes.substr(3, 2), "\x1F\x57");
  }
}

// Files that setup wrote earlier, kept in the tree: the format must not drift,
// because installed products read what older setups wrote.
std::string StoredFile(const char* name) {
  std::ifstream in(std::string(FX_STORED_FILES_DIR "/") + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(DefaultSettingsTest, WritesTheStoredFilesByteForByte) {
  TSetupState state;
  state.InstallerEdition = "04";
  state.InstallDir = "C:\\Program Files\\Fotelix\\";
  state.DownloadDir = "C:\\Images\\";
  state.CacheDir = "C:\\Documents and Settings\\ann\\Local Settings\\Application Data\\Fotelix\\cache\\";
  state.ConnectionKind = 3;
  SetRandSeed(0);
  MemorySink install;
  WriteSettingsFile(install, state, none_);
  MemorySink upgrade;
  WriteUpgradeSettingsFile(upgrade, state, none_);
  const std::string stored_install = StoredFile("Fotelix.Dat");
  ASSERT_FALSE(stored_install.empty());
  EXPECT_EQ(install.bytes, stored_install);
  EXPECT_EQ(upgrade.bytes, StoredFile("Fotelix.BAK"));
}

TEST_F(DefaultSettingsTest, InstallFileHoldsEveryItemInOrder) {
  const std::vector<TSettingsItem> items = ReadSettingsFile(WriteInstallFile(Install()), TSettingsForm::Install);
  const std::string maker = kMakerWebSite;
  const std::string mirror = std::string(kMirrorHost) + "/~morvane";
  const std::string server = kProviderServer;
  const std::vector<std::string> expected = {
      "0",  // format byte
      "04", "D:\\Images\\", "C:\\Users\\ann\\AppData\\Local\\Fotelix\\cache\\",
      maker + "/Install_Fotelix.exe", mirror + "/Install_Fotelix.exe",
      "43", "27", "0", "11",
      "203", server + "/REMSET/", maker + "/REMSET/", "", "fotelix.rms",
      "10", "7200", "15", "0", "0", "10",
      "RemSetFile=fotelix.rms",
      "PathDownloadLocation2=" + mirror + "/Install_Fotelix.exe",
      "PathDownloadLocation1=" + maker + "/Install_Fotelix.exe",
      "CntUsePath=" + server + "/TEL/FOTELIX/GEBRUIK/FXUSE",
      "CntSuspendedTill=01/01/1900",
      "CntUseTreshold=120",
      "RemSetDelay=10",
      "RemSetInterval=7200",
      "RemSetPath1=" + mirror + "/REMSET/",
      "RemSetPath2=" + maker + "/REMSET/",
      "RemSetPath3=",
      "RemSetRetryInterval=15",
      "RemSetSuspendedTill=01/01/1900",
      "CntInstallPath=" + server + "/TEL/FOTELIX/INSTALL/FXINS",
      "VerLatestVersion=2.3",
      "0", "0", "0"};
  EXPECT_EQ(Values(items), expected);

  const std::vector<TSettingsItem::TKind> kinds_head = {
      TSettingsItem::Format, TSettingsItem::KeySeed, TSettingsItem::String, TSettingsItem::String,
      TSettingsItem::String, TSettingsItem::String, TSettingsItem::String, TSettingsItem::Tag,
      TSettingsItem::Integer, TSettingsItem::Integer, TSettingsItem::Tag, TSettingsItem::Tag,
      TSettingsItem::Packed, TSettingsItem::Packed, TSettingsItem::Packed, TSettingsItem::Packed,
      TSettingsItem::Integer, TSettingsItem::Integer, TSettingsItem::Integer, TSettingsItem::DateTime,
      TSettingsItem::DateTime, TSettingsItem::Integer};
  ASSERT_GE(items.size(), kinds_head.size());
  for (size_t i = 0; i < kinds_head.size(); ++i) EXPECT_EQ(items[i].Kind, kinds_head[i]) << "item " << i;
}

TEST_F(DefaultSettingsTest, UpgradeFileHasNoEditionAndACapitalCacheFolder) {
  TSetupState v;
  v.InstallerEdition = "04";  // not written in this form
  v.InstallDir = "C:\\Program Files\\Fotelix\\";
  MemorySink sink;
  WriteUpgradeSettingsFile(sink, v, none_);
  const std::vector<TSettingsItem> items = ReadSettingsFile(sink.bytes, TSettingsForm::Upgrade);
  EXPECT_EQ(items[2].Value, "");
  EXPECT_EQ(items[3].Value, "C:\\Program Files\\Fotelix\\Cache\\");
  EXPECT_EQ(items[4].Value, SetupDownloadAddress1());
  EXPECT_EQ(items[6].Value, "43");
  EXPECT_EQ(items[7].Value, "20");  // the connection page was never confirmed
  // Read as the other form, the items do not line up.
  EXPECT_THROW(ReadSettingsFile(sink.bytes, TSettingsForm::Install), EDataFormatError);
}

TEST_F(DefaultSettingsTest, TwoFilesInOneRunHoldTheSameValuesUnderDifferentKeys) {
  const std::string first = WriteInstallFile(Install());
  const std::string second = WriteInstallFile(Install());
  EXPECT_NE(first, second);
  const auto a = ReadSettingsFile(first, TSettingsForm::Install);
  const auto b = ReadSettingsFile(second, TSettingsForm::Install);
  EXPECT_EQ(Values(a), Values(b));
  EXPECT_NE(a[1].Value, b[1].Value);  // the key seeds
}

TEST_F(DefaultSettingsTest, ArbitraryBytesInTheInputsComeBackInBothForms) {
  std::mt19937 rng(99);
  const auto random_text = [&] {
    std::string s(rng() % 200, '\0');
    for (char& c : s) c = static_cast<char>(rng() % 256);
    return s;
  };
  for (int round = 0; round < 20; ++round) {
    TSetupState in;
    in.InstallerEdition = random_text();
    in.DownloadDir = random_text();
    in.CacheDir = random_text();
    in.ConnectionKind = static_cast<int32_t>(rng() % 12) - 1;
    const auto items = ReadSettingsFile(WriteInstallFile(in), TSettingsForm::Install);
    EXPECT_EQ(items[2].Value, in.InstallerEdition);
    EXPECT_EQ(items[3].Value, in.DownloadDir);
    EXPECT_EQ(items[4].Value, in.CacheDir);
    EXPECT_EQ(items[8].Value, std::to_string(PerformanceValue(in.ConnectionKind)));

    TSetupState up;
    up.DownloadDir = random_text();
    up.InstallDir = random_text();
    MemorySink sink;
    WriteUpgradeSettingsFile(sink, up, none_);
    const auto up_items = ReadSettingsFile(sink.bytes, TSettingsForm::Upgrade);
    EXPECT_EQ(up_items[2].Value, up.DownloadDir);
    EXPECT_EQ(up_items[3].Value, up.InstallDir + "Cache\\");
  }
}

TEST_F(DefaultSettingsTest, ProgressAt99BeforeEachClosingTagWhileTheStoreIsSet) {
  TFakeProgress progress(1000);
  bool store_set = true;
  progress.OnMessages = [&] { store_set = store_set && SettingsStore != nullptr; };
  WriteInstallFile(Install(), progress);
  EXPECT_EQ(progress.positions, (std::vector<int32_t>{990, 990}));
  EXPECT_EQ(progress.messageRuns, 2);
  EXPECT_TRUE(store_set);
  EXPECT_EQ(SettingsStore, nullptr);
}

TEST_F(DefaultSettingsTest, FailuresReachTheCallerAndReleaseTheStore) {
  MemorySink write_fails;
  write_fails.fail_write = true;
  EXPECT_THROW(WriteSettingsFile(write_fails, Install(), none_), EPlatformError);
  EXPECT_EQ(SettingsStore, nullptr);

  MemorySink close_fails;
  close_fails.fail_close = true;
  EXPECT_THROW(WriteSettingsFile(close_fails, Install(), none_), EPlatformError);
  EXPECT_EQ(SettingsStore, nullptr);

  // A failing progress display also ends the write.
  MemorySink sink;
  TFakeProgress failing;
  failing.OnMessages = [] { throw std::runtime_error("page"); };
  EXPECT_THROW(WriteSettingsFile(sink, Install(), failing), std::runtime_error);
  EXPECT_EQ(SettingsStore, nullptr);
}

TEST_F(DefaultSettingsTest, TheBlockNeedsTheStore) {
  MemorySink sink;
  TDataOutput f(sink);
  ASSERT_EQ(SettingsStore, nullptr);
  EXPECT_THROW(WriteDefaultSettings(f), std::logic_error);
  EXPECT_THROW(WriteSettingPair(f, "a", "b"), std::logic_error);
}

TEST_F(DefaultSettingsTest, EveryCutOrExtendedFileIsRefusedWithAnOffset) {
  const std::string bytes = WriteInstallFile(Install());
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    try {
      ReadSettingsFile(bytes.substr(0, cut), TSettingsForm::Install);
      ADD_FAILURE() << "cut at " << cut << " was accepted";
    } catch (const EDataFormatError& e) {
      EXPECT_LE(e.Offset(), cut);
    }
  }
  try {
    ReadSettingsFile(bytes + "x", TSettingsForm::Install);
    ADD_FAILURE() << "extra byte accepted";
  } catch (const EDataFormatError& e) {
    EXPECT_EQ(e.Offset(), bytes.size());
  }
}

TEST_F(DefaultSettingsTest, ListingShowsPairsAsNameEqualsValueAndEndsWithThreeTags) {
  const auto items = ReadSettingsFile(WriteInstallFile(Install()), TSettingsForm::Install);
  std::vector<std::string> lines;
  for (const TSettingsItem& item : items) lines.push_back(FormatSettingsItem(item));
  ASSERT_GE(lines.size(), 3u);
  for (size_t i = lines.size() - 3; i < lines.size(); ++i)
    EXPECT_EQ(lines[i].substr(lines[i].size() - 5), "tag 0");
  EXPECT_EQ(lines[0], "     0  format 0");
  EXPECT_NE(lines[1].find("key seed, "), std::string::npos);
  EXPECT_EQ(lines[2].substr(6), "  string \"04\"");
  const TSettingsItem pair{TSettingsItem::Pair, 1234567, "Name", std::string("a\x01\xFF", 3)};
  EXPECT_EQ(FormatSettingsItem(pair), "1234567  Name = a\\x01\\xFF");
}

// The file as the install run writes it, through the platform's files.
class SettingsOnDiskTest : public HostSimTest {
 protected:
  void SetUp() override {
    HostSimTest::SetUp();
    saved_seed_ = RandSeed();
    saved_key_ = SettingsKey;
    MakeFolder("C:\\Data");
    state_.InstallerEdition = "04";
    state_.InstallDir = "C:\\Fotelix\\";
    state_.CacheDir = "C:\\Data\\cache\\";
  }
  void TearDown() override {
    SetRandSeed(saved_seed_);
    SettingsKey = saved_key_;
    HostSimTest::TearDown();
  }

  TSetupState state_;

  TNoProgress none_;

 private:
  uint32_t saved_seed_ = 0;
  std::string saved_key_;
};

TEST_F(SettingsOnDiskTest, BothFormsLandInTheirFiles) {
  WriteSettingsFile(*os_, "C:\\Data\\Fotelix.Dat", state_, none_);
  const auto items = ReadSettingsFile(Content("C:\\Data\\Fotelix.Dat"), TSettingsForm::Install);
  EXPECT_EQ(items[4].Value, "C:\\Data\\cache\\");

  MakeFolder("C:\\Fotelix");
  WriteUpgradeSettingsFile(*os_, "C:\\Fotelix\\Fotelix.BAK", state_, none_);
  const auto up = ReadSettingsFile(Content("C:\\Fotelix\\Fotelix.BAK"), TSettingsForm::Upgrade);
  EXPECT_EQ(up[3].Value, "C:\\Fotelix\\Cache\\");
}

TEST_F(SettingsOnDiskTest, PlatformFailuresAreRaisedWithTheirCode) {
  const struct {
    const char* what;
    std::string path;
    void (*fault)(THostSimPlatform&);
    uint32_t code;
  } cases[] = {
      {"missing folder", "C:\\NoSuchFolder\\Fotelix.Dat", [](THostSimPlatform&) {}, kErrorPathNotFound},
      {"disk full", "C:\\Data\\Fotelix.Dat", [](THostSimPlatform& os) { os.SetDiskSpace('C', 100); },
       kErrorDiskFull},
  };
  for (const auto& c : cases) {
    c.fault(*os_);
    try {
      WriteSettingsFile(*os_, c.path, state_, none_);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const EPlatformError& e) {
      EXPECT_EQ(e.Code(), c.code) << c.what;
    }
    EXPECT_EQ(SettingsStore, nullptr);
  }
}

}  // namespace
