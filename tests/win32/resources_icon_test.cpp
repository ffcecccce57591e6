#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <type_traits>

#include "resources/Resources.h"

namespace {

uint32_t ReadLe32(const unsigned char* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

struct TIconDeleter {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
using TIconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, TIconDeleter>;

struct TBitmapDeleter {
  void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using TBitmapHandle = std::unique_ptr<std::remove_pointer_t<HBITMAP>, TBitmapDeleter>;

// Our own parse of the icon file proves little if Windows reads it otherwise:
// each image must become an icon of its size, with 32-bit colour.
TEST(ResourcesWin32, WindowsMakesAnIconOfEachImageInTheIconFile) {
  const TResource& ico = GetEmbeddedResource(ResourceName::IconFile);
  ASSERT_GE(ico.Size, 6u + 2 * 16u);
  const int sizes[] = {16, 32};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(sizes[i]);
    const unsigned char* entry = ico.Data + 6 + 16 * i;
    const uint32_t bytes = ReadLe32(entry + 8), offset = ReadLe32(entry + 12);
    ASSERT_LE(std::size_t{offset} + bytes, ico.Size);
    // The call takes a writable pointer but only reads the image.
    auto* image = const_cast<PBYTE>(ico.Data + offset);
    TIconHandle icon(CreateIconFromResourceEx(image, bytes, TRUE, 0x00030000, sizes[i], sizes[i], LR_DEFAULTCOLOR));
    ASSERT_TRUE(icon) << "error " << GetLastError();

    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon.get(), &info));
    TBitmapHandle colour(info.hbmColor), mask(info.hbmMask);
    ASSERT_TRUE(colour);
    BITMAP bitmap{};
    ASSERT_NE(GetObjectA(colour.get(), sizeof bitmap, &bitmap), 0);
    EXPECT_EQ(bitmap.bmWidth, sizes[i]);
    EXPECT_EQ(bitmap.bmHeight, sizes[i]);
    EXPECT_EQ(bitmap.bmBitsPixel, 32);
  }
}

}  // namespace
