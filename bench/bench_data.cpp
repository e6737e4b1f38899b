#include "bench/bench_data.h"

#include <algorithm>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "pictures/png_chunk.h"

namespace vidod {
namespace bench {
namespace {

constexpr size_t kSignatureSize = 8;
constexpr size_t kHeaderWidth = kSignatureSize + kChunkDataOffset;
constexpr size_t kHeaderHeight = kHeaderWidth + 4;
constexpr char kDelimiter = '|';

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Joins the data of every IDAT chunk, as zlib reads it.
Bytes JoinImageData(const Bytes& file, const std::string& path) {
  Bytes stream;
  uint64_t offset = kSignatureSize;
  uint32_t length = 0;
  const uint32_t size = static_cast<uint32_t>(file.size());
  while (CompleteChunkAt(file.data(), size, offset, &length)) {
    const uint8_t* type = file.data() + offset + kChunkTypeOffset;
    if (std::equal(type, type + 4, "IDAT")) {
      const uint8_t* data = file.data() + offset + kChunkDataOffset;
      stream.insert(stream.end(), data, data + length);
    }
    offset += uint64_t{length} + kChunkOverhead;
  }
  if (stream.empty()) throw std::runtime_error("no image data in " + path);
  return stream;
}

const char* const kWords[] = {
    "PARIS",      "LONDRES",    "ROME",       "MADRID",      "BERLIN",    "LISBONNE",
    "NAPOLEON",   "BONAPARTE",  "LEONARD",    "DE",          "VINCI",     "LA",
    "TOUR",       "EIFFEL",     "MONT",       "SAINT",       "MICHEL",    "LE",
    "DRAPEAU",    "DE LA",      "FRANCE",     "BELGIQUE",    "SUISSE",    "CANADA",
    "JAPON",      "BRESIL",     "ARGENTINE",  "ALLEMAGNE",   "ITALIE",    "ESPAGNE",
    "CONSTANTINOPLE", "VENISE", "FLORENCE",   "CHATEAU",     "VERSAILLES", "LOUVRE",
    "JOCONDE",    "MOLIERE",    "VICTOR",     "HUGO",        "ZOLA",      "BALZAC",
    "\xC9T\xC9",  "GAR\xC7ON",  "CH\xC2TEAU", "C\xD4TE",     "D'AZUR",    "L'\xCELE",
};
constexpr size_t kWordCount = sizeof kWords / sizeof kWords[0];

const char* const kRevealWords[] = {
    "La capitale", "de ce pays", "est connue", "pour", "son mus\xE9" "e", "et",
    "ses monuments", "construits", "au", "si\xE8" "cle", "dernier", "par", "un roi",
};
constexpr size_t kRevealWordCount = sizeof kRevealWords / sizeof kRevealWords[0];

void AppendText(Bytes* out, const std::string& text) {
  out->insert(out->end(), text.begin(), text.end());
  out->push_back(static_cast<uint8_t>(kDelimiter));
}

std::string Phrase(std::mt19937* random, const char* const* words, size_t wordCount, int count) {
  std::string phrase;
  for (int i = 0; i < count; ++i) {
    if (i > 0) phrase += ' ';
    phrase += words[(*random)() % wordCount];
  }
  return phrase;
}

}  // namespace

std::vector<BenchPicture> LoadBenchPictures(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0) names.push_back(name);
    }
    closedir(dir);
  }
  if (names.empty()) throw std::runtime_error("no PNG pictures in " + folder);
  std::sort(names.begin(), names.end());

  std::vector<BenchPicture> pictures;
  for (const std::string& name : names) {
    const std::string path = folder + "/" + name;
    BenchPicture picture;
    picture.name = name.substr(0, name.size() - 4);
    picture.file = ReadFile(path);
    if (picture.file.size() < kHeaderHeight + 4) throw std::runtime_error("too short: " + path);
    picture.width = ReadBigEndian32(picture.file.data() + kHeaderWidth);
    picture.height = ReadBigEndian32(picture.file.data() + kHeaderHeight);
    picture.zlibStream = JoinImageData(picture.file, path);
    picture.inflatedSize = 0;  // filled in by the decoder's first run
    pictures.push_back(std::move(picture));
  }
  return pictures;
}

Bytes QuizLikeText(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes text = {0, 2, 24, 2};
  AppendText(&text, "Quiz des capitales et des monuments");
  AppendText(&text, "Createur quizz");
  AppendText(&text, "Trouvez le nom de la ville ou du monument");
  AppendText(&text, "Ville");
  AppendText(&text, "Pays");
  while (text.size() < size) {
    AppendText(&text, Phrase(&random, kWords, kWordCount, 1 + static_cast<int>(random() % 3)));
    AppendText(&text, Phrase(&random, kWords, kWordCount, 1 + static_cast<int>(random() % 2)));
    AppendText(&text, "");
    const int revealWords = 4 + static_cast<int>(random() % 6);
    AppendText(&text, Phrase(&random, kRevealWords, kRevealWordCount, revealWords));
  }
  text.resize(size);
  return text;
}

Bytes RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
  return bytes;
}

}  // namespace bench
}  // namespace vidod
