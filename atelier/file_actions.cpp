// Starting, opening, saving, testing and building a quiz. The author's work
// is never lost: unsaved changes are asked about, nothing is written over
// without asking, and a failure says in French what failed and leaves the
// quiz open as it was.
#include <windows.h>

#include <objbase.h>

#include <algorithm>
#include <system_error>

#include "atelier/atelier_ids.h"
#include "atelier/atelier_window.h"
#include "atelier/text_convert.h"
#include "common/cp1252.h"
#include "maker/file_io.h"
#include "maker/picture_format.h"
#include "maker/quiz_page.h"
#include "maker/quiz_project.h"
#include "maker/quiz_toml.h"
#include "maker/system_error_text.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

constexpr char kSourceFileName[] = "quiz.toml";
// A message box grows with its lines and has no scroll bar: past a dozen,
// its button leaves a small screen.
constexpr std::size_t kLinesShown = 10;
constexpr wchar_t kTestFolderPrefix[] = L"vidod-atelier-essai-";
constexpr char kExecutableSignature[] = "MZ";
constexpr wchar_t kSourceExtension[] = L".toml";
constexpr wchar_t kExecutableExtension[] = L".exe";

std::wstring Quoted(const fs::path& path) { return L"\u00ab " + path.wstring() + L" \u00bb"; }

bool Exists(const fs::path& path) {
  std::error_code ignored;
  return fs::exists(path, ignored);
}

bool IsFolder(const fs::path& path) {
  std::error_code ignored;
  return fs::is_directory(path, ignored);
}

bool SamePath(const fs::path& a, const fs::path& b) { return lstrcmpiW(a.c_str(), b.c_str()) == 0; }

fs::path Absolute(const fs::path& path) {
  std::error_code ignored;
  return fs::absolute(path, ignored).lexically_normal();
}

std::wstring QuizName(const Atelier* atelier) {
  const std::wstring title = WideFromCp1252(atelier->edited.quiz.title);
  return title.empty() ? atelier->edited.sourceFile.filename().wstring() : title;
}

// Today's date as the teacher reads it, for the origin of a quiz.
std::string Today() {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  wchar_t date[16] = L"";
  swprintf(date, 16, L"%02u/%02u/%04u", now.wDay, now.wMonth, now.wYear);
  return Utf8FromWide(date);
}

// The first lines as a list, and how many more there are.
std::wstring ShortList(const std::vector<std::wstring>& lines, const wchar_t* whereTheRestIs = L"") {
  std::wstring list;
  for (std::size_t i = 0; i < lines.size() && i < kLinesShown; ++i) list += L"\n\u2022 " + lines[i];
  if (lines.size() > kLinesShown)
    list += L"\n\u2026 et " + std::to_wstring(lines.size() - kLinesShown) + L" autre(s)" + whereTheRestIs;
  return list;
}

// The file holds this quiz's source as it was last opened or saved: its
// folder was renamed or moved, and replacing it loses nothing.
bool IsThisQuizsSource(const EditedQuiz& edited, const fs::path& file) {
  std::vector<uint8_t> bytes;
  std::string error;
  return edited.onDisk && ReadFileBytes(file, &bytes, &error, kMaxSourceFileBytes) &&
         FingerprintOf(bytes) == edited.sourceFingerprint;
}

// The errors of a source that only a text editor can mend: they name its
// keys, which the author finds there.
std::wstring SourceErrorList(const std::vector<SourceIssue>& issues) {
  std::vector<std::wstring> lines;
  for (const SourceIssue& issue : issues)
    if (!issue.warning) lines.push_back(WideFromUtf8(DescribeSourceProblem(issue)));
  return ShortList(lines);
}

// The Atelier's checks keep the quiz from being tested or built while it
// has errors, as build would; they are told in the window's words.
bool RefuseErrors(Atelier* atelier, const wchar_t* action) {
  if (!HasErrors(atelier->issues)) return true;
  const bool twoBoxes = atelier->edited.quiz.answersPerQuestion == 2;
  std::vector<std::wstring> lines;
  for (const SourceIssue& issue : atelier->issues)
    if (!issue.warning) lines.push_back(WideFromUtf8(DescribeRemark(issue, twoBoxes)));
  TellAuthor(atelier,
             std::wstring(L"Le quiz a des erreurs \u00e0 corriger avant de le ") + action + L" :" + ShortList(lines),
             MB_ICONWARNING);
  return false;
}

void StartQuiz(Atelier* atelier, EditedQuiz edited) {
  ForgetPictureWork(atelier);
  atelier->edited = std::move(edited);
  // Pictures are decoded on the worker threads, never while checking.
  atelier->edited.pictureChecks.decodeMissing = false;
  atelier->open = true;
  ++atelier->openings;
  atelier->current = 0;
  ClearFittedPictures(&atelier->thumbnailPictures);
  ClearFittedPictures(&atelier->viewPictures);
  // What changes on disk from now on is what the author is told of.
  atelier->watched.clear();
  atelier->picturesLeftOutside.clear();
  SeePictureFiles(atelier);
  ShowOpenQuiz(atelier);
}

EditedQuiz NewQuiz(const fs::path& sourceFile, const std::string& titleUtf8,
                   const std::vector<StarterQuestion>& questions) {
  EditedQuiz edited;
  edited.sourceFile = sourceFile;
  SetFieldText(&edited, FieldRef{QuizField::kTitle, 0}, titleUtf8);
  edited.quiz.questions.resize(questions.size());
  for (std::size_t i = 0; i < questions.size(); ++i) {
    edited.quiz.questions[i].image = questions[i].image;
    SetFieldText(&edited, FieldRef{QuizField::kAnswer, static_cast<int>(i)}, questions[i].answer);
  }
  // Made in the Atelier, a quiz stores its pictures at the size the player
  // shows them, unless the author says otherwise. It is on no disk yet.
  edited.quiz.reducePictures = true;
  edited.savedRevision = kNeverSaved;
  return edited;
}

}  // namespace

void TellSkipped(Atelier* atelier, const std::vector<SkippedFile>& skipped) {
  if (skipped.empty()) return;
  std::vector<std::wstring> lines;
  for (const SkippedFile& file : skipped) lines.push_back(file.file.filename().wstring() + L" : " + WideFromUtf8(file.reason));
  TellAuthor(atelier, L"Fichiers laiss\u00e9s de c\u00f4t\u00e9 :" + ShortList(lines), MB_ICONINFORMATION);
}

namespace {

// Reads a source into the Atelier; the question about unsaved changes has
// been asked. What the model could not hold (a key it does not know, a
// value of the wrong type) would be lost at the next save: such a source is
// left to a text editor.
bool LoadSource(Atelier* atelier, const fs::path& file) {
  const fs::path sourceFile = Absolute(file);
  std::string text;
  std::vector<SourceIssue> problems;
  EditedQuiz edited;
  const bool read =
      ReadSourceFileText(sourceFile, &text, &problems) && ReadQuizSource(text, sourceFile, &edited.quiz, &problems);
  if (!read || HasErrors(problems)) {
    // A reading that stopped tells the first error only: the lines after it
    // were not read.
    TellAuthor(atelier,
               L"Vidod Atelier ne peut pas ouvrir " + Quoted(sourceFile) + L" sans en perdre une partie :" +
                   SourceErrorList(problems) +
                   L"\n\nCorrigez dans un \u00e9diteur de texte (le Bloc-notes, par exemple), puis ouvrez le "
                   L"fichier \u00e0 nouveau." +
                   (read ? L""
                         : L" La lecture s'est arr\u00eat\u00e9e \u00e0 cette erreur : d'autres lignes peuvent "
                           L"en avoir."),
               MB_ICONWARNING);
    return false;
  }
  edited.sourceFile = sourceFile;
  edited.onDisk = true;
  edited.sourceFingerprint = FingerprintOf(std::vector<uint8_t>(text.begin(), text.end()));
  const SourceComments comments = ReadSourceComments(text);
  edited.commentsOnDisk = comments.handWritten;
  edited.origin = comments.origin;
  MarkSaved(&edited);
  StartQuiz(atelier, std::move(edited));
  RememberRecentQuiz(atelier, sourceFile);
  return true;
}

bool IsExecutableFile(const fs::path& file) {
  std::vector<uint8_t> start;
  return ReadFileStart(file, 2, &start) && start.size() == 2 && start[0] == kExecutableSignature[0] &&
         start[1] == kExecutableSignature[1];
}

bool HasExtension(const fs::path& file, const wchar_t* extension) {
  return lstrcmpiW(file.extension().c_str(), extension) == 0;
}

// A file named otherwise than a source may still be one (renamed by its
// author): text that reads as a source's. Anything else is no quiz.
bool IsSourceText(const fs::path& file) {
  if (HasExtension(file, kSourceExtension)) return true;
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ReadFileBytes(file, &bytes, &error, kMaxSourceFileBytes) || !LooksLikeText(bytes)) return false;
  QuizSource quiz;
  std::vector<SourceIssue> issues;
  return ReadQuizSource(std::string(bytes.begin(), bytes.end()), file, &quiz, &issues);
}

// Where a quiz taken out of an executable goes: a new folder beside it,
// named after the quiz, or a folder the author picks (asked again when one
// already holds a quiz and the author keeps it). False when cancelled;
// *replace when the author agreed to replace what the folder holds.
bool ChooseUnpackFolder(Atelier* atelier, const fs::path& executable, const QuizSource& quiz, fs::path* folder,
                        bool* replace) {
  *replace = false;
  const fs::path beside = NewFolderBeside(executable, Cp1252ToUtf8(quiz.title));
  const int answer = AskAuthor(atelier,
                               L"Le quiz de " + Quoted(executable.filename()) +
                                   L" va \u00eatre d\u00e9fait dans un nouveau dossier, \u00e0 c\u00f4t\u00e9 de "
                                   L"lui :\n" + Quoted(beside) +
                                   L"\nSa source (quiz.toml) et ses images y seront \u00e9crites. Cr\u00e9er ce "
                                   L"dossier ?\n\nNon : choisir un autre dossier.",
                               MB_YESNOCANCEL | MB_ICONQUESTION);
  if (answer == IDCANCEL) return false;
  if (answer == IDYES) {
    *folder = beside;
    return true;
  }
  const std::wstring title = L"Dossier o\u00f9 \u00e9crire la source et les images de " + Quoted(executable.filename());
  for (;;) {
    if (!atelier->prompts->chooseFolder(atelier->window, title, executable.parent_path(), folder)) return false;
    *folder = Absolute(*folder);
    if (!Exists(*folder / kSourceFileName) && !Exists(*folder / "images")) return true;
    const int replaceAnswer = AskAuthor(atelier,
                                        Quoted(*folder) +
                                            L" contient d\u00e9j\u00e0 une source quiz.toml ou un dossier images. "
                                            L"Les remplacer par le quiz de " +
                                            Quoted(executable.filename()) +
                                            L" ?\n\nNon : choisir un autre dossier.",
                                        MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2);
    if (replaceAnswer == IDCANCEL) return false;
    if (replaceAnswer == IDYES) {
      *replace = true;
      return true;
    }
  }
}

// A quiz executable: one built here offers its source; any other is taken
// apart into a source of its own. A file that is no quiz, or a damaged one,
// is told in one plain sentence before anything is asked.
bool OpenExecutable(Atelier* atelier, const fs::path& executable) {
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ReadFileBytes(executable, &bytes, &error, kMaxFileBytes, "un ex\u00e9cutable de quiz")) {
    TellAuthor(atelier, L"Impossible de lire " + Quoted(executable) + L" : " + WideFromUtf8(error), MB_ICONWARNING);
    return false;
  }
  const std::string origin = OriginComment(executable, Today());
  UnpackedExecutable unpacked;
  std::string problem;
  if (!UnpackForAuthor(bytes, PathText(executable.filename()), fs::path(), AtelierSourceComment(origin), &unpacked,
                       &problem)) {
    TellAuthor(atelier, WideFromUtf8(problem), MB_ICONWARNING);
    return false;
  }
  const BuildRecord* built = FindBuild(atelier->builds, bytes);
  if (built && Exists(built->source)) {
    const fs::path source = built->source;
    const int answer = AskAuthor(atelier,
                                 Quoted(executable.filename()) +
                                     L" a \u00e9t\u00e9 construit sur cet ordinateur \u00e0 partir de la source " +
                                     Quoted(source) +
                                     L". Ouvrir cette source ?\n\nOui : c'est elle qu'il faut changer, puis "
                                     L"reconstruire le quiz.\nNon : d\u00e9faire l'ex\u00e9cutable en une "
                                     L"seconde source.",
                                 MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDCANCEL) return false;
    if (answer == IDYES) return ConfirmCloseQuiz(atelier) && LoadSource(atelier, source);
  }
  if (!ConfirmCloseQuiz(atelier)) return false;
  fs::path folder;
  bool replace = false;
  if (!ChooseUnpackFolder(atelier, executable, unpacked.quiz, &folder, &replace)) return false;
  std::vector<OutputFile> files = unpacked.files;
  for (OutputFile& file : files) file.path = folder / file.path;
  for (const OutputFile& file : files) {
    if (!replace && Exists(file.path)) {
      TellAuthor(atelier, Quoted(file.path) + L" existe d\u00e9j\u00e0 : rien n'a \u00e9t\u00e9 \u00e9crit.",
                 MB_ICONWARNING);
      return false;
    }
  }
  if (!WriteOutputFiles(files, &error)) {
    TellAuthor(atelier, L"Impossible de d\u00e9faire " + Quoted(executable) + L" : " + WideFromUtf8(error),
               MB_ICONWARNING);
    return false;
  }
  if (!LoadSource(atelier, files.front().path)) return false;
  std::vector<std::wstring> lines;
  for (const std::string& warning : unpacked.warnings) lines.push_back(WideFromUtf8(warning));
  TellAuthor(atelier,
             L"Le quiz de " + Quoted(executable) + L" est d\u00e9fait dans " + Quoted(folder) +
                 L". Sa source quiz.toml, ouverte ici, le dit en premi\u00e8re ligne ; c'est elle qu'il faut changer "
                 L"pour reconstruire ce quiz." +
                 (lines.empty() ? std::wstring() : L"\n\n\u00c0 savoir :" + ShortList(lines)),
             MB_ICONINFORMATION);
  return true;
}

// Where the author builds: the Save As dialog, then the question before
// writing over a file.
bool ChooseExecutable(Atelier* atelier, fs::path* output) {
  const std::string title = Cp1252ToUtf8(atelier->edited.quiz.title);
  const fs::path proposed = atelier->edited.sourceFile.parent_path() / fs::u8path(FileNameFromTitle(title) + ".exe");
  if (!atelier->prompts->chooseExecutableToSave(atelier->window, proposed, output)) return false;
  *output = Absolute(*output);
  return !Exists(*output) || AskAuthor(atelier, Quoted(*output) + L" existe d\u00e9j\u00e0. Le remplacer par ce quiz ?",
                                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

// Builds on a thread of its own, from a copy of the quiz and of what the
// checks found; its progress and its end come back as messages.
void StartBuild(Atelier* atelier, const fs::path& output, bool toTest, bool toPage = false) {
  FinishBuildThread(atelier);
  BuildSettings settings;
  settings.player = atelier->setup.player;
  settings.output = output;
  settings.reducePictures = atelier->edited.quiz.reducePictures;
  settings.force = true;
  atelier->building = true;
  atelier->buildToTest = toTest;
  atelier->buildToPage = toPage;
  atelier->buildOutput = output;
  atelier->buildCancel = false;
  ShowWorkProgress(atelier, toPage ? L"Export en page web\u2026" : L"Construction\u2026");
  PictureCheckCache checks = atelier->edited.pictureChecks;
  checks.decodeMissing = true;
  checks.leaveRedrawnToBuild = true;
  HWND window = atelier->window;
  std::atomic<bool>* cancel = &atelier->buildCancel;
  atelier->buildThread = std::thread([quiz = atelier->edited.quiz, sourceFile = atelier->edited.sourceFile, settings,
                                      checks, window, cancel, toPage]() mutable {
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    BuildProgress progress;
    progress.cancel = cancel;
    progress.onPicture = [window](std::size_t done, std::size_t total) {
      PostMessageW(window, kBuildProgressMessage, done, static_cast<LPARAM>(total));
    };
    settings.pictureCache = &checks;
    settings.progress = &progress;
    BuildOutcome* outcome = new BuildOutcome;
    outcome->source = sourceFile;
    if (toPage) {
      PageSettings page;
      page.output = settings.output;
      page.force = true;
      page.progress = &progress;
      page.pictureCache = &checks;
      outcome->built = WriteQuizPageFromSource(quiz, sourceFile, page, &outcome->written, &outcome->error);
    } else {
      outcome->built = BuildQuizExecutable(quiz, sourceFile, settings, &outcome->written, &outcome->error);
    }
    if (com) CoUninitialize();
    if (!PostMessageW(window, kBuildDoneMessage, 0, reinterpret_cast<LPARAM>(outcome))) delete outcome;
  });
}

bool LaunchTestQuiz(Atelier* atelier, const fs::path& written) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  std::wstring commandLine = L"\"" + written.wstring() + L"\"";
  if (!CreateProcessW(written.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      written.parent_path().c_str(), &startup, &process)) {
    TellAuthor(atelier,
               L"Le quiz d'essai ne d\u00e9marre pas (" + WideFromUtf8(WindowsErrorText(GetLastError())) + L").",
               MB_ICONWARNING);
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

fs::path NewTestFolder() {
  wchar_t temporary[MAX_PATH] = L"";
  GetTempPathW(MAX_PATH, temporary);
  for (unsigned attempt = 0;; ++attempt) {
    const fs::path folder = fs::path(temporary) / (kTestFolderPrefix + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                                   std::to_wstring(GetTickCount() + attempt));
    if (CreateDirectoryW(folder.c_str(), nullptr)) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return fs::path();
  }
}

}  // namespace

bool ConfirmCloseQuiz(Atelier* atelier) {
  if (!atelier->open || !IsModified(atelier->edited)) return true;
  const int answer = AskAuthor(atelier,
                               L"Le quiz \u00ab " + QuizName(atelier) +
                                   L" \u00bb a des modifications non enregistr\u00e9es. "
                                   L"Les enregistrer ?",
                               MB_YESNOCANCEL | MB_ICONWARNING);
  if (answer == IDYES) return SaveQuiz(atelier, false);
  return answer == IDNO;
}

bool NewQuizFromFolder(Atelier* atelier, const fs::path& chosen) {
  if (!ConfirmCloseQuiz(atelier)) return false;
  const fs::path folder = Absolute(chosen);
  const fs::path sourceFile = folder / kSourceFileName;
  if (Exists(sourceFile)) {
    const int answer = AskAuthor(atelier,
                                 Quoted(folder) +
                                     L" a d\u00e9j\u00e0 une source de quiz (quiz.toml). "
                                     L"L'ouvrir ?\n\nNon : commencer un nouveau quiz avec les images du "
                                     L"dossier ; la source existante ne sera remplac\u00e9e qu'avec votre accord.",
                                 MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDYES) return LoadSource(atelier, sourceFile);
    if (answer == IDCANCEL) return false;
  }
  PictureFolder scan;
  std::string error;
  if (!ScanPictureFolder(folder, sourceFile, true, &scan, &error)) {
    TellAuthor(atelier, WideFromUtf8(error), MB_ICONWARNING);
    return false;
  }
  StartQuiz(atelier, NewQuiz(sourceFile, folder.filename().u8string(), scan.questions));
  TellSkipped(atelier, scan.skipped);
  return true;
}

bool NewQuizFromPictures(Atelier* atelier, const std::vector<fs::path>& files) {
  if (files.empty() || !ConfirmCloseQuiz(atelier)) return false;
  const fs::path folder = Absolute(files.front()).parent_path();
  const fs::path sourceFile = folder / kSourceFileName;
  std::vector<fs::path> chosen;
  for (const fs::path& file : files) chosen.push_back(Absolute(file));
  std::vector<SkippedFile> skipped;
  const std::vector<StarterQuestion> questions = StarterQuestionsFor(chosen, sourceFile, &skipped);
  TellSkipped(atelier, skipped);
  if (questions.empty()) return false;
  StartQuiz(atelier, NewQuiz(sourceFile, folder.filename().u8string(), questions));
  return true;
}

bool OpenQuizPath(Atelier* atelier, const fs::path& path) {
  std::error_code code;
  if (fs::is_directory(path, code)) return NewQuizFromFolder(atelier, path);
  if (!fs::is_regular_file(path, code)) {
    TellAuthor(atelier, Quoted(path) + L" est introuvable.", MB_ICONWARNING);
    ForgetRecentQuiz(atelier, path);
    return false;
  }
  if (IsExecutableFile(path)) return OpenExecutable(atelier, path);
  if (DetectPictureFileFormat(path) != PictureFormat::kUnknown) {
    if (!atelier->open) return NewQuizFromPictures(atelier, {path});
    AddPictureQuestions(atelier, {path});
    return true;
  }
  if (HasExtension(path, kExecutableExtension) || !IsSourceText(path)) {
    TellAuthor(atelier, WideFromUtf8(NotAQuizMessage()), MB_ICONWARNING);
    return false;
  }
  return ConfirmCloseQuiz(atelier) && LoadSource(atelier, path);
}

namespace {

// Pictures outside the quiz's folder stay behind when the folder alone is
// carried away: the author is offered copies in it, once for each picture.
// False when the author cancels or a copy fails (then nothing is saved).
bool OfferPictureCopies(Atelier* atelier, QuizSource* quiz, const fs::path& target) {
  std::vector<PictureCopy> copies = PicturesOutsideFolder(*quiz, target);
  const std::vector<fs::path>& left = atelier->picturesLeftOutside;
  copies.erase(std::remove_if(copies.begin(), copies.end(),
                              [&left](const PictureCopy& copy) {
                                return std::find(left.begin(), left.end(), copy.from) != left.end();
                              }),
               copies.end());
  if (copies.empty()) return true;
  std::vector<std::wstring> lines;
  for (const PictureCopy& copy : copies) lines.push_back(copy.from.wstring());
  const bool one = copies.size() == 1;
  const int answer = AskAuthor(
      atelier,
      (one ? std::wstring(L"Une image de ce quiz est") : std::to_wstring(copies.size()) + L" images de ce quiz sont") +
          L" hors de son dossier, " + Quoted(target.parent_path()) + L" :" + ShortList(lines) +
          (one ? L"\n\nLa copier dans ce dossier ? Elle partira avec le quiz (sur une cl\u00e9 USB, par exemple)."
               : L"\n\nLes copier dans ce dossier ? Elles partiront avec le quiz (sur une cl\u00e9 USB, par "
                 L"exemple).") +
          L"\n\nNon : le quiz les prend o\u00f9 elles sont, et son dossier seul ne suffira pas sur un autre "
          L"ordinateur.",
      MB_YESNOCANCEL | MB_ICONQUESTION);
  if (answer == IDCANCEL) return false;
  if (answer != IDYES) {
    for (const PictureCopy& copy : copies) atelier->picturesLeftOutside.push_back(copy.from);
    return true;
  }
  for (const PictureCopy& copy : copies) {
    std::error_code code;
    if (!fs::copy_file(copy.from, copy.to, code)) {
      TellAuthor(atelier,
                 L"La copie de " + Quoted(copy.from) + L" a \u00e9chou\u00e9 (" + WideFromUtf8(code.message()) +
                     L"). Le quiz n'a pas \u00e9t\u00e9 enregistr\u00e9 ; il reste ouvert tel quel.",
                 MB_ICONWARNING);
      return false;
    }
  }
  UsePictureCopies(quiz, target, copies);
  return true;
}

}  // namespace

bool SaveQuiz(Atelier* atelier, bool choosePlace) {
  if (!atelier->open) return false;
  EditedQuiz& edited = atelier->edited;
  // The source could hold them, but the quiz could not: it would not open
  // again without them.
  if (!edited.pending.empty()) {
    const bool twoBoxes = edited.quiz.answersPerQuestion == 2;
    std::vector<std::wstring> lines;
    for (const SourceIssue& issue : PendingTextIssues(edited))
      lines.push_back(WideFromUtf8(DescribeRemark(issue, twoBoxes)));
    TellAuthor(atelier,
               L"Le quiz ne peut pas garder ces caract\u00e8res :" + ShortList(lines) +
                   L"\n\nRetirez-les ou remplacez-les, puis enregistrez. Rien n'a \u00e9t\u00e9 \u00e9crit : le "
                   L"quiz reste ouvert tel quel.",
               MB_ICONWARNING);
    return false;
  }
  fs::path target = edited.sourceFile;
  // A folder that has gone (renamed, moved, removed) is never made again
  // behind the author's back: the author says where the quiz goes.
  if (!choosePlace && !IsFolder(target.parent_path())) {
    TellAuthor(atelier,
               L"Le dossier de ce quiz, " + Quoted(target.parent_path()) +
                   L", n'existe plus : il a \u00e9t\u00e9 renomm\u00e9, d\u00e9plac\u00e9 ou supprim\u00e9. "
                   L"Choisissez o\u00f9 enregistrer le quiz.",
               MB_ICONINFORMATION);
    choosePlace = true;
  }
  if (choosePlace) {
    if (!atelier->prompts->chooseSourceToSave(atelier->window, edited.sourceFile, &target)) return false;
    target = Absolute(target);
  }
  const bool sameFile = edited.onDisk && SamePath(target, edited.sourceFile);
  if (!sameFile && Exists(target) && !IsThisQuizsSource(edited, target) &&
      AskAuthor(atelier, Quoted(target) + L" existe d\u00e9j\u00e0. Le remplacer par ce quiz ?",
                MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
    return false;
  if (sameFile && edited.commentsOnDisk &&
      AskAuthor(atelier,
                Quoted(target) +
                    L" contient des commentaires \u00e9crits \u00e0 la main, que Vidod Atelier ne "
                    L"garde pas. L'enregistrer quand m\u00eame ?\n\nNon : choisissez \u00ab Enregistrer sous \u00bb "
                    L"pour garder l'original.",
                MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
    return false;

  QuizSource quiz = edited.quiz;
  if (!SamePath(target, edited.sourceFile)) RebasePictureKeys(&quiz, edited.sourceFile, target);
  // Pictures left outside one folder are asked about again for another.
  if (!SamePath(target.parent_path(), edited.sourceFile.parent_path())) atelier->picturesLeftOutside.clear();
  if (IsFolder(target.parent_path()) && !OfferPictureCopies(atelier, &quiz, target)) return false;
  std::string text, error;
  if (!WriteCheckedQuizSource(quiz, AtelierSourceComment(edited.origin), &text, &error) ||
      !WriteOutputFiles({{target, std::vector<uint8_t>(text.begin(), text.end())}}, &error)) {
    TellAuthor(atelier,
               L"L'enregistrement a \u00e9chou\u00e9 : " + WideFromUtf8(error) +
                   L"\nLe quiz reste ouvert tel quel : rien n'est perdu.",
               MB_ICONWARNING);
    return false;
  }
  // Elsewhere, or with pictures copied: the same pictures under other keys.
  const bool moved = !SamePath(target, edited.sourceFile) || !SameQuizContent(quiz, edited.quiz);
  // The keys rewritten for the new place name the same pictures: nothing to
  // undo there, the steps keep theirs.
  edited.quiz = quiz;
  edited.sourceFile = target;
  edited.onDisk = true;
  edited.commentsOnDisk = false;
  edited.sourceFingerprint = FingerprintOf(std::vector<uint8_t>(text.begin(), text.end()));
  MarkSaved(&edited);
  RememberRecentQuiz(atelier, target);
  if (moved) QuizChanged(atelier, kPicturesChanged, -1);
  UpdateWindowTitle(atelier);
  return true;
}

bool BuildQuiz(Atelier* atelier) {
  if (!atelier->open || atelier->building || !RefuseErrors(atelier, L"construire")) return false;
  fs::path output;
  if (!ChooseExecutable(atelier, &output)) return false;
  // The source goes with the executable, so that the quiz can be changed later.
  if ((IsModified(atelier->edited) || !atelier->edited.onDisk) && !SaveQuiz(atelier, false)) return false;
  StartBuild(atelier, output, false);
  return true;
}

bool ExportPage(Atelier* atelier) {
  if (!atelier->open || atelier->building || !RefuseErrors(atelier, L"exporter")) return false;
  const std::string title = Cp1252ToUtf8(atelier->edited.quiz.title);
  const fs::path proposed = atelier->edited.sourceFile.parent_path() / fs::u8path(FileNameFromTitle(title) + ".html");
  fs::path output;
  if (!atelier->prompts->choosePageToSave || !atelier->prompts->choosePageToSave(atelier->window, proposed, &output))
    return false;
  output = Absolute(output);
  if (Exists(output) && AskAuthor(atelier, Quoted(output) + L" existe d\u00e9j\u00e0. Le remplacer par ce quiz ?",
                                  MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
    return false;
  // Pictures are named from the source's folder: an unsaved quiz is saved first.
  if (!atelier->edited.onDisk && !SaveQuiz(atelier, false)) return false;
  StartBuild(atelier, output, false, true);
  return true;
}

bool TestQuiz(Atelier* atelier) {
  if (!atelier->open || atelier->building || !RefuseErrors(atelier, L"tester")) return false;
  // The player writes its progress file where it runs: a folder of its own
  // keeps it away from the source.
  const fs::path folder = NewTestFolder();
  if (folder.empty()) {
    TellAuthor(atelier, L"Impossible de cr\u00e9er un dossier temporaire pour l'essai.", MB_ICONWARNING);
    return false;
  }
  atelier->testFolders.push_back(folder);
  StartBuild(atelier, folder / fs::u8path(FileNameFromTitle(Cp1252ToUtf8(atelier->edited.quiz.title)) + ".exe"), true);
  return true;
}

void OnBuildProgress(Atelier* atelier, std::size_t done, std::size_t total) {
  if (!atelier->building || atelier->buildCancel) return;
  ShowWorkProgress(atelier, std::wstring(atelier->buildToPage ? L"Export" : L"Construction") + L" : image " +
                                std::to_wstring(std::min(done + 1, total)) + L" sur " +
                                std::to_wstring(total) + L"\u2026");
}

void OnBuildDone(Atelier* atelier, BuildOutcome* outcome) {
  FinishBuildThread(atelier);
  atelier->building = false;
  ShowWorkProgress(atelier, L"");
  const BuildOutcome result = *outcome;
  delete outcome;
  if (result.built && atelier->buildToTest) {
    LaunchTestQuiz(atelier, result.written);
  } else if (result.built && atelier->buildToPage) {
    TellAuthor(atelier,
               L"La page web est faite : " + Quoted(result.written) +
                   L"\nCe seul fichier suffit : il s'ouvre dans tout navigateur, sur ordinateur, tablette ou "
                   L"t\u00e9l\u00e9phone, sans r\u00e9seau.",
               MB_ICONINFORMATION);
  } else if (result.built) {
    // Remembered here, so that opening it later offers its source.
    RememberBuildRecord(atelier, result.written, result.source);
    if (AskAuthor(atelier,
                  L"Le quiz est construit : " + Quoted(result.written) +
                      L"\nC'est ce seul fichier qu'il faut donner aux \u00e9l\u00e8ves.\n\nOuvrir le dossier qui "
                      L"le contient ?",
                  MB_YESNO | MB_ICONINFORMATION) == IDYES &&
        !atelier->prompts->openWithShell(atelier->window, result.written.parent_path()))
      TellAuthor(atelier, L"Le dossier " + Quoted(result.written.parent_path()) + L" ne s'ouvre pas.",
                 MB_ICONWARNING);
  } else if (result.error == kBuildCancelled) {
    TellAuthor(atelier,
               L"La construction de " + Quoted(atelier->buildOutput.filename()) +
                   L" a \u00e9t\u00e9 arr\u00eat\u00e9e : aucun fichier n'a \u00e9t\u00e9 \u00e9crit.",
               MB_ICONINFORMATION);
  } else {
    TellAuthor(atelier,
               (atelier->buildToPage ? L"L'export de " : L"La construction de ") +
                   Quoted(atelier->buildOutput.filename()) + L" a \u00e9chou\u00e9 : " +
                   WideFromUtf8(result.error) + L"\nAucun fichier n'a \u00e9t\u00e9 \u00e9crit \u00e0 sa place.",
               MB_ICONWARNING);
  }
}

void CancelBuild(Atelier* atelier) {
  if (!atelier->building) return;
  atelier->buildCancel = true;
  ShowWorkProgress(atelier, L"Arr\u00eat de la construction\u2026");
}

void FinishBuildThread(Atelier* atelier) {
  if (atelier->buildThread.joinable()) atelier->buildThread.join();
}

void OpenGuide(Atelier* atelier) {
  const fs::path& guide = atelier->setup.guide;
  if (!Exists(guide)) {
    TellAuthor(atelier,
               L"Le guide de l'auteur n'est pas l\u00e0 o\u00f9 Vidod Atelier le cherche : " + Quoted(guide) +
                   L". Il est livr\u00e9 \u00e0 c\u00f4t\u00e9 du programme (guide-auteur.html).",
               MB_ICONINFORMATION);
    return;
  }
  if (!atelier->prompts->openWithShell(atelier->window, guide))
    TellAuthor(atelier,
               L"Le guide de l'auteur, " + Quoted(guide) +
                   L", ne s'ouvre pas : aucun navigateur web ne semble install\u00e9. Ouvrez ce fichier avec "
                   L"votre navigateur.",
               MB_ICONWARNING);
}

// A quiz still running keeps its folder; what is left is the system's
// temporary folder's to clear.
void RemoveTestFolders(Atelier* atelier) {
  for (const fs::path& folder : atelier->testFolders) {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }
  atelier->testFolders.clear();
}

}  // namespace vidod
