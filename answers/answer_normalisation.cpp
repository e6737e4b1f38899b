#include "answers/answer_normalisation.h"

#include <cstring>

#include "answers/text_compare.h"
#include "common/text_buffer.h"
#include "quiz/accepted_answers_blob.h"

namespace vidod {

namespace {

constexpr char kBlank = ' ';

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

// The ligatures and the two letters they stand for.
struct Ligature {
  unsigned char byte;
  char letters[3];
};
constexpr Ligature kLigatures[] = {
    {0x8C, "OE"},
    {0x9C, "oe"},
    {0xC6, "AE"},
    {0xE6, "ae"},
};

// Letters 0xC0 to 0xFF without their accents; 0 where there is no plain
// letter (multiplication and division signs, the ligature, eth, thorn,
// sharp s).
constexpr char kLatin1Plain[] = "AAAAAA\0CEEEEIIII\0NOOOOO\0OUUUUY\0\0aaaaaa\0ceeeeiiii\0nooooo\0ouuuuy\0y";
constexpr unsigned char kFirstLatin1Letter = 0xC0;
static_assert(sizeof kLatin1Plain == 0x100 - kFirstLatin1Letter + 1, "one entry per byte from 0xC0");
struct ScatteredLetter {
  unsigned char byte;
  char plain;
};
constexpr ScatteredLetter kScatteredLetters[] = {
    {0x8A, 'S'}, {0x9A, 's'}, {0x8E, 'Z'}, {0x9E, 'z'}, {0x9F, 'Y'},
};

// What the punctuation tolerance counts as blanks: the signs of a French
// sentence and of names (hyphens, apostrophes, points, commas, quotes,
// brackets, dashes, slashes).
constexpr char kPunctuation[] =
    "-'.,;:!?\"()/"
    "\x82\x84\x85\x8B\x96\x97\x9B\xAB\xBB";

// Leading articles as they read once raised, longest first so that "DE LA"
// goes before a shorter form could match. Each ends with what follows it: a
// blank, or the apostrophe of an elided article, which reads as a blank once
// punctuation counts as blanks.
constexpr char kApostrophe = '\'';
constexpr const char* kArticles[] = {"DE LA ", "DE L'", "LES ", "LE ", "LA ", "L'",
                                     "UNE ", "UN ", "DES ", "DU "};

char PlainFormOf(char c) {
  for (const PlainForm& form : kPlainForms)
    if (static_cast<unsigned char>(c) == form.typographic) return form.plain;
  return c;
}

const Ligature* LigatureOf(char c) {
  for (const Ligature& ligature : kLigatures)
    if (static_cast<unsigned char>(c) == ligature.byte) return &ligature;
  return nullptr;
}

// Plain forms for typographic ones and two letters for each ligature, cut
// to kMaxTextLength characters.
void SpellOut(const char* text, char* out) {
  int length = 0;
  for (const char* c = text; *c && length < kMaxTextLength; ++c) {
    const Ligature* ligature = LigatureOf(*c);
    if (!ligature) {
      out[length++] = PlainFormOf(*c);
      continue;
    }
    for (const char* letter = ligature->letters; *letter && length < kMaxTextLength; ++letter)
      out[length++] = *letter;
  }
  out[length] = '\0';
}

void DropAccents(char* text) {
  for (char* c = text; *c; ++c) {
    const char plain = UnaccentedLetter(static_cast<unsigned char>(*c));
    if (plain) *c = plain;
  }
}

// Removes one leading article when something is left after it.
void DropArticle(char* text, bool punctuationAsBlanks) {
  for (const char* article : kArticles) {
    const std::size_t length = std::strlen(article);
    const bool elided = article[length - 1] == kApostrophe;
    if (std::strncmp(text, article, length - 1) != 0) continue;
    const char end = text[length - 1];
    if (end != article[length - 1] && !(elided && punctuationAsBlanks && end == kBlank)) continue;
    const char* rest = text + length;
    while (*rest == kBlank) ++rest;
    if (*rest == '\0') return;  // the article is the whole answer
    std::memmove(text, rest, std::strlen(rest) + 1);
    return;
  }
}

bool IsPunctuation(char c) { return c != '\0' && std::strchr(kPunctuation, c) != nullptr; }

// Punctuation as blanks, each run of blanks one blank, none at the ends.
void PunctuationAsBlanks(char* text) {
  int length = 0;
  for (const char* c = text; *c; ++c) {
    const char kept = IsPunctuation(*c) ? kBlank : *c;
    if (kept == kBlank && (length == 0 || text[length - 1] == kBlank)) continue;
    text[length++] = kept;
  }
  if (length > 0 && text[length - 1] == kBlank) --length;
  text[length] = '\0';
}

}  // namespace

AnswerRules AnswerRulesFromTolerances(uint8_t tolerances) {
  AnswerRules rules;
  rules.ignoreAccents = (tolerances & kTolerateAccents) != 0;
  rules.punctuationAsBlanks = (tolerances & kToleratePunctuation) != 0;
  rules.ignoreArticles = (tolerances & kTolerateArticles) != 0;
  return rules;
}

char UnaccentedLetter(unsigned char byte) {
  for (const ScatteredLetter& letter : kScatteredLetters)
    if (byte == letter.byte) return letter.plain;
  if (byte < kFirstLatin1Letter) return 0;
  return kLatin1Plain[byte - kFirstLatin1Letter];
}

void NormaliseAnswer(const char* raw, char* normalised, const AnswerRules& rules) {
  char cut[kTextSize];
  CopyText(cut, raw ? raw : "");
  SpellOut(cut, normalised);
  TrimSpaces(normalised);
  UppercaseAscii(normalised);
  if (rules.ignoreAccents) DropAccents(normalised);
  if (rules.punctuationAsBlanks) PunctuationAsBlanks(normalised);
  if (rules.ignoreArticles) DropArticle(normalised, rules.punctuationAsBlanks);
}

}  // namespace vidod
