// JPEG through libjpeg-turbo (its TurboJPEG interface for lossless turns),
// PNG through libpng's simplified interface, WebP through libwebp, HEIC and
// AVIF through libheif.
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first

#include <gif_lib.h>
#include <jerror.h>
#include <jpeglib.h>
#include <libheif/heif.h>
#include <png.h>
#include <turbojpeg.h>
#include <webp/decode.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "maker/picture_codec.h"
#include "maker/picture_format.h"
#include "pictures/picture_header.h"

namespace vidod {
namespace {

constexpr int kRgbaComponents = 4;
constexpr unsigned kLargestScaleDenominator = 8;  // libjpeg scales by 1/8, 1/4, 1/2 in the DCT
// A check only needs every block decoded, not drawn: an eighth of the size
// still reads the whole entropy-coded data, for a fraction of the work.
constexpr unsigned kCheckScaleDenominator = 8;

// libjpeg reports fatal errors through error_exit, which must not return:
// the jump goes back to the call that set it. Warnings arrive through
// emit_message with a negative level.
struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  bool truncated;
  bool corrupt;
};

void OnJpegError(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1); }

void OnJpegMessage(j_common_ptr info, int level) {
  if (level >= 0) return;
  JpegErrors* errors = reinterpret_cast<JpegErrors*>(info->err);
  switch (info->err->msg_code) {
    case JWRN_JPEG_EOF: errors->truncated = true; break;
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_BOGUS_PROGRESSION: errors->corrupt = true; break;
    default: break;  // extra bytes between segments and the like: shown all the same
  }
}

struct JpegDecompression {
  jpeg_decompress_struct info;
  JpegErrors errors;
  JpegDecompression() {
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = OnJpegError;
    errors.manager.emit_message = OnJpegMessage;
    errors.truncated = false;
    errors.corrupt = false;
    jpeg_create_decompress(&info);
  }
  ~JpegDecompression() { jpeg_destroy_decompress(&info); }
};

// Runs the decoding; the jump target lives in this frame only, with no
// object that needs destroying between it and the library's calls.
bool RunJpegDecoding(JpegDecompression* jpeg, const std::vector<uint8_t>& bytes, RgbaPicture* picture,
                     unsigned scaleDenominator, std::vector<uint8_t>* row, bool* headerRead) {
  jpeg_decompress_struct* info = &jpeg->info;
  if (setjmp(jpeg->errors.jump)) return false;
  jpeg_mem_src(info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(info, TRUE);
  *headerRead = true;
  if (picture) {
    if (info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK) return false;
    info->out_color_space = JCS_EXT_RGBA;
    info->scale_num = 1;
    info->scale_denom = scaleDenominator;
  } else {
    info->scale_num = 1;
    info->scale_denom = kCheckScaleDenominator;
    info->dct_method = JDCT_IFAST;
    info->do_fancy_upsampling = FALSE;
  }
  jpeg_start_decompress(info);
  const std::size_t rowBytes = std::size_t{info->output_width} * static_cast<std::size_t>(info->output_components);
  if (picture) {
    picture->width = info->output_width;
    picture->height = info->output_height;
    picture->pixels.assign(rowBytes * info->output_height, 0);
  } else {
    row->assign(rowBytes, 0);
  }
  while (info->output_scanline < info->output_height) {
    JSAMPROW target = picture ? &picture->pixels[rowBytes * info->output_scanline] : row->data();
    jpeg_read_scanlines(info, &target, 1);
  }
  jpeg_finish_decompress(info);
  return true;
}

struct JpegCompression {
  jpeg_compress_struct info;
  JpegErrors errors;
  unsigned char* buffer = nullptr;  // the library's, grown as it writes
  unsigned long size = 0;
  JpegCompression() {
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = OnJpegError;
    jpeg_create_compress(&info);
  }
  ~JpegCompression() {
    jpeg_destroy_compress(&info);
    std::free(buffer);
  }
};

bool RunJpegEncoding(JpegCompression* jpeg, const RgbaPicture& picture, int quality) {
  jpeg_compress_struct* info = &jpeg->info;
  if (setjmp(jpeg->errors.jump)) return false;
  jpeg_mem_dest(info, &jpeg->buffer, &jpeg->size);
  info->image_width = picture.width;
  info->image_height = picture.height;
  info->input_components = kRgbaComponents;
  info->in_color_space = JCS_EXT_RGBA;
  jpeg_set_defaults(info);
  jpeg_set_quality(info, quality, TRUE);
  jpeg_start_compress(info, TRUE);
  const std::size_t rowBytes = std::size_t{picture.width} * kRgbaComponents;
  while (info->next_scanline < info->image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(&picture.pixels[rowBytes * info->next_scanline]);
    jpeg_write_scanlines(info, &row, 1);
  }
  jpeg_finish_compress(info);
  return true;
}

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


// The largest of 8, 4, 2 that still gives at least the size wanted, or 1.
unsigned JpegScaleDenominator(const std::vector<uint8_t>& bytes, uint32_t minWidth, uint32_t minHeight) {
  PictureHeader header = {};
  if ((minWidth == 0 && minHeight == 0) || ReadPictureHeader(bytes.data(), bytes.size(), &header) != kPictureHeaderOk)
    return 1;
  for (unsigned denominator = kLargestScaleDenominator; denominator > 1; denominator /= 2)
    if ((header.width + denominator - 1) / denominator >= minWidth &&
        (header.height + denominator - 1) / denominator >= minHeight)
      return denominator;
  return 1;
}

bool DecodeScaledJpeg(const std::vector<uint8_t>& bytes, unsigned scaleDenominator, RgbaPicture* picture,
                      std::string* problem) {
  auto jpeg = std::make_unique<JpegDecompression>();
  std::vector<uint8_t> row;
  bool headerRead = false;
  const bool decoded = RunJpegDecoding(jpeg.get(), bytes, picture, scaleDenominator, &row, &headerRead);
  if (!decoded && headerRead && picture &&
      (jpeg->info.jpeg_color_space == JCS_CMYK || jpeg->info.jpeg_color_space == JCS_YCCK)) {
    *problem = "JPEG en couleurs d'imprimerie (CMJN), que vidod-make ne sait pas redessiner";
    return false;
  }
  if (!decoded || jpeg->errors.truncated) {
    *problem = jpeg->errors.truncated || (headerRead && !decoded)
                   ? "JPEG tronqué ou endommagé : ses données d'image s'arrêtent avant la fin de l'image"
                   : "JPEG endommagé : son en-tête est illisible";
    return false;
  }
  if (jpeg->errors.corrupt) {
    *problem = "JPEG endommagé : ses données d'image sont corrompues, l'image s'afficherait brouillée";
    return false;
  }
  return true;
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

bool DecodeJpeg(const std::vector<uint8_t>& bytes, RgbaPicture* picture, std::string* problem) {
  return DecodeScaledJpeg(bytes, 1, picture, problem);
}

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
      return DecodeScaledJpeg(bytes, JpegScaleDenominator(bytes, minWidth, minHeight), picture, problem);
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

bool EncodeJpeg(const RgbaPicture& picture, int quality, std::vector<uint8_t>* bytes, std::string* error) {
  auto jpeg = std::make_unique<JpegCompression>();
  const bool encoded = RunJpegEncoding(jpeg.get(), picture, quality);
  if (encoded) bytes->assign(jpeg->buffer, jpeg->buffer + jpeg->size);
  else *error = "écriture du JPEG impossible";
  return encoded;
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

// The turns of the TurnJpegLosslessly arguments, by quarter turns, without
// and with the mirror first.
constexpr int kLosslessTurns[2][4] = {{TJXOP_NONE, TJXOP_ROT90, TJXOP_ROT180, TJXOP_ROT270},
                                      {TJXOP_HFLIP, TJXOP_TRANSVERSE, TJXOP_VFLIP, TJXOP_TRANSPOSE}};

bool TurnJpegLosslessly(const std::vector<uint8_t>& bytes, uint8_t quarterTurns, bool mirrored,
                        std::vector<uint8_t>* turned) {
  tjhandle handle = tjInitTransform();
  if (!handle) return false;
  tjtransform transform = {};
  transform.op = kLosslessTurns[mirrored ? 1 : 0][quarterTurns % 4];
  // Perfect: refused where a side is not whole blocks, rather than cut or
  // left with a ragged edge. No markers copied: the orientation tag would
  // turn the picture a second time in any viewer that reads it.
  transform.options = TJXOPT_PERFECT | TJXOPT_COPYNONE;
  unsigned char* output = nullptr;
  unsigned long outputSize = 0;
  const bool done = tjTransform(handle, bytes.data(), static_cast<unsigned long>(bytes.size()), 1, &output,
                                &outputSize, &transform, 0) == 0;
  if (done) turned->assign(output, output + outputSize);
  tjFree(output);
  tjDestroy(handle);
  return done;
}

}  // namespace vidod
