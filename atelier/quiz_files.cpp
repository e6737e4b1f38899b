#include "atelier/quiz_files.h"

#include <algorithm>
#include <sstream>
#include <system_error>

#include "atelier/edited_quiz.h"
#include "common/cp1252.h"
#include "maker/pe_resources.h"
#include "maker/quiz_project.h"
#include "maker/quiz_resources.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

const char* const kSavedComment[] = {
    "Quiz Vidod enregistré par Vidod Atelier ; « vidod-make build quiz.toml -o QUIZ.exe »",
    "le construit aussi. Les images sont désignées par rapport à ce fichier.",
};
constexpr char kOriginLead[] = "Quiz défait par Vidod Atelier";
// What vidod-make unpack writes at the head of the sources it makes.
constexpr char kUnpackLead[] = "Quiz extrait ";
const char* const kUnpackComment[] = {
    "Les images des questions sont dans le dossier images ; « vidod-make build »",
    "redonne les mêmes ressources.",
    "Les images ne sont pas dans les ressources 104 et 105 : pour en donner une",
    "à une question, ajoutez-lui image = \"fichier\" (chemin relatif à ce fichier).",
    "Une question sans image n'a pas d'image dans le quiz.",
};
constexpr char kCommentLead = '#';
constexpr char kFieldSeparator = '\t';
constexpr std::size_t kMostBuilds = 64;
constexpr uint64_t kFnvOffset = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;
constexpr char16_t kQuizBlobTypeWide[] = u"PATCH";
constexpr int kMostFolderTries = 100;

bool StartsWith(const std::string& text, const char* lead) { return text.rfind(lead, 0) == 0; }

bool IsMachineComment(const std::string& line) {
  if (StartsWith(line, kOriginLead) || StartsWith(line, kUnpackLead)) return true;
  const auto same = [&line](const char* known) { return line == known; };
  return std::any_of(std::begin(kSavedComment), std::end(kSavedComment), same) ||
         std::any_of(std::begin(kUnpackComment), std::end(kUnpackComment), same);
}

// The resource type name as the directory stores it, UTF-16 little-endian:
// a file that holds it was made to carry a quiz.
bool MentionsQuizResources(const std::vector<uint8_t>& bytes) {
  std::vector<uint8_t> wanted;
  for (const char16_t* c = kQuizBlobTypeWide; *c; ++c) {
    wanted.push_back(static_cast<uint8_t>(*c & 0xFF));
    wanted.push_back(static_cast<uint8_t>(*c >> 8));
  }
  return std::search(bytes.begin(), bytes.end(), wanted.begin(), wanted.end()) != bytes.end();
}

std::string DamagedMessage() {
  return "Ce quiz est endommagé : une partie du fichier manque ou a été abîmée (une copie interrompue, une clé "
         "USB retirée trop tôt…). Reconstruisez-le à partir de sa source, ou reprenez-en une copie intacte.";
}

}  // namespace

std::vector<std::string> AtelierSourceComment(const std::string& origin) {
  std::vector<std::string> comment;
  if (!origin.empty()) comment.push_back(origin);
  comment.insert(comment.end(), std::begin(kSavedComment), std::end(kSavedComment));
  return comment;
}

std::string OriginComment(const fs::path& executable, const std::string& date) {
  return std::string(kOriginLead) + " le " + date + " à partir de « " + executable.u8string() + " ».";
}

SourceComments ReadSourceComments(const std::string& text) {
  SourceComments comments;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] != kCommentLead) continue;
    line = line.substr(first + 1);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (!line.empty() && line.front() == ' ') line.erase(0, 1);
    if (line.empty()) continue;
    if (!IsMachineComment(line)) {
      comments.handWritten = true;
      continue;
    }
    if (comments.origin.empty() && (StartsWith(line, kOriginLead) || StartsWith(line, kUnpackLead)))
      comments.origin = line;
  }
  return comments;
}

uint64_t FingerprintOf(const std::vector<uint8_t>& bytes) {
  uint64_t hash = kFnvOffset;
  for (uint8_t byte : bytes) hash = (hash ^ byte) * kFnvPrime;
  return hash;
}

std::string FormatBuildRecords(const std::vector<BuildRecord>& records) {
  std::string text;
  for (const BuildRecord& record : records)
    text += record.executable.u8string() + kFieldSeparator + std::to_string(record.size) + kFieldSeparator +
            std::to_string(record.fingerprint) + kFieldSeparator + record.source.u8string() + "\n";
  return text;
}

std::vector<BuildRecord> ParseBuildRecords(const std::string& text) {
  std::vector<BuildRecord> records;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::vector<std::string> fields;
    std::istringstream cells(line);
    std::string cell;
    while (std::getline(cells, cell, kFieldSeparator)) fields.push_back(cell);
    if (fields.size() != 4 || fields[0].empty() || fields[3].empty()) continue;
    BuildRecord record;
    try {
      record.size = std::stoull(fields[1]);
      record.fingerprint = std::stoull(fields[2]);
    } catch (const std::exception&) {
      continue;
    }
    record.executable = fs::u8path(fields[0]);
    record.source = fs::u8path(fields[3]);
    records.push_back(record);
  }
  return records;
}

void RememberBuild(std::vector<BuildRecord>* records, const BuildRecord& build) {
  records->erase(std::remove_if(records->begin(), records->end(),
                                [&build](const BuildRecord& known) { return known.executable == build.executable; }),
                 records->end());
  records->insert(records->begin(), build);
  if (records->size() > kMostBuilds) records->resize(kMostBuilds);
}

const BuildRecord* FindBuild(const std::vector<BuildRecord>& records, const std::vector<uint8_t>& executable) {
  const uint64_t fingerprint = FingerprintOf(executable);
  for (const BuildRecord& record : records)
    if (record.size == executable.size() && record.fingerprint == fingerprint) return &record;
  return nullptr;
}

bool UnpackForAuthor(const std::vector<uint8_t>& bytes, const std::string& executableName, const fs::path& folder,
                     const std::vector<std::string>& comment, UnpackedExecutable* unpacked, std::string* problem) {
  std::vector<ResourceEntry> entries;
  std::string error;
  if (!ReadPeResources(bytes.data(), bytes.size(), &entries, &error)) {
    *problem = MentionsQuizResources(bytes) ? DamagedMessage() : NotAQuizMessage();
    return false;
  }
  if (!FindQuizResources(entries, 0).answers) {
    *problem = NotAQuizMessage();
    return false;
  }
  *unpacked = UnpackedExecutable();
  if (!UnpackQuizImage(bytes, executableName, folder, &unpacked->files, &unpacked->warnings, &error, &comment,
                       &unpacked->quiz)) {
    *problem = DamagedMessage();
    return false;
  }
  return true;
}

std::string NotAQuizMessage() {
  return "Ce fichier n'est pas un quiz Vidod. Vidod Atelier ouvre un quiz construit (.exe), sa source (quiz.toml), "
         "un dossier d'images ou des images.";
}

bool LooksLikeText(const std::vector<uint8_t>& bytes) {
  if (std::find(bytes.begin(), bytes.end(), 0) != bytes.end()) return false;
  return FindMalformedUtf8(std::string(bytes.begin(), bytes.end())) == std::string::npos;
}

namespace {

// The first of "name.ext", "name (2).ext"... free in folder and not given
// to another copy.
fs::path FreeName(const fs::path& folder, const fs::path& name, const std::vector<PictureCopy>& copies) {
  for (int attempt = 1;; ++attempt) {
    const fs::path candidate =
        folder / (attempt == 1 ? name
                               : fs::path(name.stem().wstring() + L" (" + std::to_wstring(attempt) + L")" +
                                          name.extension().wstring()));
    std::error_code code;
    const bool given = std::any_of(copies.begin(), copies.end(),
                                   [&candidate](const PictureCopy& copy) { return copy.to == candidate; });
    if (!given && !fs::exists(candidate, code)) return candidate;
  }
}

}  // namespace

std::vector<PictureCopy> PicturesOutsideFolder(const QuizSource& quiz, const fs::path& sourceFile) {
  const fs::path folder = sourceFile.parent_path();
  std::vector<PictureCopy> copies;
  for (const QuestionSource& question : quiz.questions) {
    if (question.image.empty()) continue;
    const fs::path picture = PicturePath(sourceFile, question.image).lexically_normal();
    const fs::path inside = picture.lexically_relative(folder);
    std::error_code code;
    if ((!inside.empty() && *inside.begin() != "..") || !fs::is_regular_file(picture, code)) continue;
    if (std::any_of(copies.begin(), copies.end(), [&picture](const PictureCopy& copy) { return copy.from == picture; }))
      continue;
    copies.push_back({picture, FreeName(folder, picture.filename(), copies)});
  }
  return copies;
}

void UsePictureCopies(QuizSource* quiz, const fs::path& sourceFile, const std::vector<PictureCopy>& copies) {
  for (QuestionSource& question : quiz->questions) {
    if (question.image.empty()) continue;
    const fs::path picture = PicturePath(sourceFile, question.image).lexically_normal();
    for (const PictureCopy& copy : copies)
      if (copy.from == picture) question.image = copy.to.filename().u8string();
  }
}

fs::path NewFolderBeside(const fs::path& executable, const std::string& titleUtf8) {
  const std::string name = FileNameFromTitle(titleUtf8.empty() ? executable.stem().u8string() : titleUtf8);
  const fs::path parent = executable.parent_path();
  for (int attempt = 1; attempt <= kMostFolderTries; ++attempt) {
    const fs::path folder =
        parent / fs::u8path(attempt == 1 ? name : name + " (" + std::to_string(attempt) + ")");
    std::error_code code;
    if (!fs::exists(folder, code)) return folder;
  }
  return parent / fs::u8path(name);
}

}  // namespace vidod
