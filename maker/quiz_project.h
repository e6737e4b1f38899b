// What the front ends of the maker (vidod-make's commands, the Atelier) do
// with a quiz: start one from a folder of pictures, check it as the player
// will treat it, build it into a quiz executable, and take one apart again.
// Every message is French, UTF-8.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "maker/file_io.h"
#include "maker/picture_check.h"
#include "maker/quiz_resources.h"
#include "maker/quiz_source.h"
#include "maker/quiz_toml.h"

namespace vidod {

// A new quiz from a folder of pictures, one question per picture.
struct SkippedFile {
  std::filesystem::path file;
  std::string reason;  // French, UTF-8
};
struct PictureFolder {
  std::vector<StarterQuestion> questions;  // in quiz order, each with its answer and image path
  std::vector<SkippedFile> skipped;        // what was left out, and why
};
// The pictures of folder, named relative to the folder of sourceFile (the
// source to be written). More than a quiz's 96 questions is refused unless
// takeFirst96, which keeps the first 96 and names the rest as skipped. False
// with a French *error when the folder cannot be read or holds no picture.
bool ScanPictureFolder(const std::filesystem::path& folder, const std::filesystem::path& sourceFile,
                       bool takeFirst96, PictureFolder* result, std::string* error);

// What checking the pictures found, kept by file path, size and time of
// last change, so that an editor can check a quiz at every keystroke and
// only decode a picture again when its file changes. Owned by the caller.
// An editor that decodes on another thread clears decodeMissing: a picture
// not inspected yet is then left out of the checks (and named in pending)
// until its inspection is put here with StorePictureInspection.
struct PictureCheckCache {
  struct Entry {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified;
    PictureInspection inspection;
  };
  std::map<std::filesystem::path, Entry> entries;
  bool decodeMissing = true;
  // Build's own: in a quiz that reduces its pictures, those that build will
  // redraw (all but GIF and BMP) are left pending too, and build checks them
  // from the decoding that redraws them.
  bool leaveRedrawnToBuild = false;
  std::vector<std::filesystem::path> pending;  // filled by CheckQuiz for what it left out
};
// The file inspected as the checks do it, with the size and time of last
// change it had (read before its bytes); false when they cannot be read.
bool InspectPictureFileNow(const std::filesystem::path& file, PictureCheckCache::Entry* entry);
void StorePictureInspection(PictureCheckCache* cache, const std::filesystem::path& file,
                            const PictureCheckCache::Entry& entry);

// Everything check reports about a quiz model: the errors that keep it from
// being built (ValidateQuizSource's, and pictures that are missing or that
// the player cannot show) and every warning, in question order, each
// located by question and key but without a line. cache may be nullptr.
// The advice in a message names what the author has at hand: options and
// keys on the command line, menu entries and boxes in the Atelier.
std::vector<SourceIssue> CheckQuiz(const QuizSource& quiz, const std::filesystem::path& sourceFile,
                                   PictureCheckCache* cache, CheckAdvice advice = CheckAdvice::kCommandLine);

// A quiz source read and checked as check and build do: the reading
// problems (syntax, keys, types) then CheckQuiz's, each on the line of its
// key, ordered by line. An issue that only follows from a value that could
// not be read is left out. *quiz can be built when no issue is an error.
// reducePictures stands for build --reduire: it sets the quiz's own.
void CheckQuizSourceText(std::string_view toml, const std::filesystem::path& sourceFile,
                         PictureCheckCache* cache, QuizSource* quiz, std::vector<SourceIssue>* issues,
                         bool reducePictures = false);
void CheckQuizSourceFile(const std::filesystem::path& sourceFile, PictureCheckCache* cache, QuizSource* quiz,
                         std::vector<SourceIssue>* issues, bool reducePictures = false);

// Expected answers rewritten as a keyboard types them (ExamineAnswerTyping
// in maker/answer_typing.h): the number of answers changed.
std::size_t CorrectAnswers(QuizSource* quiz);
// The same in the text of a source: only the values of reponse and reponse2
// change, comments, order and layout stay as they are, in time linear in
// the text. *changes receives one French line per answer changed. The
// corrected text is read back and must give the same quiz but for the
// answers changed; when it does not, or when the text is no TOML, *error
// says so in French and nothing is to be written.
enum class SourceCorrection { kDone, kNotToml, kRefused };
SourceCorrection CorrectAnswersInSource(std::string_view toml, std::string* corrected,
                                        std::vector<std::string>* changes, std::string* error);

struct BuildSettings {
  std::filesystem::path player;    // vidod.exe to copy
  std::filesystem::path output;    // the quiz executable; ".exe" is added when it has no extension
  bool reducePictures = false;     // store pictures reduced to what the views need (as QuizSource::reducePictures)
  bool force = false;              // replace an existing output that is no executable
  PictureCheckCache* pictureCache = nullptr;  // the caller's, to avoid decoding twice
  const BuildProgress* progress = nullptr;    // told of each picture; its cancel flag stops the build
};
// Checks the quiz (refusing it on any error), copies the player with the quiz
// in its resources under a temporary name, reads the copy back and renames it
// to the output. The output is never one of the inputs (the player, the
// source, a picture), whatever its spelling. *written receives the path
// written. False with a French *error (kBuildCancelled when cancelled),
// leaving no output file and any earlier one as it was.
bool BuildQuizExecutable(const QuizSource& quiz, const std::filesystem::path& sourceFile,
                         const BuildSettings& settings, std::filesystem::path* written, std::string* error);

// The files that unpack writes for the quiz executable in bytes (named
// executableName in messages): folder/quiz.toml first, read back before it is
// given, then the pictures. Nothing is written. False with a French *error
// for a file that is no quiz or that passes the reader's limits. The source
// is headed by comment when given (unpack's own otherwise); *unpacked, when
// given, receives the quiz as the source holds it.
bool UnpackQuizImage(const std::vector<uint8_t>& bytes, const std::string& executableName,
                     const std::filesystem::path& folder, std::vector<OutputFile>* files,
                     std::vector<std::string>* warnings, std::string* error,
                     const std::vector<std::string>* comment = nullptr, QuizSource* unpacked = nullptr);
// A quiz executable taken apart: folder/quiz.toml and its pictures in
// folder/images, which build back into the same resources. Existing files
// are only replaced when force. *warnings receives what the author should
// know (resources build will not write again, texts a source cannot hold).
bool UnpackQuizExecutable(const std::filesystem::path& executable, const std::filesystem::path& folder,
                          bool force, std::filesystem::path* sourceFile, std::vector<std::string>* warnings,
                          std::string* error);
// The same from the compressed resources alone, without pictures;
// acceptedAnswers (resource 106) may be empty: the quiz has none.
bool UnpackQuizBlobs(const std::filesystem::path& answers, const std::filesystem::path& codes,
                     const std::filesystem::path& acceptedAnswers, const std::filesystem::path& folder, bool force,
                     std::filesystem::path* sourceFile, std::vector<std::string>* warnings, std::string* error);

}  // namespace vidod
