#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "ui/Jpeg.h"

namespace {

// Pictures are made with the library's own encoder, so that the decoder is
// checked against known pixels in every form the program's pictures take.
std::vector<uint8_t> Encode(int width, int height, bool progressive, bool gray) {
  jpeg_compress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = width;
  info.image_height = height;
  info.input_components = gray ? 1 : 3;
  info.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  if (progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(static_cast<size_t>(width) * info.input_components);
  while (info.next_scanline < info.image_height) {
    const int y = static_cast<int>(info.next_scanline);
    for (int x = 0; x < width; ++x) {
      if (gray) {
        row[x] = static_cast<uint8_t>(x * 4);
      } else {
        row[x * 3] = static_cast<uint8_t>(x * 4);
        row[x * 3 + 1] = static_cast<uint8_t>(y * 4);
        row[x * 3 + 2] = 128;
      }
    }
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&info, &p, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<uint8_t> data(out, out + size);
  jpeg_destroy_compress(&info);
  std::free(out);
  return data;
}

TEST(UiJpeg, DecodesEveryFormToItsPixels) {
  struct Case {
    bool progressive;
    bool gray;
  } cases[] = {{false, false}, {true, false}, {false, true}, {true, true}};
  for (const Case& c : cases) {
    const TBitmap picture = LoadJpeg(Encode(37, 23, c.progressive, c.gray));
    ASSERT_EQ(picture.Width(), 37);
    ASSERT_EQ(picture.Height(), 23);
    for (int y = 0; y < 23; y += 11)
      for (int x = 0; x < 37; x += 9) {
        const TColor p = picture.Pixel(x, y);
        EXPECT_NEAR(GetRValue(p), x * 4, 6) << c.progressive << c.gray << " " << x << "," << y;
        EXPECT_NEAR(GetGValue(p), c.gray ? x * 4 : y * 4, 6);
        EXPECT_NEAR(GetBValue(p), c.gray ? x * 4 : 128, 6);
      }
  }
}

TEST(UiJpeg, DamagedPicturesAreErrorsWithAReason) {
  const std::vector<uint8_t> good = Encode(16, 16, false, false);
  std::vector<uint8_t> headerOnly(good.begin(), good.begin() + 20);
  std::vector<uint8_t> cutInScan(good.begin(), good.end() - 40);
  std::vector<uint8_t> notJpeg = {'G', 'I', 'F', '8', '9', 'a', 0, 0};
  // Where the reason is given, it is the whole of it: the library's own
  // messages come formatted, with their numbers, in every build.
  const struct {
    std::vector<uint8_t> data;
    const char* reason;
  } cases[] = {{{}, "it is empty."},
               {headerOnly, nullptr},
               {cutInScan, nullptr},
               {notJpeg, "Not a JPEG file: starts with 0x47 0x49"}};
  for (const auto& c : cases) {
    try {
      LoadJpeg(c.data);
      ADD_FAILURE() << "accepted " << c.data.size() << " bytes";
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()).rfind("Cannot read the picture: ", 0), 0u) << e.what();
      if (c.reason) {
        EXPECT_EQ(e.what(), std::string("Cannot read the picture: ") + c.reason);
      }
    }
  }
}

TEST(UiJpeg, MissingFileIsAnError) {
  EXPECT_THROW(LoadJpegFile("/nonexistent/picture.jpg"), std::runtime_error);
}

}  // namespace
