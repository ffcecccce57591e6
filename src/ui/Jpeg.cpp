#include "ui/Jpeg.h"

#include <cstdio>
#include <memory>
#include <stdexcept>

void CheckJpegSize(uint64_t width, uint64_t height) {
  const uint64_t pixels = width * height;
  if (pixels == 0 || pixels > kMaxJpegPixels) throw std::runtime_error("it is too large or has no pixels.");
}

TBitmap LoadJpeg(const std::vector<uint8_t>& data) {
  try {
    if (data.empty()) throw std::runtime_error("it is empty.");
    return DecodeJpeg(data);
  } catch (const std::runtime_error& reason) {
    throw std::runtime_error(std::string("Cannot read the picture: ") + reason.what());
  }
}

// Read with the C library: a file stream would link the whole locale
// machinery of the C++ library into the program, several hundred kilobytes.
TBitmap LoadJpegFile(const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!in) throw std::runtime_error("Cannot open the picture \"" + path + "\".");
  std::vector<uint8_t> data;
  uint8_t piece[64 * 1024];
  size_t got;
  while ((got = std::fread(piece, 1, sizeof piece, in.get())) > 0) data.insert(data.end(), piece, piece + got);
  if (std::ferror(in.get())) throw std::runtime_error("Cannot read the picture \"" + path + "\".");
  return LoadJpeg(data);
}
