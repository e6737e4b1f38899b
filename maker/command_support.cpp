#include "maker/command_support.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace vidod {
namespace {

constexpr int kFailureExitCode = 1;

// The parser's own detail stays in English after the French summary.
std::string FrenchFailureMessage(const CLI::App*, const CLI::Error& error) {
  const std::string kind = error.get_name();
  std::string summary = "ligne de commande invalide";
  if (kind == "RequiredError") summary = "argument obligatoire manquant";
  else if (kind == "ExtrasError") summary = "argument en trop ou commande inconnue";
  else if (kind == "ArgumentMismatch") summary = "nombre d'arguments incorrect";
  else if (kind == "ConversionError" || kind == "ValidationError") summary = "valeur invalide";
  else if (kind == "ExcludesError") summary = "options incompatibles";
  return "vidod-make : erreur : " + summary + " (" + error.what() +
         ")\nAide : « vidod-make --help » ou « vidod-make COMMANDE --help ».\n";
}

}  // namespace

void UseFrenchCommandLine(CLI::App& app) {
  app.set_help_flag("-h,--help", "Affiche cette aide et quitte");
  app.failure_message(FrenchFailureMessage);
  app.group("Commandes");
  auto formatter = app.get_formatter();
  formatter->label("Usage", "Utilisation");
  formatter->label("OPTIONS", "OPTIONS");
  formatter->label("SUBCOMMAND", "COMMANDE");
  formatter->label("SUBCOMMANDS", "COMMANDES");
  formatter->label("Positionals", "Arguments");
  formatter->label("REQUIRED", "obligatoire");
  formatter->label("TEXT", "TEXTE");
}

void ReportError(const std::string& command, const std::string& message) {
  std::cerr << "vidod-make " << command << " : erreur : " << message << "\n";
}

bool ReportIssues(const std::string& file, const std::vector<SourceIssue>& issues) {
  for (const SourceIssue& issue : issues) std::cerr << FormatIssue(file, issue) << "\n";
  return !HasErrors(issues);
}

void FailCommand() { EndCommand(kFailureExitCode); }

void EndCommand(int exitCode) { throw CLI::RuntimeError(exitCode); }

}  // namespace vidod
