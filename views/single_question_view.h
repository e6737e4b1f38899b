// The single-question view's state as other files of the views reach it.
#pragma once

#include <windows.h>

namespace vidod {

// The question shown, 0 to N - 1; a save stores the answer box into its slot.
int CurrentQuestionIndex();
// Copies the answer box (at most 259 characters) into the current question's slot.
void StoreCurrentAnswer(HWND singleView);

}  // namespace vidod
