// The pages of the Atelier (the start page and the question, quiz and codes
// pages): child windows of one class, whose procedure hands each message to
// the page's own handlers, and the measures their rows are laid out with.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "atelier/edited_quiz.h"

namespace vidod {

struct Atelier;

// What makes one page; every handler but create and layOut may be nullptr.
// layOut places the controls for a page of that size, as if it were not
// scrolled, and returns the height they take: a page that needs more than it
// has scrolls.
struct PageHandlers {
  void (*create)(HWND page);
  int (*layOut)(HWND page, int width, int height);
  void (*command)(HWND page, int id, int code);
  LRESULT (*notify)(HWND page, NMHDR* header);
  void (*drawItem)(HWND page, const DRAWITEMSTRUCT* draw);
  // A brush of the page's own for that static; nullptr for the page's colours.
  HBRUSH (*staticBrush)(HWND page, HWND control);
  void (*destroy)(HWND page);  // deletes the page's record
};

// A page of parent, its controls part of the Tab order; handlers must
// outlive it, record is the page's until destroy.
HWND CreatePage(HWND parent, const PageHandlers* handlers, void* record);
void* PageRecord(HWND page);

// The measures of a page's rows at the window's DPI, in pixels.
struct PageMetrics {
  int margin;      // around the page
  int gap;         // between rows
  int line;        // a line of text
  int row;         // a row with a box: a line and the box's border
  int label;       // the labels before the boxes
  int mark;        // the marks after them
  int textOffset;  // a label's text lowered to the text of its box
};
PageMetrics MeasurePage(const Atelier* atelier, HWND page);

// The width the widest of these labels needs in the page's font.
int WidestLabel(HWND page, const int* labelIds, std::size_t count);
// The height a control's text takes, its words wrapped within width.
int WrappedTextHeight(HWND control, int width);

// A text of the quiz on a page: its label, its box and the box's mark.
struct FieldRow {
  int labelId, editId, markId;
  QuizField field;
  const wchar_t* label;
};
void AddFieldRow(HWND page, const FieldRow& row);

// A label, its box and the box's mark (markId 0: none) across a page that
// wide; boxHeight 0 gives the box a row's height (a combo box is given its
// dropped height). Returns the top of the next row.
int PlaceFieldRow(HWND page, const PageMetrics& metrics, int y, int width, int labelId, int boxId, int markId,
                  int boxHeight = 0);
// A label over a box as wide as the page. Returns the top of the next row.
int PlaceLabelledBox(HWND page, const PageMetrics& metrics, int y, int width, int labelId, int boxId, int boxHeight);

// Lays the page out again at its size, after rows came or went.
void RelayOutPage(HWND page);
// How far the page is scrolled down, in pixels: what Place takes off.
int PageScroll(HWND page);

}  // namespace vidod
