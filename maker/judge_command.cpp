// vidod-make judge EXPECTED TYPED [--liste] and judge --lot: the verdict the
// player gives, for an author to see how tolerant a question is.
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
#include "maker/host_platform.h"

namespace vidod {
namespace {

constexpr char kCommand[] = "judge";

struct JudgeOptions {
  std::string expected;
  std::string typed;
  bool listView = false;
  bool batch = false;
};

std::string ToCp1252(const std::string& utf8, const char* what) {
  const Cp1252Conversion conversion = Utf8ToCp1252(utf8);
  if (!conversion.ok) {
    ReportError(kCommand, std::string(what) + " : le caractère " + DescribeCharacter(conversion.rejected) +
                              " n'existe pas dans la page de code 1252 : le lecteur ne peut ni l'afficher ni le "
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

void RunBatch(AnswerView view) {
  UseBinaryStandardStreams();
  const std::string input((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
  std::string verdicts;
  std::vector<BatchLineProblem> problems;
  if (!JudgeAnswerLines(input, view, &verdicts, &problems)) {
    for (const BatchLineProblem& problem : problems)
      ReportError(kCommand, "entrée standard, ligne " + std::to_string(problem.line) + " : " + problem.message);
    FailCommand();
  }
  std::cout.write(verdicts.data(), static_cast<std::streamsize>(verdicts.size()));
  std::cout.flush();
  if (!std::cout) {
    ReportError(kCommand, "écriture impossible sur la sortie standard");
    FailCommand();
  }
}

void RunJudge(const JudgeOptions& options, const CLI::App& command) {
  const AnswerView view = options.listView ? AnswerView::kList : AnswerView::kSingleQuestion;
  if (options.batch) {
    if (command.count("ATTENDUE") || command.count("TAPEE")) {
      ReportError(kCommand, "--lot lit les réponses sur l'entrée standard : ne donnez pas ATTENDUE ni TAPEE");
      FailCommand();
    }
    RunBatch(view);
    return;
  }
  if (!command.count("ATTENDUE") || !command.count("TAPEE")) {
    ReportError(kCommand, "il faut la réponse attendue et la réponse tapée (ou --lot)");
    FailCommand();
  }
  const std::string expected = ToCp1252(options.expected, "la réponse attendue");
  const std::string typed = ToCp1252(AsTypedIntoABox(options.typed), "la réponse tapée");
  std::cout << Cp1252ToUtf8(JudgeRawAnswer(expected.c_str(), typed.c_str(), view)) << "\n";
}

}  // namespace

void RegisterJudgeCommand(CLI::App& app) {
  auto options = std::make_shared<JudgeOptions>();
  CLI::App* judge = app.add_subcommand(
      "judge", "Affiche le verdict que le lecteur donne à une réponse tapée (BRAVO, Quasiment, FAUX…)");
  judge->footer(
      "Les blancs autour des deux réponses sont retirés et leurs lettres mises en majuscules, accents\n"
      "gardés (« é » vaut « É », pas « e ») ; les apostrophes typographiques valent ', les guillemets\n"
      "“ ” valent \" et l'espace insécable un blanc. Exemple : vidod-make judge PARIS pari\n"
      "Avec --lot, chaque ligne de l'entrée standard est « attendue<TAB>tapée » en octets de la page 1252\n"
      "(la première tabulation sépare les deux) ; la sortie donne un verdict par ligne, dans la même page,\n"
      "terminé par CR LF si la ligne lue l'était, par LF sinon.\n");
  judge->add_option("ATTENDUE", options->expected, "Réponse attendue, telle que la source la donne")
      ->type_name("TEXTE");
  judge->add_option("TAPEE", options->typed, "Réponse tapée par le joueur")->type_name("TEXTE");
  judge->add_flag("-l,--liste", options->listView,
                  "Juge comme la vue en liste (pas d'indice pour une réponse attendue de 3 caractères ou moins)");
  judge->add_flag("--lot", options->batch, "Juge chaque ligne « attendue<TAB>tapée » de l'entrée standard");
  judge->callback([options, judge] { RunJudge(*options, *judge); });
}

}  // namespace vidod
