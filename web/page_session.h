// The web page's play session, as its script calls it: the quiz read from
// the player's own resources, the answers typed, and what each view shows.
// Texts go in and out as UTF-16, the page's own; inside they are code page
// 1252 and judged exactly as the player judges them.
#pragma once

#include <cstdint>

extern "C" {

// Loads the quiz from its compressed answers and accepted-answers resources
// (accepted may be empty) and keeps the compressed codes resource. 0 when
// the quiz is read; 1 when it is read but its accepted answers are refused
// (each box then accepts its first answer only, without tolerance, as in the
// player); -1 when the answers resource is refused.
int vidod_load(const uint8_t* answers, uint32_t answersSize, const uint8_t* accepted, uint32_t acceptedSize,
               const uint8_t* codes, uint32_t codesSize);

// Figures of the quiz, by kFigure... of page_session.cpp.
int vidod_figure(int figure);
// A text of the quiz, by kText... (index: the answer label 0 or 1, or the
// question of a reveal text). A reveal text is given only while its
// question is solved or the quiz complete.
const char16_t* vidod_text(int text, int index);

// The answer in slot (box (n - 1) x A + a - 1) becomes text.
void vidod_set_answer(int slot, const char16_t* text);
// Judgements: a verdict number (vidod_verdict_text) plus flags (kFlag...).
int vidod_judge_single(int question);
int vidod_judge_single_second(int question);
int vidod_judge_list(int box);
const char16_t* vidod_verdict_text(int verdict);
// How a verdict is coloured: kKind....
int vidod_verdict_kind(int verdict);

// The score as the header shows it, and the reward code of the score: the
// codes are decoded here, and only the one earned leaves.
int vidod_solved();
const char16_t* vidod_score_text();
const char16_t* vidod_reward_code();

// Every answer empty, every mark and verdict cleared.
void vidod_restart();

// One judgement out of any session, for tests: input holds the typed text,
// then the accepted answers (the first the expected one), each ended by a
// zero byte, the list by an empty text; code page 1252.
int vidod_judge_bytes(const uint8_t* input, int listView, int tolerances);

}
