// The TOML parser's complaints about a quiz source, said in French with the
// fix for the mistakes that authors make most: typographic quotes, a missing
// quote, a file saved in another encoding than UTF-8, a backslash in a path.
#pragma once

#include <toml++/toml.h>

#include <string>
#include <string_view>

namespace vidod {

// What is wrong with a source before the parser sees it: a file saved as
// ANSI or UTF-16 (the message says how to save it as UTF-8), or a character
// outside ASCII where only a text may hold one (an accent in a key name, a
// typographic quote), which the parser would misread. True with the line and
// the French message.
bool FindProblemBeforeParsing(std::string_view toml, int* line, std::string* message);

// The text parsed into *root, unless FindProblemBeforeParsing or the parser
// refuses it: false then, with the line and the French message.
bool ParseTomlSource(std::string_view toml, std::string_view sourcePath, toml::table* root, int* line,
                     std::string* message);

// description is the parser's own, line and column (from 1, in characters)
// where it stopped.
std::string ExplainTomlError(std::string_view toml, std::string_view description, int line, int column);

// A picture path written with backslashes, which TOML reads as escapes
// ("images\tigre.png" holds a tab): the path as it was meant, with "/".
std::string PathMeantBy(const std::string& written);
// What the first escape of such a path became, as the author should hear it:
// "« \n » y est un retour à la ligne"; empty when the text holds none.
std::string EscapeReadIn(const std::string& written);

}  // namespace vidod
