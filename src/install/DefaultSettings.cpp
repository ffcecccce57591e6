#include "install/DefaultSettings.h"

#include "lib/LIB_Endpoints.h"
#include "lib/LIB_PackText.h"

#include <stdexcept>

TLibData1_ReadWrite* SettingsStore = nullptr;

namespace {

const std::string kMirrorFolder = std::string(kMirrorHost) + "/~morvane";
const std::string kRemSetFile = "fotelix.rms";
const std::string kNeverSuspended = "01/01/1900";

TLibData1_ReadWrite& Store() {
  if (!SettingsStore) throw std::logic_error("settings file: SettingsStore is not set");
  return *SettingsStore;
}

// SettingsStore names the writer only while its file is being written, even
// when the write fails half-way.
class StoreScope {
 public:
  explicit StoreScope(TLibData1_ReadWrite& writer) { SettingsStore = &writer; }
  ~StoreScope() { SettingsStore = nullptr; }
  StoreScope(const StoreScope&) = delete;
  StoreScope& operator=(const StoreScope&) = delete;
};

void WriteWholeFile(TDataSink& file, const std::string* edition, const std::string& download_dir,
                    const std::string& cache_dir, int32_t connection_kind, IRunProgress& progress) {
  TLibData1_ReadWrite writer;
  TDataOutput f(file);
  writer.WriteByte(f, 0);
  writer.WriteRawString(f, MakeSettingsKey());
  if (edition) writer.WriteString(f, *edition);
  writer.WriteString(f, download_dir);
  writer.WriteString(f, cache_dir);
  writer.WriteString(f, SetupDownloadAddress1());
  writer.WriteString(f, SetupDownloadAddress2());

  StoreScope scope(writer);
  writer.WriteTag(f, 43);
  writer.WriteInteger(f, PerformanceValue(connection_kind));
  writer.WriteInteger(f, 0);
  writer.WriteTag(f, 11);
  WriteDefaultSettings(f);
  progress.ReportPercent(99);
  writer.WriteTag(f, 0);
  progress.ReportPercent(99);
  writer.WriteTag(f, 0);
  f.Close();
}

}  // namespace

std::string SetupDownloadAddress1() { return std::string(kMakerWebSite) + "/Install_Fotelix.exe"; }

std::string SetupDownloadAddress2() { return kMirrorFolder + "/Install_Fotelix.exe"; }

int32_t PerformanceValue(int32_t connection_kind) {
  switch (connection_kind) {
    case 0: return 5;
    case 1: return 8;
    case 2: return 12;
    case 3: return 27;
    case 4: case 5: case 6: case 7: return 30;
    default: return 20;
  }
}

const std::vector<TNamedDefault>& NamedDefaults() {
  static const std::vector<TNamedDefault> defaults = {
      {"RemSetFile", kRemSetFile},
      {"PathDownloadLocation2", SetupDownloadAddress2()},
      {"PathDownloadLocation1", SetupDownloadAddress1()},
      {"CntUsePath", std::string(kProviderServer) + "/TEL/FOTELIX/GEBRUIK/FXUSE"},
      {"CntSuspendedTill", kNeverSuspended},
      {"CntUseTreshold", "120"},
      {"RemSetDelay", "10"},
      {"RemSetInterval", "7200"},
      {"RemSetPath1", kMirrorFolder + "/REMSET/"},
      {"RemSetPath2", std::string(kMakerWebSite) + "/REMSET/"},
      {"RemSetPath3", ""},
      {"RemSetRetryInterval", "15"},
      {"RemSetSuspendedTill", kNeverSuspended},
      {"CntInstallPath", std::string(kProviderServer) + "/TEL/FOTELIX/INSTALL/FXINS"},
      {"VerLatestVersion", "2.3"},
  };
  return defaults;
}

void WriteSettingPair(TDataOutput& f, const std::string& name, const std::string& value) {
  TLibData1_ReadWrite& store = Store();
  store.WriteTag(f, 203);
  store.WriteString(f, name);
  store.WriteString(f, value);
}

void WriteDefaultSettings(TDataOutput& f) {
  TLibData1_ReadWrite& store = Store();
  store.WriteTag(f, 203);
  // An unnamed record that runs parallel to the "RemSet" pairs below.
  store.WritePackedString(f, PackText(std::string(kProviderServer) + "/REMSET/"));
  store.WritePackedString(f, PackText(std::string(kMakerWebSite) + "/REMSET/"));
  store.WritePackedString(f, PackText(""));
  store.WritePackedString(f, PackText(kRemSetFile));
  store.WriteInteger(f, 10);
  store.WriteInteger(f, 7200);
  store.WriteInteger(f, 15);
  store.WriteDateTime(f, 0);
  store.WriteDateTime(f, 0);
  store.WriteInteger(f, 10);
  for (const TNamedDefault& d : NamedDefaults()) WriteSettingPair(f, d.Name, d.Value);
  store.WriteTag(f, 0);
}

void WriteSettingsFile(TDataSink& file, const TSetupState& state, IRunProgress& progress) {
  WriteWholeFile(file, &state.InstallerEdition, state.DownloadDir, state.CacheDir, state.ConnectionKind,
                 progress);
}

void WriteUpgradeSettingsFile(TDataSink& file, const TSetupState& state, IRunProgress& progress) {
  WriteWholeFile(file, nullptr, state.DownloadDir, state.InstallDir + "Cache\\", state.ConnectionKind,
                 progress);
}

void WriteSettingsFile(TPlatform& os, const std::string& path, const TSetupState& state,
                       IRunProgress& progress) {
  TFileSink file(os.OpenFile(path, TOpenMode::CreateTruncate));
  WriteSettingsFile(file, state, progress);
}

void WriteUpgradeSettingsFile(TPlatform& os, const std::string& path, const TSetupState& state,
                              IRunProgress& progress) {
  TFileSink file(os.OpenFile(path, TOpenMode::CreateTruncate));
  WriteUpgradeSettingsFile(file, state, progress);
}
