// vidod-make png2bmp IN.png OUT.bmp: the bitmap that the player's PNG
// decoder makes of a file, saved as a .bmp to look at.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <limits>
#include <memory>
#include <string>

#include "maker/command_support.h"
#include "maker/commands.h"
#include "maker/file_io.h"
#include "maker/picture_check.h"
#include "pictures/bmp_file.h"

namespace vidod {
namespace {

constexpr char kCommand[] = "png2bmp";

constexpr char kBmpSignature[] = "BM";

struct Png2BmpOptions {
  std::string input;
  std::string output;
  bool force = false;
};

void RunPng2Bmp(const Png2BmpOptions& options) {
  const std::filesystem::path input = PathFromText(options.input);
  const std::filesystem::path output = PathFromText(options.output);
  std::vector<uint8_t> png;
  std::string error;
  if (!RefuseInputAsOutput(output, {{input, "le PNG à décoder"}}, &error) ||
      !RefuseForeignFile(output, kBmpSignature, "un BMP", options.force, &error) ||
      !ReadFileBytes(input, &png, &error)) {
    ReportError(kCommand, error);
    FailCommand();
  }
  if (png.size() > std::numeric_limits<uint32_t>::max()) {
    ReportError(kCommand, "« " + options.input + " » : fichier de plus de 4 Gio");
    FailCommand();
  }
  std::vector<uint8_t> bmp;
  const uint32_t code = ConvertPngToBmp(png.data(), static_cast<uint32_t>(png.size()), &bmp);
  if (code != 0) {
    ReportError(kCommand, "« " + options.input + " » : " + PngProblem(code) + " (code du décodeur : " +
                              DescribePngError(code) + ")");
    FailCommand();
  }
  if (!WriteOutputFiles({{output, bmp}}, &error)) {
    ReportError(kCommand, error);
    FailCommand();
  }
}

}  // namespace

void RegisterPng2BmpCommand(CLI::App& app) {
  auto options = std::make_shared<Png2BmpOptions>();
  CLI::App* command = app.add_subcommand(
      "png2bmp", "Décode un PNG avec le décodeur du lecteur et enregistre l'image obtenue en BMP");
  command->footer(
      "Le BMP porte l'image telle que le lecteur l'affiche, avant sa mise à l'échelle (même nombre de\n"
      "couleurs, transparence ignorée). En cas d'échec, la raison est donnée avec le code d'erreur du\n"
      "décodeur (par exemple 0x2001) et OUT n'est pas écrit. OUT n'est jamais IN ; un fichier existant qui\n"
      "n'est pas un BMP n'est remplacé qu'avec --force.\n");
  command->add_option("IN", options->input, "Fichier PNG à décoder")->required()->type_name("IN.png");
  command->add_option("OUT", options->output, "Fichier BMP à écrire (remplacé en entier, ou pas du tout)")
      ->required()
      ->type_name("OUT.bmp");
  command->add_flag("-f,--force", options->force, "Remplace un fichier OUT existant qui n'est pas un BMP");
  command->callback([options] { RunPng2Bmp(*options); });
}

}  // namespace vidod
