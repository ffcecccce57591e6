#include "ui/Jpeg.h"

#include <cstdio>
#include <memory>
#include <stdexcept>

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
