#pragma once
// JPEG pictures, baseline and progressive, decoded into bitmaps.

#include <cstdint>
#include <string>
#include <vector>

#include "ui/Graphics.h"

// The pixel count a picture may have: far above any picture of the program,
// far below what would exhaust a 32-bit process.
constexpr uint64_t kMaxJpegPixels = 64u * 1024u * 1024u;

// One decoder per platform: the library natively, the system's on Windows.
// An empty, damaged or unsupported picture is an error that gives the reason.
TBitmap LoadJpeg(const std::vector<uint8_t>& data);
TBitmap LoadJpegFile(const std::string& path);

// The platform's part of LoadJpeg (ui/LibJpeg.cpp, ui/win32/Win32Jpeg.cpp):
// decodes a picture of at least one byte, and calls CheckJpegSize before it
// decodes a single pixel. Its errors give the reason alone.
TBitmap DecodeJpeg(const std::vector<uint8_t>& data);
// Refuses a picture of no pixels or of more than kMaxJpegPixels.
void CheckJpegSize(uint64_t width, uint64_t height);
