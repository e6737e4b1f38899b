// A build without emscripten has no page: vidod-make web says so.
#include "web/page_template.h"

namespace vidod {

const unsigned char kPageTemplate[] = {0};
const std::size_t kPageTemplateSize = 0;

}  // namespace vidod
