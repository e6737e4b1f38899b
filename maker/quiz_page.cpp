#include "maker/quiz_page.h"

#include <cstring>
#include <memory>

#include "common/cp1252.h"
#include "lzw/lzw.h"
#include "maker/file_io.h"
#include "maker/picture_format.h"
#include "maker/quiz_project.h"
#include "quiz/answers_blob.h"
#include "quiz/quiz_document.h"
#include "web/page_template.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

constexpr char kTitleMark[] = "@TITLE@";
constexpr char kQuizMark[] = "@QUIZ@";
constexpr char kPageExtension[] = ".html";
constexpr char kPageSignature[] = "<!DOCTYPE html";

std::string Base64(const std::vector<uint8_t>& bytes) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const uint32_t group = bytes[i] << 16 | (i + 1 < bytes.size() ? bytes[i + 1] << 8 : 0) |
                           (i + 2 < bytes.size() ? bytes[i + 2] : 0);
    text += kDigits[group >> 18 & 63];
    text += kDigits[group >> 12 & 63];
    text += i + 1 < bytes.size() ? kDigits[group >> 6 & 63] : '=';
    text += i + 2 < bytes.size() ? kDigits[group & 63] : '=';
  }
  return text;
}

// The quiz's title as the text of the page's title element.
std::string EscapedTitle(const char* cp1252) {
  std::string escaped;
  for (const char c : Cp1252ToUtf8(cp1252)) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

const char* PictureMediaType(PictureFormat format) {
  switch (format) {
    case PictureFormat::kJpeg: return "image/jpeg";
    case PictureFormat::kPng: return "image/png";
    case PictureFormat::kGif: return "image/gif";
    case PictureFormat::kBmp: return "image/bmp";
    default: return nullptr;
  }
}

struct DocumentDeleter {
  void operator()(QuizDocument* document) const { DestroyQuizDocument(document); }
};

bool PageOutput(const fs::path& output, bool force, fs::path* page, std::string* error) {
  *page = fs::absolute(output).lexically_normal();
  if (!page->has_extension()) *page += kPageExtension;
  return RefuseForeignFile(*page, kPageSignature, "une page web", force, error);
}

bool WritePage(const std::string& html, const fs::path& page, fs::path* written, std::string* error) {
  if (!WriteOutputFiles({OutputFile{page, std::vector<uint8_t>(html.begin(), html.end())}}, error)) return false;
  *written = page;
  return true;
}

}  // namespace

bool MakeQuizPage(const std::vector<ResourceEntry>& resources, std::string* html, std::string* error) {
  if (kPageTemplateSize == 0) {
    *error = "ce vidod-make a été construit sans la page web (emscripten manquait) : il ne peut pas en faire";
    return false;
  }
  const QuizResourceSet blobs = FindQuizResources(resources, 0);
  if (!blobs.answers) {
    *error = "pas de quiz : la ressource « PATCH » 104 des réponses manque";
    return false;
  }
  std::unique_ptr<QuizDocument, DocumentDeleter> quiz(CreateQuizDocument());
  uint8_t* decoded = nullptr;
  std::size_t length = 0;
  const std::vector<uint8_t>& answers = blobs.answers->data;
  const int32_t decoding =
      quiz ? DecodeResource(answers.data(), static_cast<uint32_t>(answers.size()), &decoded, &length) : kLzwNoMemory;
  const bool read = decoding == kLzwOk && ParseAnswersBlob(decoded, length, quiz.get());
  LzwReleaseOutput(decoded);
  if (!read) {
    *error = "la ressource « PATCH » 104 des réponses est illisible : le lecteur refuserait ce quiz";
    return false;
  }

  const QuizResourceSet set = FindQuizResources(resources, static_cast<std::size_t>(quiz->questionCount));
  std::string data = "{\"answers\":\"" + Base64(set.answers->data) + "\",\"codes\":\"" +
                     (set.codes ? Base64(set.codes->data) : "") + "\",\"accepted\":\"" +
                     (set.acceptedAnswers ? Base64(set.acceptedAnswers->data) : "") + "\",\"pictures\":[";
  for (std::size_t k = 0; k < set.pictures.size(); ++k) {
    if (k > 0) data += ',';
    const ResourceEntry* picture = set.pictures[k];
    const char* type = picture ? PictureMediaType(DetectPictureFormat(picture->data.data(), picture->data.size()))
                               : nullptr;
    // A picture the player could not show either is left out: the question
    // shows none.
    data += type ? "\"data:" + std::string(type) + ";base64," + Base64(picture->data) + "\"" : "null";
  }
  data += "]}";

  html->assign(reinterpret_cast<const char*>(kPageTemplate), kPageTemplateSize);
  const std::size_t title = html->find(kTitleMark);
  html->replace(title, std::strlen(kTitleMark), EscapedTitle(quiz->title));
  const std::size_t place = html->find(kQuizMark);
  html->replace(place, std::strlen(kQuizMark), data);
  return true;
}

bool WriteQuizPageFromSource(const QuizSource& quiz, const fs::path& sourceFile, const PageSettings& settings,
                             fs::path* written, std::string* error) {
  for (const SourceIssue& issue : CheckQuiz(quiz, sourceFile, settings.pictureCache)) {
    if (issue.warning) continue;
    *error = FormatIssue(PathText(sourceFile.filename()), issue);
    return false;
  }
  fs::path page;
  if (!PageOutput(settings.output, settings.force, &page, error)) return false;
  std::vector<CommandInput> inputs = {{sourceFile, "la source du quiz"}};
  for (std::size_t k = 0; k < quiz.questions.size(); ++k)
    if (!quiz.questions[k].image.empty())
      inputs.push_back({PicturePath(sourceFile, quiz.questions[k].image),
                        "l'image de la question " + std::to_string(k + 1)});
  if (!RefuseInputAsOutput(page, inputs, error)) return false;
  std::vector<ResourceEntry> resources;
  std::string html;
  const PictureCheckCache* checks = settings.pictureCache;
  const auto checked = [checks](const fs::path& file) { return checks && checks->entries.count(file) > 0; };
  return MakeQuizResources(quiz, sourceFile, true, &resources, error, settings.progress, checked) &&
         MakeQuizPage(resources, &html, error) && WritePage(html, page, written, error);
}

bool WriteQuizPageFromExecutable(const fs::path& executable, const PageSettings& settings, fs::path* written,
                                 std::string* error) {
  fs::path page;
  if (!PageOutput(settings.output, settings.force, &page, error)) return false;
  if (!RefuseInputAsOutput(page, {{executable, "l'exécutable du quiz"}}, error)) return false;
  std::vector<uint8_t> bytes;
  std::vector<ResourceEntry> resources;
  const std::string quoted = "« " + PathText(executable.filename()) + " »";
  if (!ReadFileBytes(executable, &bytes, error, kMaxFileBytes, "un exécutable de quiz")) return false;
  std::string html;
  if (!ReadPeResources(bytes.data(), bytes.size(), &resources, error) || !MakeQuizPage(resources, &html, error)) {
    *error = quoted + " : " + *error;
    return false;
  }
  return WritePage(html, page, written, error);
}

}  // namespace vidod
