#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "maker/resource_update.h"
#include "maker/system_error_text.h"
#include "maker_test_support.h"

namespace vidod {
namespace {

using makertest::RunTool;
using makertest::ScratchFolder;
using makertest::ToolRun;
using makertest::WriteFile;

TEST(SystemErrorTextTest, TheCommonErrorsAreSaidInFrench) {
  const struct {
    std::error_code code;
    const char* expected;
  } cases[] = {
      // What the standard library reports, by its portable numbers ...
      {std::make_error_code(std::errc::permission_denied), "accès refusé"},
      {std::make_error_code(std::errc::no_space_on_device), "disque plein"},
      {std::make_error_code(std::errc::not_a_directory), "un élément du chemin n'est pas un dossier"},
      {std::make_error_code(std::errc::read_only_file_system), "disque ou clé protégé en écriture"},
      // ... and an error without a French text, by its number.
      {std::make_error_code(std::errc::protocol_error), nullptr},
  };
  for (const auto& c : cases) {
    const std::string expected =
        c.expected ? c.expected : "erreur système " + std::to_string(static_cast<int>(std::errc::protocol_error));
    EXPECT_EQ(SystemErrorText(c.code), expected) << c.code.message();
  }
#ifndef _WIN32
  // The system's own category holds the same numbers here.
  EXPECT_EQ(SystemErrorText(std::error_code(EACCES, std::system_category())), "accès refusé");
#endif
  // The last error of a Windows function: a file held open by another
  // program, a key locked against writing, a number without a text.
  EXPECT_EQ(WindowsErrorText(32), "utilisé par un autre programme");
  EXPECT_EQ(WindowsErrorText(5), "accès refusé");
  EXPECT_EQ(WindowsErrorText(19), "disque ou clé protégé en écriture");
  EXPECT_EQ(WindowsErrorText(4321), "erreur système 4321");
}

// The commands say it in French, not in the library's English.
TEST(SystemErrorTextTest, ACommandThatCannotWriteSaysWhyInFrench) {
  ScratchFolder scratch;
  WriteFile(scratch.path() / "quiz.toml", "titre = \"T\"\n[[question]]\nreponse = \"a\"\n");
  WriteFile(scratch.path() / "fichier", "");
  const ToolRun run = RunTool("pack quiz.toml -o fichier/sortie", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("impossible de créer le dossier (un élément du chemin n'est pas un dossier)"),
            std::string::npos)
      << run.err;
}

TEST(SystemErrorTextTest, AQuizThatCannotBeWrittenIsToldWhy) {
  ScratchFolder scratch;
  const struct {
    int code;
    bool opened;
    const char* reason;
  } cases[] = {
      // A bad argument when the file is opened: its name.
      {EINVAL, false, "(nom de fichier invalide)"},
      // The same once it is open: some C runtimes say so of a full disk.
      {EINVAL, true, "(le disque est peut-être plein ou a été retiré)"},
      {0, true, "(le disque est peut-être plein ou a été retiré)"},
      // What the system does say is kept.
      {EACCES, false, "(accès refusé)"},
      {ENOSPC, true, "(disque plein)"},
  };
  for (const auto& c : cases) {
    const std::string text = QuizWriteFailure(scratch.path(), c.code, c.opened);
    EXPECT_NE(text.find("impossible d'y écrire le quiz " + std::string(c.reason)), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace vidod
