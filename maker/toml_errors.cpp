#include "maker/toml_errors.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>

#include "common/cp1252.h"
#include "maker/toml_prescan.h"

namespace vidod {
namespace {

constexpr char kSaveAsUtf8[] =
    "dans le Bloc-notes, choisissez Fichier > Enregistrer sous…, puis « UTF-8 » dans la liste Codage, et "
    "enregistrez";
constexpr char kBackslash = '\\';

// Quotes that word processors and some keyboards put where TOML wants ".
const char* const kTypographicQuotes[] = {"«", "»", "“", "”", "„", "‘", "’", "‹", "›"};

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

std::string_view LineOf(std::string_view toml, int line) {
  std::size_t start = 0;
  for (int i = 1; i < line && start != std::string_view::npos; ++i) {
    start = toml.find('\n', start);
    if (start != std::string_view::npos) ++start;
  }
  if (start == std::string_view::npos || start > toml.size()) return std::string_view();
  std::string_view text = toml.substr(start);
  text = text.substr(0, text.find('\n'));
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  return text;
}

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return std::string_view();
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A line "key = value": the key and the value as written, comment and all.
struct Assignment {
  std::string key;
  std::string value;
};

bool SplitAssignment(std::string_view line, Assignment* assignment) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  assignment->key = std::string(Trimmed(line.substr(0, equals)));
  assignment->value = std::string(Trimmed(line.substr(equals + 1)));
  return !assignment->key.empty();
}

bool StartsWithTypographicQuote(const std::string& value) {
  return std::any_of(std::begin(kTypographicQuotes), std::end(kTypographicQuotes),
                     [&value](const char* quote) { return value.rfind(quote, 0) == 0; });
}

// The value without its typographic quotes, between straight ones.
std::string StraightQuoted(std::string value) {
  for (const char* quote : kTypographicQuotes) {
    const std::string_view mark = quote;
    for (std::size_t at = value.find(mark); at != std::string::npos; at = value.find(mark)) value.erase(at, mark.size());
  }
  return "\"" + std::string(Trimmed(value)) + "\"";
}

// The text between the first quote of the value and the next one, or the
// end of the line.
std::string QuotedText(const std::string& value) {
  const std::size_t open = value.find('"');
  if (open == std::string::npos) return std::string();
  std::size_t close = open + 1;
  while (close < value.size() && value[close] != '"') close += value[close] == kBackslash ? 2 : 1;
  return value.substr(open + 1, std::min(close, value.size()) - open - 1);
}

std::string BackslashHint(const Assignment& assignment) {
  std::string path = QuotedText(assignment.value);
  std::string collapsed;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] == kBackslash) {
      while (i + 1 < path.size() && path[i + 1] == kBackslash) ++i;
      collapsed += '/';
    } else {
      collapsed += path[i];
    }
  }
  return "en TOML, « \\ » annonce un caractère spécial ; les chemins s'écrivent avec « / » : écrivez " +
         assignment.key + " = \"" + collapsed + "\"" +
         (assignment.key == "image" ? "" : " (pour une barre oblique inverse dans un texte, écrivez « \\\\ »)");
}

// "\U", "\u" and "\x" announce a character by its code, "\e" is an escape
// of later TOML: in a Windows path ("C:\Users\...") all are mistakes as much
// as an unknown escape is.
bool IsEscapeError(std::string_view description) {
  return Contains(description, "unknown escape sequence") || Contains(description, "escape sequence '\\") ||
         Contains(description, "unicode scalar sequence");
}

// The value with its semicolons outside quotes made commas (in a list) or
// dropped; empty when it has none.
std::string WithoutSemicolons(const std::string& value, bool list) {
  std::string fixed;
  char quote = 0;
  bool found = false;
  for (char c : value.substr(0, value.find('#'))) {
    if (quote == 0 && c == ';') {
      found = true;
      if (list) fixed += ',';
      continue;
    }
    if (quote == 0 && (c == '"' || c == '\'')) quote = c;
    else if (c == quote) quote = 0;
    fixed += c;
  }
  return found ? std::string(Trimmed(fixed)) : std::string();
}

std::string SemicolonHint(const Assignment& assignment) {
  const bool list = assignment.value.front() == '[';
  const std::string fixed = WithoutSemicolons(assignment.value, list);
  if (list)
    return "liste mal écrite : les éléments se séparent par des virgules, pas par « ; » : écrivez " +
           assignment.key + " = " + fixed;
  return "« ; » en trop : une ligne porte une seule valeur, sans « ; » à la fin : écrivez " + assignment.key +
         " = " + fixed;
}

// A value that starts as no quoted text, list or table and holds a letter or
// a blank between words: a text whose quotes were forgotten, whatever the
// parser made of its start ("02 - Tour Eiffel.jpg" starts as a number).
bool LooksLikeUnquotedText(const std::string& value) {
  const std::string_view bare = Trimmed(std::string_view(value).substr(0, value.find('#')));
  if (bare.empty() || std::string_view("\"'[{").find(bare.front()) != std::string_view::npos) return false;
  if (bare == "true" || bare == "false") return false;
  for (char c : bare) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (std::isalpha(byte) || byte >= 0x80 || c == ' ') return true;
  }
  return false;
}

std::string Explain(std::string_view toml, std::string_view description, int line) {
  const std::string_view lineText = LineOf(toml, line);
  Assignment assignment;
  const bool isAssignment = SplitAssignment(lineText, &assignment);
  const bool inString = description.rfind("Error while parsing string", 0) == 0 ||
                        description.rfind("Error while parsing literal string", 0) == 0;

  if (IsEscapeError(description)) {
    if (isAssignment && Contains(assignment.value, "\"")) return BackslashHint(assignment);
    return "« \\ » annonce un caractère spécial : pour une barre oblique inverse dans un texte, écrivez « \\\\ », "
           "et dans un chemin « / »";
  }
  if (Contains(description, "saw ';'") && isAssignment && !WithoutSemicolons(assignment.value, false).empty())
    return SemicolonHint(assignment);
  if (isAssignment && StartsWithTypographicQuote(assignment.value))
    return "guillemets typographiques : TOML ne connaît que les guillemets droits \" ; écrivez " + assignment.key +
           " = " + StraightQuoted(assignment.value);
  if (inString && (Contains(description, "control characters") || Contains(description, "end-of-file")))
    return "guillemet fermant manquant : un texte commencé par \" se termine par \" sur la même ligne";
  const bool unquoted = isAssignment && LooksLikeUnquotedText(assignment.value);
  if (unquoted || Contains(description, "could not determine value type") ||
      Contains(description, "expected value, saw")) {
    if (unquoted || (isAssignment && !assignment.value.empty() && assignment.value.front() != '[' &&
                     assignment.value.front() != '"' && assignment.value.front() != '\''))
      return "valeur sans guillemets : un texte s'écrit entre guillemets droits, par exemple " + assignment.key +
             " = \"" + std::string(Trimmed(assignment.value.substr(0, assignment.value.find('#')))) +
             "\" ; un nombre s'écrit en chiffres, un choix true ou false";
    return "valeur incompréhensible : un texte s'écrit entre guillemets droits \"…\", un nombre en chiffres, un "
           "choix true ou false, une liste entre [ et ]";
  }
  if (Contains(description, "expected a comment or whitespace") || Contains(description, "value-terminator"))
    return "texte en trop après la valeur : une ligne porte une seule valeur (un commentaire commence par #) ; un "
           "guillemet à l'intérieur d'un texte s'écrit \\\"";
  if (Contains(description, "cannot redefine") || Contains(description, "cannot insert"))
    return "clé déjà donnée plus haut dans la même table : chaque clé s'écrit une fois ; une nouvelle question "
           "commence par [[question]]";
  if (Contains(description, "expected '='"))
    return "il manque « = » entre le nom de la clé et sa valeur";
  if (Contains(description, "expected comma or closing ']'") || Contains(description, "expected value or closing ']'"))
    return "liste mal écrite : séparez les éléments par des virgules et fermez la liste par ]";
  if (Contains(description, "leading zeroes"))
    return "un nombre ne commence pas par 0 : écrivez 7, pas 07";
  if (Contains(description, "expected keys, tables") || Contains(description, "bare key starting character") ||
      Contains(description, "expected ']'"))
    return "ligne incompréhensible : une ligne est « clé = valeur », un en-tête [[question]] ou un commentaire qui "
           "commence par #";
  if (Contains(description, "control characters"))
    return "caractère de contrôle interdit (seule la tabulation est permise)";
  if (Contains(description, "end-of-file"))
    return "le fichier finit au milieu d'une valeur : une liste ou un texte n'est pas fermé";
  return "le texte n'est pas du TOML valide à cet endroit";
}

}  // namespace

namespace {

bool FindEncodingProblem(std::string_view toml, int* line, std::string* message) {
  const bool utf16 = toml.rfind("\xFF\xFE", 0) == 0 || toml.rfind("\xFE\xFF", 0) == 0;
  if (utf16) {
    *line = 1;
    *message = std::string("le fichier est en UTF-16 (« Unicode » dans le Bloc-notes), il doit être en UTF-8 : ") +
               kSaveAsUtf8;
    return true;
  }
  const std::size_t bad = FindMalformedUtf8(toml);
  if (bad == std::string_view::npos) return false;
  *line = 1 + static_cast<int>(std::count(toml.begin(), toml.begin() + static_cast<std::ptrdiff_t>(bad), '\n'));
  char byte[8];
  std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned>(static_cast<uint8_t>(toml[bad])));
  *message = std::string("le fichier n'est pas en UTF-8 : l'octet ") + byte + " (sans doute « " +
             Cp1252ToUtf8(toml.substr(bad, 1)) + " » d'un fichier enregistré en ANSI) n'en est pas ; " + kSaveAsUtf8;
  return true;
}

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

namespace {

// The character at a byte offset, whole.
std::string CharacterAt(std::string_view toml, std::size_t at) {
  std::size_t end = at + 1;
  while (end < toml.size() && IsContinuationByte(toml[end])) ++end;
  return std::string(toml.substr(at, end - at));
}

// The value that starts at start, up to its end as the parser reads it: past
// one blank when a digit follows, as in a date and a time.
std::string_view ValueAt(std::string_view toml, std::size_t start) {
  constexpr char kValueEnds[] = " \t\r\n\v\f],}#";
  std::size_t end = toml.find_first_of(kValueEnds, start);
  while (end != std::string_view::npos && end + 1 < toml.size() && toml[end] == ' ' && toml[end + 1] >= '0' &&
         toml[end + 1] <= '9')
    end = toml.find_first_of(kValueEnds, end + 1);
  return toml.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

std::string DescribeHazard(std::string_view toml, const TomlHazardFound& hazard, int line, int column) {
  const std::string character = CharacterAt(toml, hazard.at);
  switch (hazard.kind) {
    case TomlHazard::kStrayCharacter:
      if (hazard.inKey)
        return "« " + character + " » dans un nom de clé : les clés s'écrivent sans accent (reponse, revelation, "
               "libelles…)";
      return Explain(toml, "could not determine value type", line);
    case TomlHazard::kQuoteInValue: {
      std::string joined(ValueAt(toml, hazard.valueAt));
      const std::string written = joined;
      joined.erase(std::remove_if(joined.begin(), joined.end(), [](char c) { return c == '"' || c == '\''; }),
                   joined.end());
      return "un nombre et un texte collés (« " + written + " ») : un texte s'écrit tout entier entre guillemets "
             "droits, par exemple \"" + joined + "\" ; un nombre s'écrit en chiffres seuls";
    }
    case TomlHazard::kDateOrTime:
      return "date ou heure (« " + std::string(ValueAt(toml, hazard.valueAt)) +
             " ») : une source de quiz n'en a pas ; un texte s'écrit entre guillemets droits, un nombre en "
             "chiffres seuls";
    case TomlHazard::kBadTableHeader:
      return "en-tête de table mal écrit : « [ » ouvre une ligne comme [[question]] ou [brut], suivi directement "
             "du nom ; une question commence par la ligne [[question]]";
    case TomlHazard::kBraceInList:
      return "« } » à la place d'une valeur : une liste s'ouvre par [ et se ferme par ], sans virgule avant une "
             "accolade";
    case TomlHazard::kAccentAfterBackslash:
      return "« \\ » devant « " + character + " » dans un texte sur plusieurs lignes : « \\ » annonce un "
             "caractère spécial ; pour une barre oblique inverse, écrivez « \\\\ »";
  }
  return "syntaxe TOML invalide, colonne " + std::to_string(column);
}

}  // namespace

bool FindProblemBeforeParsing(std::string_view toml, int* line, std::string* message) {
  if (FindEncodingProblem(toml, line, message)) return true;
  TomlHazardFound hazard{};
  if (!FindTomlHazard(toml, &hazard)) return false;
  const std::size_t at = hazard.at;
  *line = 1 + static_cast<int>(std::count(toml.begin(), toml.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
  const std::size_t lineStart = at == 0 ? std::string_view::npos : toml.rfind('\n', at - 1);
  std::size_t from = lineStart == std::string_view::npos ? 0 : lineStart + 1;
  // The parser counts columns after the byte-order mark.
  if (from == 0 && toml.rfind(kUtf8ByteOrderMark, 0) == 0) from = std::string_view(kUtf8ByteOrderMark).size();
  int column = 1;
  for (std::size_t i = from; i < at; ++i) column += IsContinuationByte(toml[i]) ? 0 : 1;
  *message = "syntaxe TOML invalide, colonne " + std::to_string(column) + " : " + DescribeHazard(toml, hazard, *line, column);
  return true;
}

namespace {

// A mistake the parser would meet before line, where the scan stopped: the
// lines above it hold nothing the scan refuses, so the parser may read them.
// A value still open where they end is no mistake of theirs.
bool FindParserErrorAbove(std::string_view toml, std::string_view sourcePath, int line, int* errorLine,
                          std::string* message) {
  std::size_t end = 0;
  for (int i = 1; i < line && end != std::string_view::npos; ++i) {
    end = toml.find('\n', end);
    if (end != std::string_view::npos) ++end;
  }
  if (end == std::string_view::npos || end == 0) return false;
  const std::string_view above = toml.substr(0, end);
  TomlHazardFound hazard{};
  if (FindTomlHazard(above, &hazard)) return false;
  try {
    const toml::table ignored = toml::parse(above, sourcePath);
  } catch (const toml::parse_error& error) {
    const int found = static_cast<int>(error.source().begin.line);
    if (found >= line || Contains(error.description(), "end-of-file")) return false;
    *errorLine = found;
    *message = ExplainTomlError(toml, error.description(), found, static_cast<int>(error.source().begin.column));
    return true;
  }
  return false;
}

}  // namespace

bool ParseTomlSource(std::string_view toml, std::string_view sourcePath, toml::table* root, int* line,
                     std::string* message) {
  if (FindEncodingProblem(toml, line, message)) return false;
  if (FindProblemBeforeParsing(toml, line, message)) {
    FindParserErrorAbove(toml, sourcePath, *line, line, message);
    return false;
  }
  try {
    *root = toml::parse(toml, sourcePath);
  } catch (const toml::parse_error& error) {
    *line = static_cast<int>(error.source().begin.line);
    *message = ExplainTomlError(toml, error.description(), *line, static_cast<int>(error.source().begin.column));
    return false;
  }
  return true;
}

std::string ExplainTomlError(std::string_view toml, std::string_view description, int line, int column) {
  return "syntaxe TOML invalide, colonne " + std::to_string(column) + " : " + Explain(toml, description, line);
}

namespace {

// The escapes of a basic string that a Windows path holds without looking
// for them: "images\tigre.png" is valid TOML.
struct PathEscape {
  char read;
  char letter;  // after the backslash
  const char* name;
};
constexpr PathEscape kPathEscapes[] = {{'\t', 't', "une tabulation"},    {'\n', 'n', "un retour à la ligne"},
                                       {'\r', 'r', "un retour chariot"}, {'\b', 'b', "un retour arrière"},
                                       {'\f', 'f', "un saut de page"}};

const PathEscape* EscapeOf(char c) {
  for (const PathEscape& escape : kPathEscapes)
    if (escape.read == c) return &escape;
  return nullptr;
}

}  // namespace

std::string EscapeReadIn(const std::string& written) {
  for (char c : written)
    if (const PathEscape* escape = EscapeOf(c))
      return std::string("« \\") + escape->letter + " » y est " + escape->name;
  return std::string();
}

std::string PathMeantBy(const std::string& written) {
  std::string meant;
  for (char c : written) {
    if (const PathEscape* escape = EscapeOf(c)) {
      meant += '/';
      meant += escape->letter;
    } else {
      meant += c == kBackslash ? '/' : c;
    }
  }
  return meant;
}

}  // namespace vidod
