#include "maker/list_judgement.h"

#include "answers/accepted_answers.h"
#include "common/cp1252.h"

namespace vidod {

ListJudgement JudgeAgainstList(const std::vector<std::string>& accepted, const std::string& typed, AnswerView view,
                               uint8_t tolerances) {
  // The others as the player holds them: each ended by a zero byte, the list
  // by an empty text. An empty one would end it early; none is judged.
  std::string others;
  for (std::size_t k = 1; k < accepted.size(); ++k)
    if (!accepted[k].empty()) others += accepted[k] + '\0';
  others += '\0';
  AcceptedAnswers answers;
  answers.first = accepted.empty() ? "" : accepted.front().c_str();
  answers.others = others.size() > 1 ? others.c_str() : nullptr;
  const Judgement judgement =
      JudgeAcceptedAnswers(answers, typed.c_str(), view, AnswerRulesFromTolerances(tolerances));

  ListJudgement result;
  result.verdict = Cp1252ToUtf8(judgement.verdict);
  if (answers.others && judgement.verdict != kVerdictEmpty) {
    result.answerNote = std::string(judgement.verdict == kVerdictRight ? "réponse reconnue : « "
                                                                        : "réponse la plus proche : « ") +
                        Cp1252ToUtf8(AcceptedAnswerAt(answers, judgement.answer)) + " »";
  }
  return result;
}

}  // namespace vidod
