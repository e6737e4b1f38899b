// The quiz page as the build made it (UTF-8): markup, style, script and the
// judging module, with @TITLE@ and @QUIZ@ to fill in.
#pragma once

#include <cstddef>

namespace vidod {

extern const unsigned char kPageTemplate[];
extern const std::size_t kPageTemplateSize;

}  // namespace vidod
