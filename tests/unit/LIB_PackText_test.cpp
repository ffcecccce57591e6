#include "lib/LIB_PackText.h"

#include "lib/LIB_Endpoints.h"

#include <gtest/gtest.h>

#include <iterator>
#include <ostream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v);
  return s;
}

struct PackCase {
  std::string text;
  std::string packed;
};

// Keeps the test names readable: the text, with bytes outside ASCII as hex.
void PrintTo(const PackCase& c, std::ostream* os) {
  *os << '"';
  for (unsigned char ch : c.text) {
    if (ch >= 32 && ch < 127)
      *os << ch;
    else
      *os << "\\x" << std::hex << int{ch} << std::dec;
  }
  *os << '"';
}

class PackTextTest : public testing::TestWithParam<PackCase> {};

TEST_P(PackTextTest, PacksToTheKnownBytesAndBack) {
  const PackCase& c = GetParam();
  EXPECT_EQ(PackText(c.text), c.packed);
  EXPECT_EQ(UnpackText(c.packed), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, PackTextTest,
    testing::Values(
        PackCase{"", ""},
        PackCase{"abc", Bytes({0x9E, 0x8A, 0x40})},
        PackCase{"Q", Bytes({0x7C, 0x10})},
        // ".html" comes before ".htm" and before "index" in the dictionary.
        PackCase{"index.html", Bytes({0x7C, 0x97, 0xE3})},
        PackCase{"x.jpg", Bytes({0xF9, 0xFD, 0x00})},
        PackCase{"QQ", Bytes({0x7C, 0x17, 0xC1})},
        // 24 bits fill three bytes exactly: no extra byte.
        PackCase{"abcd", Bytes({0x9E, 0x8A, 0x6A})},
        // Bytes 0 to 3 cost 30 bits, 4 to 31 cost 24.
        PackCase{std::string(1, '\0'), Bytes({0x00, 0x00, 0x00, 0x04})},
        PackCase{"\x03", Bytes({0x00, 0x00, 0x00, 0x10})},
        PackCase{"\x04", Bytes({0x00, 0x00, 0x24})},
        PackCase{"\x1F", Bytes({0x00, 0x00, 0x3F})},
        PackCase{"\xFF", Bytes({0x00, 0x00, 0x23})},
        PackCase{"\x9D", Bytes({0x03, 0xF0})},
        PackCase{"\x9E", Bytes({0x00, 0x00, 0x40})},
        PackCase{"y", Bytes({0x00, 0x10})},
        PackCase{" ", Bytes({0x04})},
        PackCase{"\\", Bytes({0xFC})}));

// An entry of the dictionary alone becomes "Q" (011111), the six bits of the
// code letter that it owns, and four bits of filling: entries of every kind
// of letter, the first and the last among them.
const PackCase kEntries[] = {
    {kMakerWebSite, Bytes({0x7C, 0xF0})},  // A, the first
    {"http://", Bytes({0x7D, 0x50})},      // G
    {".mp3", Bytes({0x7E, 0x60})},         // X
    {".MP3", Bytes({0x7E, 0x70})},         // a
    {".ISO", Bytes({0x7F, 0xE0})},         // x
    {" the ", Bytes({0x7C, 0x30})},        // /
    {" The ", Bytes({0x7F, 0xF0})},        // backslash
    {" sex", Bytes({0x7C, 0xE0})},         // :
    {" xxx ", Bytes({0x7C, 0x40})},        // 0
    {"02 ", Bytes({0x7C, 0xD0})},          // 9
    {"03 ", Bytes({0x7C, 0x20})},          // ".", the last
};

TEST(PackTextDictionary, AnEntryAloneBecomesItsTwelveBitCode) {
  for (const PackCase& e : kEntries) {
    EXPECT_EQ(PackText(e.text), e.packed) << e.text;
    EXPECT_EQ(UnpackText(e.packed), e.text);
  }
}

TEST(PackTextDictionary, SiteAddressesWinOverTheBarePrefixes) {
  // The site address becomes "QA" (not "http://" and "www." apart); then
  // ".html" and "index" as in the plain example: Q A / Q 5 Q U.
  EXPECT_EQ(PackText(std::string(kMakerWebSite) + "/index.html"),
            Bytes({0x7C, 0xF0, 0xDF, 0x25, 0xF8, 0xC0}));
}

TEST(PackTextBitCode, EverySingleByteHasItsOwnCodeOfTheRightLength) {
  for (int b = 0; b < 256; ++b) {
    const std::string text(1, static_cast<char>(b));
    const std::string packed = PackText(text);
    size_t expected = 0;
    if (b == 'Q') expected = 2;  // escaped as "Q "
    else if (b == 32 || (b >= 46 && b <= 58) || (b >= 65 && b <= 88) || (b >= 97 && b <= 120) || b == 92)
      expected = 1;
    else if (b <= 3) expected = 4;
    else if (b <= 31 || b >= 158) expected = 3;
    else expected = 2;
    EXPECT_EQ(packed.size(), expected) << "byte " << b;
    EXPECT_EQ(UnpackText(packed), text) << "byte " << b;
  }
}

TEST(PackTextRoundTrip, RandomTextsWithEveryByteComeBack) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    const int parts = static_cast<int>(rng() % 8);
    for (int p = 0; p < parts; ++p) {
      if (rng() % 3 == 0) {
        text += kEntries[rng() % std::size(kEntries)].text;
      } else {
        text += rng() % 8 == 0 ? 'Q' : static_cast<char>(rng() % 256);
      }
    }
    // Only the look-alikes of the next test come back as another text, and
    // that one packs to the same bytes.
    const std::string packed = PackText(text);
    const std::string back = UnpackText(packed);
    EXPECT_EQ(PackText(back), packed) << "round " << round;
    if (back != text) {
      EXPECT_NE(back.find(".NET/"), std::string::npos) << "round " << round;
    }
  }
}

TEST(PackTextRoundTrip, AddressesComeBackExactly) {
  const std::string pieces[] = {kMakerWebSite, kProductWebSite, kSearchEngine1, "http://", "HTTP://",
                                "www.", "WWW.", "/", "~morvane", "REMSET", "index", ".html", ".htm",
                                ".jpg", ".JPG", ".com/", ".NET/", ".net", "Q", "q", "0", "9", "%20",
                                "?a=1&b=2", "\\", ":", "_", "y", "Z"};
  std::mt19937 rng(77);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    for (int p = static_cast<int>(rng() % 10); p > 0; --p) text += pieces[rng() % std::size(pieces)];
    EXPECT_EQ(UnpackText(PackText(text)), text);
  }
}

TEST(PackTextRoundTrip, LookAlikesUnpackAsTheAddressReading) {
  // A later entry takes the second byte of an earlier "Q" pair; the "QQ" left
  // behind is also the code of ".NET/".
  const std::pair<std::string, std::string> cases[] = {
      {"Qthe ", ".NET//"},          // " the " took the escaped Q's space
      {"Qsex", ".NET/:"},
      {".MPEGndex", ".NET/5"},      // "index" took the code letter of ".MPEG"
      {" xxx 1 ", ".NET/8"},        // "01 " took the code letter of " xxx "
      {"HTTP://ttp://", ".NET/I"},  // "Http://" took the code letter of "HTTP://"
  };
  for (const auto& [text, reading] : cases) {
    ASSERT_EQ(PackText(text), PackText(reading)) << text;
    EXPECT_EQ(UnpackText(PackText(text)), reading) << text;
  }
}

TEST(UnpackText, RefusesWhatPackingCannotProduce) {
  const std::string cases[] = {
      Bytes({0x00}),                    // all-zero groups: a code cut off
      Bytes({0xFF}),                    // a backslash, then two stray one bits
      Bytes({0x7C}),                    // a lone "Q" at the end
      Bytes({0x7C, 0x05, 0x00}),        // "Q" followed by "!"
      Bytes({0xF7, 0xDF, 0x42}),        // "www." left unsubstituted
      Bytes({0x9E, 0x8A, 0x40, 0x00}),  // "abc" and a whole byte of filling
      Bytes({0x00, 0x00, 0x00, 0x3C}),  // class 4, value 15: no such byte
  };
  for (const std::string& packed : cases) EXPECT_THROW(UnpackText(packed), std::invalid_argument);
}

}  // namespace
