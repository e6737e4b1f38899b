// What a screen reader says of the player's controls: the answer boxes, the
// pictures and the code field are named after what they are for (their own
// text does not say it), and a verdict label tells each change of its text.
#pragma once

#include <windows.h>

#include <string>

namespace vidod {

// Gives the control a name, or a new one. The system's own accessible object
// of the control answers for it under that name.
void SetAccessibleName(HWND control, const std::wstring& name);
// The label's text is its name; each change of it is announced as a live
// region's (a verdict that the player did not move the focus to).
void AnnounceTextChanges(HWND label);

// The names of the views' controls.
std::wstring AnswerBoxName(int question, int answer, int answersPerQuestion);
std::wstring PictureName(int question);

}  // namespace vidod
