#include "lib/LIB_Data1_ReadWrite.h"

#include "lib/LIB_PackText.h"
#include "lib/LIB_Random.h"

#include "HostSim_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v);
  return s;
}

// Keeps what it is given; can be told to fail on a write or on close.
class MemorySink : public TDataSink {
 public:
  void Write(const char* data, size_t size) override {
    ++writes;
    if (fail_write) throw EPlatformError(kErrorDiskFull, "disk full");
    bytes.append(data, size);
  }
  void Close() override {
    if (fail_close) throw EPlatformError(kErrorAccessDenied, "close failed");
    closed = true;
  }
  std::string bytes;
  int writes = 0;
  bool closed = false;
  bool fail_write = false;
  bool fail_close = false;
};

class MemorySource : public TDataSource {
 public:
  explicit MemorySource(std::string bytes) : bytes_(std::move(bytes)) {}
  size_t Read(char* data, size_t size) override {
    const size_t n = std::min(size, bytes_.size() - pos_);
    bytes_.copy(data, n, pos_);
    pos_ += n;
    return n;
  }

 private:
  std::string bytes_;
  size_t pos_ = 0;
};

// Every test starts from seed 0 and a known key, and leaves both as found.
class Data1Test : public testing::Test {
 protected:
  void SetUp() override {
    saved_seed_ = RandSeed();
    saved_key_ = SettingsKey;
    SetRandSeed(0);
    SettingsKey = TestKey();
  }
  void TearDown() override {
    SetRandSeed(saved_seed_);
    SettingsKey = saved_key_;
  }

  static std::string TestKey() {
    std::string key(256, '\0');
    for (int i = 0; i < 256; ++i) key[i] = static_cast<char>(i * 7 + 3);
    return key;
  }

  // Sets the generator so that the next WriteString draws this salt.
  static void SeedForSalt(int salt) {
    for (uint32_t seed = 0;; ++seed) {
      SetRandSeed(seed);
      if (static_cast<int>(Random(254)) + 1 == salt) {
        SetRandSeed(seed);
        return;
      }
    }
  }

  // Runs one writer operation on a fresh output and returns the bytes.
  template <typename F>
  std::string Written(F op) {
    MemorySink sink;
    TDataOutput f(sink);
    op(writer_, f);
    f.Close();
    return sink.bytes;
  }

  TLibData1_ReadWrite writer_;

 private:
  uint32_t saved_seed_ = 0;
  std::string saved_key_;
};

TEST_F(Data1Test, BytesBelow32AreEscaped) {
  const std::pair<int, std::string> cases[] = {
      {0, Bytes({31, 84})}, {1, Bytes({31, 85})}, {26, Bytes({31, 110})}, {31, Bytes({31, 115})},
      {32, Bytes({32})},    {84, Bytes({84})},    {255, Bytes({255})}};
  for (const auto& [b, bytes] : cases)
    EXPECT_EQ(Written([&](auto& w, auto& f) { w.WriteByte(f, static_cast<uint8_t>(b)); }), bytes)
        << "byte " << b;
}

TEST_F(Data1Test, ReadByteUndoesTheEscapeAndYields26AtTheEnd) {
  MemorySource source(Bytes({31, 84, 65, 31, 115, 200, 31}));
  TDataInput f(source);
  std::vector<int> got;
  for (int i = 0; i < 6; ++i) {
    uint8_t b = 0;
    writer_.ReadByte(f, b);
    got.push_back(b);
  }
  // The last escape has no partner: the end-of-file mark, and again after it.
  EXPECT_EQ(got, (std::vector<int>{0, 65, 31, 200, 26, 26}));
}

TEST_F(Data1Test, TagAddsKeyByte16ModuloAndIsEscaped) {
  SettingsKey[16] = static_cast<char>(200);
  EXPECT_EQ(Written([](auto& w, auto& f) { w.WriteTag(f, 100); }), Bytes({44}));
  EXPECT_EQ(Written([](auto& w, auto& f) { w.WriteTag(f, 56); }), Bytes({31, 84}));
  SettingsKey[16] = 0;
  EXPECT_EQ(Written([](auto& w, auto& f) { w.WriteTag(f, 43); }), Bytes({43}));
}

TEST_F(Data1Test, RawStringHasALittleEndianLengthAndEscapedBytes) {
  EXPECT_EQ(Written([](auto& w, auto& f) { w.WriteRawString(f, ""); }), Bytes({31, 84, 31, 84}));
  EXPECT_EQ(Written([](auto& w, auto& f) { w.WritePackedString(f, Bytes({'a', 0, 255})); }),
            Bytes({31, 87, 31, 84, 'a', 31, 84, 255}));
  const std::string bytes = Written([](auto& w, auto& f) { w.WriteRawString(f, std::string(300, 'x')); });
  EXPECT_EQ(bytes.substr(0, 3), Bytes({44, 31, 85}));  // 300 = 44 + 256
  EXPECT_EQ(bytes.size(), 303u);
}

struct SaltCase {
  int salt;
  int swapped_a;  // 0-based key offsets that trade places, -1 for none
  int swapped_b;
};

TEST_F(Data1Test, ScrambledStringUsesTheSaltAndSwapsTwoKeyBytes) {
  const SaltCase cases[] = {{1, 0, 2}, {15, 14, 16}, {17, 16, 18}, {100, 99, 101}, {253, 252, 254},
                            {254, -1, -1}};
  for (const SaltCase& c : cases) {
    SettingsKey = TestKey();
    const std::string key = SettingsKey;
    SeedForSalt(c.salt);
    const std::string bytes = Written([](auto& w, auto& f) { w.WriteString(f, "AB"); });

    std::string expected;
    const auto put = [&](int b) {
      if (b <= 31) expected += Bytes({31, b + 84});
      else expected += static_cast<char>(b);
    };
    put(c.salt);
    put(2);
    put(0);
    put(('A' + static_cast<uint8_t>(key[c.salt % 256])) % 256);
    put(('B' + static_cast<uint8_t>(key[(c.salt + 1) % 256])) % 256);
    EXPECT_EQ(bytes, expected) << "salt " << c.salt;

    std::string after = key;
    if (c.swapped_a >= 0) std::swap(after[c.swapped_a], after[c.swapped_b]);
    EXPECT_EQ(SettingsKey, after) << "salt " << c.salt;
  }
}

TEST_F(Data1Test, SaltsAroundOffset16ChangeHowTheSameTagIsWritten) {
  SettingsKey[14] = 10;
  SettingsKey[16] = 20;
  SettingsKey[18] = 30;
  const std::string before = Written([](auto& w, auto& f) { w.WriteTag(f, 43); });
  SeedForSalt(15);
  Written([](auto& w, auto& f) { w.WriteString(f, ""); });
  const std::string after15 = Written([](auto& w, auto& f) { w.WriteTag(f, 43); });
  SeedForSalt(17);
  Written([](auto& w, auto& f) { w.WriteString(f, ""); });
  const std::string after17 = Written([](auto& w, auto& f) { w.WriteTag(f, 43); });
  EXPECT_EQ(before, Bytes({63}));
  EXPECT_EQ(after15, Bytes({53}));  // key[16] is now the old key[14]
  EXPECT_EQ(after17, Bytes({73}));  // key[16] is now the old key[18]
}

TEST_F(Data1Test, EmptyScrambledStringIsSaltAndTwoZeroLengthBytes) {
  SeedForSalt(40);
  const std::string key = SettingsKey;
  EXPECT_EQ(Written([](auto& w, auto& f) { w.WriteString(f, ""); }), Bytes({40, 31, 84, 31, 84}));
  EXPECT_NE(SettingsKey, key);
}

TEST_F(Data1Test, TooLongStringsAreRefusedBeforeAnythingIsWritten) {
  const std::string key = SettingsKey;
  const uint32_t seed = RandSeed();
  MemorySink sink;
  TDataOutput f(sink);
  writer_.WriteByte(f, 'x');
  EXPECT_THROW(writer_.WriteString(f, std::string(65536, 'a')), std::length_error);
  EXPECT_THROW(writer_.WriteRawString(f, std::string(70000, 'a')), std::length_error);
  f.Close();
  EXPECT_EQ(sink.bytes, "x");
  EXPECT_EQ(SettingsKey, key);
  EXPECT_EQ(RandSeed(), seed);

  // The longest string still fits: length bytes 255, 255.
  const std::string bytes = Written([](auto& w, auto& f) { w.WriteRawString(f, std::string(65535, 'a')); });
  EXPECT_EQ(bytes.substr(0, 2), Bytes({255, 255}));
}

TEST_F(Data1Test, WritingWithoutAKeyIsRefused) {
  SettingsKey.clear();
  MemorySink sink;
  TDataOutput f(sink);
  EXPECT_THROW(writer_.WriteString(f, "a"), std::logic_error);
  EXPECT_THROW(writer_.WriteTag(f, 1), std::logic_error);
}

TEST_F(Data1Test, SwapKeyBytesTakesOneBasedPositionsAndZeroMeansNone) {
  const std::string key = SettingsKey;
  writer_.SwapKeyBytes(1, 256);
  EXPECT_EQ(SettingsKey[0], key[255]);
  EXPECT_EQ(SettingsKey[255], key[0]);
  writer_.SwapKeyBytes(1, 256);
  writer_.SwapKeyBytes(0, 5);
  writer_.SwapKeyBytes(5, 0);
  EXPECT_EQ(SettingsKey, key);
  EXPECT_THROW(writer_.SwapKeyBytes(1, 257), std::out_of_range);
}

TEST(MixKeySeed, ShortSeedsArePaddedWithSpaces) {
  // 300 bytes after padding: eleven from the top in steps of five, then the
  // even positions (only position 2 holds a seed byte), then step 4 repeats
  // the padding.
  const std::string key = MixKeySeed("abc");
  std::string expected(256, ' ');
  expected[11] = 'b';
  EXPECT_EQ(key, expected);
}

TEST(MixKeySeed, TakesEveryFifthByteDownTo250ThenTheEvenOnes) {
  struct Case {
    size_t length;
    size_t from_top;  // bytes taken at every fifth position
  };
  for (const Case c : {Case{879, 126}, Case{977, 146}, Case{1000, 150}}) {
    std::string seed(c.length, '\0');
    for (size_t i = 0; i < c.length; ++i) seed[i] = static_cast<char>(i * 31 % 251);
    const std::string key = MixKeySeed(seed);
    ASSERT_EQ(key.size(), 256u);
    const size_t top = c.length / 5 * 5;
    for (size_t k = 0; k < c.from_top; ++k) EXPECT_EQ(key[k], seed[top - 5 * k - 1]) << c.length << " " << k;
    for (size_t k = c.from_top; k < 256; ++k)
      EXPECT_EQ(key[k], seed[2 * (k - c.from_top + 1) - 1]) << c.length << " " << k;
  }
}

TEST_F(Data1Test, MakeSettingsKeyDrawsLengthThenBytes) {
  SetRandSeed(0);
  const uint32_t length = 879 + Random(99);
  const int first = 14 + static_cast<int>(Random(240));
  SetRandSeed(0);
  const std::string seed = MakeSettingsKey();
  ASSERT_EQ(seed.size(), length);
  EXPECT_EQ(static_cast<uint8_t>(seed[0]), first);
  for (unsigned char c : seed) {
    EXPECT_GE(c, 14);
    EXPECT_LE(c, 253);
  }
  EXPECT_EQ(SettingsKey, MixKeySeed(seed));
  // One draw for the length and one per byte, nothing else.
  SetRandSeed(0);
  for (uint32_t i = 0; i <= length; ++i) Random(1);
  const uint32_t expected_state = RandSeed();
  SetRandSeed(0);
  MakeSettingsKey();
  EXPECT_EQ(RandSeed(), expected_state);
}

TEST(FloatText, GeneralFormWithAPointWhateverTheLocale) {
  const std::pair<double, const char*> cases[] = {
      {0.0, "0"},
      {-0.0, "0"},
      {1.0, "1"},
      {-1.5, "-1.5"},
      {0.1, "0.1"},
      {36526.75, "36526.75"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {123456789012345.0, "123456789012345"},
      {1e15, "1E15"},
      {1234567890123456.0, "1.23456789012346E15"},
      {0.00001, "0.00001"},
      {0.0000015, "1.5E-6"},
      {1e100, "1E100"},
      {-2.5e-300, "-2.5E-300"},
      {HUGE_VAL, "INF"},
      {-HUGE_VAL, "-INF"},
      {std::nan(""), "NAN"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(FloatText(value), text) << text;
}

// The digits are the C library's correctly rounded ones: two texts with 15
// significant digits read back to one double only if they are one number.
TEST(FloatText, DigitsAreTheCorrectlyRoundedOnes) {
  std::vector<double> values = {123456789012344.5, 123456789012345.5, 0.5, 9.999999999999995e22,
                                999999999999999.5, 4.9406564584124654e-324, 1.7976931348623157e308,
                                36526.999999999999, 2.2250738585072014e-308};
  std::mt19937_64 rng(16);
  while (values.size() < 20000) {
    const uint64_t bits = rng();
    double v;
    std::memcpy(&v, &bits, sizeof v);
    if (std::isfinite(v) && v != 0) values.push_back(v);
  }
  for (double v : values) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "%.14e", v);
    EXPECT_EQ(std::strtod(FloatText(v).c_str(), nullptr), std::strtod(expected, nullptr))
        << FloatText(v) << " for " << expected;
  }
}

TEST_F(Data1Test, WriteFloatLeavesTheProcessLocaleAlone) {
  const std::string c_locale = std::setlocale(LC_ALL, nullptr);
  const std::string cpp_locale = std::locale().name();
  SettingsKey = MixKeySeed("k");
  Written([](auto& w, auto& f) { w.WriteFloat(f, 1.5); });
  EXPECT_EQ(std::setlocale(LC_ALL, nullptr), c_locale);
  EXPECT_EQ(std::locale().name(), cpp_locale);
}

// Writer and reader side by side: what one writes the other gives back,
// through a key that evolves with every string.
TEST_F(Data1Test, ReaderGivesBackWhatTheWriterWrote) {
  std::mt19937 rng(7);
  MemorySink sink;
  TDataOutput f(sink);
  const std::string seed = MakeSettingsKey();
  writer_.WriteRawString(f, seed);
  std::vector<std::string> strings;
  for (int i = 0; i < 400; ++i) {
    std::string s(rng() % 300, '\0');
    for (char& c : s) c = static_cast<char>(rng() % 256);
    if (i < 256) s += static_cast<char>(i);  // every byte value at least once
    strings.push_back(s);
    writer_.WriteString(f, s);
    writer_.WriteTag(f, static_cast<uint8_t>(i));
  }
  const int32_t integers[] = {0, -1, 7200, 2147483647, -2147483647 - 1};
  for (int32_t v : integers) writer_.WriteInteger(f, v);
  const double floats[] = {0.0, 1.5, -36526.25, 1e-7, 1e20};
  for (double v : floats) writer_.WriteFloat(f, v);
  writer_.WriteDateTime(f, 45000.5);
  writer_.WritePackedString(f, PackText("http://www.example/Q a\x01.jpg"));
  writer_.WriteByte(f, 7);
  f.Close();

  TSettingsReader r(sink.bytes);
  EXPECT_EQ(r.ReadKeySeed(), seed);
  for (size_t i = 0; i < strings.size(); ++i) {
    ASSERT_EQ(r.ReadString(), strings[i]) << "string " << i;
    ASSERT_EQ(r.ReadTag(), static_cast<uint8_t>(i)) << "tag " << i;
  }
  for (int32_t v : integers) EXPECT_EQ(r.ReadInteger(), v);
  for (double v : floats) EXPECT_EQ(r.ReadFloat(), v);
  EXPECT_EQ(r.ReadDateTime(), 45000.5);
  EXPECT_EQ(r.ReadPackedString(), "http://www.example/Q a\x01.jpg");
  EXPECT_EQ(r.ReadEscapedByte(), 7);
  EXPECT_TRUE(r.AtEnd());
}

TEST(SettingsReader, NamesTheOffsetOfDamage) {
  struct Case {
    std::string bytes;
    size_t offset;
  };
  const Case cases[] = {
      {"", 0},                        // nothing at all
      {Bytes({31}), 1},               // cut inside an escape
      {Bytes({31, 20}), 0},           // escape of something never escaped
      {Bytes({5}), 0},                // a bare control byte
      {Bytes({31, 87, 31, 84, 'a'}), 5},  // raw string cut short
  };
  for (const Case& c : cases) {
    TSettingsReader r(c.bytes);
    try {
      r.ReadRawString();
      ADD_FAILURE() << "no error";
    } catch (const EDataFormatError& e) {
      EXPECT_EQ(e.Offset(), c.offset);
      EXPECT_NE(std::string(e.what()).find("byte offset " + std::to_string(c.offset)), std::string::npos);
    }
  }
  TSettingsReader no_key(Bytes({40, 31, 84, 31, 84}));
  EXPECT_THROW(no_key.ReadString(), EDataFormatError);
  TSettingsReader bad_salt(Bytes({31, 84, 31, 84, 255, 31, 84, 31, 84}));
  bad_salt.ReadKeySeed();
  EXPECT_THROW(bad_salt.ReadString(), EDataFormatError);
}

TEST_F(Data1Test, OutputIsHandedOnInBlocksNotByteByByte) {
  MemorySink sink;
  TDataOutput f(sink);
  for (int i = 0; i < 10000; ++i) writer_.WriteByte(f, 'a');
  f.Close();
  EXPECT_EQ(sink.bytes, std::string(10000, 'a'));
  EXPECT_LE(sink.writes, 3);
  EXPECT_TRUE(sink.closed);
}

TEST_F(Data1Test, WriteAndCloseFailuresReachTheCaller) {
  MemorySink failing_write;
  failing_write.fail_write = true;
  TDataOutput f1(failing_write);
  writer_.WriteByte(f1, 'a');
  try {
    f1.Close();
    ADD_FAILURE() << "no error";
  } catch (const EPlatformError& e) {
    EXPECT_EQ(e.Code(), kErrorDiskFull);
  }

  MemorySink failing_close;
  failing_close.fail_close = true;
  TDataOutput f2(failing_close);
  writer_.WriteByte(f2, 'a');
  EXPECT_THROW(f2.Close(), EPlatformError);
}

using PlatformFilesTest = HostSimTest;

TEST_F(PlatformFilesTest, WrittenBytesReadBackAndAFullDiskFailsAtClose) {
  TLibData1_ReadWrite w;
  {
    TFileSink sink(os_->OpenFile("C:\\x.dat", TOpenMode::CreateTruncate));
    TDataOutput f(sink);
    w.WriteByte(f, 0);
    w.WriteByte(f, 'z');
    f.Close();
  }
  TFileSource source(os_->OpenFile("C:\\x.dat", TOpenMode::Read));
  TDataInput in(source);
  uint8_t a = 1, b = 0, c = 0;
  w.ReadByte(in, a);
  w.ReadByte(in, b);
  w.ReadByte(in, c);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 'z');
  EXPECT_EQ(c, 26);

  // The bytes wait in the output's buffer; the disk fills when they go.
  os_->SetDiskSpace('C', 5);
  TFileSink sink(os_->OpenFile("C:\\y.dat", TOpenMode::CreateTruncate));
  TDataOutput f(sink);
  for (int i = 0; i < 10; ++i) w.WriteByte(f, 'a');
  try {
    f.Close();
    ADD_FAILURE() << "no error";
  } catch (const EPlatformError& e) {
    EXPECT_EQ(e.Code(), kErrorDiskFull);
  }
}

}  // namespace
