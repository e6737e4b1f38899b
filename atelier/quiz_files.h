// The files a teacher hands the Atelier and what it keeps about them: the
// comments at the head of the sources it writes (and where a quiz taken out
// of an executable came from), the builds made on this computer with the
// source of each, and what a file opened as a quiz turns out to be. Plain
// C++, no window code.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "maker/file_io.h"
#include "maker/quiz_source.h"

namespace vidod {

// The comment lines the Atelier heads a source with (UTF-8): first the
// origin line when the quiz was taken out of an executable.
std::vector<std::string> AtelierSourceComment(const std::string& origin);
// The origin line of a quiz the Atelier takes out of an executable.
std::string OriginComment(const std::filesystem::path& executable, const std::string& date);

// What the comments of a source's text are: written by hand (a save would
// drop them, so the author is asked), or only the lines the Atelier and
// vidod-make unpack write; and the origin line among them, kept by a save.
struct SourceComments {
  bool handWritten = false;
  std::string origin;
};
SourceComments ReadSourceComments(const std::string& text);

// A quiz executable built on this computer, known by its size and a
// fingerprint of its bytes wherever it has been copied since, with the
// source it was built from. Nothing of it goes into the executable.
struct BuildRecord {
  std::filesystem::path executable;
  uint64_t size = 0;
  uint64_t fingerprint = 0;
  std::filesystem::path source;
};
uint64_t FingerprintOf(const std::vector<uint8_t>& bytes);
// One record per line, tab-separated, UTF-8 paths; lines that do not read
// are left out.
std::string FormatBuildRecords(const std::vector<BuildRecord>& records);
std::vector<BuildRecord> ParseBuildRecords(const std::string& text);
// The newest first; an earlier build written at the same path goes, and
// the oldest beyond a few dozen.
void RememberBuild(std::vector<BuildRecord>* records, const BuildRecord& build);
const BuildRecord* FindBuild(const std::vector<BuildRecord>& records, const std::vector<uint8_t>& executable);

// A quiz taken out of an executable in memory: its model and the files of
// its source (named from the folder given, quiz.toml first, then the
// pictures), before anything is written.
struct UnpackedExecutable {
  QuizSource quiz;
  std::vector<OutputFile> files;
  std::vector<std::string> warnings;
};
// False with one plain French sentence in *problem for a file that is no
// quiz ("Ce fichier n'est pas un quiz Vidod...") or a damaged quiz ("Ce quiz
// est endommagé : ...").
bool UnpackForAuthor(const std::vector<uint8_t>& bytes, const std::string& executableName,
                     const std::filesystem::path& folder, const std::vector<std::string>& comment,
                     UnpackedExecutable* unpacked, std::string* problem);
// The sentence for a file that is neither a quiz, a source nor a picture.
std::string NotAQuizMessage();
// Whether bytes read as text: no NUL, UTF-8 (a source, whatever its name).
bool LooksLikeText(const std::vector<uint8_t>& bytes);

// A picture of the quiz that lies outside the folder of its source, and
// the name it takes when copied there.
struct PictureCopy {
  std::filesystem::path from, to;
};
// The pictures a quiz whose keys are written for sourceFile would leave
// behind if its folder alone were carried away (on a USB key), each once,
// with a free name in the folder: "Ain.jpg", else "Ain (2).jpg"... Missing
// pictures are left to the checks.
std::vector<PictureCopy> PicturesOutsideFolder(const QuizSource& quiz, const std::filesystem::path& sourceFile);
// The questions of the pictures copied name their copies.
void UsePictureCopies(QuizSource* quiz, const std::filesystem::path& sourceFile,
                      const std::vector<PictureCopy>& copies);

// A folder for a quiz beside its executable, named after its title: the
// first of "Titre", "Titre (2)"... that does not exist yet.
std::filesystem::path NewFolderBeside(const std::filesystem::path& executable, const std::string& titleUtf8);

}  // namespace vidod
