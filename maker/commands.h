// The subcommands of vidod-make; main.cpp registers each of them.
#pragma once

namespace CLI {
class App;
}

namespace vidod {

void RegisterInitCommand(CLI::App& app);
void RegisterCheckCommand(CLI::App& app);
void RegisterBuildCommand(CLI::App& app);
void RegisterUnpackCommand(CLI::App& app);
void RegisterJudgeCommand(CLI::App& app);
void RegisterPng2BmpCommand(CLI::App& app);
void RegisterPackCommand(CLI::App& app);
void RegisterLzwCommand(CLI::App& app);
void RegisterWebCommand(CLI::App& app);

}  // namespace vidod
