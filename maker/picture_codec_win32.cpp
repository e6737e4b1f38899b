// JPEG and PNG through the system's imaging component (WIC), which decodes
// as the player's picture service does.
#include <windows.h>
#include <wincodec.h>

#include <algorithm>

#include "maker/picture_codec.h"

namespace vidod {
namespace {

constexpr float kJpegQuality = 0.9f;
constexpr UINT kRgbaComponents = 4;
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

// Decodes the first frame of the file into 32-bit RGBA, whole into picture
// or band by band into a scratch buffer when picture is nullptr.
bool DecodeWithSystem(const std::vector<uint8_t>& bytes, RgbaPicture* picture, bool* headerRead) {
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
      decoded = true;
      if (picture) {
        picture->width = width;
        picture->height = height;
        picture->pixels.assign(std::size_t{stride} * height, 0);
        decoded = SUCCEEDED(converter->CopyPixels(nullptr, stride, static_cast<UINT>(picture->pixels.size()),
                                                  picture->pixels.data()));
      } else {
        std::vector<BYTE> band(std::size_t{stride} * kCheckBandRows);
        for (UINT top = 0; decoded && top < height; top += kCheckBandRows) {
          const WICRect rows = {0, static_cast<INT>(top), static_cast<INT>(width),
                                static_cast<INT>(std::min(kCheckBandRows, height - top))};
          decoded = SUCCEEDED(converter->CopyPixels(&rows, stride, static_cast<UINT>(band.size()), band.data()));
        }
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

// Writes the picture through the encoder of the container, as 24-bit BGR or
// 32-bit BGRA pixels.
bool EncodeWithSystem(const GUID& container, const RgbaPicture& picture, bool withAlpha, std::vector<uint8_t>* bytes) {
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
                 SUCCEEDED(factory->CreateEncoder(container, nullptr, &encoder)) &&
                 SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
                 SUCCEEDED(encoder->CreateNewFrame(&frame, &options));
  if (encoded && IsEqualGUID(container, GUID_ContainerFormatJpeg)) {
    PROPBAG2 option = {};
    option.pstrName = const_cast<LPOLESTR>(L"ImageQuality");
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_R4;
    value.fltVal = kJpegQuality;
    options->Write(1, &option, &value);
  }
  encoded = encoded && SUCCEEDED(frame->Initialize(options)) &&
            SUCCEEDED(frame->SetSize(picture.width, picture.height)) && SUCCEEDED(frame->SetPixelFormat(&format)) &&
            IsEqualGUID(format, withAlpha ? GUID_WICPixelFormat32bppBGRA : GUID_WICPixelFormat24bppBGR) &&
            SUCCEEDED(frame->WritePixels(picture.height, stride, static_cast<UINT>(pixels.size()), pixels.data())) &&
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

bool DecodeJpeg(const std::vector<uint8_t>& bytes, RgbaPicture* picture, std::string* problem) {
  bool headerRead = false;
  if (DecodeWithSystem(bytes, picture, &headerRead)) return true;
  *problem = headerRead ? "JPEG tronqué ou endommagé : ses données d'image ne se décodent pas jusqu'au bout"
                        : "JPEG tronqué ou endommagé : Windows ne sait pas le lire";
  return false;
}

bool DecodeGif(const std::vector<uint8_t>& bytes, std::string* problem) {
  bool headerRead = false;
  if (DecodeWithSystem(bytes, nullptr, &headerRead)) return true;
  *problem = headerRead ? "GIF tronqué ou endommagé : les données de son image ne se décodent pas jusqu'au bout"
                        : "GIF tronqué ou endommagé : Windows ne sait pas le lire";
  return false;
}

bool DecodePngWithAlpha(const std::vector<uint8_t>& bytes, RgbaPicture* picture, std::string* problem) {
  bool headerRead = false;
  if (DecodeWithSystem(bytes, picture, &headerRead)) return true;
  *problem = "PNG endommagé";
  return false;
}

bool EncodeJpeg(const RgbaPicture& picture, std::vector<uint8_t>* bytes, std::string* error) {
  if (EncodeWithSystem(GUID_ContainerFormatJpeg, picture, false, bytes)) return true;
  *error = "écriture du JPEG réduit impossible";
  return false;
}

bool EncodePng(const RgbaPicture& picture, bool withAlpha, std::vector<uint8_t>* bytes, std::string* error) {
  if (EncodeWithSystem(GUID_ContainerFormatPng, picture, withAlpha, bytes)) return true;
  *error = "écriture du PNG réduit impossible";
  return false;
}

}  // namespace vidod
