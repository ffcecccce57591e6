#include "install/PayloadWriter.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <vector>

#include "install/PayloadData.h"
#include "install/PayloadSources.h"
#include "platform/Find.h"
#include "unit/HostSim_fixture.h"
#include "unit/CaseName.h"
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
  void (*write)(TPlatform&, const std::string&, IRunProgress&);
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
      TNoProgress none;
      w.write(*os_, target, none);
      EXPECT_TRUE(Content(target) == built) << w.name << " round " << round;
    }
  }
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"program.Exe", "uninstaller.Exe"}));
}

TEST_F(PayloadWriterTest, ReportsEveryCopyAndInflationPosition) {
  for (const WriterCase& w : kWriters) {
    const TPayload& p = w.payload();
    TFakeProgress progress(static_cast<int32_t>(p.ProgressSpan()));
    w.write(*os_, "C:\\Fotelix\\x.exe", progress);
    const std::vector<int32_t> expected = PayloadPositions(p);
    EXPECT_EQ(progress.positions, expected) << w.name;
    // The bar never moves back inside one write, and ends full.
    EXPECT_LT(static_cast<int32_t>(p.BlockCount * 1024), static_cast<int32_t>(p.CompressedLength + 1024))
        << w.name;
    EXPECT_TRUE(std::is_sorted(progress.positions.begin(), progress.positions.end())) << w.name;
    EXPECT_EQ(progress.positions.back(), progress.Range()) << w.name;
    EXPECT_EQ(progress.messageRuns, static_cast<int>(expected.size())) << w.name;
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
    TFakeProgress progress(1 << 30);
    WritePayload(*os_, payload, "C:\\Fotelix\\made.bin", progress);
    EXPECT_TRUE(Content("C:\\Fotelix\\made.bin") == content) << length;
    std::vector<int32_t> inflation(progress.positions.begin() + blocks, progress.positions.end());
    std::vector<int32_t> expected;
    for (uLong done = 1024; done <= length; done += 1024)
      expected.push_back(static_cast<int32_t>(compressedLength + done));
    // The last report is always the full length: after a partial piece, or
    // after the pass that reads nothing when the length is whole pieces.
    expected.push_back(static_cast<int32_t>(compressedLength + length));
    EXPECT_EQ(inflation, expected) << length;
  }
}

// A write that the page does not show still lets the window's messages run
// at every step.
TEST_F(PayloadWriterTest, AnUnshownWriteOnlyLetsMessagesRun) {
  TFakeProgress run;
  TUnshownProgress unshown(run);
  WriteUninstaller(*os_, "C:\\Fotelix\\Uninstall.Exe", unshown);
  EXPECT_TRUE(run.positions.empty());
  EXPECT_EQ(run.messageRuns, static_cast<int>(PayloadPositions(UninstallerPayload()).size()));
}

TEST_F(PayloadWriterTest, ReplacesAndTruncatesAnExistingFile) {
  MakeFile("C:\\Fotelix\\FOTELIX.EXE", std::string(ProgramPayload().ExpandedLength + 5000, 'x'));
  TNoProgress none;
  WriteProgramFile(*os_, "C:\\Fotelix\\Fotelix.Exe", none);
  EXPECT_TRUE(Content("C:\\Fotelix\\Fotelix.Exe") == BuiltProgram(kProgramSourceFile));
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"FOTELIX.EXE"});
}

// Each fault raises, leaves the old program as it was and no temporary file.
struct FailureCase {
  const char* name;
  // Changes the copy of the program's stored data, or its recorded lengths.
  void (*damage)(std::vector<unsigned char>& stored, TPayload& payload);
  void (*fault)(THostSimPlatform&);
  uint32_t code;
};

const FailureCase kFailures[] = {
    {"locked target", nullptr, [](THostSimPlatform& os) { os.LockFile("C:\\Fotelix\\Fotelix.Exe"); },
     kErrorSharingViolation},
    {"disk full", nullptr, [](THostSimPlatform& os) { os.SetDiskSpace('C', 100000); }, kErrorDiskFull},
    {"damaged stream",
     [](std::vector<unsigned char>& stored, TPayload& p) {
       stored[p.CompressedLength / 2] ^= 0x55;
       stored[p.CompressedLength / 2 + 1] ^= 0xA5;
     },
     nullptr, 13},
    {"stream cut short",
     [](std::vector<unsigned char>& stored, TPayload& p) {
       std::fill(stored.begin() + p.CompressedLength / 2, stored.end(), 0);
     },
     nullptr, 13},
    // The last byte of the Adler-32 sum.
    {"wrong check sum", [](std::vector<unsigned char>& stored, TPayload& p) { stored[p.CompressedLength - 1] ^= 1; },
     nullptr, 13},
    {"longer than recorded", [](std::vector<unsigned char>&, TPayload& p) { --p.ExpandedLength; }, nullptr, 13},
    {"shorter than recorded", [](std::vector<unsigned char>&, TPayload& p) { ++p.ExpandedLength; }, nullptr, 13},
    {"read-only target", nullptr,
     [](THostSimPlatform& os) { os.SetAttributes("C:\\Fotelix\\Fotelix.Exe", faReadOnly); }, kErrorAccessDenied},
};

class PayloadFailureTest : public PayloadWriterTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(PayloadFailureTest, KeepsTheOldFile) {
  const FailureCase& c = GetParam();
  const TPayload& real = ProgramPayload();
  std::vector<unsigned char> stored(real.Data, real.Data + real.BlockCount * 1024);
  TPayload payload = {stored.data(), real.BlockCount, real.CompressedLength, real.ExpandedLength};
  if (c.damage) c.damage(stored, payload);
  const std::string old = "MZ the old program";
  MakeFile("C:\\Fotelix\\Fotelix.Exe", old);
  if (c.fault) c.fault(*os_);
  try {
    TNoProgress none;
    WritePayload(*os_, payload, "C:\\Fotelix\\Fotelix.Exe", none);
    ADD_FAILURE() << "no error";
  } catch (const EPlatformError& e) {
    EXPECT_EQ(e.Code(), c.code) << e.what();
    // Told by the file the user asked for, never by the temporary one.
    const std::string message = e.what();
    EXPECT_EQ(message.rfind("Cannot create file C:\\Fotelix\\Fotelix.Exe: " + e.Reason(), 0), 0u) << message;
    EXPECT_EQ(message.find(".new"), std::string::npos) << message;
  }
  EXPECT_EQ(Content("C:\\Fotelix\\Fotelix.Exe"), old);
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"Fotelix.Exe"});
}

INSTANTIATE_TEST_SUITE_P(Faults, PayloadFailureTest, testing::ValuesIn(kFailures), CaseName<FailureCase>);

TEST_F(PayloadWriterTest, MissingFolderRaisesBeforeWriting) {
  try {
    TNoProgress none;
    WriteProgramFile(*os_, "C:\\Missing\\Fotelix.Exe", none);
    ADD_FAILURE() << "no error";
  } catch (const EPlatformError& e) {
    EXPECT_EQ(e.Code(), kErrorPathNotFound);
  }
  EXPECT_FALSE(os_->FolderExists("C:\\Missing"));
}

}  // namespace
