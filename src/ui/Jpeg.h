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
// A damaged or unsupported picture is an error with the decoder's reason.
TBitmap LoadJpeg(const std::vector<uint8_t>& data);
TBitmap LoadJpegFile(const std::string& path);
