// Catches the real message boxes that the code under test shows on this
// thread: a CBT hook sees each box activate, records its caption and text and
// answers it with the chosen button, so a test can check what a user would
// have read without anyone clicking.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vidod::testing {

struct CaughtMessageBox {
  std::string caption;
  std::string text;
  std::wstring wideText;  // the same, with letters outside the code page
  HWND owner;  // nullptr for a box that no window owns
  RECT rect;   // where it stands on the screen, in pixels
};

class MessageBoxCatcher {
 public:
  explicit MessageBoxCatcher(int answer = IDOK);
  ~MessageBoxCatcher();
  MessageBoxCatcher(const MessageBoxCatcher&) = delete;
  MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

  const std::vector<CaughtMessageBox>& boxes() const { return boxes_; }
  void SetAnswer(int answer) { answer_ = answer; }
  // The next boxes are answered with these, in turn; then with the answer.
  void AnswerInTurn(const std::vector<int>& answers) { turns_ = answers; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
  HHOOK hook_;
  int answer_;
  std::vector<int> turns_;
  std::vector<CaughtMessageBox> boxes_;
};

}  // namespace vidod::testing
