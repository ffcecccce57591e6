// Random input for the reader and UnpackText: whatever the bytes, the result
// is a value or the format error, never a crash, a hang or another exception.
// Deterministic seeds and a bounded number of rounds keep it short.

#include "install/DefaultSettings.h"
#include "install/SettingsFileReader.h"
#include "lib/LIB_Data1_ReadWrite.h"
#include "lib/LIB_PackText.h"
#include "lib/LIB_Random.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>

namespace {

std::string RandomBytes(std::mt19937& rng, size_t max_length) {
  std::string s(rng() % (max_length + 1), '\0');
  for (char& c : s) c = static_cast<char>(rng() % 256);
  return s;
}

class CapturingSink : public TDataSink {
 public:
  void Write(const char* data, size_t size) override { bytes.append(data, size); }
  void Close() override {}
  std::string bytes;
};

TEST(Fuzz, UnpackTextGivesAnExactTextOrRefuses) {
  std::mt19937 rng(2026);
  for (int round = 0; round < 20000; ++round) {
    std::string packed = RandomBytes(rng, 24);
    // Half of the rounds start from real packing output with a byte changed,
    // which reaches deeper than pure noise.
    if (round % 2 == 0) {
      packed = PackText(RandomBytes(rng, 16) + "Q .html index QQ http://www.");
      packed[rng() % packed.size()] = static_cast<char>(rng() % 256);
    }
    try {
      const std::string text = UnpackText(packed);
      ASSERT_EQ(PackText(text), packed) << "round " << round;
    } catch (const std::invalid_argument&) {
    }
  }
}

TEST(Fuzz, SettingsReaderRefusesDamageWithAFormatError) {
  const uint32_t saved_seed = RandSeed();
  const std::string saved_key = SettingsKey;
  CapturingSink sink;
  TSetupState values;
  values.InstallerEdition = "04";
  WriteSettingsFile(sink, values, {});
  SetRandSeed(saved_seed);
  SettingsKey = saved_key;

  std::mt19937 rng(31);
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = sink.bytes;
    const int changes = 1 + static_cast<int>(rng() % 4);
    for (int c = 0; c < changes; ++c) {
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
  }
}

}  // namespace
