#include "maker/picture_check.h"

#include <cstdio>
#include <limits>

#include "maker/picture_codec.h"
#include "pictures/bmp_file.h"
#include "pictures/png_decoder.h"

namespace vidod {
namespace {

// JPEG markers: every segment starts with 0xFF and a marker byte; the
// start-of-frame segments (0xC0 to 0xCF but for 0xC4, 0xC8 and 0xCC) carry
// the height then the width.
constexpr uint8_t kJpegMarkerLead = 0xFF;
constexpr uint8_t kJpegStartOfScan = 0xDA;
constexpr uint8_t kJpegEndOfImage = 0xD9;
constexpr uint8_t kJpegFirstFrame = 0xC0;
constexpr uint8_t kJpegLastFrame = 0xCF;
constexpr uint8_t kJpegHuffmanTables = 0xC4;
constexpr uint8_t kJpegReserved = 0xC8;
constexpr uint8_t kJpegArithmeticConditioning = 0xCC;
constexpr uint8_t kJpegFirstRestart = 0xD0;
constexpr uint8_t kJpegLastRestart = 0xD7;
constexpr uint8_t kJpegTemporary = 0x01;
constexpr std::size_t kJpegSignatureSize = 2;
constexpr std::size_t kJpegFrameSizeOffset = 3;  // from the segment length field

constexpr std::size_t kGifScreenOffset = 6;
constexpr std::size_t kGifScreenFlagsOffset = 10;
constexpr std::size_t kGifHeaderAndScreenSize = 13;
constexpr std::size_t kGifImageDescriptorSize = 9;  // after its introducer
constexpr uint8_t kGifExtension = 0x21;
constexpr uint8_t kGifImage = 0x2C;
constexpr uint8_t kGifColourTableFlag = 0x80;
constexpr uint8_t kGifColourTableSizeMask = 0x07;

constexpr std::size_t kBmpFileHeaderBytes = 14;
constexpr std::size_t kBmpCoreHeaderSize = 12;
constexpr std::size_t kBmpInfoHeaderSize = 40;
constexpr uint32_t kBmpUncompressed = 0;
constexpr uint32_t kBmpBitFields = 3;

uint32_t BigEndian16(const uint8_t* at) { return (uint32_t{at[0]} << 8) | at[1]; }
uint32_t LittleEndian16(const uint8_t* at) { return uint32_t{at[0]} | (uint32_t{at[1]} << 8); }
uint32_t LittleEndian32(const uint8_t* at) { return LittleEndian16(at) | (LittleEndian16(at + 2) << 16); }

PictureInspection Refused(PictureFormat format, const std::string& problem) {
  PictureInspection inspection;
  inspection.format = format;
  inspection.problem = problem;
  return inspection;
}

PictureInspection Showable(PictureFormat format, uint32_t width, uint32_t height) {
  PictureInspection inspection;
  inspection.format = format;
  inspection.showable = true;
  inspection.width = width;
  inspection.height = height;
  return inspection;
}

bool IsJpegFrameMarker(uint8_t marker) {
  return marker >= kJpegFirstFrame && marker <= kJpegLastFrame && marker != kJpegHuffmanTables &&
         marker != kJpegReserved && marker != kJpegArithmeticConditioning;
}

PictureInspection InspectJpeg(const std::vector<uint8_t>& bytes) {
  std::size_t at = kJpegSignatureSize;
  while (at < bytes.size()) {
    if (bytes[at] != kJpegMarkerLead) return Refused(PictureFormat::kJpeg, "JPEG endommagé : segment mal formé");
    while (at < bytes.size() && bytes[at] == kJpegMarkerLead) ++at;  // fill bytes
    if (at >= bytes.size()) break;
    const uint8_t marker = bytes[at++];
    if ((marker >= kJpegFirstRestart && marker <= kJpegLastRestart) || marker == kJpegTemporary) continue;
    if (marker == kJpegStartOfScan || marker == kJpegEndOfImage) break;
    if (bytes.size() - at < 2) break;
    const std::size_t length = BigEndian16(&bytes[at]);
    if (length < 2 || bytes.size() - at < length) break;
    if (IsJpegFrameMarker(marker)) {
      if (length < kJpegFrameSizeOffset + 4)
        return Refused(PictureFormat::kJpeg, "JPEG endommagé : en-tête d'image trop court");
      const uint32_t height = BigEndian16(&bytes[at + kJpegFrameSizeOffset]);
      const uint32_t width = BigEndian16(&bytes[at + kJpegFrameSizeOffset + 2]);
      if (width == 0 || height == 0)
        return Refused(PictureFormat::kJpeg, "JPEG sans largeur ou sans hauteur dans son en-tête");
      std::string problem;
      if (!DecodeJpeg(bytes, nullptr, &problem)) return Refused(PictureFormat::kJpeg, problem);
      return Showable(PictureFormat::kJpeg, width, height);
    }
    at += length;
  }
  return Refused(PictureFormat::kJpeg, "JPEG tronqué ou endommagé : sa taille est introuvable");
}

// The blocks of a GIF walked up to the end of its first picture: a file cut
// short inside it shows nothing. The compressed pixels themselves are not
// decoded.
bool GifReachesItsFirstPicture(const std::vector<uint8_t>& bytes) {
  std::size_t at = kGifHeaderAndScreenSize;
  const auto skipColourTable = [&at](uint8_t flags) {
    if (flags & kGifColourTableFlag) at += 3u * (2u << (flags & kGifColourTableSizeMask));
  };
  const auto skipSubBlocks = [&bytes, &at]() {
    while (at < bytes.size() && bytes[at] != 0) at += 1u + bytes[at];
    if (at >= bytes.size()) return false;
    ++at;
    return true;
  };
  skipColourTable(bytes[kGifScreenFlagsOffset]);
  while (at < bytes.size()) {
    const uint8_t introducer = bytes[at++];
    if (introducer == kGifExtension) {
      ++at;  // label
      if (!skipSubBlocks()) return false;
    } else if (introducer == kGifImage) {
      if (bytes.size() - at < kGifImageDescriptorSize) return false;
      const uint8_t flags = bytes[at + kGifImageDescriptorSize - 1];
      at += kGifImageDescriptorSize;
      skipColourTable(flags);
      ++at;  // smallest code size
      return at < bytes.size() && skipSubBlocks();
    } else {
      return false;  // the trailer, or no block at all, before any picture
    }
  }
  return false;
}

PictureInspection InspectGif(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < kGifHeaderAndScreenSize)
    return Refused(PictureFormat::kGif, "GIF tronqué : " + std::to_string(bytes.size()) + " octets");
  const uint32_t width = LittleEndian16(&bytes[kGifScreenOffset]);
  const uint32_t height = LittleEndian16(&bytes[kGifScreenOffset + 2]);
  if (width == 0 || height == 0) return Refused(PictureFormat::kGif, "GIF de largeur ou de hauteur nulle");
  if (!GifReachesItsFirstPicture(bytes))
    return Refused(PictureFormat::kGif, "GIF tronqué ou endommagé : le fichier s'arrête avant la fin de son image");
  return Showable(PictureFormat::kGif, width, height);
}

PictureInspection InspectBmp(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < kBmpFileHeaderBytes + kBmpCoreHeaderSize)
    return Refused(PictureFormat::kBmp, "BMP tronqué : " + std::to_string(bytes.size()) + " octets");
  const uint32_t headerSize = LittleEndian32(&bytes[kBmpFileHeaderBytes]);
  const uint32_t bitsOffset = LittleEndian32(&bytes[10]);
  const uint8_t* header = &bytes[kBmpFileHeaderBytes];
  if (headerSize != kBmpCoreHeaderSize && headerSize < kBmpInfoHeaderSize)
    return Refused(PictureFormat::kBmp, "BMP d'un en-tête inconnu (" + std::to_string(headerSize) + " octets)");
  if (bytes.size() - kBmpFileHeaderBytes < headerSize) return Refused(PictureFormat::kBmp, "BMP tronqué dans son en-tête");

  int64_t width = 0, height = 0;
  uint32_t bitCount = 0, compression = kBmpUncompressed;
  if (headerSize == kBmpCoreHeaderSize) {
    width = LittleEndian16(header + 4);
    height = LittleEndian16(header + 6);
    bitCount = LittleEndian16(header + 10);
  } else {
    width = static_cast<int32_t>(LittleEndian32(header + 4));
    height = static_cast<int32_t>(LittleEndian32(header + 8));
    bitCount = LittleEndian16(header + 14);
    compression = LittleEndian32(header + 16);
  }
  if (height < 0) height = -height;  // rows stored top-down
  if (width <= 0 || height == 0) return Refused(PictureFormat::kBmp, "BMP de largeur ou de hauteur nulle");
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
    return Refused(PictureFormat::kBmp, "BMP de " + std::to_string(bitCount) + " bits par pixel");
  if (compression == kBmpUncompressed || compression == kBmpBitFields) {
    const uint64_t stride = (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
    const uint64_t end = uint64_t{bitsOffset} + stride * static_cast<uint64_t>(height);
    if (end > bytes.size())
      return Refused(PictureFormat::kBmp, "BMP tronqué : ses pixels demandent " + std::to_string(end) +
                                              " octets, le fichier en a " + std::to_string(bytes.size()));
  }
  return Showable(PictureFormat::kBmp, static_cast<uint32_t>(width), static_cast<uint32_t>(height));
}

PictureInspection InspectPng(const std::vector<uint8_t>& bytes) {
  if (bytes.size() > std::numeric_limits<uint32_t>::max())
    return Refused(PictureFormat::kPng, "PNG de plus de 4 Gio");
  std::vector<uint8_t> bmp;
  const uint32_t code = ConvertPngToBmp(bytes.data(), static_cast<uint32_t>(bytes.size()), &bmp);
  if (code != kPngErrorNone) {
    PictureInspection inspection = Refused(PictureFormat::kPng, PngProblem(code));
    inspection.pngError = code;
    return inspection;
  }
  // The .bmp file holds the decoder's header as it is: width, then the
  // height, negative for top-down rows.
  const uint32_t width = LittleEndian32(&bmp[kBmpFileHeaderBytes + 4]);
  const int32_t height = static_cast<int32_t>(LittleEndian32(&bmp[kBmpFileHeaderBytes + 8]));
  return Showable(PictureFormat::kPng, width, static_cast<uint32_t>(height < 0 ? -int64_t{height} : height));
}

}  // namespace

std::string PngProblem(uint32_t code) {
  switch (code) {
    case kPngErrorNotPng:
      return "PNG endommagé ou tronqué : le lecteur ne peut pas en décoder les données d'image";
    case kPngErrorUnsupported:
      return "PNG d'une forme que le lecteur ne sait pas lire (bloc inconnu, ou couleurs d'une profondeur "
             "inhabituelle) : réenregistrez-le en PNG ordinaire, 8 bits par couleur";
    case kPngErrorTooLarge: return "PNG trop grand pour le lecteur";
    case kPngErrorNoMemory: return "PNG trop grand pour la mémoire disponible";
    default: return "le lecteur ne peut pas décoder ce PNG (" + DescribePngError(code) + ")";
  }
}

PictureInspection InspectPicture(const std::vector<uint8_t>& bytes) {
  switch (DetectPictureFormat(bytes.data(), bytes.size())) {
    case PictureFormat::kJpeg: return InspectJpeg(bytes);
    case PictureFormat::kGif: return InspectGif(bytes);
    case PictureFormat::kBmp: return InspectBmp(bytes);
    case PictureFormat::kPng: return InspectPng(bytes);
    case PictureFormat::kUnknown: break;
  }
  return Refused(PictureFormat::kUnknown, "format d'image non reconnu, JPEG, GIF, BMP ou PNG attendu");
}

std::string DescribePngError(uint32_t code) {
  const char* meaning = "code inconnu";
  switch (code) {
    case kPngErrorNone: meaning = "aucune erreur"; break;
    case kPngErrorSourceInUse: meaning = "décodeur déjà occupé"; break;
    case kPngErrorNotPng:
      meaning = "pas un PNG, ou données d'image endommagées ou absentes";
      break;
    case kPngErrorUnsupported:
      meaning = "bloc critique inconnu, profondeur de couleur non prise en charge ou image indexée sans palette";
      break;
    case kPngErrorWrongState: meaning = "étape du décodage appelée hors de son ordre"; break;
    case kPngErrorTooLarge: meaning = "image trop grande"; break;
    case kPngErrorNoMemory: meaning = "mémoire insuffisante"; break;
    case kPngErrorNoBitmap: meaning = "pas de mémoire d'image à remplir"; break;
    case kPngErrorNoResource: meaning = "ressource absente"; break;
    case kPngErrorResourceUnloaded: meaning = "ressource vide ou illisible"; break;
  }
  char number[16];
  std::snprintf(number, sizeof number, "0x%04X", static_cast<unsigned>(code));
  return std::string(number) + " (" + meaning + ")";
}

}  // namespace vidod
