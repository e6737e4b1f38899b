// The subcommands of vidod-make; main.cpp registers each of them.
#pragma once

namespace CLI {
class App;
}

namespace vidod {

void RegisterLzwCommand(CLI::App& app);
void RegisterPackCommand(CLI::App& app);
void RegisterUnpackCommand(CLI::App& app);

}  // namespace vidod
