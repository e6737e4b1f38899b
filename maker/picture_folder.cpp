// A folder of pictures turned into the questions of a new quiz, the way a
// teacher numbers them: "2-rome.jpg" before "10-paris.jpg", and the number
// is no part of the answer; otherwise in the order of the folder's window.
#include <algorithm>
#include <system_error>

#include "answers/answer_normalisation.h"
#include "common/cp1252.h"
#include "maker/file_io.h"
#include "maker/picture_format.h"
#include "maker/quiz_project.h"
#include "maker/system_error_text.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
// What may follow the number of a name: "01-", "1 ", "01_", "3. ", "4) ".
bool IsNumberSeparator(char c) { return c == '-' || c == '_' || c == ' ' || c == '.' || c == ')'; }

// Names compared as people read them: a run of digits by its value, letters
// without regard to their case; the bytes settle what remains equal.
bool NaturalLess(const std::string& a, const std::string& b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      while (i + 1 < a.size() && a[i] == '0' && IsDigit(a[i + 1])) ++i;
      while (j + 1 < b.size() && b[j] == '0' && IsDigit(b[j + 1])) ++j;
      std::size_t endA = i, endB = j;
      while (endA < a.size() && IsDigit(a[endA])) ++endA;
      while (endB < b.size() && IsDigit(b[endB])) ++endB;
      if (endA - i != endB - j) return endA - i < endB - j;
      const int order = a.compare(i, endA - i, b, j, endB - j);
      if (order != 0) return order < 0;
      i = endA;
      j = endB;
      continue;
    }
    const char x = AsciiLower(a[i]), y = AsciiLower(b[j]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    ++i;
    ++j;
  }
  if (a.size() - i != b.size() - j) return a.size() - i < b.size() - j;
  return a < b;
}

// A name as a folder window sorts it: accents and case set aside ("Étretat"
// among the E), when the code page holds the name.
std::string FoldedForSorting(const std::string& utf8) {
  Cp1252Conversion conversion = Utf8ToCp1252(utf8);
  if (!conversion.ok) return utf8;
  for (char& c : conversion.text) {
    const char plain = UnaccentedLetter(static_cast<unsigned char>(c));
    c = AsciiLower(plain ? plain : c);
  }
  return conversion.text;
}

// The name before its extension first, so that "Louvre.jpg" comes before
// the copy "Louvre (2).jpg"; the bytes settle names that fold alike.
bool NaturalPathLess(const fs::path& a, const fs::path& b) {
  const std::string stemA = FoldedForSorting(a.stem().u8string()), stemB = FoldedForSorting(b.stem().u8string());
  if (stemA != stemB) return NaturalLess(stemA, stemB);
  const std::string extensionA = FoldedForSorting(a.extension().u8string());
  const std::string extensionB = FoldedForSorting(b.extension().u8string());
  if (extensionA != extensionB) return NaturalLess(extensionA, extensionB);
  return a.filename().u8string() < b.filename().u8string();
}

// Blanks at the ends of a name are easy to type by mistake and invisible
// in a folder; the player would never accept the answer with them.
std::string TrimBlanks(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return text;
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A name without the " (2)" that copying a file beside one of the same name
// adds to it, when a name remains.
std::string WithoutCopyNumber(const std::string& name) {
  if (name.size() < 4 || name.back() != ')') return name;
  std::size_t open = name.size() - 1;
  while (open > 0 && IsDigit(name[open - 1])) --open;
  if (open == name.size() - 1 || open < 3 || name[open - 1] != '(' || name[open - 2] != ' ') return name;
  return TrimBlanks(name.substr(0, open - 2));
}

// The expected answer a file name gives: its stem without the number in
// front, when a name remains after it, without a copy's number and without
// blanks at its ends.
std::string AnswerOf(const fs::path& picture) {
  const std::string stem = picture.stem().u8string();
  std::size_t at = 0;
  while (at < stem.size() && IsDigit(stem[at])) ++at;
  const std::size_t digits = at;
  while (at < stem.size() && IsNumberSeparator(stem[at])) ++at;
  if (digits == 0 || at == digits || at == stem.size()) return WithoutCopyNumber(TrimBlanks(stem));
  return WithoutCopyNumber(TrimBlanks(stem.substr(at)));
}

// The picture as the source names it: relative to the source's folder when
// both share a root, with forward slashes so that it reads the same anywhere.
std::string ImageKey(const fs::path& picture, const fs::path& sourceFolder) {
  const fs::path relative = picture.lexically_relative(sourceFolder);
  return (relative.empty() ? picture : relative).generic_u8string();
}

// Why a source could not name the picture by this key, or nullptr: check
// reads a backslash as a folder separator and refuses a control character
// in a path, and a source is UTF-8.
const char* KeyProblem(const std::string& key) {
  if (key.find('\\') != std::string::npos) return "son chemin contient une barre oblique inverse « \\ »";
  for (char c : key)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
      return "son chemin contient un retour à la ligne, une tabulation ou un autre caractère de contrôle";
  if (FindMalformedUtf8(key) != std::string::npos) return "son chemin contient des octets qui ne sont pas de l'UTF-8";
  return nullptr;
}

}  // namespace

bool ScanPictureFolder(const fs::path& folder, const fs::path& sourceFile, bool takeFirst96, PictureFolder* result,
                       std::string* error) {
  *result = PictureFolder();
  std::error_code code;
  if (!fs::is_directory(folder, code)) {
    *error = "« " + PathText(folder) + " » n'est pas un dossier";
    return false;
  }
  fs::directory_iterator entries(folder, code);
  if (code) {
    *error = "« " + PathText(folder) + " » : impossible de lire le dossier (" + SystemErrorText(code) + ")";
    return false;
  }
  const fs::path sourceFolder = sourceFile.parent_path();
  std::vector<fs::path> pictures;
  for (const fs::directory_entry& entry : entries) {
    std::error_code ignored;
    if (!entry.is_regular_file(ignored)) continue;
    const char* keyProblem = KeyProblem(ImageKey(entry.path(), sourceFolder));
    if (IsHiddenFile(entry.path()))
      result->skipped.push_back({entry.path(), "fichier caché"});
    else if (DetectPictureFileFormat(entry.path()) == PictureFormat::kUnknown)
      result->skipped.push_back({entry.path(), std::string("pas une image que le quiz prend (") +
                                                   kTakenPictureFormats + ")"});
    else if (keyProblem)
      result->skipped.push_back({entry.path(), std::string(keyProblem) + " : une source ne peut pas le désigner, renommez-le"});
    else
      pictures.push_back(entry.path());
  }
  std::sort(pictures.begin(), pictures.end(), NaturalPathLess);
  std::sort(result->skipped.begin(), result->skipped.end(),
            [](const SkippedFile& a, const SkippedFile& b) { return NaturalPathLess(a.file, b.file); });
  if (pictures.empty()) {
    *error = "« " + PathText(folder) + " » ne contient aucune image " + kTakenPictureFormats;
    return false;
  }
  if (pictures.size() > kMaxSourceQuestions) {
    const std::string limit = std::to_string(kMaxSourceQuestions);
    if (!takeFirst96) {
      *error = "« " + PathText(folder) + " » contient " + std::to_string(pictures.size()) + " images, un quiz a " +
               limit + " questions au plus : prenez les " + limit +
               " premières dans l'ordre des noms (vidod-make init --force), ou répartissez les images dans "
               "plusieurs dossiers, un par quiz";
      return false;
    }
    for (std::size_t i = kMaxSourceQuestions; i < pictures.size(); ++i)
      result->skipped.push_back({pictures[i], "au-delà des " + limit + " questions d'un quiz"});
    pictures.resize(kMaxSourceQuestions);
  }
  for (const fs::path& picture : pictures) result->questions.push_back({AnswerOf(picture), ImageKey(picture, sourceFolder)});
  return true;
}

}  // namespace vidod
