// JPEG through libjpeg-turbo, natively and in the Windows build alike:
// decoding scaled in the DCT, encoding, and quarter turns of whole blocks
// through its TurboJPEG interface.
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first

#include <jerror.h>
#include <jpeglib.h>
#include <turbojpeg.h>

#include <csetjmp>
#include <cstdlib>
#include <memory>

#include "maker/picture_codec.h"
#include "maker/picture_codec_jpeg.h"
#include "pictures/picture_header.h"

namespace vidod {
namespace {

constexpr int kRgbaComponents = 4;
constexpr unsigned kLargestScaleDenominator = 8;  // libjpeg scales by 1/8, 1/4, 1/2 in the DCT
// A check only needs every block decoded, not drawn: an eighth of the size
// still reads the whole entropy-coded data, for a fraction of the work.
constexpr unsigned kCheckScaleDenominator = 8;

// libjpeg reports fatal errors through error_exit, which must not return:
// the jump goes back to the call that set it, across the library's C frames
// only (MinGW's longjmp unwinds them by their tables, which the same
// compiler wrote), never across an object with a destructor. Warnings
// arrive through emit_message with a negative level.
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

}  // namespace

bool DecodeJpegPixels(const std::vector<uint8_t>& bytes, uint32_t minWidth, uint32_t minHeight,
                      RgbaPicture* picture, std::string* problem) {
  return DecodeScaledJpeg(bytes, JpegScaleDenominator(bytes, minWidth, minHeight), picture, problem);
}

bool DecodeJpeg(const std::vector<uint8_t>& bytes, RgbaPicture* picture, std::string* problem) {
  return DecodeScaledJpeg(bytes, 1, picture, problem);
}

bool EncodeJpeg(const RgbaPicture& picture, int quality, std::vector<uint8_t>* bytes, std::string* error) {
  auto jpeg = std::make_unique<JpegCompression>();
  const bool encoded = RunJpegEncoding(jpeg.get(), picture, quality);
  if (encoded) bytes->assign(jpeg->buffer, jpeg->buffer + jpeg->size);
  else *error = "écriture du JPEG impossible";
  return encoded;
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
