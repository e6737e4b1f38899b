#include "maker/answer_typing.h"

#include <algorithm>
#include <cstdint>

#include "common/cp1252.h"

namespace vidod {
namespace {

constexpr char kBlank = ' ';
constexpr uint8_t kTab = 0x09;
constexpr uint8_t kDelete = 0x7F;

// Code page 1252 bytes that no key of a usual keyboard gives, with what a
// player types for them ("" when nothing: the character is invisible).
struct Untypable {
  uint8_t byte;
  const char* name;
  const char* replacement;
};
constexpr Untypable kUntypable[] = {
    {kTab, "tabulation", " "},
    {0xA0, "espace insécable", " "},
    {0xAD, "trait d'union conditionnel, invisible", ""},
    {0x91, "apostrophe ouvrante", "'"},
    {0x92, "apostrophe typographique", "'"},
    {0x82, "apostrophe basse", "'"},
    {0x93, "guillemet anglais ouvrant", "\""},
    {0x94, "guillemet anglais fermant", "\""},
    {0x84, "guillemet bas", "\""},
    {0xAB, "guillemet français ouvrant", "\""},
    {0xBB, "guillemet français fermant", "\""},
    {0x8B, "guillemet simple ouvrant", "\""},
    {0x9B, "guillemet simple fermant", "\""},
    {0x96, "tiret moyen", "-"},
    {0x97, "tiret long", "-"},
    {0x85, "points de suspension en un caractère", "..."},
};

// The bytes that code page 1252 leaves undefined come from a stored quiz
// only; like the C0 controls and DEL, nothing types them.
bool IsControl(uint8_t byte) {
  return (byte < 0x20 && byte != kTab) || byte == kDelete || byte == 0x81 || byte == 0x8D || byte == 0x8F ||
         byte == 0x90 || byte == 0x9D;
}

std::string Shown(const std::string& cp1252) { return "« " + Cp1252ToUtf8(cp1252) + " »"; }

void AddOnce(std::vector<std::string>* problems, const std::string& problem) {
  if (std::find(problems->begin(), problems->end(), problem) == problems->end()) problems->push_back(problem);
}

}  // namespace

AnswerTyping ExamineAnswerTyping(const std::string& cp1252) {
  AnswerTyping result;
  std::string replaced;
  for (char c : cp1252) {
    const uint8_t byte = static_cast<uint8_t>(c);
    const Untypable* found = std::find_if(std::begin(kUntypable), std::end(kUntypable),
                                          [byte](const Untypable& u) { return u.byte == byte; });
    if (found != std::end(kUntypable)) {
      const std::string replacement = found->replacement;
      const std::string shown = byte == kTab ? "une " + std::string(found->name)
                                             : Shown(std::string(1, c)) + " (" + found->name + ")";
      AddOnce(&result.problems,
              shown + (replacement.empty() ? " : retirez-le"
                       : replacement == " " ? " : écrivez un blanc ordinaire"
                                            : " : écrivez " + Shown(replacement)));
      replaced += replacement;
    } else if (IsControl(byte)) {
      AddOnce(&result.problems, "le caractère de contrôle " + DescribeCharacter(byte) + " : retirez-le");
    } else {
      replaced += c;
    }
  }

  const std::size_t first = replaced.find_first_not_of(kBlank);
  const std::size_t last = replaced.find_last_not_of(kBlank);
  const std::string trimmed = first == std::string::npos ? std::string() : replaced.substr(first, last - first + 1);
  if (first != 0 && !replaced.empty())
    AddOnce(&result.problems, "un blanc au début, inutile : retirez-le");
  if (last != std::string::npos && last + 1 != replaced.size())
    AddOnce(&result.problems, "un blanc à la fin, inutile : retirez-le");
  for (char c : trimmed) {
    if (c == kBlank && !result.typable.empty() && result.typable.back() == kBlank) {
      AddOnce(&result.problems, "deux blancs de suite : le joueur n'en tapera qu'un, gardez-en un");
      continue;
    }
    result.typable += c;
  }
  return result;
}

}  // namespace vidod
