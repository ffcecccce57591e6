// The decoder of the Windows programs: the system's imaging component, so
// that no decoder of our own is carried in the program.
#include "ui/Jpeg.h"

#include <stdexcept>

#include "ui/win32/Win32Handles.h"

#include <wincodec.h>

namespace {

[[noreturn]] void Fail(const char* reason) {
  throw std::runtime_error(std::string("Cannot read the picture: ") + reason);
}

void Check(HRESULT result) {
  if (FAILED(result)) Fail("it is damaged or not a JPEG picture.");
}

}  // namespace

TBitmap LoadJpeg(const std::vector<uint8_t>& data) {
  if (data.empty()) Fail("it is empty.");
  const TComScope com;
  TComPtr<IWICImagingFactory> factory;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, factory.Out())))
    Fail("the system's picture decoder is missing.");
  TComPtr<IWICStream> stream;
  Check(factory->CreateStream(reinterpret_cast<IWICStream**>(stream.Out())));
  Check(stream->InitializeFromMemory(const_cast<BYTE*>(data.data()), static_cast<DWORD>(data.size())));
  TComPtr<IWICBitmapDecoder> decoder;
  Check(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                         reinterpret_cast<IWICBitmapDecoder**>(decoder.Out())));
  TComPtr<IWICBitmapFrameDecode> frame;
  Check(decoder->GetFrame(0, reinterpret_cast<IWICBitmapFrameDecode**>(frame.Out())));
  UINT width = 0, height = 0;
  Check(frame->GetSize(&width, &height));
  const uint64_t pixels = uint64_t{width} * height;
  if (pixels == 0 || pixels > kMaxJpegPixels) Fail("it is too large or has no pixels.");
  TComPtr<IWICFormatConverter> converter;
  Check(factory->CreateFormatConverter(reinterpret_cast<IWICFormatConverter**>(converter.Out())));
  Check(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                              nullptr, 0.0, WICBitmapPaletteTypeCustom));
  // Blue, green, red and an unused byte: the platform's colour order reversed.
  std::vector<uint8_t> bgrx(static_cast<size_t>(pixels) * 4);
  Check(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(bgrx.size()), bgrx.data()));
  TBitmap bitmap(static_cast<int>(width), static_cast<int>(height));
  for (UINT y = 0; y < height; ++y)
    for (UINT x = 0; x < width; ++x) {
      const uint8_t* p = &bgrx[(static_cast<size_t>(y) * width + x) * 4];
      bitmap.SetPixel(static_cast<int>(x), static_cast<int>(y), RGB(p[2], p[1], p[0]));
    }
  return bitmap;
}
