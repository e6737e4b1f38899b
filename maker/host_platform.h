// What differs between the systems vidod-make runs on: how its arguments
// arrive, how its standard streams treat bytes, and where it was started from.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vidod {

// The command-line arguments as UTF-8. Windows hands a narrow main() the
// arguments in the ANSI code page, which loses every character outside it;
// there they are taken from the wide command line instead.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Messages are UTF-8: a Windows console is told so, so that accents show
// without "chcp 65001". Elsewhere nothing to do.
void UseUtf8Console();

// Standard input and output pass bytes unchanged (no CR LF translation on
// Windows), for commands that read or write raw code page 1252 lines.
void UseBinaryStandardStreams();

// The running vidod-make executable, absolute; empty when it cannot be told.
std::filesystem::path ToolExecutablePath();

}  // namespace vidod
