// The decoder of the Windows programs: the system's imaging component, so
// that no decoder of our own is carried in the program.
#include "ui/Jpeg.h"

#include <stdexcept>

#include "ui/win32/Win32Handles.h"

#include <wincodec.h>

namespace {

void Check(HRESULT result) {
  if (FAILED(result)) throw std::runtime_error("it is damaged or not a JPEG picture.");
}

}  // namespace

TBitmap DecodeJpeg(const std::vector<uint8_t>& data) {
  const TComScope com;
  TComPtr<IWICImagingFactory> factory;
  // The JPEG decoder itself: a decoder chosen by the factory from the data
  // would cost a walk through every decoder the system has registered.
  TComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICImagingFactory, factory.Out())) ||
      FAILED(CoCreateInstance(CLSID_WICJpegDecoder, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IWICBitmapDecoder, decoder.Out())))
    throw std::runtime_error("the system's picture decoder is missing.");
  TComPtr<IWICStream> stream;
  Check(factory->CreateStream(reinterpret_cast<IWICStream**>(stream.Out())));
  Check(stream->InitializeFromMemory(const_cast<BYTE*>(data.data()), static_cast<DWORD>(data.size())));
  Check(decoder->Initialize(stream.get(), WICDecodeMetadataCacheOnDemand));
  TComPtr<IWICBitmapFrameDecode> frame;
  Check(decoder->GetFrame(0, reinterpret_cast<IWICBitmapFrameDecode**>(frame.Out())));
  UINT width = 0, height = 0;
  Check(frame->GetSize(&width, &height));
  CheckJpegSize(width, height);
  const size_t pixels = size_t{width} * height;
  TComPtr<IWICFormatConverter> converter;
  Check(factory->CreateFormatConverter(reinterpret_cast<IWICFormatConverter**>(converter.Out())));
  Check(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                              nullptr, 0.0, WICBitmapPaletteTypeCustom));
  // Blue, green, red and an unused byte: the platform's colour order reversed.
  std::vector<uint8_t> bgrx(pixels * 4);
  Check(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(bgrx.size()), bgrx.data()));
  TBitmap bitmap(static_cast<int>(width), static_cast<int>(height));
  for (UINT y = 0; y < height; ++y)
    for (UINT x = 0; x < width; ++x) {
      const uint8_t* p = &bgrx[(static_cast<size_t>(y) * width + x) * 4];
      bitmap.SetPixel(static_cast<int>(x), static_cast<int>(y), RGB(p[2], p[1], p[0]));
    }
  return bitmap;
}
