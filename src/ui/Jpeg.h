#pragma once
// JPEG pictures, baseline and progressive, decoded into bitmaps.

#include <cstdint>
#include <string>
#include <vector>

#include "ui/Graphics.h"

// The pixel count a picture may have: far above any picture of the program,
// far below what would exhaust a 32-bit process.
constexpr uint64_t kMaxJpegPixels = 64u * 1024u * 1024u;

// Decoded with the JPEG library in every build, the shipped program included.
// An empty, damaged or unsupported picture is an error that gives the reason.
TBitmap LoadJpeg(const std::vector<uint8_t>& data);
TBitmap LoadJpegFile(const std::string& path);
