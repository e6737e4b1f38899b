// JPEG through libjpeg-turbo, PNG through libpng's simplified interface.
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first

#include <gif_lib.h>
#include <jerror.h>
#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "maker/picture_codec.h"

namespace vidod {
namespace {

constexpr int kJpegQuality = 90;
constexpr int kRgbaComponents = 4;
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
                     std::vector<uint8_t>* row, bool* headerRead) {
  jpeg_decompress_struct* info = &jpeg->info;
  if (setjmp(jpeg->errors.jump)) return false;
  jpeg_mem_src(info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(info, TRUE);
  *headerRead = true;
  if (picture) {
    if (info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK) return false;
    info->out_color_space = JCS_EXT_RGBA;
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

bool RunJpegEncoding(JpegCompression* jpeg, const RgbaPicture& picture) {
  jpeg_compress_struct* info = &jpeg->info;
  if (setjmp(jpeg->errors.jump)) return false;
  jpeg_mem_dest(info, &jpeg->buffer, &jpeg->size);
  info->image_width = picture.width;
  info->image_height = picture.height;
  info->input_components = kRgbaComponents;
  info->in_color_space = JCS_EXT_RGBA;
  jpeg_set_defaults(info);
  jpeg_set_quality(info, kJpegQuality, TRUE);
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

}  // namespace

bool DecodeJpeg(const std::vector<uint8_t>& bytes, RgbaPicture* picture, std::string* problem) {
  auto jpeg = std::make_unique<JpegDecompression>();
  std::vector<uint8_t> row;
  bool headerRead = false;
  const bool decoded = RunJpegDecoding(jpeg.get(), bytes, picture, &row, &headerRead);
  if (!decoded && headerRead && picture &&
      (jpeg->info.jpeg_color_space == JCS_CMYK || jpeg->info.jpeg_color_space == JCS_YCCK)) {
    *problem = "JPEG en couleurs d'imprimerie (CMJN), que vidod-make ne sait pas réduire";
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

bool EncodeJpeg(const RgbaPicture& picture, std::vector<uint8_t>* bytes, std::string* error) {
  auto jpeg = std::make_unique<JpegCompression>();
  const bool encoded = RunJpegEncoding(jpeg.get(), picture);
  if (encoded) bytes->assign(jpeg->buffer, jpeg->buffer + jpeg->size);
  else *error = "écriture du JPEG réduit impossible";
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
    *error = "écriture du PNG réduit impossible";
    return false;
  }
  bytes->assign(size, 0);
  if (!png_image_write_to_memory(&image, bytes->data(), &size, 0, pixels, 0, nullptr)) {
    *error = "écriture du PNG réduit impossible";
    return false;
  }
  bytes->resize(size);
  return true;
}

}  // namespace vidod
