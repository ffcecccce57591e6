#include "install/PayloadWriter.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <vector>

#include "install/PayloadData.h"
#include "install/PayloadSources.h"
#include "platform/Find.h"
#include "unit/HostSim_fixture.h"
#include "unit/RunFakes.h"

namespace {

class PayloadWriterTest : public HostSimTest {
 protected:
  void SetUp() override {
    HostSimTest::SetUp();
    MakeFolder("C:\\Fotelix");
  }

  // The names in the target's folder: nothing but the target may be left.
  std::vector<std::string> FolderNames() {
    std::vector<std::string> names;
    TFind find(*os_, "C:\\Fotelix\\*.*", faAnyFile);
    for (TSearchRec rec; find.Next(rec);)
      if (rec.Name != "." && rec.Name != "..") names.push_back(rec.Name);
    return names;
  }
};

struct WriterCase {
  const char* name;
  void (*write)(TPlatform&, const std::string&, IProgressBar*, ILabel*);
  const TPayload& (*payload)();
  const char* source;
};

const WriterCase kWriters[] = {
    {"program", WriteProgramFile, ProgramPayload, kProgramSourceFile},
    {"uninstaller", WriteUninstaller, UninstallerPayload, kUninstallerSourceFile},
};

TEST_F(PayloadWriterTest, StoredDataHasTheRecordedShape) {
  for (const WriterCase& w : kWriters) {
    const TPayload& p = w.payload();
    EXPECT_EQ(p.Data[0], 0x78) << w.name;
    EXPECT_EQ(p.Data[1], 0xDA) << w.name;
    EXPECT_EQ(p.BlockCount, (p.CompressedLength + 1023) / 1024) << w.name;
    EXPECT_EQ(p.ExpandedLength, BuiltProgram(w.source).size()) << w.name;
  }
}

TEST_F(PayloadWriterTest, RestoresTheBuiltProgramsByteForByteTwice) {
  for (const WriterCase& w : kWriters) {
    const std::string built = BuiltProgram(w.source);
    ASSERT_FALSE(built.empty()) << w.source;
    ASSERT_EQ(built.substr(0, 2), "MZ");
    const std::string target = std::string("C:\\Fotelix\\") + w.name + ".Exe";
    for (int round = 0; round < 2; ++round) {
      w.write(*os_, target, nullptr, nullptr);
      EXPECT_TRUE(Content(target) == built) << w.name << " round " << round;
    }
  }
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"program.Exe", "uninstaller.Exe"}));
}

TEST_F(PayloadWriterTest, ReportsEveryCopyAndInflationPosition) {
  for (const WriterCase& w : kWriters) {
    const TPayload& p = w.payload();
    TFakeRunBar bar(static_cast<int32_t>(p.ProgressSpan()));
    TFakeRunLabel label;
    const int pumped = os_->ProcessedMessages();
    w.write(*os_, "C:\\Fotelix\\x.exe", &bar, &label);
    const std::vector<int32_t> expected = PayloadPositions(p);
    EXPECT_EQ(bar.positions, expected) << w.name;
    // The bar never moves back inside one write.
    EXPECT_LT(static_cast<int32_t>(p.BlockCount * 1024), static_cast<int32_t>(p.CompressedLength + 1024))
        << w.name;
    EXPECT_TRUE(std::is_sorted(bar.positions.begin(), bar.positions.end())) << w.name;
    EXPECT_EQ(os_->ProcessedMessages() - pumped, static_cast<int>(expected.size())) << w.name;
    ASSERT_EQ(label.captions.size(), expected.size());
    EXPECT_EQ(label.captions.back(), "100% complete");
    // A whole number of 1,024-byte pieces ends with a pass that reads nothing.
    const bool whole = p.ExpandedLength % 1024 == 0;
    EXPECT_EQ(expected[expected.size() - 1] == expected[expected.size() - 2], whole) << w.name;
  }
}

// Payloads made here, so that both ends of the inflation loop are shown
// whatever the embedded programs' lengths are.
TEST_F(PayloadWriterTest, WholeAndPartialLastPieces) {
  for (const uLong length : {0ul, 1ul, 1023ul, 1024ul, 2048ul, 5000ul}) {
    std::string content(length, '\0');
    for (uLong i = 0; i < length; ++i) content[i] = static_cast<char>((i * 7919) >> 3);
    uLongf compressedLength = compressBound(length);
    std::vector<unsigned char> stored(compressedLength + 1024, 0xEE);  // padding is never read
    ASSERT_EQ(compress2(stored.data(), &compressedLength,
                        reinterpret_cast<const Bytef*>(content.data()), length, 9),
              Z_OK);
    const uint32_t blocks = static_cast<uint32_t>((compressedLength + 1023) / 1024);
    const TPayload payload = {stored.data(), blocks, static_cast<uint32_t>(compressedLength),
                              static_cast<uint32_t>(length)};
    TFakeRunBar bar(1 << 30);
    WritePayload(*os_, payload, "C:\\Fotelix\\made.bin", &bar, nullptr);
    EXPECT_TRUE(Content("C:\\Fotelix\\made.bin") == content) << length;
    std::vector<int32_t> inflation(bar.positions.begin() + blocks, bar.positions.end());
    std::vector<int32_t> expected;
    for (uLong done = 1024; done <= length; done += 1024)
      expected.push_back(static_cast<int32_t>(compressedLength + done));
    // The last report is always the full length: after a partial piece, or
    // after the pass that reads nothing when the length is whole pieces.
    expected.push_back(static_cast<int32_t>(compressedLength + length));
    EXPECT_EQ(inflation, expected) << length;
  }
}

TEST_F(PayloadWriterTest, WithoutABarOnlyMessagesRun) {
  const TPayload& p = UninstallerPayload();
  TFakeRunLabel label;
  const int pumped = os_->ProcessedMessages();
  WriteUninstaller(*os_, "C:\\Fotelix\\Uninstall.Exe", nullptr, &label);
  EXPECT_TRUE(label.captions.empty());
  EXPECT_EQ(os_->ProcessedMessages() - pumped, static_cast<int>(PayloadPositions(p).size()));

  TFakeRunBar bar(1000);  // a bar shorter than the span holds at its end
  WriteUninstaller(*os_, "C:\\Fotelix\\Uninstall.Exe", &bar, nullptr);
  EXPECT_EQ(bar.positions, PayloadPositions(p));
  EXPECT_EQ(bar.Position(), 1000);
}

TEST_F(PayloadWriterTest, CaptionUsesThePositionTheBarHolds) {
  TFakeRunBar bar(2048 * 4);  // the copy of the first two blocks reads 12.5 %, then 25 %
  TFakeRunLabel label;
  WriteUninstaller(*os_, "C:\\Fotelix\\Uninstall.Exe", &bar, &label);
  ASSERT_GE(label.captions.size(), 3u);
  EXPECT_EQ(label.captions[0], "12% complete");  // 12.5 rounds to the even 12
  EXPECT_EQ(label.captions[1], "25% complete");
  EXPECT_EQ(label.captions.back(), "100% complete");  // clamped at the maximum
}

TEST(RoundedPercentTest, RoundsHalvesToEven) {
  struct Case {
    int64_t position, maximum;
    int percent;
  };
  const Case cases[] = {
      {0, 100, 0},     {1, 8, 12},     {3, 8, 38},   {5, 200, 2},  {7, 200, 4},
      {1, 200, 0},     {3, 200, 2},    {100, 100, 100}, {4962512, 5127929, 97},
      {4922812, 5127929, 96}, {1, 0, 0},  // a bar without a range shows 0
  };
  for (const Case& c : cases)
    EXPECT_EQ(RoundedPercent(c.position, c.maximum), c.percent) << c.position << "/" << c.maximum;
}

TEST_F(PayloadWriterTest, ReplacesAndTruncatesAnExistingFile) {
  MakeFile("C:\\Fotelix\\FOTELIX.EXE", std::string(ProgramPayload().ExpandedLength + 5000, 'x'));
  WriteProgramFile(*os_, "C:\\Fotelix\\Fotelix.Exe", nullptr, nullptr);
  EXPECT_TRUE(Content("C:\\Fotelix\\Fotelix.Exe") == BuiltProgram(kProgramSourceFile));
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"FOTELIX.EXE"});
}

// Each fault raises, leaves the old program as it was and no temporary file.
TEST_F(PayloadWriterTest, FailuresKeepTheOldFile) {
  const TPayload& real = ProgramPayload();
  std::vector<unsigned char> damaged(real.Data, real.Data + real.BlockCount * 1024);
  damaged[real.CompressedLength / 2] ^= 0x55;
  damaged[real.CompressedLength / 2 + 1] ^= 0xA5;
  std::vector<unsigned char> cut(real.Data, real.Data + real.BlockCount * 1024);
  std::fill(cut.begin() + real.CompressedLength / 2, cut.end(), 0);
  std::vector<unsigned char> badSum(real.Data, real.Data + real.BlockCount * 1024);
  badSum[real.CompressedLength - 1] ^= 1;  // the last byte of the Adler-32 sum

  struct Case {
    const char* name;
    TPayload payload;
    void (*fault)(THostSimPlatform&);
    uint32_t code;
  };
  const Case cases[] = {
      {"locked target", real, [](THostSimPlatform& os) { os.LockFile("C:\\Fotelix\\Fotelix.Exe"); },
       kErrorSharingViolation},
      {"disk full", real, [](THostSimPlatform& os) { os.SetDiskSpace('C', 100000); }, kErrorDiskFull},
      {"damaged stream", {damaged.data(), real.BlockCount, real.CompressedLength, real.ExpandedLength},
       nullptr, 13},
      {"stream cut short", {cut.data(), real.BlockCount, real.CompressedLength, real.ExpandedLength},
       nullptr, 13},
      {"wrong check sum", {badSum.data(), real.BlockCount, real.CompressedLength, real.ExpandedLength},
       nullptr, 13},
      {"longer than recorded",
       {real.Data, real.BlockCount, real.CompressedLength, real.ExpandedLength - 1}, nullptr, 13},
      {"shorter than recorded",
       {real.Data, real.BlockCount, real.CompressedLength, real.ExpandedLength + 1}, nullptr, 13},
      {"read-only target", real,
       [](THostSimPlatform& os) { os.SetAttributes("C:\\Fotelix\\Fotelix.Exe", faReadOnly); },
       kErrorAccessDenied},
  };
  const std::string old = "MZ the old program";
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    MakeFile("C:\\Fotelix\\Fotelix.Exe", old);
    if (c.fault) c.fault(*os_);
    try {
      WritePayload(*os_, c.payload, "C:\\Fotelix\\Fotelix.Exe", nullptr, nullptr);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const EPlatformError& e) {
      EXPECT_EQ(e.Code(), c.code) << c.name << ": " << e.what();
      // Told by the file the user asked for, never by the temporary one.
      const std::string message = e.what();
      EXPECT_EQ(message.rfind("Cannot create file C:\\Fotelix\\Fotelix.Exe: " + e.Reason(), 0), 0u) << message;
      EXPECT_EQ(message.find(".new"), std::string::npos) << message;
    }
    EXPECT_EQ(Content("C:\\Fotelix\\Fotelix.Exe"), old) << c.name;
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"Fotelix.Exe"}) << c.name;
  }
}

TEST_F(PayloadWriterTest, MissingFolderRaisesBeforeWriting) {
  try {
    WriteProgramFile(*os_, "C:\\Missing\\Fotelix.Exe", nullptr, nullptr);
    ADD_FAILURE() << "no error";
  } catch (const EPlatformError& e) {
    EXPECT_EQ(e.Code(), kErrorPathNotFound);
  }
  EXPECT_FALSE(os_->FolderExists("C:\\Missing"));
}

}  // namespace
