// vidod-make: the authoring tool that turns a quiz source and its pictures
// into quiz resources.
#include <CLI/CLI.hpp>

#include "maker/command_support.h"
#include "maker/commands.h"

namespace {
constexpr int kSuccessExitCode = 0;
constexpr int kFailureExitCode = 1;
}  // namespace

int main(int argc, char** argv) {
  CLI::App app("vidod-make : fabrique les ressources des quiz Vidod à partir d'une source TOML et de ses images.",
               "vidod-make");
  vidod::UseFrenchCommandLine(app);
  app.require_subcommand(1);

  vidod::RegisterLzwCommand(app);
  vidod::RegisterPackCommand(app);
  vidod::RegisterUnpackCommand(app);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // The parser has an exit code per kind of mistake; callers only need to
    // tell success from failure.
    return app.exit(error) == kSuccessExitCode ? kSuccessExitCode : kFailureExitCode;
  }
  return kSuccessExitCode;
}
