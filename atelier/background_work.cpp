// The work that the window hands to its worker threads: the thumbnails,
// the preview and the checks of every picture. What is asked is only what
// the caches lack, the preview and the rows in sight first; each outcome is
// kept by file and rotation, so it stays good whatever was edited since.
#include <windows.h>

#include <commctrl.h>

#include <set>

#include "atelier/atelier_window.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

constexpr int kProgressPart = 1;

bool Inspected(Atelier* atelier, const fs::path& file) {
  const auto found = atelier->edited.pictureChecks.entries.find(file);
  if (found == atelier->edited.pictureChecks.entries.end()) return false;
  std::error_code sizeCode, timeCode;
  return found->second.size == fs::file_size(file, sizeCode) &&
         found->second.modified == fs::last_write_time(file, timeCode) && !sizeCode && !timeCode;
}

void ShowRemaining(Atelier* atelier) {
  const std::size_t left = atelier->pictureWorker ? PicturesUnfinished(atelier->pictureWorker) : 0;
  if (atelier->building) return;  // the build's progress holds the place
  ShowWorkProgress(atelier, left == 0 ? std::wstring()
                                      : L"Lecture des images\u2026 encore " + std::to_wstring(left));
}

}  // namespace

void QueuePictureWork(Atelier* atelier) {
  if (!atelier->pictureWorker) return;
  std::vector<PictureRequest> requests;
  if (!atelier->open) {
    QueuePictures(atelier->pictureWorker, atelier->pictureGeneration, requests);
    return;
  }
  const COLORREF colour = QuizColour(atelier);
  const SIZE viewBox = {kPlayerPictureWidth, kPlayerPictureHeight};
  const fs::path current = QuestionPicture(atelier, atelier->current);
  HBITMAP ignored = nullptr;
  if (!current.empty()) {
    const int rotation = atelier->edited.quiz.questions[atelier->current].rotation;
    if (!FindFittedPicture(&atelier->viewPictures, current, rotation, viewBox, colour, &ignored))
      requests.push_back({current, rotation, viewBox, colour, false});
  }
  // The rows in sight, then the others in quiz order.
  const int count = static_cast<int>(atelier->edited.quiz.questions.size());
  int first = 0, last = -1;
  VisibleRows(atelier, &first, &last);
  std::vector<int> order;
  for (int row = std::max(0, first); row <= last && row < count; ++row) order.push_back(row);
  for (int row = 0; row < count; ++row)
    if (row < first || row > last) order.push_back(row);
  const SIZE thumbnailBox = ThumbnailBox(atelier);
  std::set<std::pair<fs::path, int>> asked;
  for (int question : order) {
    const fs::path file = QuestionPicture(atelier, question);
    const int rotation = atelier->edited.quiz.questions[question].rotation;
    if (file.empty() || !asked.insert({file, rotation}).second) continue;
    const bool drawn = FindFittedPicture(&atelier->thumbnailPictures, file, rotation, thumbnailBox, colour, &ignored);
    const bool inspect = !Inspected(atelier, file);
    std::error_code code;
    if ((!drawn || inspect) && fs::is_regular_file(file, code))
      requests.push_back({file, rotation, thumbnailBox, colour, inspect});
  }
  QueuePictures(atelier->pictureWorker, atelier->pictureGeneration, std::move(requests));
  ShowRemaining(atelier);
}

void OnPictureOutcome(Atelier* atelier, PictureOutcome* outcome) {
  if (outcome->generation != atelier->pictureGeneration || !atelier->open) {
    DeletePictureOutcome(outcome);
    ShowRemaining(atelier);
    return;
  }
  const PictureRequest& request = outcome->request;
  RenderedPicture& rendered = outcome->rendered;
  if (rendered.inspected) {
    StorePictureInspection(&atelier->edited.pictureChecks, request.file, rendered.inspection);
    if (!atelier->recheckPosted && PostMessageW(atelier->window, kRecheckMessage, 0, 0)) atelier->recheckPosted = true;
  }
  HBITMAP fitted = rendered.fitted;
  rendered.fitted = nullptr;
  if (request.box.cx == kPlayerPictureWidth && request.box.cy == kPlayerPictureHeight) {
    KeepFittedPicture(&atelier->viewPictures, request, rendered, fitted);
    const bool shown = atelier->current >= 0 && QuestionPicture(atelier, atelier->current) == request.file &&
                       atelier->edited.quiz.questions[atelier->current].rotation == request.rotation;
    if (shown) RefreshPreview(atelier);
  } else {
    KeepFittedPicture(&atelier->thumbnailPictures, request, rendered, fitted);
    ShowThumbnail(atelier, request);
  }
  DeletePictureOutcome(outcome);
  ShowRemaining(atelier);
}

bool SeePictureFiles(Atelier* atelier) {
  if (!atelier->open) {
    atelier->watched.clear();
    return false;
  }
  std::map<fs::path, WatchedPicture> now;
  for (int question = 0; question < static_cast<int>(atelier->edited.quiz.questions.size()); ++question) {
    const fs::path file = QuestionPicture(atelier, question);
    if (file.empty() || now.count(file)) continue;
    WatchedPicture& seen = now[file];
    std::error_code code;
    seen.size = fs::file_size(file, code);
    if (!code) seen.written = fs::last_write_time(file, code);
    seen.present = !code;
  }
  bool changed = false;
  for (const auto& [file, seen] : now) {
    const auto before = atelier->watched.find(file);
    if (before == atelier->watched.end()) continue;  // a picture just given to a question
    const WatchedPicture& was = before->second;
    changed = changed || was.present != seen.present || was.size != seen.size || was.written != seen.written;
  }
  atelier->watched.swap(now);
  return changed;
}

void WatchPictures(Atelier* atelier) {
  // The caches know each file by its size and time: what changed is drawn
  // and checked again, what went shows as gone.
  if (SeePictureFiles(atelier)) QuizChanged(atelier, kPicturesChanged, -1);
}

void OnRecheckMessage(Atelier* atelier) {
  atelier->recheckPosted = false;
  if (atelier->open) RecheckQuiz(atelier);
}

void ShowWorkProgress(Atelier* atelier, const std::wstring& text) {
  SendMessageW(atelier->status, SB_SETTEXTW, kProgressPart, reinterpret_cast<LPARAM>(text.c_str()));
}

void ForgetPictureWork(Atelier* atelier) {
  ++atelier->pictureGeneration;
  if (atelier->pictureWorker) QueuePictures(atelier->pictureWorker, atelier->pictureGeneration, {});
  ShowRemaining(atelier);
}

}  // namespace vidod
