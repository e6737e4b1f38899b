#include <gtest/gtest.h>
#include <iconv.h>

#include <set>
#include <string>

#include "common/cp1252.h"

namespace vidod {
namespace {

// The five bytes that the code page leaves undefined.
bool IsUndefinedByte(unsigned byte) {
  return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

// glibc's own table of the code page, independent of the one under test.
std::string IconvToUtf8(unsigned byte) {
  iconv_t converter = iconv_open("UTF-8", "CP1252");
  EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1));
  char in[1] = {static_cast<char>(byte)};
  char out[8] = {};
  char* inCursor = in;
  char* outCursor = out;
  std::size_t inLeft = 1, outLeft = sizeof out;
  const std::size_t done = iconv(converter, &inCursor, &inLeft, &outCursor, &outLeft);
  iconv_close(converter);
  EXPECT_NE(done, static_cast<std::size_t>(-1)) << byte;
  return std::string(out, outCursor);
}

// One character of the Basic Multilingual Plane in UTF-8.
std::string Utf16ToUtf8ForTest(const std::u16string& text) {
  const char32_t c = text.at(0);
  if (c < 0x80) return std::string(1, static_cast<char>(c));
  if (c < 0x800) return {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
  return {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
          static_cast<char>(0x80 | (c & 0x3F))};
}

TEST(Cp1252Test, EveryByteMatchesTheSystemTableAndComesBack) {
  std::set<std::string> seen;
  for (unsigned byte = 0; byte < 256; ++byte) {
    const std::string single(1, static_cast<char>(byte));
    const std::string utf8 = Cp1252ToUtf8(single);
    if (!IsUndefinedByte(byte)) {
      EXPECT_EQ(utf8, IconvToUtf8(byte)) << std::hex << byte;
    }
    EXPECT_TRUE(seen.insert(utf8).second) << "two bytes share " << utf8;

    const Cp1252Conversion back = Utf8ToCp1252(utf8);
    ASSERT_TRUE(back.ok) << std::hex << byte;
    EXPECT_EQ(back.text, single) << std::hex << byte;
  }
}

TEST(Cp1252Test, UndefinedBytesTravelAsTheirC1Controls) {
  EXPECT_EQ(Cp1252ToUtf8("\x81"), "\xC2\x81");
  EXPECT_EQ(Cp1252ToUtf8("\x9D"), "\xC2\x9D");
}

TEST(Cp1252Test, FrenchAndSpecialCharactersConvert) {
  const Cp1252Conversion conversion = Utf8ToCp1252("€ Œuvre — « élève » Ÿ ‰ ÿ");
  ASSERT_TRUE(conversion.ok);
  EXPECT_EQ(conversion.text, "\x80 \x8Cuvre \x97 \xAB \xE9l\xE8ve \xBB \x9F \x89 \xFF");
}

TEST(Cp1252Test, CharactersOutsideTheCodePageAreRefused) {
  struct Case {
    const char* utf8;
    char32_t rejected;
  };
  const Case cases[] = {
      {"Łódź", 0x0141},            // Polish letter: not in Western European 1252
      {"ok \xF0\x9F\x98\x80", 0x1F600},  // emoji, four-byte sequence
      {"\xC2\x80", 0x0080},        // C1 control at the slot of the euro sign
      {"\xEF\xBF\xBD", 0xFFFD},    // the replacement character itself
      {"a\x80", kMalformedUtf8},    // lone continuation byte
      {"\xC3", kMalformedUtf8},     // sequence cut short
      {"\xC0\xAF", kMalformedUtf8},  // overlong form of '/'
      {"\xED\xA0\x80", kMalformedUtf8},  // surrogate half
  };
  for (const Case& c : cases) {
    const Cp1252Conversion conversion = Utf8ToCp1252(c.utf8);
    EXPECT_FALSE(conversion.ok) << c.utf8;
    EXPECT_EQ(conversion.rejected, c.rejected) << c.utf8;
  }
  EXPECT_EQ(DescribeCharacter(0x0141), "U+0141 « Ł »");
}

// A character that a window shows as a box is said to be an emoji, and found
// by the words before it.
TEST(Cp1252Test, ARejectedCharacterIsToldWithWhereItStands) {
  const struct {
    const char* utf8;
    const char* expected;
  } cases[] = {
      {"Bravo \xF0\x9F\x91\x8F !", "U+1F44F « \xF0\x9F\x91\x8F » (un émoji), après « Bravo »"},
      {"\xE2\x9D\xA4", "U+2764 « \xE2\x9D\xA4 » (un émoji), au début du texte"},
      {"a\nb\xE2\x80\x8B", "U+200B « \xE2\x80\x8B » (un caractère invisible), après « b »"},
      {"Bonjour\n\xC5\x81\xC3\xB3d\xC5\xBA", "U+0141 « Ł », en début de ligne"},
      // Long texts are quoted from a blank, never from inside a character.
      {"é\xC3\xA9 une très longue phrase de mots \xF0\x9F\x98\x80",
       "U+1F600 « \xF0\x9F\x98\x80 » (un émoji), après « …longue phrase de mots »"},
  };
  for (const auto& c : cases) {
    const Cp1252Conversion conversion = Utf8ToCp1252(c.utf8);
    ASSERT_FALSE(conversion.ok) << c.utf8;
    EXPECT_EQ(DescribeRejectedCharacter(c.utf8, conversion), c.expected) << c.utf8;
  }
}

// The texts of windows: every byte shows as the character the system gives it
// and comes back as itself; a character outside the code page comes back as
// the one byte that stands for it.
TEST(Cp1252Test, WindowTextsConvertBothWays) {
  for (unsigned byte = 0; byte < 256; ++byte) {
    const std::string single(1, static_cast<char>(byte));
    const std::u16string shown = Cp1252ToUtf16(single);
    ASSERT_EQ(shown.size(), 1u) << byte;
    if (IsUndefinedByte(byte)) {
      EXPECT_EQ(shown[0], byte);
    } else {
      const std::string utf8 = IconvToUtf8(byte);
      EXPECT_EQ(Utf16ToUtf8ForTest(shown), utf8) << std::hex << byte;
    }
    EXPECT_EQ(Utf16ToCp1252(shown), single) << std::hex << byte;
  }
  struct Case {
    std::u16string typed;
    std::string kept;
  };
  const Case cases[] = {
      {u"\x20AC \x0152uvre \x0153 \x0178 \x2026", "\x80 \x8Cuvre \x9C \x9F \x85"},  // € Œ œ Ÿ …
      {u"\x0081\x008D\x008F\x0090\x009D", "\x81\x8D\x8F\x90\x9D"},  // the undefined bytes' C1 controls
      {u"\xE9t\xE9", "\xE9t\xE9"},                  // été
      {u"\x0416\x0443\x043A", "\x7F\x7F\x7F"},        // Жук: a byte for each letter
      {u"a\xD83D\xDE00" u"b", "a\x7F" "b"},                 // an emoji's surrogate pair is one character
      {u"a\xDE00\xD83D" u"b", "a\x7F\x7F" "b"},             // halves out of order: one each
      {u"\x0080", "\x7F"},                             // the C1 control at the euro sign's place
      {u"\xFFFD", "\x7F"},                             // the replacement character
      {u"l\x02BC\x00EEle", "l'\xEEle"},               // the modifier apostrophe as '
  };
  for (const Case& c : cases) EXPECT_EQ(Utf16ToCp1252(c.typed), c.kept);
}

}  // namespace
}  // namespace vidod
