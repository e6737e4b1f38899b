// Writes answer pairs judged natively, one a line, for parity.js to judge
// again with the page's WebAssembly module: "VIEW TOLERANCES HEX VERDICT",
// HEX the bytes vidod_judge_bytes reads (the typed answer, then the accepted
// answers, each ended by a zero byte, the list by an empty text). The pairs
// are made from French answers and the slips pupils make (letters missing,
// swapped or added, accents, case, articles, punctuation, typographic
// forms, pieces of the answer), with lists of up to four answers and every
// set of tolerances, in both views.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "web/page_session.h"

namespace {

// A fixed generator, so that every run judges the same pairs.
struct Random {
  uint64_t state;
  uint32_t Next() {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(state >> 33);
  }
  int Below(int bound) { return static_cast<int>(Next() % static_cast<uint32_t>(bound)); }
};

// Code page 1252.
const char* const kAnswers[] = {
    "Paris", "France", "Belgique", "Pays-Bas", "OUI", "Ain", "Ile", "Rh\xF4ne", "\xC9t\xE9", "le Panth\xE9on",
    "la Seine", "l'Arc de Triomphe", "Notre-Dame", "C\xF4te d'Azur", "\x9Cuvre", "N\x9C" "ud",
    "Constantinople", "Napol\xE9on Bonaparte", "L\xE9onard de Vinci", "Saint-\xC9tienne", "Jeanne d'Arc",
    "les Alpes", "des \xEEles", "du pain", "de la farine", "un \xE9l\xE9phant", "une \xE9toile",
    "Mont-Saint-Michel", "\xC7" "a", "ROME", "Z\xFCrich", "\xC6sope", "Orl\xE9" "ans", "Gen\xE8ve",
    "Fran\xE7ois Ier", "Marie Curie", "Trois-Rivi\xE8res", "A", "XMAMAMIA PIZZERIA"};
constexpr int kAnswerCount = sizeof kAnswers / sizeof kAnswers[0];
const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzEAIOU \xE9\xE8\xEA\xE0\xE7\xF4\xEE\xC9-'.,!?\x92\xA0\x9C";

char RandomCharacter(Random* random) { return kAlphabet[random->Below(sizeof kAlphabet - 1)]; }

// One slip a pupil might make in typing answer.
std::string Slip(std::string answer, Random* random) {
  const int length = static_cast<int>(answer.size());
  const int at = length ? random->Below(length) : 0;
  switch (random->Below(16)) {
    case 0: return answer;
    case 1:  // another case
      for (char& c : answer)
        if (((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) && random->Below(2)) c = static_cast<char>(c ^ 0x20);
      return answer;
    case 2: if (length) answer.erase(at, 1); return answer;
    case 3: answer.insert(answer.begin() + at, RandomCharacter(random)); return answer;
    case 4: if (length) answer[at] = RandomCharacter(random); return answer;
    case 5: if (at + 1 < length) std::swap(answer[at], answer[at + 1]); return answer;
    case 6: return std::string(answer.rbegin(), answer.rend());
    case 7: return answer.substr(0, at + 1);                         // cut short
    case 8: return answer + " " + kAnswers[random->Below(kAnswerCount)];  // too long
    case 9: return "  " + answer + "   ";
    case 10: return random->Below(2) ? "" : "   ";
    case 11: return (random->Below(2) ? "le " : "l'") + answer;
    case 12:  // punctuation as blanks, or typographic forms
      for (char& c : answer) c = c == '-' ? ' ' : c == '\'' ? '\x92' : c == ' ' ? '\xA0' : c;
      return answer;
    case 13:  // accents dropped
      for (char& c : answer) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u == 0xE9 || u == 0xE8 || u == 0xEA || u == 0xC9) c = u == 0xC9 ? 'E' : 'e';
        if (u == 0xF4) c = 'o';
        if (u == 0xE7) c = 'c';
      }
      return answer;
    case 14: {  // something else entirely
      std::string other;
      for (int i = random->Below(20); i > 0; --i) other += RandomCharacter(random);
      return other;
    }
    default: return answer.substr(at);  // the end only
  }
}

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const char c : bytes) {
    hex += kDigits[static_cast<unsigned char>(c) >> 4];
    hex += kDigits[static_cast<unsigned char>(c) & 15];
  }
  return hex;
}

}  // namespace

// With --time, the native nanoseconds of one judgement (the best of five
// rounds over the same pairs) go to standard error.
int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 12000;
  const bool timed = argc > 2 && std::string(argv[2]) == "--time";
  std::vector<std::string> inputs;
  std::vector<int> views, tolerancesOf;
  Random random{20261208};
  for (int pair = 0; pair < count; ++pair) {
    std::vector<std::string> accepted;
    for (int n = 1 + (random.Below(3) == 0 ? random.Below(4) : 0); n > 0; --n)
      accepted.push_back(kAnswers[random.Below(kAnswerCount)]);
    std::string typed = Slip(accepted[random.Below(static_cast<int>(accepted.size()))], &random);
    if (random.Below(4) == 0) typed = Slip(typed, &random);
    if (typed.size() > 259) typed.resize(259);
    std::string input = typed + '\0';
    for (const std::string& answer : accepted) input += answer + '\0';
    input += '\0';
    const int view = pair % 2;
    const int tolerances = random.Below(8);
    const int verdict = vidod_judge_bytes(reinterpret_cast<const uint8_t*>(input.data()), view, tolerances);
    std::printf("%d %d %s %d\n", view, tolerances, Hex(input).c_str(), verdict);
    inputs.push_back(input);
    views.push_back(view);
    tolerancesOf.push_back(tolerances);
  }
  if (timed) {
    double best = 1e18;
    for (int round = 0; round < 5; ++round) {
      const auto start = std::chrono::steady_clock::now();
      for (std::size_t i = 0; i < inputs.size(); ++i)
        vidod_judge_bytes(reinterpret_cast<const uint8_t*>(inputs[i].data()), views[i], tolerancesOf[i]);
      const double spent = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
      if (spent / inputs.size() < best) best = spent / inputs.size();
    }
    std::fprintf(stderr, "%.0f\n", best);
  }
  return 0;
}
