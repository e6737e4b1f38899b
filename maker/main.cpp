// vidod-make: the authoring tool that turns a quiz source and its pictures
// into quiz resources and quiz executables, and back.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <string>
#include <vector>

#include "maker/command_support.h"
#include "maker/commands.h"
#include "maker/host_platform.h"

namespace {
constexpr int kSuccessExitCode = 0;
constexpr int kFailureExitCode = 1;
constexpr int kCheckErrorExitCode = 2;
}  // namespace

int main(int argc, char** argv) {
  vidod::UseUtf8Console();
  CLI::App app("vidod-make : fabrique les quiz Vidod à partir d'une source TOML et de ses images, "
               "et les vérifie ou les défait.",
               "vidod-make");
  vidod::UseFrenchCommandLine(app);
  app.require_subcommand(1);

  vidod::RegisterInitCommand(app);
  vidod::RegisterCheckCommand(app);
  vidod::RegisterBuildCommand(app);
  vidod::RegisterUnpackCommand(app);
  vidod::RegisterWebCommand(app);
  vidod::RegisterJudgeCommand(app);
  vidod::RegisterPng2BmpCommand(app);
  vidod::RegisterPackCommand(app);
  vidod::RegisterLzwCommand(app);

  // The parser takes the arguments without the program name, last first.
  std::vector<std::string> arguments = vidod::Utf8Arguments(argc, argv);
  if (!arguments.empty()) arguments.erase(arguments.begin());
  std::reverse(arguments.begin(), arguments.end());
  try {
    app.parse(arguments);
  } catch (const CLI::ParseError& error) {
    // A command may end with its own exit code (check tells warnings from
    // errors); the parser's own mistakes all give 1.
    if (error.get_name() == "RuntimeError") return error.get_exit_code();
    if (app.exit(error) == kSuccessExitCode) return kSuccessExitCode;
    // check keeps 1 for "warnings": its own command line is an error.
    return app.got_subcommand("check") ? kCheckErrorExitCode : kFailureExitCode;
  }
  return kSuccessExitCode;
}
