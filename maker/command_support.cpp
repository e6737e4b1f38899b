#include "maker/command_support.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <sstream>

namespace vidod {
namespace {

constexpr int kFailureExitCode = 1;

// What follows the parser's fixed words in its message ("--sortie" in
// "--sortie is required").
std::string After(const std::string& text, const std::string& marker) {
  const std::size_t at = text.find(marker);
  return at == std::string::npos ? std::string() : text.substr(at + marker.size());
}
std::string Before(const std::string& text, const std::string& marker) {
  const std::size_t at = text.find(marker);
  return at == std::string::npos ? std::string() : text.substr(0, at);
}

std::string Commands(const CLI::App* app) {
  std::string names;
  for (const CLI::App* command : app->get_subcommands([](const CLI::App*) { return true; }))
    names += (names.empty() ? "" : ", ") + command->get_name();
  return names;
}

// The command being parsed when the parser stopped: errors all reach the
// main application.
const CLI::App* InnermostCommand(const CLI::App* app) {
  while (!app->get_subcommands().empty()) app = app->get_subcommands().front();
  return app;
}

std::string Argument(const std::string& name) {
  return name.rfind("-", 0) == 0 ? "l'option " + name : "l'argument " + name;
}

// The parser names an option by its long name; the guide writes the short
// one ("-o"), which is the one an author knows.
const CLI::Option* ShortNamed(const CLI::App* command, const std::string& name) {
  const CLI::Option* option = command->get_option_no_throw(name);
  return option && !option->get_snames().empty() ? option : nullptr;
}

std::string OptionNamed(const CLI::App* command, const std::string& name) {
  const CLI::Option* option = ShortNamed(command, name);
  return option ? "l'option -" + option->get_snames().front() + " (" + name + ")" : Argument(name);
}

std::string MissingOption(const CLI::App* command, const std::string& name) {
  const CLI::Option* option = ShortNamed(command, name);
  return OptionNamed(command, name) + " est obligatoire" +
         (option ? " : ajoutez -" + option->get_snames().front() + " " + option->get_type_name() : "");
}

// The parser's message in French: each kind of mistake says what was wrong
// and, where it can, what to write.
std::string FrenchParseError(const CLI::App* app, const CLI::Error& error) {
  const std::string what = error.what();
  const CLI::App* command = InnermostCommand(app);
  if (dynamic_cast<const CLI::RequiredError*>(&error)) {
    if (what.find("subcommand") != std::string::npos) {
      // A mistyped command is left over rather than taken for one.
      const std::vector<std::string> left = command->remaining();
      if (!left.empty()) return "commande inconnue « " + left.front() + " » ; les commandes sont : " + Commands(command);
      return "il manque la commande, l'une de : " + Commands(command);
    }
    const std::string name = Before(what, " is required");
    return name.empty() ? "il manque un argument obligatoire" : MissingOption(command, name);
  }
  if (dynamic_cast<const CLI::ExtrasError*>(&error)) {
    // The parser was given the arguments last first (see main.cpp).
    std::string extras;
    std::istringstream words(After(what, "expected: "));
    for (std::string word; words >> word;) extras = word + (extras.empty() ? "" : " ") + extras;
    return (extras.find(' ') == std::string::npos ? "argument inattendu : " : "arguments inattendus : ") + extras;
  }
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error)) {
    const std::string name = Before(what, ":");
    return (name.empty() ? std::string("une option") : OptionNamed(command, name)) + " attend une valeur";
  }
  if (dynamic_cast<const CLI::ConversionError*>(&error) || dynamic_cast<const CLI::ValidationError*>(&error)) {
    const std::string detail = After(what, "convert: ");
    return "valeur invalide" + (detail.empty() ? std::string() : " : " + detail);
  }
  if (dynamic_cast<const CLI::ExcludesError*>(&error))
    return Before(what, " excludes ") + " et " + After(what, " excludes ") + " ne vont pas ensemble";
  if (dynamic_cast<const CLI::RequiresError*>(&error))
    return Before(what, " requires ") + " demande aussi " + After(what, " requires ");
  return "ligne de commande invalide";
}

std::string FrenchFailureMessage(const CLI::App* app, const CLI::Error& error) {
  return "vidod-make : erreur : " + FrenchParseError(app, error) +
         "\nAide : « vidod-make --help » ou « vidod-make COMMANDE --help ».\n";
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

std::string CountOf(std::size_t count, const char* noun) {
  return std::to_string(count) + " " + noun + (count > 1 ? "s" : "");
}

bool ReportIssues(const std::string& file, const std::vector<SourceIssue>& issues) {
  for (const SourceIssue& issue : issues) std::cerr << FormatIssue(file, issue) << "\n";
  return !HasErrors(issues);
}

void FailCommand() { EndCommand(kFailureExitCode); }

void EndCommand(int exitCode) { throw CLI::RuntimeError(exitCode); }

}  // namespace vidod
