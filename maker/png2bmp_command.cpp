// vidod-make png2bmp IN.png OUT.bmp [--fond RRVVBB]: the bitmap that the
// player's PNG decoder makes of a file, saved as a .bmp to look at; with a
// background colour, transparent pixels drawn on it as the player draws them.
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

constexpr char kPng2bmpCommand[] = "png2bmp";

constexpr char kBmpSignature[] = "BM";

struct Png2BmpOptions {
  std::string input;
  std::string output;
  bool force = false;
  std::string background;  // RRVVBB in hexadecimal; empty: transparency as stored
};

// Six hexadecimal digits, red, green then blue; a leading # is allowed.
bool ParseBackground(const std::string& text, PngBackground* colour) {
  const std::string digits = !text.empty() && text[0] == '#' ? text.substr(1) : text;
  if (digits.size() != 6 || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
    return false;
  const unsigned long value = std::stoul(digits, nullptr, 16);
  *colour = {static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
             static_cast<uint8_t>(value)};
  return true;
}

void RunPng2Bmp(const Png2BmpOptions& options) {
  const std::filesystem::path input = PathFromText(options.input);
  const std::filesystem::path output = PathFromText(options.output);
  PngBackground background = {};
  const bool onBackground = !options.background.empty();
  if (onBackground && !ParseBackground(options.background, &background)) {
    ReportError(kPng2bmpCommand, "--fond « " + options.background +
                              " » : couleur RRVVBB attendue, six chiffres hexadécimaux (par exemple C8DCF0)");
    FailCommand();
  }
  std::vector<uint8_t> png;
  std::string error;
  if (!RefuseInputAsOutput(output, {{input, "le PNG à décoder"}}, &error) ||
      !RefuseForeignFile(output, kBmpSignature, "un BMP", options.force, &error) ||
      !ReadFileBytes(input, &png, &error)) {
    ReportError(kPng2bmpCommand, error);
    FailCommand();
  }
  if (png.size() > std::numeric_limits<uint32_t>::max()) {
    ReportError(kPng2bmpCommand, "« " + options.input + " » : fichier de plus de 4 Gio");
    FailCommand();
  }
  std::vector<uint8_t> bmp;
  const uint32_t code = ConvertPngToBmp(png.data(), static_cast<uint32_t>(png.size()), &bmp,
                                        onBackground ? &background : nullptr);
  if (code != 0) {
    ReportError(kPng2bmpCommand, "« " + options.input + " » : " + PngProblem(code) + " (code du décodeur : " +
                              DescribePngError(code) + ")");
    FailCommand();
  }
  if (!WriteOutputFiles({{output, bmp}}, &error)) {
    ReportError(kPng2bmpCommand, error);
    FailCommand();
  }
}

}  // namespace

void RegisterPng2BmpCommand(CLI::App& app) {
  auto options = std::make_shared<Png2BmpOptions>();
  CLI::App* command = app.add_subcommand(
      "png2bmp", "Décode un PNG avec le décodeur du lecteur et enregistre l'image obtenue en BMP");
  command->footer(
      "Le BMP porte l'image telle que le lecteur la décode, avant sa mise à l'échelle. Sans --fond,\n"
      "il garde le nombre de couleurs du PNG et les pixels transparents leur couleur enregistrée ;\n"
      "avec --fond, les pixels transparents (alpha, bloc tRNS) sont posés sur cette couleur, comme\n"
      "le lecteur les pose sur la couleur de fond du quiz (couleur = [200, 220, 240] s'écrit C8DCF0).\n"
      "En cas d'échec, la raison est donnée avec le code d'erreur du décodeur (par exemple 0x2001) et\n"
      "OUT n'est pas écrit. OUT n'est jamais IN ; un fichier existant qui n'est pas un BMP n'est\n"
      "remplacé qu'avec --force.\n");
  command->add_option("IN", options->input, "Fichier PNG à décoder")->required()->type_name("IN.png");
  command->add_option("OUT", options->output, "Fichier BMP à écrire (remplacé en entier, ou pas du tout)")
      ->required()
      ->type_name("OUT.bmp");
  command->add_flag("-f,--force", options->force, "Remplace un fichier OUT existant qui n'est pas un BMP");
  command->add_option("--fond", options->background,
                      "Couleur sur laquelle poser les pixels transparents, en hexadécimal")
      ->type_name("RRVVBB");
  command->callback([options] { RunPng2Bmp(*options); });
}

}  // namespace vidod
