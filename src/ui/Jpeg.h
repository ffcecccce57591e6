#pragma once
// JPEG pictures, baseline and progressive, decoded into bitmaps.

#include <cstdint>
#include <string>
#include <vector>

#include "ui/Graphics.h"

// A damaged or unsupported picture is an error with the decoder's reason.
TBitmap LoadJpeg(const std::vector<uint8_t>& data);
TBitmap LoadJpegFile(const std::string& path);
