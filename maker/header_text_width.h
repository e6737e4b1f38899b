// How wide the header bar draws a text: the title label (260 pixels, a bold
// italic font of character height 15 in the default face) and the reward
// code field (53 pixels in the default GUI font, less the edit control's
// margins). An author is told when a title or a code will not fit.
#pragma once

#include <string>

namespace vidod {

constexpr int kTitleLabelWidth = 260;
constexpr int kCodeFieldTextWidth = 47;  // 53 less two margins of 3

// Widths in pixels of a code page 1252 text, as the sum of its characters'.
int TitleTextWidth(const std::string& cp1252);
int CodeTextWidth(const std::string& cp1252);

}  // namespace vidod
