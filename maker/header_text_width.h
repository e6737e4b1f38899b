// How wide the header bar draws a text: the title label (260 pixels, a bold
// italic font of character height 15 in the default face), the reward code
// field (53 pixels in the default GUI font, less the edit control's
// margins), the author (105 pixels in the default GUI font once the bar is
// laid out) and the link (115 pixels, an underlined font of character
// height 13 in the default face). An author is told when one will not fit.
#pragma once

#include <string>

namespace vidod {

constexpr int kTitleLabelWidth = 260;
constexpr int kCodeFieldTextWidth = 47;  // 53 less two margins of 3
constexpr int kAuthorLabelWidth = 105;
constexpr int kLinkLabelWidth = 115;

// Widths in pixels of a code page 1252 text, as the sum of its characters'.
int TitleTextWidth(const std::string& cp1252);
int CodeTextWidth(const std::string& cp1252);
int AuthorTextWidth(const std::string& cp1252);
int LinkTextWidth(const std::string& cp1252);

}  // namespace vidod
