// PNG through libpng's simplified interface, GIF through giflib, WebP
// through libwebp, HEIC and AVIF through libheif; JPEG has a file of its
// own, shared with the Windows build.
#include <gif_lib.h>
#include <libheif/heif.h>
#include <png.h>
#include <webp/decode.h>

#include <algorithm>
#include <cstring>

#include "maker/picture_codec.h"
#include "maker/picture_codec_jpeg.h"
#include "maker/picture_format.h"

namespace vidod {
namespace {

constexpr int kRgbaComponents = 4;

// giflib reads through a callback: the file's bytes, from where it stopped.
struct GifBytes {
  const std::vector<uint8_t>* bytes;
  std::size_t at;
};

int ReadGifBytes(GifFileType* gif, GifByteType* into, int wanted) {
  GifBytes* source = static_cast<GifBytes*>(gif->UserData);
  const std::size_t count = std::min(source->bytes->size() - source->at, static_cast<std::size_t>(wanted));
  std::memcpy(into, source->bytes->data() + source->at, count);
  source->at += count;
  return static_cast<int>(count);
}

// Extensions before the first picture (comments, animation settings) are
// passed over whole.
bool SkipGifExtension(GifFileType* gif) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) != GIF_OK) return false;
  while (block)
    if (DGifGetExtensionNext(gif, &block) != GIF_OK) return false;
  return true;
}

// Every line of the first picture; giflib also reads on to the end of its
// data, so a picture cut right after its last pixel is told too.
bool DecodeFirstGifPicture(GifFileType* gif) {
  GifRecordType record = UNDEFINED_RECORD_TYPE;
  while (DGifGetRecordType(gif, &record) == GIF_OK) {
    if (record == EXTENSION_RECORD_TYPE) {
      if (!SkipGifExtension(gif)) return false;
    } else if (record == IMAGE_DESC_RECORD_TYPE) {
      if (DGifGetImageDesc(gif) != GIF_OK || gif->Image.Width <= 0 || gif->Image.Height <= 0) return false;
      std::vector<GifPixelType> line(static_cast<std::size_t>(gif->Image.Width));
      for (int row = 0; row < gif->Image.Height; ++row)
        if (DGifGetLine(gif, line.data(), gif->Image.Width) != GIF_OK) return false;
      return true;
    } else {
      return false;  // the end of the file before any picture
    }
  }
  return false;
}

bool DecodePngWithAlpha(const std::vector<uint8_t>& bytes, RgbaPicture* picture, std::string* problem) {
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
    *problem = "PNG illisible";
    return false;
  }
  image.format = PNG_FORMAT_RGBA;
  picture->width = image.width;
  picture->height = image.height;
  picture->pixels.assign(PNG_IMAGE_SIZE(image), 0);
  if (!png_image_finish_read(&image, nullptr, picture->pixels.data(), 0, nullptr)) {
    png_image_free(&image);
    *problem = "PNG endommagé";
    return false;
  }
  return true;
}

bool DecodeWebp(const std::vector<uint8_t>& bytes, RgbaPicture* picture, std::string* problem) {
  int width = 0, height = 0;
  uint8_t* pixels = WebPDecodeRGBA(bytes.data(), bytes.size(), &width, &height);
  if (!pixels) {
    *problem = "WebP endommagé ou d'une forme que vidod-make ne sait pas lire ; " + HowToGetJpegOrPng("WebP");
    return false;
  }
  picture->width = static_cast<uint32_t>(width);
  picture->height = static_cast<uint32_t>(height);
  picture->pixels.assign(pixels, pixels + std::size_t{picture->width} * picture->height * kRgbaComponents);
  WebPFree(pixels);
  return true;
}

// libheif turns the picture by its own rotation and mirror properties.
bool DecodeHeif(const std::vector<uint8_t>& bytes, const char* formatName, RgbaPicture* picture,
                std::string* problem) {
  heif_context* context = heif_context_alloc();
  heif_image_handle* handle = nullptr;
  heif_image* image = nullptr;
  heif_error error = heif_context_read_from_memory_without_copy(context, bytes.data(), bytes.size(), nullptr);
  if (error.code == heif_error_Ok) error = heif_context_get_primary_image_handle(context, &handle);
  if (error.code == heif_error_Ok)
    error = heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGBA, nullptr);
  int stride = 0;
  const uint8_t* plane = error.code == heif_error_Ok
                             ? heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride)
                             : nullptr;
  if (plane) {
    picture->width = static_cast<uint32_t>(heif_image_get_width(image, heif_channel_interleaved));
    picture->height = static_cast<uint32_t>(heif_image_get_height(image, heif_channel_interleaved));
    const std::size_t rowBytes = std::size_t{picture->width} * kRgbaComponents;
    picture->pixels.resize(rowBytes * picture->height);
    for (uint32_t y = 0; y < picture->height; ++y)
      std::memcpy(&picture->pixels[y * rowBytes], plane + std::size_t{y} * static_cast<std::size_t>(stride), rowBytes);
  } else {
    *problem = std::string(formatName) + " illisible : fichier endommagé, ou d'une forme que vidod-make ne sait pas "
               "décoder ; " + HowToGetJpegOrPng(formatName);
  }
  if (image) heif_image_release(image);
  if (handle) heif_image_handle_release(handle);
  heif_context_free(context);
  return plane != nullptr;
}

}  // namespace

bool DecodeGif(const std::vector<uint8_t>& bytes, std::string* problem) {
  GifBytes source = {&bytes, 0};
  int error = D_GIF_SUCCEEDED;
  GifFileType* gif = DGifOpen(&source, ReadGifBytes, &error);
  if (!gif) {
    *problem = "GIF endommagé : son en-tête est illisible";
    return false;
  }
  const bool decoded = DecodeFirstGifPicture(gif);
  error = gif->Error;
  int closing = D_GIF_SUCCEEDED;
  DGifCloseFile(gif, &closing);
  if (decoded) return true;
  *problem = error == D_GIF_ERR_READ_FAILED || source.at >= bytes.size()
                 ? "GIF tronqué : le fichier s'arrête avant la fin de son image"
                 : "GIF endommagé : les données de son image sont corrompues";
  return false;
}

bool DecodePicturePixels(const std::vector<uint8_t>& bytes, uint32_t minWidth, uint32_t minHeight,
                         RgbaPicture* picture, std::string* problem) {
  const PictureFormat format = DetectPictureFormat(bytes.data(), bytes.size());
  switch (format) {
    case PictureFormat::kJpeg:
      return DecodeJpegPixels(bytes, minWidth, minHeight, picture, problem);
    case PictureFormat::kPng: return DecodePngWithAlpha(bytes, picture, problem);
    case PictureFormat::kWebp: return DecodeWebp(bytes, picture, problem);
    case PictureFormat::kHeic:
    case PictureFormat::kAvif: return DecodeHeif(bytes, PictureFormatName(format), picture, problem);
    case PictureFormat::kGif:
    case PictureFormat::kBmp:
      *problem = std::string("vidod-make ne sait pas redessiner les images ") + PictureFormatName(format) +
                 " : enregistrez-la en PNG";
      return false;
    case PictureFormat::kUnknown: break;
  }
  *problem = "format d'image non reconnu";
  return false;
}

bool EncodePng(const RgbaPicture& picture, bool withAlpha, std::vector<uint8_t>* bytes, std::string* error) {
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  image.width = picture.width;
  image.height = picture.height;
  image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> rgb;
  const void* pixels = picture.pixels.data();
  if (!withAlpha) {
    image.format = PNG_FORMAT_RGB;
    rgb.reserve(picture.pixels.size() / kRgbaComponents * 3);
    for (std::size_t i = 0; i < picture.pixels.size(); i += kRgbaComponents)
      rgb.insert(rgb.end(), &picture.pixels[i], &picture.pixels[i] + 3);
    pixels = rgb.data();
  }
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels, 0, nullptr)) {
    *error = "écriture du PNG impossible";
    return false;
  }
  bytes->assign(size, 0);
  if (!png_image_write_to_memory(&image, bytes->data(), &size, 0, pixels, 0, nullptr)) {
    *error = "écriture du PNG impossible";
    return false;
  }
  bytes->resize(size);
  return true;
}

}  // namespace vidod
