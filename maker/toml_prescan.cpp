#include "maker/toml_prescan.h"

#include <algorithm>
#include <string>

namespace vidod {
namespace {

constexpr std::size_t kQuotesThatOpenMultiLine = 3;
// At most two quotes of a run that closes a multi-line text belong to it.
constexpr std::size_t kMostQuotesClosingMultiLine = 5;
// What the parser's look-ahead over a value set before the value starts:
// the line's "=", a list's "[" or ",". A header's "[" counts as none.
constexpr char kNothingYet = '\n';
constexpr char kHeaderBracket = 'H';
constexpr char kValueSeen = 'v';

bool IsAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsQuote(char c) { return c == '"' || c == '\''; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBareKeyCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || IsDigit(c) || c == '_' || c == '-';
}
// Where the parser stops reading a number, a date or a word value.
bool EndsValue(char c) {
  return IsBlank(c) || (c >= '\n' && c <= '\r') || c == ']' || c == '}' || c == ',' || c == '#';
}
// The parser takes a value that starts so for a number or a date, and reads
// it to its end, quotes included, before looking at what it holds.
bool StartsNumber(char c) { return IsDigit(c) || c == '+' || c == '-'; }
bool OpensValue(char last) { return last == '=' || last == '[' || last == ','; }

// A date as the parser's look-ahead takes one: ten characters, underscores
// not counted, a digit first, dashes fifth and eighth (what else it holds
// decides nothing before the parser's assertion).
bool IsDate(std::string_view value) {
  std::string kept;
  for (char c : value)
    if (c != '_') kept += c;
  return kept.size() == 10 && IsDigit(kept[0]) && kept[4] == '-' && kept[7] == '-';
}

class HazardScanner {
 public:
  HazardScanner(std::string_view toml, TomlHazardFound* found) : toml_(toml), found_(found) {}

  bool Scan() {
    std::size_t i = toml_.rfind(kUtf8ByteOrderMark, 0) == 0 ? std::string_view(kUtf8ByteOrderMark).size() : 0;
    while (i < toml_.size()) {
      const char c = toml_[i];
      if (c == '\n') {
        lineStart_ = true;
        keyPart_ = true;
        ++i;
      } else if (IsBlank(c) || c == '\r') {
        ++i;
      } else if (c == '#') {
        while (i < toml_.size() && toml_[i] != '\n') ++i;
      } else if (!IsAscii(c)) {
        return Found(TomlHazard::kStrayCharacter, i, keyPart_);
      } else {
        const bool atLineStart = lineStart_;
        lineStart_ = false;
        if (!Token(&i, atLineStart)) return true;
      }
    }
    return false;
  }

 private:
  bool Found(TomlHazard kind, std::size_t at, bool inKey = false, std::size_t valueAt = 0) {
    *found_ = TomlHazardFound{kind, at, valueAt, inKey};
    return true;
  }

  // One token outside texts and comments; false when it is a hazard.
  bool Token(std::size_t* i, bool atLineStart) {
    const char c = toml_[*i];
    if (IsQuote(c)) {
      last_ = kValueSeen;
      return Text(i);
    }
    if (c == '[' && atLineStart && last_ != '[' && last_ != ',') return TableHeader(i);
    if (c == '}' && (last_ == '[' || last_ == ',')) return !Found(TomlHazard::kBraceInList, *i);
    if (StartsNumber(c) && OpensValue(last_)) return Number(i);
    if (c == '=') keyPart_ = false;
    last_ = c;
    ++*i;
    return true;
  }

  // A line that starts with "[" outside a list is a table header: the
  // parser's key reader asserts unless a name or a quote follows.
  bool TableHeader(std::size_t* i) {
    std::size_t at = *i + 1;
    std::size_t afterBlanks = SkipBlanks(at);
    if (afterBlanks < toml_.size() && toml_[afterBlanks] == '[') {
      if (afterBlanks != at) {  // "[ [" is refused by the parser itself
        *i = afterBlanks;
        last_ = kHeaderBracket;
        return true;
      }
      at = SkipBlanks(afterBlanks + 1);
    } else {
      at = afterBlanks;
    }
    if (at < toml_.size() && !IsBareKeyCharacter(toml_[at]) && !IsQuote(toml_[at]) && toml_[at] != ']')
      return !Found(TomlHazard::kBadTableHeader, at);
    *i = at;
    last_ = kHeaderBracket;
    return true;
  }

  // A value read as a number: up to its end, and past one blank when a digit
  // follows (a date and a time). Any quote in it would open a text for this
  // scanner and not for the parser; a colon makes it a time, whose reader
  // asserts on several misspellings.
  bool Number(std::size_t* i) {
    const std::size_t start = *i;
    std::size_t at = start;
    for (;;) {
      while (at < toml_.size() && !EndsValue(toml_[at])) {
        if (IsQuote(toml_[at])) return !Found(TomlHazard::kQuoteInValue, at, false, start);
        if (toml_[at] == ':') return !Found(TomlHazard::kDateOrTime, at, false, start);
        if (!IsAscii(toml_[at])) return !Found(TomlHazard::kStrayCharacter, at, false);
        ++at;
      }
      if (at + 1 < toml_.size() && toml_[at] == ' ' && IsDigit(toml_[at + 1])) {
        // After a date and its blank the parser takes one digit, then
        // asserts that no value end follows.
        if (IsDate(toml_.substr(start, at - start)) && at + 2 < toml_.size() && EndsValue(toml_[at + 2]))
          return !Found(TomlHazard::kDateOrTime, at + 2, false, start);
        ++at;
        continue;
      }
      break;
    }
    *i = at;
    last_ = kValueSeen;
    return true;
  }

  std::size_t SkipBlanks(std::size_t at) const {
    while (at < toml_.size() && IsBlank(toml_[at])) ++at;
    return at;
  }

  std::size_t RunOf(std::size_t at, char quote) const {
    std::size_t end = at;
    while (end < toml_.size() && toml_[end] == quote) ++end;
    return end - at;
  }

  // A text, from its opening quote; *i ends past it, or at the line end or
  // the file end where the parser stops with an error of its own.
  bool Text(std::size_t* i) {
    const char quote = toml_[*i];
    const std::size_t run = RunOf(*i, quote);
    if (run >= kQuotesThatOpenMultiLine) {
      *i += kQuotesThatOpenMultiLine;
      return quote == '"' ? MultiLineBasic(i) : MultiLineLiteral(i);
    }
    if (run == 2) {  // an empty text
      *i += 2;
      return true;
    }
    ++*i;
    while (*i < toml_.size() && toml_[*i] != '\n') {
      const char c = toml_[*i];
      if (c == quote) {
        ++*i;
        return true;
      }
      if (quote == '"' && c == '\\' && *i + 1 < toml_.size() && toml_[*i + 1] != '\n') {
        *i += 2;
        continue;
      }
      ++*i;
    }
    return true;
  }

  // Closing quotes as the parser counts them: a run of three to five closes
  // the text (the first one or two of it being part of the text), a shorter
  // run is text.
  bool ClosesMultiLine(std::size_t* i, char quote) {
    const std::size_t run = RunOf(*i, quote);
    if (run < kQuotesThatOpenMultiLine) {
      *i += run;
      return false;
    }
    *i += std::min(run, kMostQuotesClosingMultiLine);
    return true;
  }

  bool MultiLineLiteral(std::size_t* i) {
    while (*i < toml_.size()) {
      if (toml_[*i] == '\'') {
        if (ClosesMultiLine(i, '\'')) return true;
      } else {
        ++*i;
      }
    }
    return true;
  }

  // After "\" the parser asks whether the next character is a blank, and
  // after a line-ending "\" whether the first character of the next
  // non-blank line is one: neither may be outside ASCII.
  bool MultiLineBasic(std::size_t* i) {
    while (*i < toml_.size()) {
      const char c = toml_[*i];
      if (c == '"') {
        if (ClosesMultiLine(i, '"')) return true;
        continue;
      }
      if (c != '\\') {
        ++*i;
        continue;
      }
      std::size_t at = SkipBlanks(*i + 1);
      if (at < toml_.size() && !IsAscii(toml_[at])) return !Found(TomlHazard::kAccentAfterBackslash, at);
      if (at < toml_.size() && (toml_[at] == '\n' || toml_[at] == '\r')) {
        while (at < toml_.size() && (IsBlank(toml_[at]) || toml_[at] == '\n' || toml_[at] == '\r')) ++at;
        if (at < toml_.size() && !IsAscii(toml_[at])) return !Found(TomlHazard::kAccentAfterBackslash, at);
        *i = at;
        continue;
      }
      *i += 2;
    }
    return true;
  }

  std::string_view toml_;
  TomlHazardFound* found_;
  bool lineStart_ = true;
  bool keyPart_ = true;  // before the "=" of the line
  char last_ = kNothingYet;
};

}  // namespace

bool FindTomlHazard(std::string_view toml, TomlHazardFound* found) { return HazardScanner(toml, found).Scan(); }

}  // namespace vidod
