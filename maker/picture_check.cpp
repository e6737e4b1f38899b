#include "maker/picture_check.h"

#include <cstdio>
#include <limits>

#include "maker/picture_codec.h"
#include "maker/picture_orientation.h"
#include "pictures/bmp_file.h"
#include "pictures/picture_header.h"
#include "pictures/png_decoder.h"

namespace vidod {
namespace {

constexpr std::size_t kBmpFileHeaderBytes = 14;
constexpr std::size_t kBmpBitsOffset = 10;
constexpr uint32_t kBmpCoreHeaderSize = 12;
constexpr uint32_t kBmpInfoHeaderSize = 40;
constexpr uint32_t kBmpUncompressed = 0;
constexpr uint32_t kBmpBitFields = 3;

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

// What the size reading left unsaid about a BMP: a pixel format the
// system knows, and rows that are all there.
std::string BmpProblem(const std::vector<uint8_t>& bytes, const PictureHeader& size) {
  const uint8_t* header = &bytes[kBmpFileHeaderBytes];
  const bool core = LittleEndian32(header) == kBmpCoreHeaderSize;
  if (bytes.size() < kBmpFileHeaderBytes + (core ? kBmpCoreHeaderSize : kBmpInfoHeaderSize))
    return "BMP tronqué dans son en-tête";
  const uint32_t bitCount = LittleEndian16(header + (core ? 10 : 14));
  const uint32_t compression = core ? kBmpUncompressed : LittleEndian32(header + 16);
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
    return "BMP de " + std::to_string(bitCount) + " bits par pixel";
  if (compression != kBmpUncompressed && compression != kBmpBitFields) return std::string();
  const uint64_t stride = (uint64_t{size.width} * bitCount + 31) / 32 * 4;
  const uint64_t end = uint64_t{LittleEndian32(&bytes[kBmpBitsOffset])} + stride * size.height;
  if (end <= bytes.size()) return std::string();
  return "BMP tronqué : ses pixels demandent " + std::to_string(end) + " octets, le fichier en a " +
         std::to_string(bytes.size());
}

std::string PngDecodingProblem(const std::vector<uint8_t>& bytes, const PictureHeader& size, uint32_t* code) {
  if (bytes.size() > std::numeric_limits<uint32_t>::max()) return "PNG de plus de 4 Gio";
  std::vector<uint8_t> bmp;
  *code = ConvertPngToBmp(bytes.data(), static_cast<uint32_t>(bytes.size()), &bmp);
  if (*code == kPngErrorNone) return std::string();
  if (*code == kPngErrorTooLarge)
    return "PNG de " + std::to_string(size.width) + " × " + std::to_string(size.height) + " pixels : " + PngProblem(*code);
  return PngProblem(*code);
}

std::string HeaderProblem(PictureFormat format, int32_t result) {
  const std::string name = PictureFormatName(format);
  switch (result) {
    case kPictureHeaderTruncated:
      return name + " tronqué : le fichier s'arrête avant la taille de l'image";
    case kPictureHeaderNoSize: return name + " de largeur ou de hauteur nulle";
    case kPictureHeaderTooLarge: return name + " d'une taille impossible";
    default: return name + " endommagé : son en-tête est mal formé";
  }
}

}  // namespace

std::string PngProblem(uint32_t code) {
  switch (code) {
    case kPngErrorNotPng:
      return "PNG endommagé ou tronqué : le lecteur ne peut pas en décoder les données d'image";
    case kPngErrorUnsupported:
      return "PNG d'une forme que le lecteur ne sait pas lire (bloc inconnu, ou couleurs d'une profondeur "
             "inhabituelle) : réenregistrez-le en PNG ordinaire, 8 bits par couleur";
    case kPngErrorTooLarge:
      return "le lecteur refuse les PNG de plus de " + std::to_string(kPngMaxPixels / 1000000) +
             " millions de pixels, ou de plus de " + std::to_string(kPngMaxDecodedBytes / 1000000) +
             " Mo une fois décodés : réduisez-le";
    case kPngErrorNoMemory: return "PNG trop grand pour la mémoire disponible";
    default: return "le lecteur ne peut pas décoder ce PNG (" + DescribePngError(code) + ")";
  }
}

std::string HowToGetJpegOrPng(const char* formatName) {
  const std::string format = formatName;
  if (format == "HEIC")
    return "enregistrez-la en JPEG ; pour les photos d'iPhone, choisissez « Le plus compatible » dans Réglages, "
           "Appareil photo, Formats, ou envoyez-les par courriel, qui les change en JPEG";
  return "ouvrez-la dans un navigateur ou un logiciel de dessin (Paint, par exemple) et enregistrez-la en JPEG, "
         "ou en PNG si elle a de la transparence";
}

PictureInspection InspectPicture(const std::vector<uint8_t>& bytes) { return InspectPicture(bytes, 0, 0, nullptr); }

PictureInspection InspectPicture(const std::vector<uint8_t>& bytes, uint32_t minWidth, uint32_t minHeight,
                                 RgbaPicture* pixels) {
  const PictureFormat format = DetectPictureFormat(bytes.data(), bytes.size());
  if (format == PictureFormat::kUnknown)
    return Refused(format, "format d'image non reconnu, JPEG, PNG, GIF, BMP, WebP, HEIC ou AVIF attendu");
  if (!PlayerShowsFormat(format)) {
    // Stored as a JPEG or a PNG: decoded here once to know that it can be.
    RgbaPicture picture;
    std::string problem;
    if (!DecodePicturePixels(bytes, 0, 0, &picture, &problem)) return Refused(format, problem);
    const PictureInspection inspection = Showable(format, picture.width, picture.height);
    if (pixels) *pixels = std::move(picture);
    return inspection;
  }
  PictureHeader size = {};
  const int32_t result = ReadPictureHeader(bytes.data(), bytes.size(), &size);
  if (result != kPictureHeaderOk) return Refused(format, HeaderProblem(format, result));
  std::string problem;
  uint32_t pngError = kPngErrorNone;
  switch (format) {
    case PictureFormat::kJpeg:
      if (pixels)
        DecodePicturePixels(bytes, minWidth, minHeight, pixels, &problem);
      else
        DecodeJpeg(bytes, nullptr, &problem);
      break;
    case PictureFormat::kGif:
      DecodeGif(bytes, &problem);
      break;
    case PictureFormat::kBmp: problem = BmpProblem(bytes, size); break;
    case PictureFormat::kPng: problem = PngDecodingProblem(bytes, size, &pngError); break;
    default: break;
  }
  if (problem.empty()) {
    // Sizes as shown: a photo taken upright is stored on its side.
    const PictureTurn turn = format == PictureFormat::kJpeg
                                 ? TurnOfExifOrientation(ReadJpegOrientation(bytes.data(), bytes.size()))
                                 : PictureTurn{};
    PictureInspection inspection = Showable(format, SwapsSides(turn) ? size.height : size.width,
                                            SwapsSides(turn) ? size.width : size.height);
    inspection.turned = !IsUpright(turn);
    return inspection;
  }
  PictureInspection inspection = Refused(format, problem);
  inspection.pngError = pngError;
  return inspection;
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
