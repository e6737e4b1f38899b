#include "answers/answer_normalisation.h"

#include "answers/text_compare.h"
#include "common/text_buffer.h"

namespace vidod {

namespace {

// Code page 1252 bytes of the typographic forms and what they compare as. The
// modifier letter apostrophe (U+02BC) has no byte in the code page: the
// system hands it over from a box already turned into its nearest form, '.
struct PlainForm {
  unsigned char typographic;
  char plain;
};
constexpr PlainForm kPlainForms[] = {
    {0x91, '\''},  // left single quotation mark
    {0x92, '\''},  // right single quotation mark, the typographic apostrophe
    {0x93, '"'},   // left double quotation mark
    {0x94, '"'},   // right double quotation mark
    {0xA0, ' '},   // no-break space
};

char PlainFormOf(char c) {
  for (const PlainForm& form : kPlainForms)
    if (static_cast<unsigned char>(c) == form.typographic) return form.plain;
  return c;
}

}  // namespace

void NormaliseAnswer(const char* raw, char* normalised, const AnswerRules&) {
  CopyText(normalised, raw ? raw : "");
  for (char* c = normalised; *c; ++c) *c = PlainFormOf(*c);
  TrimSpaces(normalised);
  UppercaseAscii(normalised);
}

}  // namespace vidod
