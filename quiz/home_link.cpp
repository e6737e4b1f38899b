#include "quiz/home_link.h"

#include <cstring>

#include "lzw/lzw.h"

namespace vidod {

namespace {

constexpr std::size_t kLzwLengthExtra = 2;  // the decoder reports decoded + 2
const char* const kWebPrefixes[] = {"http://", "https://", "www."};

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithIgnoringCase(const char* text, std::size_t length, const char* prefix) {
  const std::size_t prefixLength = std::strlen(prefix);
  if (length < prefixLength) return false;
  for (std::size_t i = 0; i < prefixLength; ++i)
    if (AsciiLower(text[i]) != prefix[i]) return false;
  return true;
}

}  // namespace

bool IsWebAddress(const char* link, std::size_t length) {
  std::size_t prefix = 0;
  for (const char* known : kWebPrefixes)
    if (StartsWithIgnoringCase(link, length, known)) prefix = std::strlen(known);
  if (prefix == 0 || length == prefix) return false;
  for (std::size_t i = 0; i < length; ++i) {
    const unsigned char c = static_cast<unsigned char>(link[i]);
    if (c <= ' ' || c == 0x7F || c == '"' || c == 0xA0) return false;
  }
  return true;
}

bool LoadHomeLink(QuizDocument* document, const uint8_t* packed, uint32_t size) {
  document->homeLink[0] = '\0';
  if (!packed || size == 0) return true;
  uint8_t* decoded = nullptr;
  uint32_t reported = 0;
  const int32_t result = LzwDecoder::Decode(packed, size, &decoded, &reported);
  const std::size_t length = reported >= kLzwLengthExtra ? reported - kLzwLengthExtra : 0;
  const bool good = result == kLzwOk && length <= static_cast<std::size_t>(kMaxTextLength) &&
                    IsWebAddress(reinterpret_cast<const char*>(decoded), length);
  if (good) CopyTextBytes(document->homeLink, reinterpret_cast<const char*>(decoded), length);
  LzwReleaseOutput(decoded);
  return good;
}

}  // namespace vidod
