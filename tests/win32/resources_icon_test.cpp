#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

namespace {

struct TModuleDeleter {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
using TModuleHandle = std::unique_ptr<std::remove_pointer_t<HMODULE>, TModuleDeleter>;

struct TIconDeleter {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
using TIconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, TIconDeleter>;

struct TBitmapDeleter {
  void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using TBitmapHandle = std::unique_ptr<std::remove_pointer_t<HBITMAP>, TBitmapDeleter>;

// The bytes of one resource of the module, or none.
std::pair<const unsigned char*, DWORD> ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type) {
  HRSRC found = FindResourceA(module, name, type);
  if (!found) return {nullptr, 0};
  return {static_cast<const unsigned char*>(LockResource(LoadResource(module, found))),
          SizeofResource(module, found)};
}

// The setup program beside this test program, as Windows reads it for its
// file icon and as the program loads it for its window: the icon group
// "MAINICON" with a 16 and a 32 pixel image, each of which Windows makes an
// icon of its size with 32-bit colour.
TEST(ResourcesWin32, TheSetupProgramCarriesItsIconInBothSizes) {
  char self[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
  ASSERT_GT(length, 0u);
  std::string program(self, length);
  program.replace(program.find_last_of('\\') + 1, std::string::npos, "Install_Fotelix.exe");
  TModuleHandle module(LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_TRUE(module) << program << ": error " << GetLastError();

  const auto [group, groupSize] = ResourceBytes(module.get(), "MAINICON", MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_TRUE(group);
  ASSERT_GE(groupSize, 6u);
  const unsigned count = group[4] | (group[5] << 8);
  ASSERT_EQ(count, 2u);
  ASSERT_GE(groupSize, 6u + 14u * count);
  const int sizes[] = {16, 32};
  for (unsigned i = 0; i < count; ++i) {
    SCOPED_TRACE(sizes[i]);
    // Each group entry: width, height, colours, reserved, planes, bits,
    // bytes, and the id of its image among the program's icon images.
    const unsigned char* entry = group + 6 + 14 * i;
    EXPECT_EQ(entry[0], sizes[i]);
    const unsigned id = entry[12] | (entry[13] << 8);
    const auto [image, imageSize] = ResourceBytes(module.get(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3));  // RT_ICON
    ASSERT_TRUE(image);
    // The call takes a writable pointer but only reads the image.
    TIconHandle icon(CreateIconFromResourceEx(const_cast<PBYTE>(image), imageSize, TRUE, 0x00030000,
                                              sizes[i], sizes[i], LR_DEFAULTCOLOR));
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
