// The question page: the picture as the single-question view shows it, the
// expected answers and the reveal text of the selected question, its marks
// and remarks, and the box to try an answer.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "atelier/atelier_ids.h"
#include "atelier/atelier_window.h"
#include "atelier/controls.h"
#include "atelier/pages.h"
#include "atelier/text_convert.h"
#include "maker/picture_format.h"

namespace vidod {
namespace fs = std::filesystem;

namespace {

// Sizes at 96 dots per inch.
constexpr int kButtonWidth = 150;
constexpr int kMaximumPreviewWidth = 640;
constexpr int kMinimumPreviewWidth = 160;
constexpr int kRemarkLines = 4;
constexpr int kQuarterTurn = 90;
constexpr int kFullTurn = 360;
constexpr int kTrialRowGap = 4;  // after the trial's last row

struct QuestionPage {
  Atelier* atelier;
  HBITMAP view = nullptr;  // the question as the single-question view shows it
  bool laidOutWithSecond = false;  // the rows of a second box had their places at the last layout
  // The question, and the quiz by its opening, whose answer is being tried.
  int trialQuestion = -1;
  unsigned trialOpening = 0;
};

// A quiz of two boxes per question has the pupil fill both: each box has
// its own expected answer, and the first box's label says so.
constexpr FieldRow kFieldRows[] = {
    {IDC_ANSWER_LABEL, IDC_ANSWER, IDC_ANSWER_MARK, QuizField::kAnswer, L"&R\u00e9ponse attendue :"},
    {IDC_OTHERS_LABEL, IDC_OTHERS, IDC_OTHERS_MARK, QuizField::kOtherAnswers,
     L"A&utres r\u00e9ponses accept\u00e9es :"},
    {IDC_ANSWER2_LABEL, IDC_ANSWER2, IDC_ANSWER2_MARK, QuizField::kAnswer2, L"R\u00e9ponse de la &2e case :"},
    {IDC_OTHERS2_LABEL, IDC_OTHERS2, IDC_OTHERS2_MARK, QuizField::kOtherAnswers2,
     L"Autres r\u00e9&ponses de la 2e case :"},
    {IDC_REVEAL_LABEL, IDC_REVEAL, IDC_REVEAL_MARK, QuizField::kReveal, L"&Texte r\u00e9v\u00e9l\u00e9 :"},
};
constexpr wchar_t kFirstBoxLabel[] = L"&R\u00e9ponse de la 1re case :";
constexpr wchar_t kFirstBoxOthersLabel[] = L"A&utres r\u00e9ponses de la 1re case :";
constexpr int kLabelIds[] = {IDC_ANSWER_LABEL,  IDC_OTHERS_LABEL,         IDC_ANSWER2_LABEL,
                             IDC_OTHERS2_LABEL, IDC_REVEAL_LABEL,         IDC_TRY_LABEL,
                             IDC_TRY2_LABEL,    IDC_SINGLE_VERDICT_LABEL, IDC_LIST_VERDICT_LABEL,
                             IDC_LIST_VERDICT2_LABEL};

bool OfSecondBox(const FieldRow& row) {
  return row.field == QuizField::kAnswer2 || row.field == QuizField::kOtherAnswers2;
}

QuestionPage* PageOf(HWND page) { return static_cast<QuestionPage*>(PageRecord(page)); }
HWND Page(const Atelier* atelier) { return atelier->pages[kQuestionPage]; }

bool ShowsSecondAnswer(const Atelier* atelier) {
  const int question = atelier->current;
  return atelier->edited.quiz.answersPerQuestion == 2 ||
         (question >= 0 && (!ShownFieldText(atelier->edited, FieldRef{QuizField::kAnswer2, question}).empty() ||
                            !ShownFieldText(atelier->edited, FieldRef{QuizField::kOtherAnswers2, question}).empty()));
}

// A quiz that shows no reveal text still takes one (its remark says where
// they are switched on); the empty box says it first.
void ShowRevealCue(const Atelier* atelier, HWND page) {
  const wchar_t* cue =
      QuizTypeHasReveals(atelier->edited.quiz.quizType)
          ? L""
          : L"ce quiz n'en montre pas : page Quiz (Ctrl+2), \u00ab Textes r\u00e9v\u00e9l\u00e9s \u00bb";
  SendDlgItemMessageW(page, IDC_REVEAL, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(cue));
}

void CreateControls(HWND page) {
  AddControl(page, IDC_QUESTION_HEADING, WC_STATICW, L"", SS_LEFT | SS_NOPREFIX);
  AddControl(page, IDC_PREVIEW, WC_STATICW, L"Image de la question, telle que le lecteur la montre", SS_OWNERDRAW);
  AddButton(page, IDC_CHANGE_PICTURE, L"&Changer l'image\u2026");
  AddControl(page, IDC_PICTURE_NAME, WC_STATICW, L"", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS);
  AddMark(page, IDC_PICTURE_MARK);
  for (const FieldRow& row : kFieldRows) AddFieldRow(page, row);
  // Shown while the box is empty: how several answers are written.
  for (int id : {IDC_OTHERS, IDC_OTHERS2})
    SendDlgItemMessageW(page, id, EM_SETCUEBANNER, TRUE,
                        reinterpret_cast<LPARAM>(L"s\u00e9par\u00e9es par \u00ab ; \u00bb : Notre-Dame ; Notre Dame"));
  AddLabel(page, IDC_QUESTION_REMARKS_LABEL, L"Re&marques sur cette question :");
  AddRemarksBox(page, IDC_QUESTION_REMARKS);
}

int LayOut(HWND page, int width, int height) {
  Atelier* atelier = AtelierOf(page);
  if (!atelier) return 0;
  PageMetrics m = MeasurePage(atelier, page);
  m.label = std::max(m.label, WidestLabel(page, kLabelIds, std::size(kLabelIds)));
  const int inner = width - 2 * m.margin;
  const bool second = ShowsSecondAnswer(atelier);
  PageOf(page)->laidOutWithSecond = second;
  int fieldRows = 0;
  for (const FieldRow& row : kFieldRows) fieldRows += second || !OfSecondBox(row) ? 1 : 0;
  const int remarksHeight = kRemarkLines * m.line + m.row - m.line;
  const int below =
      (1 + fieldRows) * (m.row + m.gap) + m.line + m.gap + remarksHeight + m.gap + AnswerTrialHeight(atelier, page);
  const int headingHeight = LineHeight(page, atelier->headingFont) + m.gap;
  const int roomForPreview = height - 2 * m.margin - headingHeight - below - m.gap;
  const int previewWidth = std::max(Dip(atelier, kMinimumPreviewWidth),
                                    std::min({inner, roomForPreview * 4 / 3, Dip(atelier, kMaximumPreviewWidth)}));
  const int previewHeight = previewWidth * 3 / 4;

  int y = m.margin;
  Place(page, IDC_QUESTION_HEADING, m.margin, y, inner, headingHeight);
  y += headingHeight;
  Place(page, IDC_PREVIEW, m.margin, y, previewWidth, previewHeight);
  y += previewHeight + m.gap;
  const int buttonWidth = Dip(atelier, kButtonWidth);
  Place(page, IDC_CHANGE_PICTURE, m.margin, y, buttonWidth, m.row);
  Place(page, IDC_PICTURE_NAME, m.margin + buttonWidth + m.gap, y + m.textOffset,
        inner - buttonWidth - m.mark - 2 * m.gap, m.line);
  Place(page, IDC_PICTURE_MARK, width - m.margin - m.mark, y + m.textOffset, m.mark, m.line);
  y += m.row + m.gap;
  for (const FieldRow& row : kFieldRows)
    if (second || !OfSecondBox(row)) y = PlaceFieldRow(page, m, y, width, row.labelId, row.editId, row.markId);
  y = PlaceLabelledBox(page, m, y, width, IDC_QUESTION_REMARKS_LABEL, IDC_QUESTION_REMARKS, remarksHeight);
  return LayOutAnswerTrial(atelier, page, m, y, inner) - Dip(atelier, kTrialRowGap) + m.margin;
}

void OnFieldChanged(Atelier* atelier, const FieldRow& row) {
  if (atelier->filling || atelier->current < 0) return;
  const std::wstring text = WindowTextOf(GetDlgItem(Page(atelier), row.editId));
  if (!EditQuiz(atelier, TextEdit(FieldRef{row.field, atelier->current}, Utf8FromWide(text)))) return;
  if (row.field != QuizField::kReveal) JudgeTrialAnswers(atelier, Page(atelier));
}

void OnCommand(HWND page, int id, int code) {
  Atelier* atelier = AtelierOf(page);
  if (!atelier) return;
  if (id == IDC_CHANGE_PICTURE && code == BN_CLICKED) {
    ChangeQuestionPicture(atelier);
    return;
  }
  if (code == EN_KILLFOCUS) OnFieldLeft(atelier);
  if (code != EN_CHANGE) return;
  for (const FieldRow& row : kFieldRows)
    if (row.editId == id) OnFieldChanged(atelier, row);
  if (id == IDC_TRY || id == IDC_TRY2) JudgeTrialAnswers(atelier, page);
}

// The view's picture stretched into the preview box, halftoned as the player
// fits its pictures.
void DrawPreview(HWND page, const DRAWITEMSTRUCT* draw) {
  const QuestionPage* record = PageOf(page);
  const RECT& box = draw->rcItem;
  if (!record->view) {
    FillRect(draw->hDC, &box, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  HDC source = CreateCompatibleDC(draw->hDC);
  HGDIOBJ old = SelectObject(source, record->view);
  SetStretchBltMode(draw->hDC, HALFTONE);
  SetBrushOrgEx(draw->hDC, 0, 0, nullptr);
  StretchBlt(draw->hDC, box.left, box.top, box.right - box.left, box.bottom - box.top, source, 0, 0,
             kPlayerPictureWidth, kPlayerPictureHeight, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
}

void OnDestroy(HWND page) {
  QuestionPage* record = PageOf(page);
  if (record->view) DeleteObject(record->view);
  delete record;
}

const PageHandlers kHandlers = {CreateControls, LayOut, OnCommand, nullptr, DrawPreview, nullptr, OnDestroy};

}  // namespace

HWND CreateQuestionPage(Atelier* atelier) {
  HWND page = CreatePage(atelier->tabs, &kHandlers, new QuestionPage{atelier});
  CreateAnswerTrial(atelier, page);
  return page;
}

void FillQuestionPage(Atelier* atelier) {
  HWND page = Page(atelier);
  const int question = atelier->current;
  const int count = static_cast<int>(atelier->edited.quiz.questions.size());
  atelier->filling = true;
  SetWindowTextIfOther(GetDlgItem(page, IDC_QUESTION_HEADING),
                       question < 0 ? L"Aucune question : ajoutez des images"
                                    : L"Question " + std::to_wstring(question + 1) + L" sur " + std::to_wstring(count));
  for (const FieldRow& row : kFieldRows) {
    HWND edit = GetDlgItem(page, row.editId);
    SetWindowTextIfOther(
        edit, question < 0 ? L"" : WideFromUtf8(ShownFieldText(atelier->edited, FieldRef{row.field, question})));
    EnableWindow(edit, question >= 0);
  }
  const bool second = ShowsSecondAnswer(atelier);
  SetWindowTextIfOther(GetDlgItem(page, IDC_ANSWER_LABEL),
                       atelier->edited.quiz.answersPerQuestion == 2 ? kFirstBoxLabel : kFieldRows[0].label);
  SetWindowTextIfOther(GetDlgItem(page, IDC_OTHERS_LABEL),
                       atelier->edited.quiz.answersPerQuestion == 2 ? kFirstBoxOthersLabel : kFieldRows[1].label);
  // A two-answer quiz opened first finds the rows shown but never placed:
  // the page was laid out while no quiz was open.
  if (HasVisibleStyle(GetDlgItem(page, IDC_ANSWER2)) != second || PageOf(page)->laidOutWithSecond != second) {
    for (const FieldRow& row : kFieldRows) {
      if (!OfSecondBox(row)) continue;
      for (int id : {row.labelId, row.editId, row.markId}) ShowWindow(GetDlgItem(page, id), second ? SW_SHOW : SW_HIDE);
    }
    RelayOutPage(page);
  }
  ShowRevealCue(atelier, page);
  EnableWindow(GetDlgItem(page, IDC_CHANGE_PICTURE), question >= 0);
  const std::string image = question < 0 ? std::string() : atelier->edited.quiz.questions[question].image;
  const int rotation = question < 0 ? 0 : atelier->edited.quiz.questions[question].rotation;
  SetWindowTextIfOther(GetDlgItem(page, IDC_PICTURE_NAME),
                       image.empty() ? (question < 0 ? L"" : L"(pas d'image)")
                                     : WideFromUtf8(image) + (rotation ? L" (tournée de " + std::to_wstring(rotation) +
                                                                             L"°)"
                                                                       : L""));
  atelier->filling = false;
  RefreshPreview(atelier);
  // A trial belongs to the question it was typed for.
  QuestionPage* record = PageOf(page);
  if (record->trialQuestion != question || record->trialOpening != atelier->openings) {
    record->trialQuestion = question;
    record->trialOpening = atelier->openings;
    ClearAnswerTrial(atelier, page);
  } else {
    JudgeTrialAnswers(atelier, page);
  }
}

void ShowQuestionIssues(Atelier* atelier) {
  HWND page = Page(atelier);
  const int question = atelier->current;
  FieldMark marks[std::size(kFieldRows)];
  for (std::size_t i = 0; i < std::size(kFieldRows); ++i)
    marks[i] = {kFieldRows[i].markId, FieldRef{kFieldRows[i].field, question}};
  ShowFieldMarks(atelier, page, marks, std::size(marks));
  SetMark(GetDlgItem(page, IDC_PICTURE_MARK),
          WorstLevel(IssuesWhere(
              atelier, [](const IssuePlace& place, int which) { return place.onPicture && place.question == which; },
              question)));
  SetRemarks(
      GetDlgItem(page, IDC_QUESTION_REMARKS),
      IssuesWhere(
          atelier, [](const IssuePlace& place, int which) { return which >= 0 && place.question == which; }, question));
}

void RefreshPreview(Atelier* atelier) {
  HWND page = Page(atelier);
  QuestionPage* record = PageOf(page);
  if (record->view) DeleteObject(record->view);
  record->view = nullptr;
  if (atelier->open && atelier->current >= 0) {
    // The quiz colour alone until the worker has drawn the picture.
    const fs::path file = QuestionPicture(atelier, atelier->current);
    HBITMAP fitted = nullptr;
    if (!file.empty() &&
        !FindFittedPicture(&atelier->viewPictures, file, atelier->edited.quiz.questions[atelier->current].rotation,
                           SIZE{kPlayerPictureWidth, kPlayerPictureHeight}, QuizColour(atelier), &fitted))
      QueuePictureWork(atelier);
    record->view = ComposeOnColour(fitted, QuizColour(atelier), kPlayerPictureWidth, kPlayerPictureHeight);
  }
  InvalidateRect(GetDlgItem(page, IDC_PREVIEW), nullptr, FALSE);
}

void ChangeQuestionPicture(Atelier* atelier) {
  const int question = atelier->current;
  if (!atelier->open || question < 0) return;
  std::vector<fs::path> files;
  const fs::path current = QuestionPicture(atelier, question);
  const fs::path start = current.empty() ? atelier->edited.sourceFile.parent_path() : current.parent_path();
  if (!atelier->prompts->choosePictures(atelier->window, start, &files) || files.empty()) return;
  // The picture goes by the rules of a new quiz's: a name a source cannot
  // hold is told, not taken.
  std::vector<SkippedFile> skipped;
  const std::vector<StarterQuestion> chosen =
      StarterQuestionsFor({fs::absolute(files.front()).lexically_normal()}, atelier->edited.sourceFile, &skipped);
  TellSkipped(atelier, skipped);
  if (chosen.empty()) return;
  EditQuiz(atelier, PictureEdit(question, chosen.front().image, 0));
}

void RotateQuestionPicture(Atelier* atelier, bool clockwise) {
  const int question = atelier->current;
  if (!atelier->open || question < 0 || atelier->edited.quiz.questions[question].image.empty()) return;
  const QuestionSource& shown = atelier->edited.quiz.questions[question];
  const int rotation = (shown.rotation + (clockwise ? kQuarterTurn : kFullTurn - kQuarterTurn)) % kFullTurn;
  // Said now, not as an error that would later stop the build.
  const PictureFormat format = DetectPictureFileFormat(QuestionPicture(atelier, question));
  if (rotation != 0 && format != PictureFormat::kUnknown && !BuildTurnsFormat(format)) {
    TellAuthor(atelier,
               L"Une image " + WideFromUtf8(PictureFormatName(format)) +
                   L" ne peut pas \u00eatre tourn\u00e9e. Enregistrez-la en PNG (dans Paint : Fichier > Enregistrer "
                   L"sous > Image PNG), tournez-la au besoin, puis choisissez-la avec Changer l'image\u2026 (Ctrl+M).",
               MB_ICONINFORMATION);
    return;
  }
  EditQuiz(atelier, PictureEdit(question, shown.image, rotation));
}

void CorrectTypedAnswers(Atelier* atelier) {
  if (!atelier->open) return;
  QuizSource corrections = atelier->edited.quiz;
  const std::size_t corrected = CorrectAnswers(&corrections);
  if (corrected == 0) {
    TellAuthor(atelier, L"Toutes les r\u00e9ponses attendues se tapent d\u00e9j\u00e0 au clavier.", MB_ICONINFORMATION);
    return;
  }
  EditQuiz(atelier, SettingEdit(EditKind::kTypableAnswers, 0));
  TellAuthor(atelier,
             std::to_wstring(corrected) +
                 (corrected > 1 ? L" r\u00e9ponses attendues r\u00e9\u00e9crites"
                                : L" r\u00e9ponse attendue r\u00e9\u00e9crite") +
                 L" comme un clavier les tape.",
             MB_ICONINFORMATION);
}

void OnFieldLeft(Atelier* atelier) { EndTyping(&atelier->edited); }

void FocusAnswerTrial(Atelier* atelier) {
  if (!atelier->open || atelier->current < 0) return;
  ShowPage(atelier, kQuestionPage);
  SetFocus(GetDlgItem(Page(atelier), IDC_TRY));
}

}  // namespace vidod
