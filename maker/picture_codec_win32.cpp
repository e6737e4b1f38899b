// Pictures other than JPEG through the system's imaging component (WIC),
// which decodes as the player's picture service does, and WebP, HEIC and
// AVIF where the machine has their decoders. JPEG goes through the file
// shared with the native build, whose decoder scales in the DCT.
#include <windows.h>
#include <wincodec.h>

#include <algorithm>

#include "maker/picture_codec.h"
#include "maker/picture_codec_jpeg.h"
#include "maker/picture_format.h"

// Scaled decoding in the decoder. Some SDK headers leave it out.
#ifndef __IWICBitmapSourceTransform_INTERFACE_DEFINED__
#define __IWICBitmapSourceTransform_INTERFACE_DEFINED__
MIDL_INTERFACE("3b16811b-6a43-4ec9-b713-3d5a0c13b940")
IWICBitmapSourceTransform : public IUnknown {
 public:
  virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT width, UINT height,
                                               WICPixelFormatGUID* format, WICBitmapTransformOptions transform,
                                               UINT stride, UINT bufferSize, BYTE* buffer) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) = 0;
  virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform, BOOL* supported) = 0;
};
#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(IWICBitmapSourceTransform, 0x3b16811b, 0x6a43, 0x4ec9, 0xb7, 0x13, 0x3d, 0x5a, 0x0c, 0x13, 0xb9, 0x40)
#endif
#endif

namespace vidod {
namespace {

constexpr UINT kRgbaComponents = 4;
constexpr UINT kLargestScaleDenominator = 8;
// The check copies the pixels in bands, so that a large photo is decoded
// whole without being held whole.
constexpr UINT kCheckBandRows = 64;

// One use of COM on this thread, ended with the object.
struct ComUse {
  bool initialised;
  ComUse() : initialised(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComUse() {
    if (initialised) CoUninitialize();
  }
};

template <typename T>
void Release(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

IWICImagingFactory* CreateFactory() {
  IWICImagingFactory* factory = nullptr;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              reinterpret_cast<void**>(&factory))))
    return nullptr;
  return factory;
}

// Decodes every pixel of the first frame, band by band into a scratch
// buffer: a large picture is decoded whole without being held whole.
bool DecodeWithSystem(const std::vector<uint8_t>& bytes, bool* headerRead) {
  ComUse com;
  IWICImagingFactory* factory = CreateFactory();
  IWICStream* stream = nullptr;
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  IWICFormatConverter* converter = nullptr;
  bool decoded = false;
  UINT width = 0, height = 0;
  if (factory && SUCCEEDED(factory->CreateStream(&stream)) &&
      SUCCEEDED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()))) &&
      SUCCEEDED(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand, &decoder)) &&
      SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(frame->GetSize(&width, &height))) {
    *headerRead = true;
    if (SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppRGBA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                        WICBitmapPaletteTypeCustom))) {
      const UINT stride = width * kRgbaComponents;
      std::vector<BYTE> band(std::size_t{stride} * kCheckBandRows);
      decoded = true;
      for (UINT top = 0; decoded && top < height; top += kCheckBandRows) {
        const WICRect rows = {0, static_cast<INT>(top), static_cast<INT>(width),
                              static_cast<INT>(std::min(kCheckBandRows, height - top))};
        decoded = SUCCEEDED(converter->CopyPixels(&rows, stride, static_cast<UINT>(band.size()), band.data()));
      }
    }
  }
  Release(converter);
  Release(frame);
  Release(decoder);
  Release(stream);
  Release(factory);
  return decoded;
}

// The smallest of 1/8, 1/4, 1/2 of the picture that is still at least
// minWidth x minHeight, or its whole size.
void ScaledSize(UINT width, UINT height, uint32_t minWidth, uint32_t minHeight, UINT* scaledWidth,
                UINT* scaledHeight) {
  *scaledWidth = width;
  *scaledHeight = height;
  if (minWidth == 0 && minHeight == 0) return;
  for (UINT denominator = kLargestScaleDenominator; denominator > 1; denominator /= 2) {
    const UINT w = (width + denominator - 1) / denominator, h = (height + denominator - 1) / denominator;
    if (w >= minWidth && h >= minHeight) {
      *scaledWidth = w;
      *scaledHeight = h;
      return;
    }
  }
}

// The frame's pixels at the scaled size: by the decoder itself where it
// offers that size, else through a scaler reading the whole picture; then
// as 32-bit RGBA.
HRESULT CopyScaled(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, UINT width, UINT height,
                   RgbaPicture* picture) {
  IWICBitmapSource* source = frame;
  source->AddRef();
  IWICBitmapSourceTransform* transform = nullptr;
  UINT fullWidth = 0, fullHeight = 0;
  frame->GetSize(&fullWidth, &fullHeight);
  if ((width != fullWidth || height != fullHeight) &&
      SUCCEEDED(frame->QueryInterface(__uuidof(IWICBitmapSourceTransform), reinterpret_cast<void**>(&transform)))) {
    UINT closestWidth = width, closestHeight = height;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppRGBA;
    if (SUCCEEDED(transform->GetClosestSize(&closestWidth, &closestHeight)) && closestWidth >= width &&
        closestHeight >= height && SUCCEEDED(transform->GetClosestPixelFormat(&format)) &&
        IsEqualGUID(format, GUID_WICPixelFormat32bppRGBA)) {
      picture->width = closestWidth;
      picture->height = closestHeight;
      picture->pixels.assign(std::size_t{closestWidth} * closestHeight * kRgbaComponents, 0);
      const HRESULT copied =
          transform->CopyPixels(nullptr, closestWidth, closestHeight, &format, WICBitmapTransformRotate0,
                                closestWidth * kRgbaComponents, static_cast<UINT>(picture->pixels.size()),
                                picture->pixels.data());
      transform->Release();
      source->Release();
      return copied;
    }
    transform->Release();
  }
  IWICBitmapScaler* scaler = nullptr;
  if ((width != fullWidth || height != fullHeight) && SUCCEEDED(factory->CreateBitmapScaler(&scaler)) &&
      SUCCEEDED(scaler->Initialize(frame, width, height, WICBitmapInterpolationModeFant))) {
    source->Release();
    source = scaler;
  } else if (scaler) {
    scaler->Release();
  }
  IWICFormatConverter* converter = nullptr;
  HRESULT result = factory->CreateFormatConverter(&converter);
  if (SUCCEEDED(result))
    result = converter->Initialize(source, GUID_WICPixelFormat32bppRGBA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom);
  if (SUCCEEDED(result)) {
    picture->width = width;
    picture->height = height;
    picture->pixels.assign(std::size_t{width} * height * kRgbaComponents, 0);
    result = converter->CopyPixels(nullptr, width * kRgbaComponents, static_cast<UINT>(picture->pixels.size()),
                                   picture->pixels.data());
  }
  if (converter) converter->Release();
  source->Release();
  return result;
}

// Writes the picture through the PNG encoder, as 24-bit BGR or 32-bit BGRA
// pixels.
bool EncodePngWithSystem(const RgbaPicture& picture, bool withAlpha, std::vector<uint8_t>* bytes) {
  const UINT components = withAlpha ? 4 : 3;
  const UINT stride = (picture.width * components + 3) / 4 * 4;
  std::vector<BYTE> pixels(std::size_t{stride} * picture.height);
  for (UINT y = 0; y < picture.height; ++y) {
    for (UINT x = 0; x < picture.width; ++x) {
      const uint8_t* from = &picture.pixels[(std::size_t{y} * picture.width + x) * kRgbaComponents];
      BYTE* to = &pixels[std::size_t{y} * stride + std::size_t{x} * components];
      to[0] = from[2];
      to[1] = from[1];
      to[2] = from[0];
      if (withAlpha) to[3] = from[3];
    }
  }

  ComUse com;
  IWICImagingFactory* factory = CreateFactory();
  IStream* stream = nullptr;
  IWICBitmapEncoder* encoder = nullptr;
  IWICBitmapFrameEncode* frame = nullptr;
  IPropertyBag2* options = nullptr;
  WICPixelFormatGUID format = withAlpha ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR;
  bool encoded = factory && SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) &&
                 SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
                 SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
                 SUCCEEDED(encoder->CreateNewFrame(&frame, &options)) && SUCCEEDED(frame->Initialize(options)) &&
                 SUCCEEDED(frame->SetSize(picture.width, picture.height)) &&
                 SUCCEEDED(frame->SetPixelFormat(&format)) &&
                 IsEqualGUID(format, withAlpha ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR) &&
                 SUCCEEDED(frame->WritePixels(picture.height, stride, static_cast<UINT>(pixels.size()),
                                              pixels.data())) &&
                 SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
  STATSTG status = {};
  HGLOBAL memory = nullptr;
  if (encoded && SUCCEEDED(stream->Stat(&status, STATFLAG_NONAME)) && SUCCEEDED(GetHGlobalFromStream(stream, &memory))) {
    const BYTE* written = static_cast<const BYTE*>(GlobalLock(memory));
    encoded = written != nullptr;
    if (written) bytes->assign(written, written + status.cbSize.QuadPart);
    GlobalUnlock(memory);
  } else {
    encoded = false;
  }
  Release(options);
  Release(frame);
  Release(encoder);
  Release(stream);
  Release(factory);
  return encoded;
}

}  // namespace

bool DecodeGif(const std::vector<uint8_t>& bytes, std::string* problem) {
  bool headerRead = false;
  if (DecodeWithSystem(bytes, &headerRead)) return true;
  *problem = headerRead ? "GIF tronqué ou endommagé : les données de son image ne se décodent pas jusqu'au bout"
                        : "GIF tronqué ou endommagé : Windows ne sait pas le lire";
  return false;
}

namespace {

// The system's own extension that decodes the format, by its name in the
// store.
const char* WindowsImageExtension(PictureFormat format) {
  switch (format) {
    case PictureFormat::kWebp: return "Extensions d'image WebP";
    case PictureFormat::kAvif: return "Extension AV1";
    default: return "Extensions d'image HEIF";
  }
}

}  // namespace

bool DecodePicturePixels(const std::vector<uint8_t>& bytes, uint32_t minWidth, uint32_t minHeight,
                         RgbaPicture* picture, std::string* problem) {
  const PictureFormat format = DetectPictureFormat(bytes.data(), bytes.size());
  if (format == PictureFormat::kJpeg) return DecodeJpegPixels(bytes, minWidth, minHeight, picture, problem);
  ComUse com;
  IWICImagingFactory* factory = CreateFactory();
  IWICStream* stream = nullptr;
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  HRESULT result = factory ? factory->CreateStream(&stream) : E_FAIL;
  if (SUCCEEDED(result))
    result = stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
  if (SUCCEEDED(result))
    result = factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand, &decoder);
  const bool noDecoder = result == WINCODEC_ERR_COMPONENTNOTFOUND;
  if (SUCCEEDED(result)) result = decoder->GetFrame(0, &frame);
  UINT width = 0, height = 0;
  if (SUCCEEDED(result)) result = frame->GetSize(&width, &height);
  if (SUCCEEDED(result)) {
    UINT scaledWidth = width, scaledHeight = height;
    ScaledSize(width, height, minWidth, minHeight, &scaledWidth, &scaledHeight);
    result = CopyScaled(factory, frame, scaledWidth, scaledHeight, picture);
  }
  Release(frame);
  Release(decoder);
  Release(stream);
  Release(factory);
  if (SUCCEEDED(result)) return true;
  const char* name = PictureFormatName(format);
  if (!PlayerShowsFormat(format) && noDecoder)
    *problem = std::string("Windows n'a pas de décodeur d'images ") + name + " sur cet ordinateur : installez « " +
               WindowsImageExtension(format) + " » depuis le Microsoft Store, puis recommencez ; ou bien " +
               HowToGetJpegOrPng(name);
  else if (!PlayerShowsFormat(format))
    *problem = std::string(name) + " illisible ; " + HowToGetJpegOrPng(name);
  else
    *problem = std::string(name) + " tronqué ou endommagé : ses données d'image ne se décodent pas jusqu'au bout";
  return false;
}

bool EncodePng(const RgbaPicture& picture, bool withAlpha, std::vector<uint8_t>* bytes, std::string* error) {
  if (EncodePngWithSystem(picture, withAlpha, bytes)) return true;
  *error = "écriture du PNG impossible";
  return false;
}

}  // namespace vidod
