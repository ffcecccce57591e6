// Random input for every parser of outside text: whatever the bytes, the
// result is a value that keeps the parser's promise, or the documented error;
// never a crash, a hang or another exception. The sanitizer build runs the
// same table. Deterministic seeds and a bounded number of rounds keep it short.

#include "app/Appl_CommandLine.h"
#include "install/DefaultSettings.h"
#include "install/SettingsFileReader.h"
#include "install/UninstallLog.h"
#include "lib/LIB_Data1_ReadWrite.h"
#include "lib/LIB_FolderName.h"
#include "lib/LIB_PackText.h"
#include "lib/LIB_Random.h"
#include "unit/HostSim_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::string RandomBytes(std::mt19937& rng, size_t max_length) {
  std::string s(rng() % (max_length + 1), '\0');
  for (char& c : s) c = static_cast<char>(rng() % 256);
  return s;
}

// Text glued from pieces that matter to the parsers, with noise between
// them: noise alone would rarely get past their first check.
std::string RandomText(std::mt19937& rng, const std::vector<std::string>& pieces, size_t count) {
  std::string text;
  for (size_t n = rng() % (count + 1); n > 0; --n)
    text += rng() % 4 == 0 ? RandomBytes(rng, 3) : pieces[rng() % pieces.size()];
  return text;
}

class CapturingSink : public TDataSink {
 public:
  void Write(const char* data, size_t size) override { bytes.append(data, size); }
  void Close() override {}
  std::string bytes;
};

class Fuzz : public HostSimTest {};

TEST_F(Fuzz, EveryParserKeepsItsPromiseOnRandomInput) {
  const std::vector<std::string> pathPieces = {"C:", "c:", "\\", "\\\\", "/", ":", "\"", "*", "?", "<", ">",
                                               " ", "\t", ".", "..", "Fotelix", "Bilder f\xFCr \xC4rzte", "\x01"};
  // The settings file as an install writes it, damaged below.
  CapturingSink settings;
  {
    const uint32_t savedSeed = RandSeed();
    const std::string savedKey = SettingsKey;
    TSetupState values;
    values.InstallerEdition = "04";
    WriteSettingsFile(settings, values, {});
    SetRandSeed(savedSeed);
    SettingsKey = savedKey;
  }

  struct TTarget {
    const char* Name;
    int Rounds;
    std::function<void(std::mt19937&, int)> Round;
  };
  const std::vector<TTarget> targets = {
      {"folder-name rule", 20000,
       [&](std::mt19937& rng, int) {
         const std::string folder = RandomText(rng, pathPieces, 8);
         if (!IsValidFolderName(folder)) return;
         ASSERT_GE(folder.size(), 3u) << folder;
         ASSERT_TRUE(folder[1] == ':' && folder[2] == '\\') << folder;
         ASSERT_EQ(folder.find("\\\\"), std::string::npos) << folder;
         ASSERT_EQ(folder.find_first_of("\"*/:<>?", 3), std::string::npos) << folder;
         ASSERT_GT(static_cast<unsigned char>(folder.back()), ' ') << folder;
       }},
      {"command line", 20000,
       [&](std::mt19937& rng, int round) {
         const std::string line = "Install_Fotelix.exe " + (round % 2 ? "/autoupdate " : std::string()) +
                                  RandomText(rng, pathPieces, 8);
         const std::vector<std::string> arguments = CommandLineArguments(line);
         for (const std::string& argument : arguments) ASSERT_EQ(argument.find('"'), std::string::npos) << line;
         TSetupState state;
         ReadCommandLine(arguments, state);
         if (state.AutoUpdate) {
           // Whether it is a usable folder is the update run's to judge.
           ASSERT_EQ(state.InstallDir.back(), '\\') << line;
         } else {
           ASSERT_TRUE(state.InstallDir.empty()) << line;
         }
       }},
      {"text packing", 20000,
       [&](std::mt19937& rng, int round) {
         // Packing always succeeds and its output always unpacks to a text
         // that packs the same way.
         const std::string text = RandomText(rng, {"http://www.", "index", ".html", "Q", "Q ", "/", ".NET"}, 6);
         const std::string packed = PackText(text);
         ASSERT_EQ(PackText(UnpackText(packed)), packed) << text;
         // Damaged packing is read exactly or refused.
         std::string damaged = round % 2 || packed.empty() ? RandomBytes(rng, 24) : packed;
         if (!damaged.empty() && damaged == packed) damaged[rng() % damaged.size()] = static_cast<char>(rng());
         try {
           ASSERT_EQ(PackText(UnpackText(damaged)), damaged) << round;
         } catch (const std::invalid_argument&) {
         }
       }},
      {"settings reader", 3000,
       [&](std::mt19937& rng, int round) {
         std::string bytes = settings.bytes;
         for (int c = 1 + static_cast<int>(rng() % 4); c > 0; --c) {
           switch (rng() % 3) {
             case 0: bytes[rng() % bytes.size()] = static_cast<char>(rng() % 256); break;
             case 1: bytes.erase(rng() % bytes.size(), 1 + rng() % 8); break;
             default: bytes.insert(rng() % bytes.size(), RandomBytes(rng, 8)); break;
           }
         }
         if (round % 10 == 0) bytes = RandomBytes(rng, 64);
         for (TSettingsForm form : {TSettingsForm::Install, TSettingsForm::Upgrade}) {
           try {
             ReadSettingsFile(bytes, form);
           } catch (const EDataFormatError& e) {
             ASSERT_LE(e.Offset(), bytes.size());
           }
         }
       }},
      {"uninstall log", 2000,
       [&](std::mt19937& rng, int) {
         std::string text = "Fotelix\r\n";
         for (int n = static_cast<int>(rng() % 6); n > 0; --n)
           text += RandomText(rng, {"<", ">", "F", "D", "E", "R", "S", "T", "C:\\", "C:\\Program Files\\Fotelix\\",
                                    "..\\", "\\\\", "\r", "\n", "Software\\", "Fotelix"}, 8) + "\r\n";
         const TUninstallLog log = ParseUninstallLog(text);
         for (const TUninstallLine& line : log.Lines) ASSERT_NE(std::strchr("FDERST", line.Tag), nullptr);
         const TUninstallPlan plan = PlanUninstall(*os_, log, "C:\\Program Files\\Fotelix\\");
         // Nothing that a damaged log names may reach a drive's root or climb out of a folder.
         for (const TRemovalStep& step : plan.Steps) {
           if (step.Kind == TRemovalKind::RegistryKey) continue;
           ASSERT_GT(step.Target.size(), 3u) << text;
           ASSERT_EQ(step.Target.find("\\..\\"), std::string::npos) << text;
         }
       }},
  };

  for (size_t t = 0; t < targets.size(); ++t) {
    SCOPED_TRACE(targets[t].Name);
    std::mt19937 rng(static_cast<uint32_t>(2026 + t));
    for (int round = 0; round < targets[t].Rounds && !HasFatalFailure(); ++round) targets[t].Round(rng, round);
  }
}

}  // namespace
