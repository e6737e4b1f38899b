// vidod-make lzw encode|decode IN OUT: the quiz resources' codec on a file.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <memory>
#include <string>

#include "maker/blob_codec.h"
#include "maker/command_support.h"
#include "maker/commands.h"
#include "maker/file_io.h"

namespace vidod {
namespace {

struct LzwOptions {
  std::string input;
  std::string output;
};

void RunCodec(const LzwOptions& options, bool compressing) {
  const std::string command = compressing ? "lzw encode" : "lzw decode";
  std::vector<uint8_t> input;
  std::string error;
  if (!RefuseInputAsOutput(PathFromText(options.output), {{PathFromText(options.input), "le fichier lu"}}, &error) ||
      !ReadFileBytes(PathFromText(options.input), &input, &error)) {
    ReportError(command, error);
    FailCommand();
  }
  const CodecRun run = compressing ? CompressBytes(input) : DecompressBytes(input);
  if (run.result != 0) {
    ReportError(command, "« " + options.input + " » : résultat " + std::to_string(run.result) + " (" +
                             DescribeLzwResult(run.result, compressing) + ")");
    FailCommand();
  }
  if (!WriteOutputFiles({{PathFromText(options.output), run.bytes}}, &error)) {
    ReportError(command, error);
    FailCommand();
  }
}

void AddCodecSubcommand(CLI::App* lzw, const char* name, const char* description, bool compressing) {
  auto options = std::make_shared<LzwOptions>();
  CLI::App* sub = lzw->add_subcommand(name, description);
  sub->add_option("IN", options->input, "Fichier à lire")->required()->type_name("FICHIER");
  sub->add_option("OUT", options->output, "Fichier à écrire (remplacé en entier, ou pas du tout en cas d'échec)")
      ->required()
      ->type_name("FICHIER");
  sub->callback([options, compressing] { RunCodec(*options, compressing); });
}

}  // namespace

void RegisterLzwCommand(CLI::App& app) {
  CLI::App* lzw = app.add_subcommand("lzw", "Compresse ou décompresse un fichier au format LZW des ressources de quiz");
  lzw->require_subcommand(1);
  AddCodecSubcommand(lzw, "encode", "Compresse IN dans OUT", true);
  AddCodecSubcommand(lzw, "decode", "Décompresse IN dans OUT", false);
}

}  // namespace vidod
