#include <gtest/gtest.h>
#include <iconv.h>

#include <set>
#include <string>

#include "maker/cp1252.h"

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

}  // namespace
}  // namespace vidod
