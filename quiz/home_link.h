// The header bar's link: a web address of the quiz's maker, carried by
// resource "PATCH" 107 (LZW-compressed, the address's bytes in code page
// 1252, nothing else) in a quiz that has one. A quiz without it shows no
// link.
#pragma once

#include <cstdint>
#include <string>

#include "quiz/quiz_document.h"

namespace vidod {

constexpr uint16_t kHomeLinkResourceId = 107;

// Whether the player opens this link: "http://", "https://" or "www." (in
// any case) followed by at least one character, none of them a blank, a
// control character or a quote. Anything else handed to the shell could
// start a program on the pupil's computer.
bool IsWebAddress(const char* link, std::size_t length);
inline bool IsWebAddress(const std::string& link) { return IsWebAddress(link.data(), link.size()); }

// Reads the link from the compressed resource into the document's homeLink
// (nullptr or size 0: no link). A resource that does not decode, or whose
// address is longer than a text or no web address, leaves the document
// without a link: false.
bool LoadHomeLink(QuizDocument* document, const uint8_t* packed, uint32_t size);

}  // namespace vidod
