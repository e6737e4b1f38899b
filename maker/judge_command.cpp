// vidod-make judge EXPECTED TYPED [--liste], judge --source QUIZ.toml
// --question N TYPED and judge --lot: the verdict the player gives, for an
// author to see how tolerant a question is.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>

#include "answers/verdict.h"
#include "common/text_buffer.h"
#include "maker/answer_batch.h"
#include "maker/command_support.h"
#include "maker/commands.h"
#include "common/cp1252.h"
#include "maker/file_io.h"
#include "maker/host_platform.h"
#include "maker/list_judgement.h"
#include "maker/quiz_toml.h"

namespace vidod {
namespace {

constexpr char kJudgeCommand[] = "judge";

struct JudgeOptions {
  std::string expected;
  std::string typed;
  bool listView = false;
  bool batch = false;
  std::vector<std::string> others;      // --autre, UTF-8
  std::vector<std::string> tolerances;  // --tolerer words
  std::string source;
  int question = 0;  // from 1
  int box = 1;
};

[[noreturn]] void Refuse(const std::string& message) {
  ReportError(kJudgeCommand, message);
  FailCommand();
}

std::string ToCp1252(const std::string& utf8, const char* what) {
  const Cp1252Conversion conversion = Utf8ToCp1252(utf8);
  if (!conversion.ok) {
    ReportError(kJudgeCommand, std::string(what) + " : le caractère " + DescribeRejectedCharacter(utf8, conversion) +
                              ", n'existe pas dans la page de code 1252 : le lecteur ne peut ni l'afficher ni le "
                              "recevoir");
    FailCommand();
  }
  if (conversion.text.size() > static_cast<std::size_t>(kMaxTextLength))
    std::cerr << "vidod-make judge : attention : " << what << " fait " << conversion.text.size()
              << " octets ; le lecteur n'en garde que " << kMaxTextLength << ", jugés ici\n";
  return conversion.text;
}

// What a player's box hands over for a typed text: the modifier letter
// apostrophe, which the code page lacks, arrives as its nearest form '.
std::string AsTypedIntoABox(std::string utf8) {
  static const std::string kModifierApostrophe = "\xCA\xBC";  // U+02BC
  for (std::size_t at = utf8.find(kModifierApostrophe); at != std::string::npos;
       at = utf8.find(kModifierApostrophe, at + 1))
    utf8.replace(at, kModifierApostrophe.size(), "'");
  return utf8;
}

uint8_t TolerancesOf(const std::vector<std::string>& words) {
  uint8_t tolerances = 0;
  for (const std::string& word : words) {
    const uint8_t bit = ToleranceOfWord(word);
    if (!bit) Refuse("tolérance inconnue « " + word + " » : accents, ponctuation ou articles");
    tolerances |= bit;
  }
  return tolerances;
}

void RunBatch(AnswerView view, uint8_t tolerances) {
  UseBinaryStandardStreams();
  const std::string input((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
  std::string verdicts;
  std::vector<BatchLineProblem> problems;
  if (!JudgeAnswerLines(input, view, &verdicts, &problems, AnswerRulesFromTolerances(tolerances))) {
    for (const BatchLineProblem& problem : problems)
      ReportError(kJudgeCommand, "entrée standard, ligne " + std::to_string(problem.line) + " : " + problem.message);
    FailCommand();
  }
  std::cout.write(verdicts.data(), static_cast<std::streamsize>(verdicts.size()));
  std::cout.flush();
  if (!std::cout) {
    ReportError(kJudgeCommand, "écriture impossible sur la sortie standard");
    FailCommand();
  }
}

// The answers box of question accepts in a quiz source, and its tolerances.
std::vector<std::string> AcceptedInSource(const JudgeOptions& options, uint8_t* tolerances) {
  QuizSource quiz;
  std::vector<SourceIssue> issues;
  ReadQuizSourceFile(PathFromText(options.source), &quiz, &issues);
  if (!ReportIssues(options.source, issues)) FailCommand();
  const int count = static_cast<int>(quiz.questions.size());
  if (options.question < 1 || options.question > count)
    Refuse("--question " + std::to_string(options.question) + " : le quiz a " + std::to_string(count) +
           " questions, de 1 à " + std::to_string(count));
  if (options.box == 2 && quiz.answersPerQuestion != 2)
    Refuse("--case 2 : le quiz n'a qu'une réponse par question");
  *tolerances = quiz.tolerances;
  return AcceptedAnswerList(quiz.questions[options.question - 1], options.box - 1);
}

void RunJudge(const JudgeOptions& options, const CLI::App& command) {
  const AnswerView view = options.listView ? AnswerView::kList : AnswerView::kSingleQuestion;
  const bool fromSource = !options.source.empty();
  if (!fromSource && (command.count("--question") || command.count("--case")))
    Refuse("--question et --case vont avec --source");
  if (fromSource && (!options.others.empty() || !options.tolerances.empty()))
    Refuse("--source donne déjà les réponses acceptées et les tolérances du quiz : ne donnez ni --autre ni --tolerer");
  uint8_t tolerances = TolerancesOf(options.tolerances);
  if (options.batch) {
    if (command.count("ATTENDUE") || command.count("TAPEE"))
      Refuse("--lot lit les réponses sur l'entrée standard : ne donnez pas ATTENDUE ni TAPEE");
    if (fromSource || !options.others.empty())
      Refuse("--lot juge chaque ligne contre sa seule réponse attendue : ni --source ni --autre");
    RunBatch(view, tolerances);
    return;
  }

  std::vector<std::string> accepted;
  std::string typed;
  if (fromSource) {
    if (!command.count("--question")) Refuse("--source demande --question N");
    // The one text given is the typed answer.
    if (!command.count("ATTENDUE") || command.count("TAPEE"))
      Refuse("avec --source, donnez seulement la réponse tapée");
    typed = ToCp1252(AsTypedIntoABox(options.expected), "la réponse tapée");
    accepted = AcceptedInSource(options, &tolerances);
  } else {
    if (!command.count("ATTENDUE") || !command.count("TAPEE"))
      Refuse("il faut la réponse attendue et la réponse tapée (ou --lot, ou --source)");
    accepted.push_back(ToCp1252(options.expected, "la réponse attendue"));
    for (const std::string& other : options.others) accepted.push_back(ToCp1252(other, "une réponse de --autre"));
    typed = ToCp1252(AsTypedIntoABox(options.typed), "la réponse tapée");
  }
  const ListJudgement judgement = JudgeAgainstList(accepted, typed, view, tolerances);
  std::cout << judgement.verdict << (judgement.answerNote.empty() ? "" : " (" + judgement.answerNote + ")") << "\n";
}

}  // namespace

void RegisterJudgeCommand(CLI::App& app) {
  auto options = std::make_shared<JudgeOptions>();
  CLI::App* judge = app.add_subcommand(
      "judge", "Affiche le verdict que le lecteur donne à une réponse tapée (BRAVO, Quasiment, FAUX…)");
  judge->footer(
      "Les blancs autour des deux réponses sont retirés et leurs lettres mises en majuscules, accents\n"
      "gardés (« é » vaut « É », pas « e ») ; les apostrophes typographiques valent ', les guillemets\n"
      "“ ” valent \" et l'espace insécable un blanc ; « œ » vaut « oe » et « æ » vaut « ae ».\n"
      "Exemple : vidod-make judge PARIS pari\n"
      "Avec --autre (une fois par réponse), la case accepte aussi ces réponses : BRAVO pour l'une d'elles,\n"
      "sinon le verdict de la plus proche, nommée. --tolerer accents,ponctuation,articles ajoute les\n"
      "tolérances d'un quiz. Avec --source QUIZ.toml --question N, la case 1 (ou 2 avec --case 2) de la\n"
      "question N est jugée avec les réponses et les tolérances du quiz : ne donnez que la réponse tapée.\n"
      "Avec --lot, chaque ligne de l'entrée standard est « attendue<TAB>tapée » en octets de la page 1252\n"
      "(la première tabulation sépare les deux) ; la sortie donne un verdict par ligne, dans la même page,\n"
      "terminé par CR LF si la ligne lue l'était, par LF sinon.\n");
  judge->add_option("ATTENDUE", options->expected, "Réponse attendue, telle que la source la donne")
      ->type_name("TEXTE");
  judge->add_option("TAPEE", options->typed, "Réponse tapée par le joueur")->type_name("TEXTE");
  judge->add_flag("-l,--liste", options->listView,
                  "Juge comme la vue en liste (pas d'indice pour une réponse attendue de 3 caractères ou moins)");
  judge->add_flag("--lot", options->batch, "Juge chaque ligne « attendue<TAB>tapée » de l'entrée standard");
  // One value per use, so that the texts after them stay positional.
  judge->add_option("-a,--autre", options->others, "Autre réponse acceptée par la case (répétable)")
      ->expected(1)
      ->allow_extra_args(false)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
      ->type_name("TEXTE");
  judge->add_option("-t,--tolerer", options->tolerances, "Tolérances : accents, ponctuation, articles")
      ->expected(1)
      ->allow_extra_args(false)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
      ->delimiter(',')
      ->type_name("MOTS");
  judge->add_option("--source", options->source, "Source du quiz dont une case est jugée")->type_name("QUIZ.toml");
  judge->add_option("--question", options->question, "Question jugée, de 1 au nombre de questions (avec --source)")
      ->type_name("N");
  judge->add_option("--case", options->box, "Case jugée, 1 ou 2 (avec --source)")
      ->check(CLI::Range(1, 2))
      ->type_name("1|2");
  judge->callback([options, judge] { RunJudge(*options, *judge); });
}

}  // namespace vidod
