#include "common/cp1252.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace vidod {
namespace {

constexpr unsigned kFirstSpecialByte = 0x80;
constexpr unsigned kFirstLatin1Byte = 0xA0;

// Bytes 0x80 to 0x9F. The five bytes that the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same value, as
// Windows converts them, so that any byte of a stored quiz survives a trip
// through the UTF-8 source.
constexpr char32_t kSpecialCharacters[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t CharacterOfByte(uint8_t byte) {
  if (byte >= kFirstSpecialByte && byte < kFirstLatin1Byte)
    return kSpecialCharacters[byte - kFirstSpecialByte];
  return byte;
}

bool ByteOfCharacter(char32_t character, uint8_t* byte) {
  if (character < kFirstSpecialByte || (character >= kFirstLatin1Byte && character <= 0xFF)) {
    *byte = static_cast<uint8_t>(character);
    return true;
  }
  for (unsigned i = 0; i < 32; ++i) {
    if (kSpecialCharacters[i] == character) {
      *byte = static_cast<uint8_t>(kFirstSpecialByte + i);
      return true;
    }
  }
  return false;
}

void AppendUtf8(char32_t character, std::string* out) {
  if (character < 0x80) {
    out->push_back(static_cast<char>(character));
  } else if (character < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (character >> 6)));
    out->push_back(static_cast<char>(0x80 | (character & 0x3F)));
  } else if (character < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (character >> 12)));
    out->push_back(static_cast<char>(0x80 | ((character >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (character & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (character >> 18)));
    out->push_back(static_cast<char>(0x80 | ((character >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((character >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (character & 0x3F)));
  }
}

// Decodes one character at *position and advances past it; kMalformedUtf8 for
// a bad sequence (overlong forms, surrogates and values past U+10FFFF too),
// which is no character of the code page either.
char32_t NextCharacter(std::string_view utf8, std::size_t* position) {
  const uint8_t lead = static_cast<uint8_t>(utf8[*position]);
  ++*position;
  if (lead < 0x80) return lead;
  std::size_t continuation = 0;
  char32_t character = 0;
  char32_t smallest = 0;
  if ((lead & 0xE0) == 0xC0) {
    continuation = 1, character = lead & 0x1F, smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    continuation = 2, character = lead & 0x0F, smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    continuation = 3, character = lead & 0x07, smallest = 0x10000;
  } else {
    return kMalformedUtf8;
  }
  for (std::size_t i = 0; i < continuation; ++i) {
    if (*position >= utf8.size()) return kMalformedUtf8;
    const uint8_t next = static_cast<uint8_t>(utf8[*position]);
    if ((next & 0xC0) != 0x80) return kMalformedUtf8;
    character = (character << 6) | (next & 0x3F);
    ++*position;
  }
  if (character < smallest || character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF))
    return kMalformedUtf8;
  return character;
}

constexpr char16_t kModifierApostrophe = 0x02BC;
constexpr char16_t kFirstSurrogate = 0xD800;
constexpr char16_t kFirstLowSurrogate = 0xDC00;
constexpr char16_t kLastSurrogate = 0xDFFF;

}  // namespace

std::u16string Cp1252ToUtf16(std::string_view cp1252) {
  std::u16string utf16;
  utf16.reserve(cp1252.size());
  for (char byte : cp1252) utf16.push_back(static_cast<char16_t>(CharacterOfByte(static_cast<uint8_t>(byte))));
  return utf16;
}

std::string Utf16ToCp1252(std::u16string_view utf16) {
  std::string cp1252;
  cp1252.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const char16_t unit = utf16[i];
    uint8_t byte = 0;
    if (unit == kModifierApostrophe) {
      cp1252.push_back('\'');
    } else if (unit >= kFirstSurrogate && unit <= kLastSurrogate) {
      // A whole pair stands for one character; a lone half for one as well.
      if (unit < kFirstLowSurrogate && i + 1 < utf16.size() && utf16[i + 1] >= kFirstLowSurrogate &&
          utf16[i + 1] <= kLastSurrogate)
        ++i;
      cp1252.push_back(kOutsideCodePage);
    } else if (ByteOfCharacter(unit, &byte)) {
      cp1252.push_back(static_cast<char>(byte));
    } else {
      cp1252.push_back(kOutsideCodePage);
    }
  }
  return cp1252;
}

Cp1252Conversion Utf8ToCp1252(std::string_view utf8) {
  Cp1252Conversion conversion;
  conversion.text.reserve(utf8.size());
  std::size_t position = 0;
  while (position < utf8.size()) {
    const std::size_t start = position;
    const char32_t character = NextCharacter(utf8, &position);
    uint8_t byte = 0;
    if (!ByteOfCharacter(character, &byte)) {
      conversion.ok = false;
      conversion.rejected = character;
      conversion.rejectedAt = start;
      return conversion;
    }
    conversion.text.push_back(static_cast<char>(byte));
  }
  return conversion;
}

std::string Cp1252ToUtf8(std::string_view cp1252) {
  std::string utf8;
  utf8.reserve(cp1252.size() * 2);
  for (char byte : cp1252) AppendUtf8(CharacterOfByte(static_cast<uint8_t>(byte)), &utf8);
  return utf8;
}

std::size_t FindMalformedUtf8(std::string_view text) {
  std::size_t position = 0;
  while (position < text.size()) {
    const std::size_t start = position;
    // A source may well hold U+FFFD itself: only a bad sequence counts.
    if (NextCharacter(text, &position) == kMalformedUtf8 && text.substr(start, 3) != "\xEF\xBF\xBD") return start;
  }
  return std::string_view::npos;
}

namespace {

// Characters that a window may show as a box, or not at all.
struct CharacterKind {
  char32_t first, last;
  const char* name;
};
constexpr CharacterKind kCharacterKinds[] = {
    {0x1F000, 0x1FAFF, "un émoji"},
    {0x2600, 0x27BF, "un émoji"},  // symbols and dingbats: ☀ ✂ ❤
    {0x2B00, 0x2BFF, "un émoji"},  // arrows and stars: ⭐
    {0x200B, 0x200F, "un caractère invisible"},
    {0x2060, 0x2064, "un caractère invisible"},
    {0xFE00, 0xFE0F, "un caractère invisible qui accompagne un émoji"},
    {0xFEFF, 0xFEFF, "un caractère invisible"},
};

// How much of the text before a character is quoted to find it by.
constexpr std::size_t kContextBytes = 24;

}  // namespace

std::string DescribeCharacter(char32_t character) {
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
  std::string description = code;
  const bool printable = character >= 0x20 && character != 0x7F && !(character >= 0x80 && character < 0xA0);
  if (printable) {
    description += " « ";
    AppendUtf8(character, &description);
    description += " »";
  }
  for (const CharacterKind& kind : kCharacterKinds)
    if (character >= kind.first && character <= kind.last) return description + " (" + kind.name + ")";
  return description;
}

std::string DescribeRejectedCharacter(std::string_view utf8, const Cp1252Conversion& conversion) {
  const std::string description = DescribeCharacter(conversion.rejected);
  std::string_view before = utf8.substr(0, std::min(conversion.rejectedAt, utf8.size()));
  // Of a text on several lines, its own line.
  const std::size_t lineEnd = before.find_last_of("\r\n");
  if (lineEnd != std::string_view::npos) before.remove_prefix(lineEnd + 1);
  while (!before.empty() && before.back() == ' ') before.remove_suffix(1);
  if (before.empty()) return description + (lineEnd == std::string_view::npos ? ", au début du texte" : ", en début de ligne");
  // The last words before it, cut at a blank and never inside a character.
  std::size_t from = before.size() > kContextBytes ? before.size() - kContextBytes : 0;
  const std::size_t blank = before.find(' ', from);
  if (from > 0 && blank != std::string_view::npos && blank + 1 < before.size()) from = blank + 1;
  while (from > 0 && from < before.size() && (static_cast<uint8_t>(before[from]) & 0xC0) == 0x80) ++from;
  return description + ", après « " + std::string(from > 0 ? "…" : "") + std::string(before.substr(from)) + " »";
}

}  // namespace vidod
