// The quiz page: title, author, explanation, the answers per question and
// their labels, when reveal texts appear, pictures in the list view, what
// the comparison of answers forgives, and the background colour, with their
// marks and remarks.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "atelier/atelier_ids.h"
#include "atelier/atelier_window.h"
#include "atelier/controls.h"
#include "atelier/pages.h"
#include "atelier/text_convert.h"
#include "quiz/accepted_answers_blob.h"

namespace vidod {

namespace {

// Sizes at 96 dots per inch.
constexpr int kSwatchWidth = 48;
constexpr int kColourButtonWidth = 170;
constexpr int kRemarkLines = 6;
constexpr int kComboListRows = 8;
constexpr int kHighestPlainType = 4;  // types 0 to 4 are offered; others only when a quiz has one

struct QuizPage {
  Atelier* atelier;
  HBRUSH swatch = nullptr;
};

constexpr FieldRow kTextRows[] = {
    {IDC_TITLE_LABEL, IDC_TITLE, IDC_TITLE_MARK, QuizField::kTitle, L"&Titre :"},
    {IDC_AUTHOR_LABEL, IDC_AUTHOR, IDC_AUTHOR_MARK, QuizField::kAuthor, L"A&uteur :"},
    {IDC_EXPLANATION_LABEL, IDC_EXPLANATION, IDC_EXPLANATION_MARK, QuizField::kExplanation, L"E&xplication :"},
    {IDC_LABEL1_LABEL, IDC_LABEL1, IDC_LABEL1_MARK, QuizField::kLabel1, L"Libell\u00e9 de la &premi\u00e8re case :"},
    {IDC_LABEL2_LABEL, IDC_LABEL2, IDC_LABEL2_MARK, QuizField::kLabel2, L"Libell\u00e9 de la &seconde case :"},
};

// What a quiz may forgive in every answer, in the words of its checkboxes.
struct ToleranceBox {
  int id;
  uint8_t bit;
  const wchar_t* text;
};
constexpr ToleranceBox kToleranceBoxes[] = {
    {IDC_TOLERATE_ACCENTS, kTolerateAccents, L"des acce&nts dans les r\u00e9ponses (\u00e9 = e, \u00e7 = c)"},
    {IDC_TOLERATE_PUNCTUATION, kToleratePunctuation,
     L"de la p&onctuation : tirets, apostrophes, points, virgules (notre dame = Notre-Dame)"},
    {IDC_TOLERATE_ARTICLES, kTolerateArticles, L"de l'a&rticle du d\u00e9but (Panth\u00e9on = le Panth\u00e9on)"},
};

QuizPage* PageOf(HWND page) { return static_cast<QuizPage*>(PageRecord(page)); }
HWND Page(const Atelier* atelier) { return atelier->pages[kQuizPage]; }

void CreateControls(HWND page) {
  for (int i = 0; i < 3; ++i) {
    AddFieldRow(page, kTextRows[i]);
  }
  AddLabel(page, IDC_ANSWER_COUNT_LABEL, L"R\u00e9&ponses par question :");
  HWND count = AddControl(page, IDC_ANSWER_COUNT, WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST);
  SendMessageW(count, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Une r\u00e9ponse par question"));
  SendMessageW(count, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Deux r\u00e9ponses par question"));
  for (int i = 3; i < 5; ++i) {
    AddFieldRow(page, kTextRows[i]);
  }
  AddLabel(page, IDC_TYPE_LABEL, L"R\u00e9&v\u00e9lations :");
  AddControl(page, IDC_TYPE, WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST);
  AddButton(page, IDC_LIST_PICTURES, L"&Images des questions dans la vue en liste", BS_AUTOCHECKBOX);
  AddButton(page, IDC_REDUCE_PICTURES, L"R\u00e9&duire les grandes images (JPEG, PNG) dans l'ex\u00e9cutable",
            BS_AUTOCHECKBOX);
  AddLabel(page, IDC_TOLERANCE_LABEL, L"Ne pas tenir compte :");
  for (const ToleranceBox& box : kToleranceBoxes) AddButton(page, box.id, box.text, BS_AUTOCHECKBOX);
  AddLabel(page, IDC_COLOUR_LABEL, L"Couleur de fond :");
  AddControl(page, IDC_COLOUR_SWATCH, WC_STATICW, L"", SS_LEFT, WS_EX_CLIENTEDGE);
  AddButton(page, IDC_COLOUR_BUTTON, L"&Choisir la couleur\u2026");
  AddControl(page, IDC_COLOUR_VALUE, WC_STATICW, L"", SS_LEFT | SS_NOPREFIX);
  AddLabel(page, IDC_QUIZ_REMARKS_LABEL, L"Re&marques sur le quiz :");
  AddRemarksBox(page, IDC_QUIZ_REMARKS);
}

void LayOut(HWND page, int width, int height) {
  Atelier* atelier = AtelierOf(page);
  if (!atelier) return;
  const PageMetrics m = MeasurePage(atelier, page);
  const int boxLeft = m.margin + m.label;
  const int boxWidth = width - m.margin - m.mark - m.gap - boxLeft;
  int y = m.margin;
  for (int i = 0; i < 3; ++i)
    y = PlaceFieldRow(page, m, y, width, kTextRows[i].labelId, kTextRows[i].editId, kTextRows[i].markId);
  y = PlaceFieldRow(page, m, y, width, IDC_ANSWER_COUNT_LABEL, IDC_ANSWER_COUNT, 0, m.row * kComboListRows);
  for (int i = 3; i < 5; ++i)
    y = PlaceFieldRow(page, m, y, width, kTextRows[i].labelId, kTextRows[i].editId, kTextRows[i].markId);
  y = PlaceFieldRow(page, m, y, width, IDC_TYPE_LABEL, IDC_TYPE, 0, m.row * kComboListRows);
  for (int id : {IDC_LIST_PICTURES, IDC_REDUCE_PICTURES}) {
    Place(page, id, boxLeft, y, boxWidth, m.row);
    y += m.row + m.gap;
  }
  Place(page, IDC_TOLERANCE_LABEL, m.margin, y + m.textOffset, m.label, m.line);
  for (const ToleranceBox& box : kToleranceBoxes) {
    Place(page, box.id, boxLeft, y, boxWidth, m.row);
    y += m.row;
  }
  y += m.gap;
  Place(page, IDC_COLOUR_LABEL, m.margin, y + m.textOffset, m.label, m.line);
  const int swatchWidth = Dip(atelier, kSwatchWidth);
  Place(page, IDC_COLOUR_SWATCH, boxLeft, y, swatchWidth, m.row);
  const int buttonWidth = Dip(atelier, kColourButtonWidth);
  Place(page, IDC_COLOUR_BUTTON, boxLeft + swatchWidth + m.gap, y, buttonWidth, m.row);
  const int valueLeft = boxLeft + swatchWidth + buttonWidth + 2 * m.gap;
  Place(page, IDC_COLOUR_VALUE, valueLeft, y + m.textOffset, width - m.margin - valueLeft, m.line);
  y += m.row + 2 * m.gap;
  PlaceLabelledBox(page, m, y, width, IDC_QUIZ_REMARKS_LABEL, IDC_QUIZ_REMARKS,
                   std::max(kRemarkLines * m.line, height - m.margin - y - m.line - m.gap / 2));
}

void FillTypeChoices(Atelier* atelier) {
  HWND combo = GetDlgItem(Page(atelier), IDC_TYPE);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  const uint8_t current = atelier->edited.quiz.quizType;
  for (int type = 0; type <= std::max<int>(kHighestPlainType, current); ++type) {
    if (type > kHighestPlainType && type != current) continue;
    const std::wstring words = WideFromUtf8(QuizTypeWords(static_cast<uint8_t>(type)));
    const LRESULT index = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(words.c_str()));
    SendMessageW(combo, CB_SETITEMDATA, index, type);
    if (type == current) SendMessageW(combo, CB_SETCURSEL, index, 0);
  }
}

void ShowColour(Atelier* atelier) {
  HWND page = Page(atelier);
  QuizPage* record = PageOf(page);
  if (record->swatch) DeleteObject(record->swatch);
  record->swatch = CreateSolidBrush(QuizColour(atelier));
  const QuizSource& quiz = atelier->edited.quiz;
  SetWindowTextIfOther(GetDlgItem(page, IDC_COLOUR_VALUE), L"rouge " + std::to_wstring(quiz.red) + L", vert " +
                                                               std::to_wstring(quiz.green) + L", bleu " +
                                                               std::to_wstring(quiz.blue));
  InvalidateRect(GetDlgItem(page, IDC_COLOUR_SWATCH), nullptr, TRUE);
}

// The relayout of the question page follows: its second answer and trial
// rows come and go with the count.
void OnAnswerCountChosen(Atelier* atelier) {
  HWND page = Page(atelier);
  const int chosen = static_cast<int>(SendDlgItemMessageW(page, IDC_ANSWER_COUNT, CB_GETCURSEL, 0, 0)) + 1;
  QuizSource& quiz = atelier->edited.quiz;
  if (chosen == quiz.answersPerQuestion) return;
  if (chosen == 1) {
    const auto holdsSecond = [&](int question) {
      return !ShownFieldText(atelier->edited, FieldRef{QuizField::kAnswer2, question}).empty();
    };
    int withSecond = 0;
    for (int question = 0; question < static_cast<int>(quiz.questions.size()); ++question)
      withSecond += holdsSecond(question) ||
                            !ShownFieldText(atelier->edited, FieldRef{QuizField::kOtherAnswers2, question}).empty()
                        ? 1
                        : 0;
    if (withSecond > 0 &&
        AskAuthor(atelier,
                  std::to_wstring(withSecond) + L" question(s) ont une seconde r\u00e9ponse. Avec une r\u00e9ponse par "
                                                L"question, elles seront effac\u00e9es. Continuer ?",
                  MB_YESNO | MB_ICONQUESTION) != IDYES) {
      SendDlgItemMessageW(page, IDC_ANSWER_COUNT, CB_SETCURSEL, quiz.answersPerQuestion - 1, 0);
      return;
    }
    for (int question = 0; question < static_cast<int>(quiz.questions.size()); ++question) {
      SetFieldText(&atelier->edited, FieldRef{QuizField::kAnswer2, question}, std::string());
      SetFieldText(&atelier->edited, FieldRef{QuizField::kOtherAnswers2, question}, std::string());
    }
  }
  quiz.answersPerQuestion = static_cast<uint8_t>(chosen);
  atelier->edited.modified = true;
  RelayOutPage(atelier->pages[kQuestionPage]);
  FillQuestionPage(atelier);
  QuizEdited(atelier, false);
}

// The second text of a type 3 reveal has no field here: leaving type 3 asks
// before it goes.
void OnTypeChosen(Atelier* atelier) {
  HWND combo = GetDlgItem(Page(atelier), IDC_TYPE);
  const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (index < 0) return;
  const auto type = static_cast<uint8_t>(SendMessageW(combo, CB_GETITEMDATA, index, 0));
  QuizSource& quiz = atelier->edited.quiz;
  if (type == quiz.quizType) return;
  const bool notes = std::any_of(quiz.questions.begin(), quiz.questions.end(),
                                 [](const QuestionSource& question) { return !question.revealNote.empty(); });
  if (quiz.quizType == kRevealPairsQuizType && notes) {
    if (AskAuthor(atelier,
                  L"Ce quiz garde avec chaque r\u00e9v\u00e9lation une note que seul ce type conserve. Elles seront "
                  L"effac\u00e9es. Continuer ?",
                  MB_YESNO | MB_ICONQUESTION) != IDYES) {
      FillTypeChoices(atelier);
      return;
    }
    for (QuestionSource& question : quiz.questions) question.revealNote.clear();
  }
  quiz.quizType = type;
  atelier->edited.modified = true;
  FillQuestionPage(atelier);
  QuizEdited(atelier, false);
}

// The trial's verdicts follow: they are judged under the quiz's tolerances.
void OnToleranceToggled(Atelier* atelier, const ToleranceBox& box) {
  const bool checked = IsDlgButtonChecked(Page(atelier), box.id) == BST_CHECKED;
  uint8_t& tolerances = atelier->edited.quiz.tolerances;
  tolerances = static_cast<uint8_t>(checked ? tolerances | box.bit : tolerances & ~box.bit);
  atelier->edited.modified = true;
  QuizEdited(atelier, false);
  JudgeTrialAnswers(atelier, atelier->pages[kQuestionPage]);
}

void OnListPicturesToggled(Atelier* atelier) {
  const bool checked = IsDlgButtonChecked(Page(atelier), IDC_LIST_PICTURES) == BST_CHECKED;
  atelier->edited.quiz.pictureByte = checked ? kPictureByteWithList : kPictureByteWithoutList;
  atelier->edited.modified = true;
  QuizEdited(atelier, false);
}

void OnCommand(HWND page, int id, int code) {
  Atelier* atelier = AtelierOf(page);
  if (!atelier || atelier->filling) return;
  for (const FieldRow& row : kTextRows) {
    if (row.editId != id || code != EN_CHANGE) continue;
    if (SetFieldText(&atelier->edited, FieldRef{row.field, 0}, Utf8FromWide(WindowTextOf(GetDlgItem(page, id)))))
      QuizEdited(atelier, false);
    return;
  }
  if (id == IDC_ANSWER_COUNT && code == CBN_SELCHANGE)
    OnAnswerCountChosen(atelier);
  else if (id == IDC_TYPE && code == CBN_SELCHANGE)
    OnTypeChosen(atelier);
  else if (id == IDC_LIST_PICTURES && code == BN_CLICKED)
    OnListPicturesToggled(atelier);
  else if (id == IDC_REDUCE_PICTURES && code == BN_CLICKED)
    ToggleReducedPictures(atelier);
  else if (id == IDC_COLOUR_BUTTON && code == BN_CLICKED)
    ChooseQuizColour(atelier);
  for (const ToleranceBox& box : kToleranceBoxes)
    if (id == box.id && code == BN_CLICKED) OnToleranceToggled(atelier, box);
}

HBRUSH SwatchBrush(HWND page, HWND control) {
  return GetDlgCtrlID(control) == IDC_COLOUR_SWATCH ? PageOf(page)->swatch : nullptr;
}

void OnDestroy(HWND page) {
  QuizPage* record = PageOf(page);
  if (record->swatch) DeleteObject(record->swatch);
  delete record;
}

const PageHandlers kHandlers = {CreateControls, LayOut, OnCommand, nullptr, nullptr, SwatchBrush, OnDestroy};

}  // namespace

HWND CreateQuizPage(Atelier* atelier) { return CreatePage(atelier->tabs, &kHandlers, new QuizPage{atelier}); }

void FillQuizPage(Atelier* atelier) {
  HWND page = Page(atelier);
  const bool wasFilling = atelier->filling;
  atelier->filling = true;
  for (const FieldRow& row : kTextRows)
    SetWindowTextIfOther(GetDlgItem(page, row.editId),
                         WideFromUtf8(ShownFieldText(atelier->edited, FieldRef{row.field, 0})));
  const QuizSource& quiz = atelier->edited.quiz;
  SendDlgItemMessageW(page, IDC_ANSWER_COUNT, CB_SETCURSEL, quiz.answersPerQuestion == 2 ? 1 : 0, 0);
  FillTypeChoices(atelier);
  CheckDlgButton(page, IDC_LIST_PICTURES, quiz.pictureByte == kPictureByteWithList ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(page, IDC_REDUCE_PICTURES, quiz.reducePictures ? BST_CHECKED : BST_UNCHECKED);
  for (const ToleranceBox& box : kToleranceBoxes)
    CheckDlgButton(page, box.id, (quiz.tolerances & box.bit) ? BST_CHECKED : BST_UNCHECKED);
  ShowColour(atelier);
  atelier->filling = wasFilling;
}

void ShowQuizIssues(Atelier* atelier) {
  HWND page = Page(atelier);
  FieldMark marks[std::size(kTextRows)];
  for (std::size_t i = 0; i < std::size(kTextRows); ++i)
    marks[i] = {kTextRows[i].markId, FieldRef{kTextRows[i].field, 0}};
  ShowFieldMarks(atelier, page, marks, std::size(marks));
  SetRemarks(GetDlgItem(page, IDC_QUIZ_REMARKS),
             IssuesWhere(
                 atelier, [](const IssuePlace& place, int) { return place.question < 0 && !place.onCodes; }, 0));
}

// Kept in the source, so that vidod-make builds the same quiz from it.
void ToggleReducedPictures(Atelier* atelier) {
  if (!atelier->open) return;
  atelier->edited.quiz.reducePictures = !atelier->edited.quiz.reducePictures;
  atelier->edited.modified = true;
  CheckDlgButton(Page(atelier), IDC_REDUCE_PICTURES, atelier->edited.quiz.reducePictures ? BST_CHECKED : BST_UNCHECKED);
  QuizEdited(atelier, false);
}

void ChooseQuizColour(Atelier* atelier) {
  if (!atelier->open) return;
  COLORREF colour = QuizColour(atelier);
  if (!atelier->prompts->chooseColour(atelier->window, &colour) || colour == QuizColour(atelier)) return;
  QuizSource& quiz = atelier->edited.quiz;
  quiz.red = GetRValue(colour);
  quiz.green = GetGValue(colour);
  quiz.blue = GetBValue(colour);
  atelier->edited.modified = true;
  ShowColour(atelier);
  QuizEdited(atelier, true);
}

}  // namespace vidod
