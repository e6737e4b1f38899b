// The quiz page: title, author, explanation, the header's link, the boxes
// per question and their labels, when reveal texts appear, pictures in the
// list view, what the comparison of answers forgives, and the background
// colour, with their marks and remarks.
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
constexpr int kCheckGap = 6;  // between a check box's box and its words
constexpr int kEachFoundType = 2;
constexpr int kAllAtEndType = 4;
const RevealKind kRevealKinds[] = {RevealKind::kNone, RevealKind::kEachFound, RevealKind::kAllAtEnd};

struct QuizPage {
  Atelier* atelier;
  HBRUSH swatch = nullptr;
};

constexpr FieldRow kTextRows[] = {
    {IDC_TITLE_LABEL, IDC_TITLE, IDC_TITLE_MARK, QuizField::kTitle, L"&Titre :"},
    {IDC_AUTHOR_LABEL, IDC_AUTHOR, IDC_AUTHOR_MARK, QuizField::kAuthor, L"A&uteur :"},
    {IDC_EXPLANATION_LABEL, IDC_EXPLANATION, IDC_EXPLANATION_MARK, QuizField::kExplanation, L"E&xplication :"},
    {IDC_LINK_LABEL, IDC_LINK, IDC_LINK_MARK, QuizField::kLink, L"&Lien (adresse web) :"},
    {IDC_LABEL1_LABEL, IDC_LABEL1, IDC_LABEL1_MARK, QuizField::kLabel1, L"Libell\u00e9 de la &1re case :"},
    {IDC_LABEL2_LABEL, IDC_LABEL2, IDC_LABEL2_MARK, QuizField::kLabel2, L"Libell\u00e9 de la &2e case :"},
};
constexpr std::size_t kRowsBeforeCount = 4;  // the labels' rows follow the count of boxes
constexpr int kLabelIds[] = {IDC_TITLE_LABEL,  IDC_AUTHOR_LABEL, IDC_EXPLANATION_LABEL, IDC_LINK_LABEL,
                             IDC_LABEL1_LABEL, IDC_LABEL2_LABEL, IDC_ANSWER_COUNT_LABEL, IDC_TYPE_LABEL,
                             IDC_TOLERANCE_LABEL, IDC_COLOUR_LABEL};

// What a quiz may forgive in every answer, in the words of its checkboxes.
struct ToleranceBox {
  int id;
  uint8_t bit;
  const wchar_t* text;
};
constexpr ToleranceBox kToleranceBoxes[] = {
    {IDC_TOLERATE_ACCENTS, kTolerateAccents, L"des acce&nts dans les r\u00e9ponses (\u00e9 = e, \u00e7 = c)"},
    {IDC_TOLERATE_PUNCTUATION, kToleratePunctuation,
     L"de la &ponctuation : tirets, apostrophes, points, virgules (notre dame = Notre-Dame)"},
    {IDC_TOLERATE_ARTICLES, kTolerateArticles, L"de l'a&rticle du d\u00e9but (Panth\u00e9on = le Panth\u00e9on)"},
};

QuizPage* PageOf(HWND page) { return static_cast<QuizPage*>(PageRecord(page)); }
HWND Page(const Atelier* atelier) { return atelier->pages[kQuizPage]; }

void CreateControls(HWND page) {
  for (std::size_t i = 0; i < kRowsBeforeCount; ++i) AddFieldRow(page, kTextRows[i]);
  AddLabel(page, IDC_ANSWER_COUNT_LABEL, L"&Cases par question :");
  HWND count = AddControl(page, IDC_ANSWER_COUNT, WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST);
  for (int answers = 1; answers <= 2; ++answers)
    SendMessageW(count, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromUtf8(AnswerCountWords(answers)).c_str()));
  for (std::size_t i = kRowsBeforeCount; i < std::size(kTextRows); ++i) AddFieldRow(page, kTextRows[i]);
  AddLabel(page, IDC_TYPE_LABEL, L"Textes r\u00e9&v\u00e9l\u00e9s :");
  AddControl(page, IDC_TYPE, WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST);
  AddButton(page, IDC_LIST_PICTURES, L"&Images des questions dans la vue en liste", BS_AUTOCHECKBOX | BS_MULTILINE);
  AddButton(page, IDC_REDUCE_PICTURES, L"R\u00e9duire les &grandes images (JPEG, PNG) dans l'ex\u00e9cutable",
            BS_AUTOCHECKBOX | BS_MULTILINE);
  AddLabel(page, IDC_TOLERANCE_LABEL, L"Ne pas tenir compte :");
  for (const ToleranceBox& box : kToleranceBoxes) AddButton(page, box.id, box.text, BS_AUTOCHECKBOX | BS_MULTILINE);
  AddLabel(page, IDC_COLOUR_LABEL, L"Couleur de fond :");
  AddControl(page, IDC_COLOUR_SWATCH, WC_STATICW, L"", SS_LEFT, WS_EX_CLIENTEDGE);
  AddButton(page, IDC_COLOUR_BUTTON, L"Choisir la c&ouleur\u2026");
  AddControl(page, IDC_COLOUR_VALUE, WC_STATICW, L"", SS_LEFT | SS_NOPREFIX);
  AddLabel(page, IDC_QUIZ_REMARKS_LABEL, L"Re&marques sur le quiz :");
  AddRemarksBox(page, IDC_QUIZ_REMARKS);
}

// The text of a control, one line in the page's font: its width.
int TextWidth(HWND page, int id) {
  const int ids[] = {id};
  return WidestLabel(page, ids, 1);
}

// The widest choice of a drop-down list, with room for its arrow.
int WidestChoice(HWND combo) {
  HDC dc = GetDC(combo);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(combo, WM_GETFONT, 0, 0)));
  int widest = 0;
  const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(lstrlenW(text.c_str())), &size);
    widest = std::max(widest, static_cast<int>(size.cx));
  }
  SelectObject(dc, old);
  ReleaseDC(combo, dc);
  return widest + GetSystemMetrics(SM_CXVSCROLL) + 4 * GetSystemMetrics(SM_CXEDGE);
}

// A drop-down list beside its label, or under it, as wide as the page, when
// its longest choice would not show whole there.
int PlaceChoice(HWND page, const PageMetrics& m, int y, int width, int labelId, int comboId) {
  HWND combo = GetDlgItem(page, comboId);
  const int needed = WidestChoice(combo);
  SendMessageW(combo, CB_SETDROPPEDWIDTH, needed, 0);
  const int boxLeft = m.margin + m.label;
  if (boxLeft + needed <= width - m.margin) {
    Place(page, labelId, m.margin, y + m.textOffset, m.label, m.line);
    Place(page, comboId, boxLeft, y, std::min(width - m.margin - boxLeft, needed), m.row * kComboListRows);
    return y + m.row + m.gap;
  }
  Place(page, labelId, m.margin, y, width - 2 * m.margin, m.line);
  y += m.line + m.gap / 2;
  Place(page, comboId, m.margin, y, width - 2 * m.margin, m.row * kComboListRows);
  return y + m.row + m.gap;
}

int LayOut(HWND page, int width, int height) {
  Atelier* atelier = AtelierOf(page);
  if (!atelier) return 0;
  PageMetrics m = MeasurePage(atelier, page);
  m.label = std::max(m.label, WidestLabel(page, kLabelIds, std::size(kLabelIds)));
  const int boxLeft = m.margin + m.label;
  const int boxWidth = width - m.margin - m.mark - m.gap - boxLeft;
  int y = m.margin;
  for (std::size_t i = 0; i < kRowsBeforeCount; ++i)
    y = PlaceFieldRow(page, m, y, width, kTextRows[i].labelId, kTextRows[i].editId, kTextRows[i].markId);
  y = PlaceChoice(page, m, y, width, IDC_ANSWER_COUNT_LABEL, IDC_ANSWER_COUNT);
  for (std::size_t i = kRowsBeforeCount; i < std::size(kTextRows); ++i)
    y = PlaceFieldRow(page, m, y, width, kTextRows[i].labelId, kTextRows[i].editId, kTextRows[i].markId);
  y = PlaceChoice(page, m, y, width, IDC_TYPE_LABEL, IDC_TYPE);
  // A check box whose words do not fit its line takes the lines they need.
  const auto placeCheckBox = [&](int id, int gapAfter) {
    const int textWidth = boxWidth - GetSystemMetrics(SM_CXMENUCHECK) - Dip(atelier, kCheckGap);
    const int boxHeight = std::max(m.row, WrappedTextHeight(GetDlgItem(page, id), textWidth) + m.row - m.line);
    Place(page, id, boxLeft, y, boxWidth, boxHeight);
    y += boxHeight + gapAfter;
  };
  for (int id : {IDC_LIST_PICTURES, IDC_REDUCE_PICTURES}) placeCheckBox(id, m.gap);
  Place(page, IDC_TOLERANCE_LABEL, m.margin, y + m.textOffset, m.label, m.line);
  for (const ToleranceBox& box : kToleranceBoxes) placeCheckBox(box.id, 0);
  y += m.gap;
  Place(page, IDC_COLOUR_LABEL, m.margin, y + m.textOffset, m.label, m.line);
  const int swatchWidth = Dip(atelier, kSwatchWidth);
  Place(page, IDC_COLOUR_SWATCH, boxLeft, y, swatchWidth, m.row);
  const int buttonWidth = std::max(Dip(atelier, kColourButtonWidth), TextWidth(page, IDC_COLOUR_BUTTON));
  Place(page, IDC_COLOUR_BUTTON, boxLeft + swatchWidth + m.gap, y, buttonWidth, m.row);
  // The colour's numbers beside the button, or under it when they do not fit.
  int valueLeft = boxLeft + swatchWidth + buttonWidth + 2 * m.gap;
  if (width - m.margin - valueLeft < TextWidth(page, IDC_COLOUR_VALUE)) {
    y += m.row + m.gap / 2;
    valueLeft = boxLeft;
  }
  Place(page, IDC_COLOUR_VALUE, valueLeft, y + m.textOffset, width - m.margin - valueLeft, m.line);
  y += m.row + 2 * m.gap;
  const int remarks = std::max(kRemarkLines * m.line, height - m.margin - y - m.line - m.gap / 2);
  return PlaceLabelledBox(page, m, y, width, IDC_QUIZ_REMARKS_LABEL, IDC_QUIZ_REMARKS, remarks) - m.gap + m.margin;
}

// The three things a pupil can see, each standing for the quiz's own type
// when it is of that kind (a quiz of type 1 or 3 keeps its type), else for
// the plain one.
void FillTypeChoices(Atelier* atelier) {
  HWND combo = GetDlgItem(Page(atelier), IDC_TYPE);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  const uint8_t current = atelier->edited.quiz.quizType;
  const int plainTypes[] = {0, kEachFoundType, kAllAtEndType};
  for (std::size_t i = 0; i < std::size(kRevealKinds); ++i) {
    const bool chosen = RevealKindOf(current) == kRevealKinds[i];
    const std::wstring words = WideFromUtf8(RevealKindWords(kRevealKinds[i]));
    const LRESULT index = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(words.c_str()));
    SendMessageW(combo, CB_SETITEMDATA, index, chosen ? current : plainTypes[i]);
    if (chosen) SendMessageW(combo, CB_SETCURSEL, index, 0);
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
  // Painted now: the pictures coming back from the worker would keep the
  // queue busy and the paint waiting.
  InvalidateRect(GetDlgItem(page, IDC_COLOUR_SWATCH), nullptr, TRUE);
  UpdateWindow(GetDlgItem(page, IDC_COLOUR_SWATCH));
  // Longer numbers may go under the button.
  RelayOutPage(page);
}

void OnAnswerCountChosen(Atelier* atelier) {
  HWND page = Page(atelier);
  const int chosen = static_cast<int>(SendDlgItemMessageW(page, IDC_ANSWER_COUNT, CB_GETCURSEL, 0, 0)) + 1;
  if (chosen == atelier->edited.quiz.answersPerQuestion) return;
  const int withSecond = QuestionsWithSecondAnswer(atelier->edited);
  if (chosen == 1 && withSecond > 0 &&
      AskAuthor(atelier,
                std::to_wstring(withSecond) +
                    L" question(s) ont une r\u00e9ponse dans leur 2e case. Avec une case par question, elle(s) "
                    L"sera(ont) effac\u00e9e(s) ; \u00c9dition > Annuler les remet. Continuer ?",
                MB_YESNO | MB_ICONQUESTION) != IDYES) {
    SendDlgItemMessageW(page, IDC_ANSWER_COUNT, CB_SETCURSEL, atelier->edited.quiz.answersPerQuestion - 1, 0);
    return;
  }
  EditQuiz(atelier, SettingEdit(EditKind::kAnswerCount, chosen));
}

// The second text of a type 3 reveal has no field here: leaving type 3 asks
// before it goes.
void OnTypeChosen(Atelier* atelier) {
  HWND combo = GetDlgItem(Page(atelier), IDC_TYPE);
  const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (index < 0) return;
  const auto type = static_cast<int>(SendMessageW(combo, CB_GETITEMDATA, index, 0));
  const QuizSource& quiz = atelier->edited.quiz;
  if (type == quiz.quizType) return;
  if (quiz.quizType == kRevealPairsQuizType && HasRevealNotes(quiz) &&
      AskAuthor(atelier,
                L"Ce quiz garde avec chaque texte r\u00e9v\u00e9l\u00e9 une note que seul ce choix conserve. Elles "
                L"seront effac\u00e9es ; \u00c9dition > Annuler les remet. Continuer ?",
                MB_YESNO | MB_ICONQUESTION) != IDYES) {
    FillTypeChoices(atelier);
    return;
  }
  EditQuiz(atelier, SettingEdit(EditKind::kQuizType, type));
}

// The trial's verdicts follow: they are judged under the quiz's tolerances.
void OnToleranceToggled(Atelier* atelier, const ToleranceBox& box) {
  const bool checked = IsDlgButtonChecked(Page(atelier), box.id) == BST_CHECKED;
  const uint8_t tolerances = atelier->edited.quiz.tolerances;
  EditQuiz(atelier, SettingEdit(EditKind::kTolerances, checked ? tolerances | box.bit : tolerances & ~box.bit));
  JudgeTrialAnswers(atelier, atelier->pages[kQuestionPage]);
}

void OnListPicturesToggled(Atelier* atelier) {
  const bool checked = IsDlgButtonChecked(Page(atelier), IDC_LIST_PICTURES) == BST_CHECKED;
  EditQuiz(atelier, SettingEdit(EditKind::kListPictures, checked ? 1 : 0));
}

void OnCommand(HWND page, int id, int code) {
  Atelier* atelier = AtelierOf(page);
  if (!atelier || atelier->filling) return;
  if (code == EN_KILLFOCUS) OnFieldLeft(atelier);
  for (const FieldRow& row : kTextRows) {
    if (row.editId != id || code != EN_CHANGE) continue;
    EditQuiz(atelier, TextEdit(FieldRef{row.field, 0}, Utf8FromWide(WindowTextOf(GetDlgItem(page, id)))));
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
  EditQuiz(atelier, SettingEdit(EditKind::kReducePictures, atelier->edited.quiz.reducePictures ? 0 : 1));
}

void ChooseQuizColour(Atelier* atelier) {
  if (!atelier->open) return;
  COLORREF colour = QuizColour(atelier);
  if (!atelier->prompts->chooseColour(atelier->window, &colour) || colour == QuizColour(atelier)) return;
  EditQuiz(atelier, ColourEdit(GetRValue(colour), GetGValue(colour), GetBValue(colour)));
}

}  // namespace vidod
