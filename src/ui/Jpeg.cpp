#include "ui/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <stdexcept>

// The library's header needs size_t and FILE declared first.
#include <jpeglib.h>

namespace {

// Refuses a picture of no pixels or of more than kMaxJpegPixels.
void CheckJpegSize(uint64_t width, uint64_t height) {
  const uint64_t pixels = width * height;
  if (pixels == 0 || pixels > kMaxJpegPixels) throw std::runtime_error("it is too large or has no pixels.");
}

// The library reports errors by calling error_exit, which must not return;
// it jumps back to the decoder, which turns the message into an exception.
// No object with a destructor is made between the jump's set-up and the jump,
// and nothing throws through the library: its 32-bit build has no unwind tables.
struct TJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr info) {
  auto* error = reinterpret_cast<TJpegError*>(info->err);
  info->err->format_message(info, error->Message);
  std::longjmp(error->Jump, 1);
}

// A warning (level -1) means damaged data, such as a file cut short, which the
// library would otherwise fill with grey: a damaged picture is refused whole.
// Trace messages (levels 0 and up) are ignored.
void WarningIsError(j_common_ptr info, int level) {
  if (level < 0) ErrorExit(info);
}

struct TDecodeState {
  jpeg_decompress_struct Info;
  TJpegError Error;
  std::vector<uint8_t>* Rgb;
};

// Frees the decompressor's memory however decoding ends: normally, by the
// library's jump, or by an exception such as running out of memory for the
// pixels. It lives outside the function that jumps, so no jump skips it, and
// is harmless on a decompressor that was never created.
struct TDecompressorCleanup {
  jpeg_decompress_struct& Info;
  ~TDecompressorCleanup() { jpeg_destroy_decompress(&Info); }
};

bool Decode(TDecodeState& s, const std::vector<uint8_t>& data) {
  s.Info.err = jpeg_std_error(&s.Error.Manager);
  s.Error.Manager.error_exit = ErrorExit;
  s.Error.Manager.emit_message = WarningIsError;
  if (setjmp(s.Error.Jump)) return false;
  jpeg_create_decompress(&s.Info);
  jpeg_mem_src(&s.Info, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&s.Info, TRUE);
  s.Info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&s.Info);
  CheckJpegSize(s.Info.output_width, s.Info.output_height);
  if (s.Info.output_components != 3) throw std::runtime_error("it is neither a colour nor a grey picture.");
  s.Rgb->resize(size_t{s.Info.output_width} * s.Info.output_height * 3);
  const size_t stride = size_t{s.Info.output_width} * 3;
  while (s.Info.output_scanline < s.Info.output_height) {
    JSAMPROW row = s.Rgb->data() + size_t{s.Info.output_scanline} * stride;
    jpeg_read_scanlines(&s.Info, &row, 1);
  }
  jpeg_finish_decompress(&s.Info);
  return true;
}

TBitmap DecodeJpeg(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> rgb;
  TDecodeState state{};
  const TDecompressorCleanup cleanup{state.Info};
  state.Rgb = &rgb;
  if (!Decode(state, data)) throw std::runtime_error(state.Error.Message);
  const int width = static_cast<int>(state.Info.output_width);
  const int height = static_cast<int>(state.Info.output_height);
  TBitmap bitmap(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      bitmap.SetPixel(x, y, RGB(p[0], p[1], p[2]));
    }
  return bitmap;
}

}  // namespace

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
