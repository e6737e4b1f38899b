// The TOML parser's complaints about a quiz source, said in French with the
// fix for the mistakes that authors make most: typographic quotes, a missing
// quote, a file saved in another encoding than UTF-8, a backslash in a path.
#pragma once

#include <string>
#include <string_view>

namespace vidod {

// The source's first encoding problem (a file saved as ANSI or UTF-16):
// true with its line and the French message, which says how to save the
// file as UTF-8.
bool FindEncodingProblem(std::string_view toml, int* line, std::string* message);

// description is the parser's own, line and column (from 1, in characters)
// where it stopped.
std::string ExplainTomlError(std::string_view toml, std::string_view description, int line, int column);

// A picture path written with backslashes, which TOML reads as escapes
// ("images\tigre.png" holds a tab): the path as it was meant, with "/".
std::string PathMeantBy(const std::string& written);

}  // namespace vidod
