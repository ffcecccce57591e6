#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/Jpeg.h"

namespace {

unsigned ReadBe16(const TResource& r, std::size_t pos) {
  if (pos + 2 > r.Size) throw std::runtime_error("cut short at " + std::to_string(pos));
  return (unsigned{r.Data[pos]} << 8) | r.Data[pos + 1];
}

uint32_t ReadLe(const TResource& r, std::size_t pos, int bytes) {
  if (pos + bytes > r.Size) throw std::runtime_error("cut short at " + std::to_string(pos));
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | r.Data[pos + i];
  return v;
}

struct TJpegFrame {
  unsigned Marker = 0;  // the SOFn marker: 0xC0 for baseline, 0xC2 for progressive
  unsigned Width = 0;
  unsigned Height = 0;
  unsigned Components = 0;
};

// Walks the marker segments from the start of the picture to its scan data,
// as a decoder would, and returns the frame header it finds on the way.
TJpegFrame ReadJpegFrame(const TResource& r) {
  if (ReadBe16(r, 0) != 0xFFD8) throw std::runtime_error("no start-of-image marker");
  TJpegFrame frame;
  std::size_t pos = 2;
  for (;;) {
    if (pos >= r.Size || r.Data[pos] != 0xFF) throw std::runtime_error("no marker at " + std::to_string(pos));
    while (pos < r.Size && r.Data[pos] == 0xFF) ++pos;  // fill bytes
    if (pos >= r.Size) throw std::runtime_error("cut short in a marker");
    const unsigned marker = r.Data[pos++];
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
    const unsigned length = ReadBe16(r, pos);
    if (length < 2 || pos + length > r.Size) throw std::runtime_error("bad segment length at " + std::to_string(pos));
    const bool isFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (isFrame) {
      if (frame.Marker != 0) throw std::runtime_error("two frame headers");
      if (length < 8 || r.Data[pos + 2] != 8) throw std::runtime_error("frame header is not 8-bit");
      frame.Marker = marker;
      frame.Height = ReadBe16(r, pos + 3);
      frame.Width = ReadBe16(r, pos + 5);
      frame.Components = r.Data[pos + 7];
    }
    if (marker == 0xDA) break;  // start of scan: the header is complete
    pos += length;
  }
  if (frame.Marker == 0) throw std::runtime_error("scan data before any frame header");
  return frame;
}

struct PictureCase {
  std::string_view name;
  unsigned width;
  unsigned height;
  // FNV-1a of the decoded pixels, red, green and blue, row by row: one value
  // for the native build and the Windows programs, so that what the program
  // shows is what these tests check.
  uint64_t pixels;
};

void PrintTo(const PictureCase& c, std::ostream* os) { *os << c.name; }

const PictureCase kPictures[] = {
    {ResourceName::Welcome, 369, 417, 0xc62a1efe093641db},
    {ResourceName::Terms, 320, 290, 0x1944a4643ea5c274},
    {ResourceName::InstallOrUpgrade, 225, 193, 0xdeb82b115992c414},
    {ResourceName::Error, 121, 122, 0x04c8e3490ec608f7},
    {ResourceName::InstallFolder, 105, 105, 0xb9f544c2a31a47d3},
    {ResourceName::DownloadFolder, 105, 105, 0x20b983817a29de34},
    {ResourceName::Connection, 177, 281, 0x0546f9006f6f0df8},
    {ResourceName::ReadyToInstall, 193, 164, 0xe505c73259aace6b},
    {ResourceName::InstallFinished, 370, 388, 0xe2ad26d5bd910805},
    {ResourceName::Searching, 200, 200, 0xc8602378df1c358a},
    {ResourceName::UpgradeFinished, 383, 302, 0x5e9ac4208987bf39},
    {ResourceName::Icon, 32, 32, 0x03d3cf2973b5b5b3},
};

class PictureTest : public testing::TestWithParam<PictureCase> {};

TEST_P(PictureTest, IsABaselineJpegOfItsPlacesSize) {
  const PictureCase& c = GetParam();
  const TResource* r = FindEmbeddedResource(c.name);
  ASSERT_NE(r, nullptr);
  const TJpegFrame frame = ReadJpegFrame(*r);
  EXPECT_EQ(frame.Marker, 0xC0u) << "not baseline";
  EXPECT_EQ(frame.Width, c.width);
  EXPECT_EQ(frame.Height, c.height);
  EXPECT_EQ(frame.Components, 3u);
  EXPECT_EQ(ReadBe16(*r, r->Size - 2), 0xFFD9u) << "no end-of-image marker";
}

TEST_P(PictureTest, DecodesWholeToTheSamePixelsInEveryBuild) {
  const PictureCase& c = GetParam();
  const TBitmap bitmap = LoadJpeg(GetEmbeddedResource(c.name).Bytes());
  ASSERT_EQ(bitmap.Width(), static_cast<int>(c.width));
  ASSERT_EQ(bitmap.Height(), static_cast<int>(c.height));
  uint64_t digest = 14695981039346656037u;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      const TColor p = bitmap.Pixel(x, y);
      for (const uint8_t channel : {GetRValue(p), GetGValue(p), GetBValue(p)}) digest = (digest ^ channel) * 1099511628211u;
    }
  EXPECT_EQ(digest, c.pixels) << std::hex << "0x" << digest;
}

INSTANTIATE_TEST_SUITE_P(Resources, PictureTest, testing::ValuesIn(kPictures));

TEST(Resources, CarryEachPictureOnce) {
  std::set<std::string_view> expected;
  for (const PictureCase& c : kPictures) expected.insert(c.name);
  std::set<std::string_view> carried;
  for (const TResource& r : EmbeddedResources()) {
    EXPECT_TRUE(carried.insert(r.Name).second) << "carried twice: " << r.Name;
    EXPECT_GT(r.Size, 0u) << r.Name;
  }
  EXPECT_EQ(carried, expected);
}

TEST(Resources, AMissingNameIsNotFoundAndGettingItSaysWhich) {
  EXPECT_EQ(FindEmbeddedResource("welcome"), nullptr);
  EXPECT_EQ(FindEmbeddedResource(""), nullptr);
  try {
    GetEmbeddedResource("nothing.jpg");
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("\"nothing.jpg\""), std::string::npos) << e.what();
  }
}

// The error page leaves out the colour of the bottom-left pixel, so the whole
// rim must decode to exactly that colour, and that colour must be the page's.
TEST(Resources, ErrorPictureHasOneFlatPageColourRoundItsEdge) {
  const TBitmap bitmap = LoadJpeg(GetEmbeddedResource(ResourceName::Error).Bytes());
  const int w = bitmap.Width(), h = bitmap.Height();
  const TColor key = bitmap.Pixel(0, h - 1);
  EXPECT_NEAR(GetRValue(key), 166, 2);
  EXPECT_NEAR(GetGValue(key), 202, 2);
  EXPECT_NEAR(GetBValue(key), 240, 2);
  int rim = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (std::min({x, y, w - 1 - x, h - 1 - y}) < 4) {
        ++rim;
        ASSERT_EQ(bitmap.Pixel(x, y), key) << "at " << x << ", " << y;
      }
  EXPECT_GT(rim, 0);
  EXPECT_NE(bitmap.Pixel(w / 2, h / 2), key) << "the sign is missing";
}

double Luminance(TColor c) {
  auto linear = [](uint8_t v) {
    const double s = v / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(GetRValue(c)) + 0.7152 * linear(GetGValue(c)) + 0.0722 * linear(GetBValue(c));
}

// Bold words in white and yellow as well as red and maroon drift over the
// welcome picture: nowhere may it be so light or so dark that either kind
// fades into it (a contrast ratio of at least 1.8 to white and to maroon).
TEST(Resources, WelcomePictureKeepsLightAndDarkWordsLegible) {
  const TBitmap bitmap = LoadJpeg(GetEmbeddedResource(ResourceName::Welcome).Bytes());
  const double white = 1.0, maroon = Luminance(0x000080);
  double lightest = 0.0, darkest = 1.0;
  for (TColor c : bitmap.Pixels()) {
    lightest = std::max(lightest, Luminance(c));
    darkest = std::min(darkest, Luminance(c));
  }
  EXPECT_GE((white + 0.05) / (lightest + 0.05), 1.8) << "lightest " << lightest;
  EXPECT_GE((darkest + 0.05) / (maroon + 0.05), 1.8) << "darkest " << darkest;
}

// The Windows program carries the icon file as its own icon, not in the table.
TEST(Resources, IconFileHoldsA16AndA32PixelImageWithAlpha) {
  std::ifstream in(FX_PICTURES_DIR "/Install_Fotelix.ico", std::ios::binary);
  const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
  const TResource ico{"Install_Fotelix.ico", bytes.data(), bytes.size()};
  ASSERT_EQ(ReadLe(ico, 0, 2), 0u);
  ASSERT_EQ(ReadLe(ico, 2, 2), 1u) << "not an icon";
  ASSERT_EQ(ReadLe(ico, 4, 2), 2u);
  const unsigned sizes[] = {16, 32};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(sizes[i]);
    const std::size_t entry = 6 + 16 * i;
    const unsigned n = sizes[i];
    EXPECT_EQ(ReadLe(ico, entry, 1), n);
    EXPECT_EQ(ReadLe(ico, entry + 1, 1), n);
    EXPECT_EQ(ReadLe(ico, entry + 4, 2), 1u);   // planes
    EXPECT_EQ(ReadLe(ico, entry + 6, 2), 32u);  // bits per pixel
    const uint32_t bytes = ReadLe(ico, entry + 8, 4), offset = ReadLe(ico, entry + 12, 4);
    const uint32_t maskStride = (n + 31) / 32 * 4;
    ASSERT_EQ(bytes, 40 + n * n * 4 + maskStride * n);
    ASSERT_LE(std::size_t{offset} + bytes, ico.Size);

    EXPECT_EQ(ReadLe(ico, offset, 4), 40u);
    EXPECT_EQ(ReadLe(ico, offset + 4, 4), n);
    EXPECT_EQ(ReadLe(ico, offset + 8, 4), 2 * n) << "colour and mask heights";
    EXPECT_EQ(ReadLe(ico, offset + 14, 2), 32u);
    EXPECT_EQ(ReadLe(ico, offset + 16, 4), 0u) << "compressed";
    // Old systems draw through the mask instead of the alpha: the two must
    // agree, and the picture must have both clear and solid parts.
    int clear = 0, solid = 0;
    for (unsigned y = 0; y < n; ++y)
      for (unsigned x = 0; x < n; ++x) {
        const unsigned alpha = ico.Data[offset + 40 + (y * n + x) * 4 + 3];
        const unsigned maskByte = ico.Data[offset + 40 + n * n * 4 + y * maskStride + x / 8];
        const bool masked = (maskByte >> (7 - x % 8)) & 1;
        EXPECT_EQ(masked, alpha < 128) << "at " << x << ", " << y;
        clear += alpha == 0;
        solid += alpha == 255;
      }
    EXPECT_GT(clear, 0);
    EXPECT_GT(solid, static_cast<int>(n * n / 4));
  }
}

}  // namespace
