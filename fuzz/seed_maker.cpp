// Writes the seed inputs of every fuzz target into <out>/<target>/, from
// quiz-like texts, the LZW encoder, zlib, the PNG suite, quiz sources and
// the small executables of the maker's tests. fuzz.sh --seeds
// then keeps, with libFuzzer's merge, only those that add coverage to the
// repository corpus.
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "lzw/lzw.h"
#include "maker/pe_resources.h"
#include "test_executable.h"

namespace vidod {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

constexpr uint8_t kWholeStreamLayout = 0x3F;
constexpr uint8_t kSmallChunksWithEmptiesLayout = 0x47;
constexpr uint8_t kMixedCaseLayout = 0x9F;
constexpr std::size_t kMaxInflatedSeed = 0xFFFF;
constexpr std::size_t kLongTextSize = 6000;
// Random bytes add a dictionary string for almost every byte, so this many
// fill the 4096 slots and make the encoder write a reset. Only the decoder
// gets them: encoding them scans lookup lists of thousands of strings per
// byte, half a second per input under the sanitizers.
constexpr std::size_t kResetBytesSize = 4500;

Bytes FromText(const std::string& text) { return Bytes(text.begin(), text.end()); }

void Write(const fs::path& directory, const std::string& name, const Bytes& bytes) {
  fs::create_directories(directory);
  std::ofstream out(directory / name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An empty text stands for a missing resource.
Bytes LzwPacked(const Bytes& plain) {
  if (plain.empty()) return {};
  uint8_t* output = nullptr;
  uint32_t reported = 0;
  const int32_t result =
      LzwEncoder::Encode(plain.data(), static_cast<uint32_t>(plain.size()), &output, &reported);
  fuzz::Check(result == kLzwOk, "seed text encodes");
  Bytes packed(output, output + reported - 1);
  LzwReleaseOutput(output);
  return packed;
}

// --- Quiz blobs ---------------------------------------------------------

struct Question {
  std::string answer1;
  std::string answer2;
  std::string reveal;
};

struct Quiz {
  uint8_t pictureByte;
  uint8_t perQuestion;
  uint8_t quizType;
  std::vector<Question> questions;
};

std::string Field(const std::string& text) { return text + "|"; }

Bytes AnswersBlob(const Quiz& quiz) {
  std::string blob = {'\0', static_cast<char>(quiz.pictureByte),
                      static_cast<char>(quiz.questions.size()),
                      static_cast<char>(quiz.perQuestion)};
  blob += Field("Drapeaux d'Europe et d'ailleurs") + Field("\xC9quipe Vidod") +
          Field(
              "Tapez le nom du pays, puis Entr\xE9"
              "e.") +
          Field("Pays") + Field("Capitale");
  for (const Question& question : quiz.questions) {
    blob += Field(question.answer1);
    if (quiz.perQuestion == 2) blob += Field(question.answer2);
    blob += Field("note");
  }
  blob += static_cast<char>(quiz.quizType);
  if (quiz.quizType == 2 || quiz.quizType == 3 || quiz.quizType == 4) {
    for (const Question& question : quiz.questions) {
      blob += Field(question.reveal);
      if (quiz.quizType == 3) blob += Field("inutilis\xE9");
    }
  }
  blob += std::string{40, 90, static_cast<char>(160)};
  return FromText(blob);
}

Bytes CodesBlob(std::size_t count) {
  std::string codes;
  for (std::size_t k = 1; k <= count; ++k) codes += "DRAP-" + std::to_string(k) + "\r\n";
  return FromText(codes);
}

const std::vector<Question> kFlags = {
    {"France", "Paris", "Capitale : Paris"},
    {"Italie", "Rome", "Capitale : Rome"},
    {"Belgique", "Bruxelles", "Capitale : Bruxelles"},
    {"Allemagne", "Berlin", "Capitale : Berlin"},
    {"Irlande", "Dublin", "Capitale : Dublin"},
    {"Pays-Bas", "Amsterdam", "Capitale : Amsterdam"},
    {"Autriche", "Vienne", "Capitale : Vienne"},
    {"Pologne", "Varsovie", "Capitale : Varsovie"},
    {"Japon", "Tokyo", "Capitale : Tokyo"},
    {"Russie", "Moscou", "Capitale : Moscou"},
    {"Su\xE8"
     "de",
     "Stockholm", "Capitale : Stockholm"},
    {"Gr\xE8"
     "ce",
     "Ath\xE8"
     "nes",
     "Capitale : Ath\xE8"
     "nes"},
};

std::vector<Quiz> SampleQuizzes() {
  const std::vector<Question> two(kFlags.begin(), kFlags.begin() + 2);
  return {
      {2, 1, 2, kFlags},  // the demo quiz: one answer, reveal texts
      {1, 2, 3, two},     // two answers, reveal pairs
      {0, 1, 4, two},     // completion quiz
      {2, 1, 1, two},     // no reveal section
      {2, 1, 0, {}},      // no questions
  };
}

// Quiz-like words, with the long strings that repeated answers build.
Bytes LongQuizText() {
  std::string text;
  uint32_t seed = 12345;
  while (text.size() < kLongTextSize) {
    seed = seed * 1103515245u + 12345u;
    const Question& question = kFlags[(seed >> 16) % kFlags.size()];
    text += (seed & 0x100) ? question.answer1 : question.reveal;
    text += std::to_string((seed >> 8) % 97);
    text += (seed & 0x200) ? "\r\n" : " ";
  }
  return FromText(text);
}

Bytes RandomBytes(std::size_t size) {
  Bytes bytes(size);
  uint32_t seed = 2024;
  for (uint8_t& byte : bytes) {
    seed = seed * 1103515245u + 12345u;
    byte = static_cast<uint8_t>(seed >> 16);
  }
  return bytes;
}

void WriteQuizSeeds(const fs::path& out) {
  int index = 0;
  for (const Quiz& quiz : SampleQuizzes()) {
    const Bytes answers = AnswersBlob(quiz);
    const Bytes codes = CodesBlob(quiz.questions.size());
    const std::string name = "quiz" + std::to_string(index++);
    Write(out / "answers_blob", name, fuzz::JoinWithLengthPrefix(answers, codes));
    Write(out / "quiz_load", name,
          fuzz::JoinWithLengthPrefix(LzwPacked(answers), LzwPacked(codes)));
    Write(out / "lzw_decode", name + "-answers", LzwPacked(answers));
    Write(out / "lzw_round_trip", name + "-answers", answers);
  }
  Write(out / "lzw_decode", "codes", LzwPacked(CodesBlob(kFlags.size())));
  Write(out / "lzw_decode", "long-text", LzwPacked(LongQuizText()));
  Write(out / "lzw_decode", "reset", LzwPacked(RandomBytes(kResetBytesSize)));
  // 65 66 259 261 256 at 9 bits: ABABABA, with the code being defined.
  Write(out / "lzw_decode", "ababab", {0x20, 0x90, 0xA0, 0x70, 0x58, 0x00});
  Write(out / "lzw_round_trip", "codes", CodesBlob(kFlags.size()));
  Write(out / "lzw_round_trip", "long-text", LongQuizText());
  Write(out / "lzw_round_trip", "ababab", FromText("ABABABA"));
  // Answers and codes of a quiz whose codes resource is missing.
  Write(out / "quiz_load", "no-codes",
        fuzz::JoinWithLengthPrefix(LzwPacked(AnswersBlob(SampleQuizzes()[1])), {}));
}

// --- Authoring side ---------------------------------------------------------

// Sources as teachers write them and as vidod-make writes them: every key,
// texts of each kind, answers to correct, line ends of both systems.
const char* const kSources[] = {
    "# Drapeaux\ntitre = \"Drapeaux d'Europe\"\nauteur = \"\xC3\x89quipe Vidod\"\nexplication = \"Tapez le pays.\"\n"
    "libelles = [\"Pays\", \"Capitale\"]\ntype = 3\nimages_dans_liste = false\ncouleur = [40, 90, 160]\n"
    "codes = [\n  \"DRAP-1\",\n  'DRAP-2',\n]\nreduire_images = true\n\n[[question]]\nreponse = \"France\"\n"
    "reponse2 = \"Paris\"\nrevelation = \"\"\"Capitale\xC2\xA0:\nParis\"\"\"\nnote_revelation = 'x'\nnote = \"n\"\n"
    "image = \"images/france.png\"\n\n[[question]]\nreponse = \"Italie\"\nreponse2 = \"Rome\"\nrevelation = \"R\"\n"
    "\n[brut]\noctet_0 = 7\noctet_images = 3\nsuite_reponses = \"fin\"\noctets_apres_cr = [10, 0]\n"
    "suite_codes = \"\\r\\n\"\n",
    "\xEF\xBB\xBFquestion = [{reponse = \"l\xE2\x80\x99" "eau\"}, {reponse = \"\xC2\xAB\xC2\xA0Seine\xC2\xA0\xC2\xBB\"}]\n",
    "[[question]]\r\nreponse = \"Mont\xC2\xA0" "Blanc \" # note\r\n[[question]]\r\nreponse = '''L\xE2\x80\x99\xC3\xAE" "le'''\r\n",
    "titre = \"\"\"a\\\n   b\"\"\"\ncodes = [\"\\u00e9\", \"\\t\"]\n[[question]]\nreponse = \"\\\"x\\\"\"\n",
};

void WriteAuthoringSeeds(const fs::path& out) {
  int index = 0;
  for (const char* source : kSources) {
    const std::string name = "source" + std::to_string(index++);
    Write(out / "quiz_source", name, FromText(source));
    Write(out / "answer_correction", name, FromText(source));
  }
  const ResourceName patch = ResourceName::Text("PATCH");
  index = 0;
  for (const Quiz& quiz : SampleQuizzes()) {
    const Bytes answers = AnswersBlob(quiz);
    const Bytes codes = CodesBlob(quiz.questions.size());
    const std::string name = "quiz" + std::to_string(index++);
    Write(out / "quiz_unpack", name + "-blobs", fuzz::JoinWithLengthPrefix(answers, codes));
    std::vector<ResourceEntry> resources = makertest::PlayerOwnResources();
    resources.push_back(makertest::TestResource(patch, 104, kLanguageNeutral, LzwPacked(answers)));
    resources.push_back(makertest::TestResource(patch, 105, kLanguageNeutral, LzwPacked(codes)));
    // A picture of the first question, another past the last one.
    const Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, ',', 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 'D', 1, 0, ';'};
    resources.push_back(makertest::TestResource(ResourceName::Text("IMG"), 401, kLanguageNeutral, gif));
    resources.push_back(makertest::TestResource(ResourceName::Number(kResourceTypeRawData), 497, 1033, gif));
    const Bytes executable = makertest::MakeTestExecutable(resources);
    Write(out / "quiz_unpack", name + "-exe", executable);
    if (index == 1) Write(out / "pe_resources", "quiz", executable);
  }
  Write(out / "pe_resources", "player", makertest::MakeTestPlayer());
  makertest::TestExecutableLayout layout;
  layout.sectionAfterResources = true;
  layout.tailSize = 64;
  Write(out / "pe_resources", "player-with-reloc", makertest::MakeTestPlayer(layout));
}

// --- Progress files -------------------------------------------------------

void WriteProgressSeeds(const fs::path& out) {
  const fs::path directory = out / "progress_lines";
  Write(directory, "crlf", FromText("Paris\r\n\r\nRome\r\n"));
  Write(directory, "lf-only", FromText("France\nItalie\nBelgique\n"));
  Write(directory, "cr-then-text", FromText("ab\rcd\r\nef\r\n"));
  Write(directory, "no-final-crlf", FromText("Allemagne\r\nIrlande"));
  Write(directory, "cr-only",
        FromText("Japon\rRussie\rSu\xE8"
                 "de\r"));
  Write(directory, "long-line", FromText(std::string(300, 'x') + "\r\nfin\r\n"));
  Write(directory, "cp1252",
        FromText("\xC9"
                 "quateur\r\nGr\xE8"
                 "ce\r\nno\xEBl\r\n"));
}

// --- Inflater streams -----------------------------------------------------

Bytes Deflate(const Bytes& plain, int level, int strategy) {
  z_stream z{};
  fuzz::Check(deflateInit2(&z, level, Z_DEFLATED, MAX_WBITS, 8, strategy) == Z_OK,
              "deflate starts");
  Bytes packed(deflateBound(&z, plain.size()));
  z.next_in = const_cast<Bytef*>(plain.data());
  z.avail_in = static_cast<uInt>(plain.size());
  z.next_out = packed.data();
  z.avail_out = static_cast<uInt>(packed.size());
  fuzz::Check(deflate(&z, Z_FINISH) == Z_STREAM_END, "deflate ends");
  packed.resize(z.total_out);
  deflateEnd(&z);
  return packed;
}

Bytes InflaterInput(std::size_t inflatedSize, uint8_t layout, const Bytes& stream) {
  Bytes input = {static_cast<uint8_t>(inflatedSize >> 8), static_cast<uint8_t>(inflatedSize),
                 layout};
  input.insert(input.end(), stream.begin(), stream.end());
  return input;
}

// The concatenated IDAT data of a PNG file.
Bytes ImageData(const Bytes& png) {
  Bytes stream;
  std::size_t offset = 8;
  while (offset + 12 <= png.size()) {
    const std::size_t length = (std::size_t{png[offset]} << 24) |
                               (std::size_t{png[offset + 1]} << 16) |
                               (std::size_t{png[offset + 2]} << 8) | png[offset + 3];
    if (length > png.size() - offset - 12) break;
    if (std::string(png.begin() + offset + 4, png.begin() + offset + 8) == "IDAT") {
      stream.insert(stream.end(), png.begin() + offset + 8, png.begin() + offset + 8 + length);
    }
    offset += length + 12;
  }
  return stream;
}

// Zero when zlib cannot inflate the stream within the seed size limit.
std::size_t InflatedSizeOf(const Bytes& stream) {
  Bytes out(kMaxInflatedSeed);
  uLongf length = out.size();
  return uncompress(out.data(), &length, stream.data(), stream.size()) == Z_OK ? length : 0;
}

void WriteInflaterSeeds(const fs::path& out, const fs::path& pngSuite) {
  const fs::path directory = out / "inflater";
  const Bytes text = LongQuizText();
  Write(directory, "stored",
        InflaterInput(text.size(), kWholeStreamLayout, Deflate(text, 0, Z_DEFAULT_STRATEGY)));
  Write(directory, "fixed",
        InflaterInput(text.size(), kSmallChunksWithEmptiesLayout, Deflate(text, 6, Z_FIXED)));
  Write(directory, "huffman-only",
        InflaterInput(text.size(), kMixedCaseLayout, Deflate(text, 9, Z_HUFFMAN_ONLY)));
  Write(directory, "dynamic",
        InflaterInput(text.size(), kWholeStreamLayout, Deflate(text, 9, Z_DEFAULT_STRATEGY)));
  const Bytes run(4000, 'a');  // matches of 258 at distance 1
  Write(directory, "run", InflaterInput(run.size(), kWholeStreamLayout, Deflate(run, 9, Z_RLE)));

  const uint8_t layouts[] = {kWholeStreamLayout, kSmallChunksWithEmptiesLayout, kMixedCaseLayout};
  std::size_t index = 0;
  for (const char* name :
       {"z00n2c08.png", "z03n2c08.png", "z09n2c08.png", "basn0g01.png", "basn3p08.png",
        "basi6a16.png", "f04n2c08.png", "oi9n2c16.png", "s09i3p02.png"}) {
    const Bytes stream = ImageData(ReadFile(pngSuite / name));
    const std::size_t size = InflatedSizeOf(stream);
    if (size == 0) continue;
    Write(directory, fs::path(name).stem().string(),
          InflaterInput(size, layouts[index++ % std::size(layouts)], stream));
  }
}

// --- PNG files --------------------------------------------------------------

// One file of each kind the suite has: every colour type and depth plain and
// interlaced, each filter type, stored and compressed data, split image data,
// odd sizes, ancillary chunks and the deliberately corrupt files.
const char* const kPngSeeds[] = {
    "basn0g01.png", "basn0g02.png", "basn0g04.png", "basn0g08.png", "basn0g16.png", "basn2c08.png",
    "basn2c16.png", "basn3p01.png", "basn3p02.png", "basn3p04.png", "basn3p08.png", "basn4a08.png",
    "basn4a16.png", "basn6a08.png", "basn6a16.png", "basi0g01.png", "basi0g02.png", "basi0g04.png",
    "basi0g08.png", "basi0g16.png", "basi2c08.png", "basi2c16.png", "basi3p01.png", "basi3p02.png",
    "basi3p04.png", "basi3p08.png", "basi4a08.png", "basi4a16.png", "basi6a08.png", "basi6a16.png",
    "f00n2c08.png", "f01n2c08.png", "f02n2c08.png", "f03n2c08.png", "f04n2c08.png", "f99n0g04.png",
    "z00n2c08.png", "z09n2c08.png", "oi9n2c16.png", "s01i3p01.png", "s02n3p01.png", "s07i3p02.png",
    "s09n3p02.png", "s35i3p04.png", "ch1n3p04.png", "tp0n3p08.png", "xs1n0g01.png", "xcrn0g04.png",
    "xc9n2c08.png", "xd9n2c08.png", "xdtn0g01.png", "xlfn0g04.png", "xhdn0g08.png",
};

void WritePngSeeds(const fs::path& out, const fs::path& pngSuite) {
  for (const char* name : kPngSeeds) Write(out / "png_decoder", name, ReadFile(pngSuite / name));
}

// --- Picture headers -----------------------------------------------------------

Bytes JpegSegment(uint8_t marker, const Bytes& data) {
  const std::size_t length = data.size() + 2;
  Bytes segment = {0xFF, marker, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)};
  segment.insert(segment.end(), data.begin(), data.end());
  return segment;
}

Bytes Joined(const std::vector<Bytes>& parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// A header of each format and of each JPEG frame kind, with the segments
// that usually come before a frame.
void WriteHeaderSeeds(const fs::path& out, const fs::path& pngSuite) {
  const fs::path directory = out / "picture_header";
  const Bytes start = {0xFF, 0xD8};
  const Bytes app0 = JpegSegment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
  const Bytes tables = Joined({JpegSegment(0xDB, Bytes(65, 2)), JpegSegment(0xC4, Bytes(29, 1))});
  const Bytes frame = {8, 0x01, 0xE0, 0x02, 0x80, 3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1};
  const Bytes scan = Joined({JpegSegment(0xDA, {3, 1, 0, 2, 0x11, 3, 0x11, 0, 0x3F, 0}), {0x12, 0x34, 0xFF, 0xD9}});
  Write(directory, "jpeg-baseline", Joined({start, app0, tables, JpegSegment(0xC0, frame), scan}));
  Write(directory, "jpeg-progressive-exif",
        Joined({start, JpegSegment(0xE1, FromText("Exif\0\0MM")), JpegSegment(0xFE, FromText("note")), tables,
                {0xFF, 0xFF, 0xD0}, JpegSegment(0xC2, frame), scan}));
  Write(directory, "jpeg-arithmetic", Joined({start, JpegSegment(0xCC, {0, 0x10}), JpegSegment(0xC9, frame)}));
  Write(directory, "png", ReadFile(pngSuite / "basn2c08.png"));
  Write(directory, "png-interlaced", ReadFile(pngSuite / "basi0g01.png"));
  Write(directory, "gif87a", Joined({FromText("GIF87a"), {0x2C, 0x01, 0xC8, 0x00, 0xF7, 0, 0}}));
  Write(directory, "gif89a", Joined({FromText("GIF89a"), {0x0A, 0x00, 0x0A, 0x00, 0x00, 0, 0, 0x3B}}));
  Bytes bmp(14 + 40, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  bmp[14] = 40;
  bmp[18] = 0x80;
  bmp[22] = 0xF0;  // height -16: rows top-down
  bmp[23] = bmp[24] = bmp[25] = 0xFF;
  Write(directory, "bmp-info-top-down", bmp);
  Bytes core(14 + 12, 0);
  core[0] = 'B';
  core[1] = 'M';
  core[14] = 12;
  core[18] = 0x20;
  core[20] = 0x10;
  Write(directory, "bmp-core", core);
}

}  // namespace
}  // namespace vidod

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s OUTPUT-DIRECTORY PNG-SUITE-DIRECTORY\n", argv[0]);
    return 2;
  }
  const std::filesystem::path out = argv[1];
  const std::filesystem::path pngSuite = argv[2];
  vidod::WriteQuizSeeds(out);
  vidod::WriteProgressSeeds(out);
  vidod::WriteInflaterSeeds(out, pngSuite);
  vidod::WritePngSeeds(out, pngSuite);
  vidod::WriteHeaderSeeds(out, pngSuite);
  vidod::WriteAuthoringSeeds(out);
  return 0;
}
