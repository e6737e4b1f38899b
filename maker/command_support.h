// What the subcommands of vidod-make share: the French command line, the
// way a command fails, and how problems are printed.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "maker/quiz_source.h"

namespace CLI {
class App;
}

namespace vidod {

// French help and parse errors. Call on the main application before adding
// subcommands: they inherit these settings when they are created.
void UseFrenchCommandLine(CLI::App& app);

// Prints "vidod-make COMMAND: erreur : MESSAGE" to stderr.
void ReportError(const std::string& command, const std::string& message);
// Prints every issue to stderr, errors and warnings alike; true when none is
// an error.
bool ReportIssues(const std::string& file, const std::vector<SourceIssue>& issues);

// "1 question", "12 questions": French takes the singular for 0 and 1.
std::string CountOf(std::size_t count, const char* noun);

// Ends the running command with exit code 1; its messages are already out.
[[noreturn]] void FailCommand();
// Ends the running command with the given exit code.
[[noreturn]] void EndCommand(int exitCode);

}  // namespace vidod
