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
const std::vector<std::string> kSourceComment = {
    "Quiz Vidod enregistré par Vidod Atelier ; « vidod-make build quiz.toml -o QUIZ.exe »",
    "le construit aussi. Les images sont désignées par rapport à ce fichier.",
};
constexpr char kCommentLead = '#';
// A message box grows with its lines and has no scroll bar: past a dozen,
// its button leaves a small screen.
constexpr std::size_t kLinesShown = 10;
constexpr wchar_t kTestFolderPrefix[] = L"vidod-atelier-essai-";
constexpr char kExecutableSignature[] = "MZ";

std::wstring Quoted(const fs::path& path) { return L"\u00ab " + path.wstring() + L" \u00bb"; }

bool Exists(const fs::path& path) {
  std::error_code ignored;
  return fs::exists(path, ignored);
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

// Comments that a save would drop: any but the ones the Atelier writes.
bool HasOwnComments(const std::string& text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] != kCommentLead) continue;
    line = line.substr(first);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    const bool ours = std::any_of(kSourceComment.begin(), kSourceComment.end(),
                                  [&](const std::string& comment) { return line == "# " + comment; });
    if (!ours) return true;
  }
  return false;
}

// The first lines as a list, and how many more there are.
std::wstring ShortList(const std::vector<std::wstring>& lines, const wchar_t* whereTheRestIs = L"") {
  std::wstring list;
  for (std::size_t i = 0; i < lines.size() && i < kLinesShown; ++i) list += L"\n\u2022 " + lines[i];
  if (lines.size() > kLinesShown)
    list += L"\n\u2026 et " + std::to_wstring(lines.size() - kLinesShown) + L" autre(s)" + whereTheRestIs;
  return list;
}

std::wstring IssueList(const std::vector<SourceIssue>& issues, bool errorsOnly) {
  std::vector<std::wstring> lines;
  for (const SourceIssue& issue : issues)
    if (!errorsOnly || !issue.warning) lines.push_back(WideFromUtf8(DescribeIssue(issue)));
  return ShortList(lines);
}

// The Atelier's checks keep the quiz from being tested or built while it
// has errors, as build would.
bool RefuseErrors(Atelier* atelier, const wchar_t* action) {
  if (!HasErrors(atelier->issues)) return true;
  TellAuthor(atelier,
             std::wstring(L"Le quiz a des erreurs \u00e0 corriger avant de le ") + action + L" :" +
                 IssueList(atelier->issues, true),
             MB_ICONWARNING);
  return false;
}

void StartQuiz(Atelier* atelier, EditedQuiz edited) {
  ForgetPictureWork(atelier);
  atelier->edited = std::move(edited);
  // Pictures are decoded on the worker threads, never while checking.
  atelier->edited.pictureChecks.decodeMissing = false;
  atelier->open = true;
  atelier->current = 0;
  ClearFittedPictures(&atelier->thumbnailPictures);
  ClearFittedPictures(&atelier->viewPictures);
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
  // shows them, unless the author says otherwise.
  edited.quiz.reducePictures = true;
  edited.modified = true;
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
    TellAuthor(atelier,
               L"Vidod Atelier ne peut pas ouvrir " + Quoted(sourceFile) + L" sans en perdre une partie :" +
                   IssueList(problems, true) +
                   L"\n\nCorrigez ces lignes dans un \u00e9diteur de texte (\u00ab vidod-make check \u00bb les "
                   L"montre toutes), puis ouvrez le fichier \u00e0 nouveau.",
               MB_ICONWARNING);
    return false;
  }
  edited.sourceFile = sourceFile;
  edited.onDisk = true;
  edited.commentsOnDisk = HasOwnComments(text);
  StartQuiz(atelier, std::move(edited));
  RememberRecentQuiz(atelier, sourceFile);
  return true;
}

bool IsExecutableFile(const fs::path& file) {
  std::vector<uint8_t> start;
  return ReadFileStart(file, 2, &start) && start.size() == 2 && start[0] == kExecutableSignature[0] &&
         start[1] == kExecutableSignature[1];
}

bool OpenExecutable(Atelier* atelier, const fs::path& executable) {
  if (!ConfirmCloseQuiz(atelier)) return false;
  fs::path folder;
  const std::wstring title = L"Dossier o\u00f9 \u00e9crire la source et les images de " + Quoted(executable.filename());
  if (!atelier->prompts->chooseFolder(atelier->window, title, executable.parent_path(), &folder)) return false;
  folder = Absolute(folder);
  bool force = false;
  if (Exists(folder / kSourceFileName) || Exists(folder / "images")) {
    if (AskAuthor(atelier,
                  Quoted(folder) +
                      L" contient d\u00e9j\u00e0 une source quiz.toml ou un dossier images. "
                      L"Les remplacer par le quiz de " +
                      Quoted(executable.filename()) + L" ?",
                  MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
      return false;
    force = true;
  }
  fs::path sourceFile;
  std::vector<std::string> warnings;
  std::string error;
  if (!UnpackQuizExecutable(executable, folder, force, &sourceFile, &warnings, &error)) {
    TellAuthor(atelier, L"Impossible d'ouvrir " + Quoted(executable) + L" : " + WideFromUtf8(error), MB_ICONWARNING);
    return false;
  }
  if (!warnings.empty()) {
    std::vector<std::wstring> lines;
    for (const std::string& warning : warnings) lines.push_back(WideFromUtf8(warning));
    TellAuthor(atelier,
               L"Le quiz a \u00e9t\u00e9 d\u00e9fait dans " + Quoted(folder) + L". \u00c0 savoir :" +
                   ShortList(lines, L" : \u00ab vidod-make unpack \u00bb les donne toutes"),
               MB_ICONINFORMATION);
  }
  // Its comment is unpack's, not the author's: a save may drop it unasked.
  if (!LoadSource(atelier, sourceFile)) return false;
  atelier->edited.commentsOnDisk = false;
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
  if (!atelier->open || !atelier->edited.modified) return true;
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
  return ConfirmCloseQuiz(atelier) && LoadSource(atelier, path);
}

bool SaveQuiz(Atelier* atelier, bool choosePlace) {
  if (!atelier->open) return false;
  EditedQuiz& edited = atelier->edited;
  if (!edited.pending.empty()) {
    TellAuthor(atelier,
               L"Des textes contiennent des caract\u00e8res que le lecteur ne peut pas afficher (voir les "
               L"remarques \u00ab Erreur \u00bb) : corrigez-les avant d'enregistrer. Rien n'a \u00e9t\u00e9 "
               L"\u00e9crit.",
               MB_ICONWARNING);
    return false;
  }
  fs::path target = edited.sourceFile;
  if (choosePlace) {
    if (!atelier->prompts->chooseSourceToSave(atelier->window, edited.sourceFile, &target)) return false;
    target = Absolute(target);
  }
  const bool sameFile = edited.onDisk && SamePath(target, edited.sourceFile);
  if (!sameFile && Exists(target) &&
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
  std::string text, error;
  if (!WriteCheckedQuizSource(quiz, kSourceComment, &text, &error) ||
      !WriteOutputFiles({{target, std::vector<uint8_t>(text.begin(), text.end())}}, &error)) {
    TellAuthor(atelier,
               L"L'enregistrement a \u00e9chou\u00e9 : " + WideFromUtf8(error) +
                   L"\nLe quiz reste ouvert tel quel : rien n'est perdu.",
               MB_ICONWARNING);
    return false;
  }
  const bool moved = !SamePath(target, edited.sourceFile);
  edited.quiz = quiz;
  edited.sourceFile = target;
  edited.onDisk = true;
  edited.modified = false;
  edited.commentsOnDisk = false;
  RememberRecentQuiz(atelier, target);
  if (moved) {
    FillQuestionPage(atelier);
    QuizEdited(atelier, false);
  }
  UpdateWindowTitle(atelier);
  return true;
}

bool BuildQuiz(Atelier* atelier) {
  if (!atelier->open || atelier->building || !RefuseErrors(atelier, L"construire")) return false;
  fs::path output;
  if (!ChooseExecutable(atelier, &output)) return false;
  // The source goes with the executable, so that the quiz can be changed later.
  if ((atelier->edited.modified || !atelier->edited.onDisk) && !SaveQuiz(atelier, false)) return false;
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
    TellAuthor(atelier,
               L"Le quiz est construit : " + Quoted(result.written) +
                   L"\nC'est ce seul fichier qu'il faut donner aux joueurs.",
               MB_ICONINFORMATION);
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
