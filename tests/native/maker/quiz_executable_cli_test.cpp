#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "maker/blob_codec.h"
#include "maker/pe_resources.h"
#include "maker/picture_check.h"
#include "maker/picture_codec.h"
#include "maker/quiz_project.h"
#include "maker/quiz_blobs.h"
#include "maker/quiz_resources.h"
#include "maker/quiz_toml.h"
#include "pictures/bmp_file.h"
#include "maker_test_support.h"
#include "test_executable.h"

namespace vidod {
namespace {

using makertest::Bytes;
using makertest::ParseOrFail;
using makertest::ReadFile;
using makertest::RunTool;
using makertest::ScratchFolder;
using makertest::ShellQuote;
using makertest::Text;
using makertest::ToolRun;
using makertest::WriteFile;
namespace fs = std::filesystem;

const fs::path kDemoFolder = fs::path(VIDOD_SOURCE_DIR) / "demo" / "drapeaux";

std::string Quoted(const fs::path& path) { return ShellQuote(path.string()); }

std::vector<ResourceEntry> ResourcesOf(const fs::path& executable) {
  const std::vector<uint8_t> bytes = Bytes(ReadFile(executable));
  std::vector<ResourceEntry> entries;
  std::string error;
  EXPECT_TRUE(ReadPeResources(bytes.data(), bytes.size(), &entries, &error)) << executable << ": " << error;
  return entries;
}

std::vector<ResourceEntry> QuizResourcesOf(const fs::path& executable) {
  std::vector<ResourceEntry> quiz;
  for (const ResourceEntry& entry : ResourcesOf(executable))
    if (IsQuizResource(entry)) quiz.push_back(entry);
  return quiz;
}

std::vector<uint8_t> Decoded(const ResourceEntry* entry) {
  if (!entry) {
    ADD_FAILURE() << "resource missing";
    return {};
  }
  const CodecRun run = DecompressBytes(entry->data);
  EXPECT_EQ(run.result, 0);
  return run.bytes;
}

// Same quiz resources: types, numbers, languages and bytes.
void ExpectSameQuizResources(const std::vector<ResourceEntry>& a, const std::vector<ResourceEntry>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].type, b[i].type) << i;
    EXPECT_EQ(a[i].name, b[i].name) << i;
    EXPECT_EQ(a[i].language, b[i].language) << i;
    EXPECT_TRUE(a[i].data == b[i].data) << DescribeResourceName(a[i].type) << " " << DescribeResourceName(a[i].name);
  }
}

std::vector<std::string> FolderEntries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A player as build takes it: the player's own resources in a small executable.
fs::path WritePlayer(const fs::path& folder, const makertest::TestExecutableLayout& layout = {}) {
  const fs::path player = folder / "lecteur" / "vidod.exe";
  WriteFile(player, Text(makertest::MakeTestPlayer(layout)));
  return player;
}

void ExpectPlayerResourcesKept(const fs::path& executable) {
  const std::vector<ResourceEntry> entries = ResourcesOf(executable);
  for (const ResourceEntry& own : makertest::PlayerOwnResources()) {
    const ResourceEntry* found = FindResourceEntry(entries, own.type, own.name, own.language);
    ASSERT_NE(found, nullptr) << DescribeResourceName(own.type) << " " << DescribeResourceName(own.name);
    EXPECT_EQ(found->data, own.data);
  }
}

TEST(QuizExecutableCliTest, InitThenBuildMakesAQuizOfAFolderOfPictures) {
  ScratchFolder scratch;
  const fs::path images = scratch.path() / "images";
  WriteFile(images / "b-paris.png", ReadFile(kDemoFolder / "images" / "03-belgique.png"));
  WriteFile(images / "a-rome.jpg", ReadFile(kDemoFolder / "images" / "01-france.jpg"));
  WriteFile(images / "c-île.gif", makertest::kGifBytes);
  WriteFile(images / "notes.txt", "pas une image");
  fs::create_directories(images / "sous-dossier");

  ToolRun run = RunTool("init images -o quiz.toml", scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("notes.txt"), std::string::npos) << run.err;
  const std::string source = ReadFile(scratch.path() / "quiz.toml");
  for (const char* comment : {"# Titre de la fenêtre", "# Couleur de fond", "# Codes de récompense", "# Révélations"})
    EXPECT_NE(source.find(comment), std::string::npos) << comment;
  const QuizSource quiz = ParseOrFail(source, scratch.path());
  ASSERT_EQ(quiz.questions.size(), 3u);
  EXPECT_EQ(quiz.questions[0].answer, "a-rome");
  EXPECT_EQ(quiz.questions[0].image, "images/a-rome.jpg");
  EXPECT_EQ(quiz.questions[1].answer, "b-paris");
  EXPECT_EQ(quiz.questions[2].answer, "c-\xEEle");
  EXPECT_EQ(quiz.title, scratch.path().filename().string());
  EXPECT_EQ(quiz.quizType, 0);
  EXPECT_EQ(quiz.red, kDefaultRed);
  EXPECT_EQ(quiz.pictureByte, kPictureByteWithList);
  // Photos are stored at the size shown unless the author says otherwise.
  EXPECT_TRUE(quiz.reducePictures);

  // The author's source is never replaced unasked.
  WriteFile(scratch.path() / "quiz.toml", source + "# à moi\n");
  run = RunTool("init images -o quiz.toml", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("--force"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFile(scratch.path() / "quiz.toml"), source + "# à moi\n");
  ASSERT_EQ(RunTool("init images -o quiz.toml --force", scratch.path()).exitCode, 0);
  EXPECT_EQ(ReadFile(scratch.path() / "quiz.toml"), source);
  // Named with a separator at its end, the folder keeps its name in the comment.
  ASSERT_EQ(RunTool("init images/ -o quiz.toml --force", scratch.path()).exitCode, 0);
  EXPECT_EQ(ReadFile(scratch.path() / "quiz.toml"), source);

  // A source elsewhere names the pictures from its own folder.
  ASSERT_EQ(RunTool("init images -o autre/quiz.toml", scratch.path()).exitCode, 0);
  EXPECT_EQ(ParseOrFail(ReadFile(scratch.path() / "autre" / "quiz.toml"), scratch.path() / "autre").questions[0].image,
            "../images/a-rome.jpg");

  const fs::path player = WritePlayer(scratch.path());
  run = RunTool("build quiz.toml -o quiz.exe --lecteur " + Quoted(player), scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<ResourceEntry> entries = ResourcesOf(scratch.path() / "quiz.exe");
  const QuizResourceSet set = FindQuizResources(entries, 3);
  EXPECT_EQ(Decoded(set.answers), WriteAnswersBlob(quiz));
  EXPECT_EQ(Decoded(set.codes), WriteCodesBlob(quiz));
  ASSERT_EQ(set.pictures.size(), 3u);
  EXPECT_TRUE(NameIs(set.pictures[0]->type, "IMG"));
  EXPECT_EQ(set.pictures[0]->data, Bytes(ReadFile(images / "a-rome.jpg")));
  EXPECT_EQ(set.pictures[1]->type, ResourceName::Number(kResourceTypeRawData));
  EXPECT_EQ(set.pictures[1]->data, Bytes(ReadFile(images / "b-paris.png")));
  EXPECT_TRUE(NameIs(set.pictures[2]->type, "IMG"));
  for (const ResourceEntry& entry : entries) {
    if (IsQuizResource(entry)) {
      EXPECT_EQ(entry.language, kLanguageNeutral);
    }
  }
  ExpectPlayerResourcesKept(scratch.path() / "quiz.exe");
  EXPECT_EQ(fs::status(scratch.path() / "quiz.exe").permissions(), fs::status(player).permissions());
}

TEST(QuizExecutableCliTest, InitRefusesFoldersWithoutPictures) {
  ScratchFolder scratch;
  WriteFile(scratch.path() / "vide" / "lisez-moi.txt", "rien");
  ToolRun run = RunTool("init vide -o quiz.toml", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  // Both messages name every format taken.
  EXPECT_NE(run.err.find("« lisez-moi.txt » ignoré : pas une image que le quiz prend (JPEG, PNG, GIF, BMP, WebP, "
                         "HEIC ou AVIF)"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("aucune image JPEG, PNG, GIF, BMP, WebP, HEIC ou AVIF"), std::string::npos) << run.err;
  run = RunTool("init absent -o quiz.toml", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("n'est pas un dossier"), std::string::npos) << run.err;
  for (int i = 0; i < 97; ++i)
    WriteFile(scratch.path() / "trop" / ("p" + std::to_string(100 + i) + ".gif"), "GIF89a\x01\x00\x01\x00");
  run = RunTool("init trop -o quiz.toml", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("97 images, un quiz a 96 questions au plus : prenez les 96 premières dans l'ordre des noms "
                         "(vidod-make init --force)"),
            std::string::npos)
      << run.err;
  EXPECT_FALSE(fs::exists(scratch.path() / "quiz.toml"));
  // With --force the first 96 are taken and the rest named.
  run = RunTool("init trop -o quiz.toml --force", scratch.path());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ParseOrFail(ReadFile(scratch.path() / "quiz.toml"), scratch.path()).questions.size(), 96u);
  EXPECT_NE(run.err.find("« p196.gif » ignoré : au-delà des 96 questions d'un quiz"), std::string::npos) << run.err;
  fs::remove(scratch.path() / "quiz.toml");

  // A file name an answer cannot be: the source is written, and the author told.
  WriteFile(scratch.path() / "bizarre" / "oui|non.gif", "GIF89a\x01\x00\x01\x00");
  run = RunTool("init bizarre -o quiz.toml", scratch.path());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("quiz.toml:48: erreur : question 1, clé « reponse » : le texte contient « | »"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("(à corriger avant build)"), std::string::npos) << run.err;
  EXPECT_TRUE(fs::exists(scratch.path() / "quiz.toml"));
}

TEST(QuizExecutableCliTest, InitOrdersAndNamesPicturesAsATeacherNumbersThem) {
  ScratchFolder scratch;
  const fs::path images = scratch.path() / "images";
  // The last three names cannot be written as image keys that check reads
  // back: a line break, a backslash (a folder separator to check), bytes
  // that are not UTF-8.
  // A blank before the extension is no part of the answer, nor a copy's number.
  for (const char* name : {"10-paris.jpg", "Louvre (2).jpg", "image 12.jpg", "2_rome.gif", "Image 7.jpg", "03.madrid.jpg", "2024.jpg",
                           "1 berlin.png", "11-Op\xC3\xA9ra Garnier .jpg", ".cache.jpg", "._2_rome.gif", "a\nb.jpg",
                           "c\\d.jpg", "\xE9t\xE9.jpg", "Louvre.jpg", "\xC3\x89tretat.jpg", "Zoo.jpg"})
    WriteFile(images / name, std::string(name).find(".gif") != std::string::npos ? makertest::kGifBytes
                            : std::string(name).find(".png") != std::string::npos ? makertest::kPngBytes
                                                                                  : makertest::kJpegBytes);
  WriteFile(images / "notes.txt", "pas une image");
  PictureFolder folder;
  std::string error;
  ASSERT_TRUE(ScanPictureFolder(images, scratch.path() / "quiz.toml", false, &folder, &error)) << error;
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"berlin", "images/1 berlin.png"}, {"rome", "images/2_rome.gif"},  {"madrid", "images/03.madrid.jpg"},
      {"paris", "images/10-paris.jpg"},  {"Op\xC3\xA9ra Garnier", "images/11-Op\xC3\xA9ra Garnier .jpg"},
      {"2024", "images/2024.jpg"},       {"\xC3\x89tretat", "images/\xC3\x89tretat.jpg"},
      {"Image 7", "images/Image 7.jpg"}, {"image 12", "images/image 12.jpg"},  {"Louvre", "images/Louvre.jpg"},
      {"Louvre", "images/Louvre (2).jpg"}, {"Zoo", "images/Zoo.jpg"}};
  ASSERT_EQ(folder.questions.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(folder.questions[i].answer, expected[i].first) << i;
    EXPECT_EQ(folder.questions[i].image, expected[i].second) << i;
  }
  ASSERT_EQ(folder.skipped.size(), 6u);
  EXPECT_EQ(folder.skipped[0].file.filename(), "._2_rome.gif");
  EXPECT_EQ(folder.skipped[1].reason, "fichier caché");
  EXPECT_EQ(folder.skipped[4].file.filename(), "notes.txt");
  for (std::size_t i : {2, 3, 5}) EXPECT_NE(folder.skipped[i].reason.find("renommez-le"), std::string::npos) << i;
}

TEST(QuizExecutableCliTest, NoCommandWritesOverWhatItReads) {
  ScratchFolder scratch;
  const fs::path player = WritePlayer(scratch.path());
  WriteFile(scratch.path() / "images" / "a.jpg", makertest::kJpegBytes);
  WriteFile(scratch.path() / "quiz.toml", "codes = [\"1\"]\n[[question]]\nreponse = \"Paris\"\nimage = \"images/a.jpg\"\n");
  WriteFile(scratch.path() / "image.png", makertest::kPngBytes);
  fs::create_symlink("quiz.toml", scratch.path() / "lien.toml");
  fs::create_hard_link(scratch.path() / "images" / "a.jpg", scratch.path() / "copie.jpg");
  const std::string build = "build quiz.toml --lecteur " + Quoted(player) + " -o ";
  struct Refusal {
    std::string arguments;
    fs::path kept;  // the input, which must stay as it was
    const char* expected;
  };
  const Refusal refusals[] = {
      {build + "quiz.toml", "quiz.toml", "est la source du quiz"},
      {build + "images/../quiz.toml", "quiz.toml", "est la source du quiz"},
      {build + "lien.toml", "quiz.toml", "est la source du quiz"},
      {build + "images/a.jpg", "images/a.jpg", "est l'image de la question 1"},
      {build + "copie.jpg", "images/a.jpg", "est l'image de la question 1"},
      {build + Quoted(player.parent_path() / ".." / "lecteur" / "vidod.exe"), player, "est le lecteur lui-même"},
      {"png2bmp image.png ./image.png", "image.png", "est le PNG à décoder"},
      {"lzw encode quiz.toml quiz.toml", "quiz.toml", "est le fichier lu"},
      {"init images -o images/a.jpg --force", "images/a.jpg", "est une des images du quiz"},
  };
  for (const Refusal& refusal : refusals) {
    const fs::path kept = refusal.kept.is_absolute() ? refusal.kept : scratch.path() / refusal.kept;
    const std::string before = ReadFile(kept);
    const ToolRun run = RunTool(refusal.arguments, scratch.path());
    EXPECT_EQ(run.exitCode, 1) << refusal.arguments;
    EXPECT_NE(run.err.find(refusal.expected), std::string::npos) << refusal.arguments << ": " << run.err;
    EXPECT_NE(run.err.find("n'est jamais remplacé par ce qui en est fait"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(kept), before) << refusal.arguments;
  }

  // Another file of the author's is only replaced with --force.
  WriteFile(scratch.path() / "notes.txt", "mes notes");
  WriteFile(scratch.path() / "vue.bmp", "pas un BMP");
  for (const std::string& command : {build + "notes.txt", std::string("png2bmp image.png vue.bmp")}) {
    const ToolRun run = RunTool(command, scratch.path());
    EXPECT_EQ(run.exitCode, 1) << command;
    EXPECT_NE(run.err.find("ajoutez --force"), std::string::npos) << run.err;
    EXPECT_EQ(RunTool(command + " --force", scratch.path()).exitCode, 0) << command;
  }
  EXPECT_EQ(ReadFile(scratch.path() / "notes.txt").substr(0, 2), "MZ");
  // A name without extension becomes an executable's.
  ASSERT_EQ(RunTool(build + "sortie", scratch.path()).exitCode, 0);
  EXPECT_TRUE(fs::exists(scratch.path() / "sortie.exe"));
  EXPECT_FALSE(fs::exists(scratch.path() / "sortie"));
}

// Width, height and whether a PNG has an alpha channel (colour type 6).
struct StoredPicture {
  uint32_t width, height;
  bool alpha;
};
StoredPicture Stored(const std::vector<uint8_t>& bytes) {
  const PictureInspection inspection = InspectPicture(bytes);
  EXPECT_TRUE(inspection.showable) << inspection.problem;
  return {inspection.width, inspection.height, inspection.format == PictureFormat::kPng && bytes[25] == 6};
}

TEST(QuizExecutableCliTest, ReducedPicturesKeepTheirFormatAndTheirTransparency) {
  ScratchFolder scratch;
  const fs::path player = WritePlayer(scratch.path());
  RgbaPicture drawing;
  drawing.width = 1600;
  drawing.height = 900;
  drawing.pixels.assign(std::size_t{drawing.width} * drawing.height * 4, 0);
  for (std::size_t i = 0; i < drawing.pixels.size() / 2; i += 4) drawing.pixels[i + 3] = 0xFF;  // top half opaque black
  std::vector<uint8_t> png, opaque;
  std::string error;
  ASSERT_TRUE(EncodePng(drawing, true, &png, &error)) << error;
  ASSERT_TRUE(EncodePng(drawing, false, &opaque, &error)) << error;
  WriteFile(scratch.path() / "grande.jpg", makertest::JpegOfSize(2000, 1000));
  WriteFile(scratch.path() / "dessin.png", Text(png));
  WriteFile(scratch.path() / "plein.png", Text(opaque));
  WriteFile(scratch.path() / "petite.jpg", makertest::kJpegBytes);
  const std::string questions =
      "codes = [\"1\", \"2\", \"3\", \"4\"]\n[[question]]\nreponse = \"grande\"\nimage = \"grande.jpg\"\n"
      "[[question]]\nreponse = \"dessin\"\nimage = \"dessin.png\"\n"
      "[[question]]\nreponse = \"plein\"\nimage = \"plein.png\"\n"
      "[[question]]\nreponse = \"petite\"\nimage = \"petite.jpg\"\n";
  WriteFile(scratch.path() / "quiz.toml", questions);
  WriteFile(scratch.path() / "cle.toml", "reduire_images = true\n" + questions);
  for (const char* command : {"build quiz.toml --reduire -o quiz.exe", "build cle.toml -o cle.exe"}) {
    const ToolRun run = RunTool(std::string(command) + " --lecteur " + Quoted(player), scratch.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err.find("bien plus que"), std::string::npos) << run.err;
    const std::string executable = std::string(command).substr(std::string(command).rfind(' ') + 1);
    const std::vector<ResourceEntry> entries = ResourcesOf(scratch.path() / executable);
    const QuizResourceSet set = FindQuizResources(entries, 4);
    ASSERT_EQ(set.pictures.size(), 4u);
    EXPECT_TRUE(NameIs(set.pictures[0]->type, "IMG"));
    const StoredPicture photo = Stored(set.pictures[0]->data);
    EXPECT_EQ(DetectPictureFormat(set.pictures[0]->data.data(), set.pictures[0]->data.size()), PictureFormat::kJpeg);
    EXPECT_EQ(photo.width, 640u);
    EXPECT_EQ(photo.height, 320u);
    const StoredPicture line = Stored(set.pictures[1]->data);
    EXPECT_EQ(line.width, 640u);
    EXPECT_EQ(line.height, 360u);
    EXPECT_TRUE(line.alpha);
    EXPECT_FALSE(Stored(set.pictures[2]->data).alpha);
    EXPECT_EQ(set.pictures[3]->data, Bytes(makertest::kJpegBytes));  // already small enough
  }
  EXPECT_EQ(ReadFile(scratch.path() / "dessin.png"), Text(png));  // the originals stay as they were
}

TEST(QuizExecutableCliTest, BuildUnpackBuildGivesTheSameResources) {
  ScratchFolder scratch;
  makertest::TestExecutableLayout layout;
  layout.sectionAfterResources = true;
  layout.tailSize = 18 * 4;
  const fs::path player = WritePlayer(scratch.path(), layout);
  ToolRun run =
      RunTool("build " + Quoted(kDemoFolder / "quiz.toml") + " -o premier.exe --lecteur " + Quoted(player), scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;

  run = RunTool("unpack premier.exe -o source", scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  // The unpacked source says what the demo says, and its pictures are the demo's.
  const QuizSource demo = ParseOrFail(ReadFile(kDemoFolder / "quiz.toml"), kDemoFolder);
  const QuizSource unpacked = ParseOrFail(ReadFile(scratch.path() / "source" / "quiz.toml"), scratch.path() / "source");
  EXPECT_EQ(WriteAnswersBlob(unpacked), WriteAnswersBlob(demo));
  EXPECT_EQ(WriteCodesBlob(unpacked), WriteCodesBlob(demo));
  ASSERT_EQ(unpacked.questions.size(), 12u);
  EXPECT_EQ(unpacked.questions[0].image, "images/question-01.jpg");
  EXPECT_EQ(unpacked.questions[2].image, "images/question-03.png");
  for (std::size_t k = 0; k < demo.questions.size(); ++k)
    EXPECT_EQ(ReadFile(PicturePath(scratch.path() / "source" / "quiz.toml", unpacked.questions[k].image)),
              ReadFile(PicturePath(kDemoFolder / "quiz.toml", demo.questions[k].image)))
        << k;

  run = RunTool("build source/quiz.toml -o second.exe --lecteur " + Quoted(player), scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ExpectSameQuizResources(QuizResourcesOf(scratch.path() / "second.exe"), QuizResourcesOf(scratch.path() / "premier.exe"));
  EXPECT_EQ(ReadFile(scratch.path() / "second.exe"), ReadFile(scratch.path() / "premier.exe"));

  // A quiz executable serves as the player of another quiz: none of the
  // first quiz's pictures stays behind.
  WriteFile(scratch.path() / "petit" / "quiz.toml", "codes = [\"X\"]\n[[question]]\nreponse = \"seul\"\n");
  run = RunTool("build petit/quiz.toml -o petit.exe --lecteur premier.exe", scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find(": 1 question, 0 image -> "), std::string::npos) << run.out;
  const std::vector<ResourceEntry> small = QuizResourcesOf(scratch.path() / "petit.exe");
  EXPECT_EQ(small.size(), 2u);
  ExpectPlayerResourcesKept(scratch.path() / "petit.exe");

  // An existing source is kept unless --force.
  run = RunTool("unpack premier.exe -o source", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("--force"), std::string::npos) << run.err;
  EXPECT_EQ(RunTool("unpack premier.exe -o source --force", scratch.path()).exitCode, 0);
}

// The header link travels in a resource of its own, only when the quiz has one.
TEST(QuizExecutableCliTest, ALinkGoesInItsOwnResourceAndComesBack) {
  ScratchFolder scratch;
  const fs::path player = WritePlayer(scratch.path(), makertest::TestExecutableLayout());
  WriteFile(scratch.path() / "lien" / "quiz.toml",
            "lien = \"https://ecole.example/cm2\"\ncodes = [\"X\"]\n[[question]]\nreponse = \"seul\"\n");
  ToolRun run = RunTool("build lien/quiz.toml -o lien.exe --lecteur " + Quoted(player), scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<ResourceEntry> resources = QuizResourcesOf(scratch.path() / "lien.exe");
  const ResourceEntry* link = FindQuizResources(resources, 1).link;
  ASSERT_NE(link, nullptr);
  const CodecRun decoded = DecompressBytes(link->data);
  EXPECT_EQ(std::string(decoded.bytes.begin(), decoded.bytes.end()), "https://ecole.example/cm2");

  run = RunTool("unpack lien.exe -o source", scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ParseOrFail(ReadFile(scratch.path() / "source" / "quiz.toml"), scratch.path() / "source").link,
            "https://ecole.example/cm2");
  run = RunTool("build source/quiz.toml -o encore.exe --lecteur " + Quoted(player), scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadFile(scratch.path() / "encore.exe"), ReadFile(scratch.path() / "lien.exe"));
}

// 64-bit FNV-1a of the bytes: enough to tell two executables apart.
uint64_t Fingerprint(const std::string& bytes) {
  uint64_t hash = 0xCBF29CE484222325ull;
  for (char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
  return hash;
}

// A quiz that accepts one answer per box and forgives nothing is built byte
// for byte as before such quizzes existed: the fingerprints are of exes
// that vidod-make built, before it knew of other answers, from the same
// sources and the same test player (for the generated quiz, the source its
// own init wrote from the demo's pictures).
TEST(QuizExecutableCliTest, AQuizOfSingleAnswersIsBuiltAsBeforeLists) {
  ScratchFolder scratch;
  const fs::path player = WritePlayer(scratch.path());
  const fs::path quizzes = fs::path(VIDOD_SOURCE_DIR) / "tests" / "win" / "quizzes";
  ASSERT_EQ(RunTool("init " + Quoted(kDemoFolder / "images") + " -o genere/quiz.toml", scratch.path()).exitCode, 0);
  const struct {
    fs::path source;
    uint64_t fingerprint;
  } quizzes_[] = {
      {kDemoFolder / "quiz.toml", 0xCD65EF8BF6107285ull},
      {scratch.path() / "genere" / "quiz.toml", 0xAED4EE25CC7AD4D3ull},
      {quizzes / "views_pair.toml", 0x82DECF949E74725Bull},
  };
  for (const auto& quiz : quizzes_) {
    const ToolRun run = RunTool("build " + Quoted(quiz.source) + " -o quiz.exe --force --lecteur " + Quoted(player),
                                scratch.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Fingerprint(ReadFile(scratch.path() / "quiz.exe")), quiz.fingerprint) << quiz.source;
    for (const ResourceEntry& entry : QuizResourcesOf(scratch.path() / "quiz.exe"))
      EXPECT_FALSE(entry.name == ResourceName::Number(kAcceptedAnswersResourceId)) << quiz.source;
  }
}

TEST(QuizExecutableCliTest, AFailedBuildLeavesNoOutputFile) {
  struct Failure {
    const char* what;
    std::string source;
    std::string playerBytes;  // empty: no player file at all
    const char* expected;
    int fileLimitKilobytes = 0;
  };
  const std::string player = Text(makertest::MakeTestPlayer());
  makertest::TestExecutableLayout largeLayout;
  largeLayout.sectionAfterResources = true;
  largeLayout.tailSize = 6 << 20;
  const std::string largePlayer = Text(makertest::MakeTestPlayer(largeLayout));
  std::vector<ResourceEntry> withoutDialogs = makertest::PlayerOwnResources();
  withoutDialogs.erase(withoutDialogs.begin() + 1, withoutDialogs.begin() + 3);
  const std::string good = "[[question]]\nreponse = \"Paris\"\n";
  const std::string withPhoto = good + "image = \"photo.jpg\"\n";
  const Failure failures[] = {
      // A source error, with its file, line and key.
      {"source error", "[[question]]\nreponse = 3\n", player, "quiz.toml:2: erreur : question 1, clé « reponse »"},
      // A picture that is missing.
      {"missing picture", good + "image = \"absente.jpg\"\n", player, "fichier image introuvable"},
      // No player where it was looked for.
      {"no player", good, "", "lecteur introuvable"},
      // A file that is no executable.
      {"not an executable", good, "MZ mais rien d'autre", "MZ"},
      // An executable that is not the player.
      {"not the player", good, Text(makertest::MakeTestExecutable(withoutDialogs)), "modèle de dialogue 1001"},
      // The disk full while the pictures are put aside (a 2 MB photo)...
      {"disk full, pictures", withPhoto, player, "impossible d'y écrire le quiz (", 1024},
      // ...and while the quiz is written (a 6 MB player).
      {"disk full, quiz", withPhoto, largePlayer, "impossible d'y écrire le quiz (", 2560},
  };
  const std::string photo = makertest::JpegOfSize(600, 400) + std::string(2 << 20, 'x');
  for (const Failure& failure : failures) {
    ScratchFolder scratch;
    WriteFile(scratch.path() / "photo.jpg", photo);
    WriteFile(scratch.path() / "quiz.toml", failure.source);
    if (!failure.playerBytes.empty()) WriteFile(scratch.path() / "vidod.exe", failure.playerBytes);
    // A folder made for the quiz goes again.
    ToolRun run = RunTool("build quiz.toml -o sortie/quiz.exe --lecteur vidod.exe", scratch.path(), 0,
                          failure.fileLimitKilobytes);
    EXPECT_EQ(run.exitCode, 1) << failure.what;
    EXPECT_NE(run.err.find(failure.expected), std::string::npos) << failure.what << ": " << run.err;
    EXPECT_FALSE(fs::exists(scratch.path() / "sortie")) << failure.what;
    // An earlier quiz stays as it was, and nothing is left beside it.
    fs::create_directories(scratch.path() / "sortie");
    WriteFile(scratch.path() / "sortie" / "quiz.exe", "ancien");
    run = RunTool("build quiz.toml -o sortie/quiz.exe --lecteur vidod.exe", scratch.path(), 0,
                  failure.fileLimitKilobytes);
    EXPECT_EQ(run.exitCode, 1) << failure.what;
    EXPECT_EQ(FolderEntries(scratch.path() / "sortie"), std::vector<std::string>{"quiz.exe"}) << failure.what;
    EXPECT_EQ(ReadFile(scratch.path() / "sortie" / "quiz.exe"), "ancien") << failure.what;
  }

  // The player is never overwritten by its own quiz.
  ScratchFolder scratch;
  WriteFile(scratch.path() / "quiz.toml", good);
  WriteFile(scratch.path() / "vidod.exe", player);
  const ToolRun run = RunTool("build quiz.toml -o vidod.exe --lecteur ./vidod.exe", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("le lecteur lui-même"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFile(scratch.path() / "vidod.exe"), player);
}

TEST(QuizExecutableCliTest, UnpackRefusesWhatIsNoQuiz) {
  struct Refusal {
    const char* what;
    std::string executable;
    const char* expected;
  };
  const std::string notAPng = "pas un flux";
  std::vector<ResourceEntry> damaged = makertest::PlayerOwnResources();
  damaged.push_back(makertest::TestResource(ResourceName::Text("PATCH"), 104, 0, Bytes(notAPng)));
  const Refusal refusals[] = {
      // Not an executable.
      {"text", "bonjour", "MZ"},
      // The bare player: no quiz in it.
      {"player", Text(makertest::MakeTestPlayer()), "ne porte pas de quiz"},
      // An answers resource that does not decode.
      {"damaged answers", Text(makertest::MakeTestExecutable(damaged)), "décompression impossible"},
  };
  for (const Refusal& refusal : refusals) {
    ScratchFolder scratch;
    WriteFile(scratch.path() / "quiz.exe", refusal.executable);
    const ToolRun run = RunTool("unpack quiz.exe -o source", scratch.path());
    EXPECT_EQ(run.exitCode, 1) << refusal.what;
    EXPECT_NE(run.err.find(refusal.expected), std::string::npos) << refusal.what << ": " << run.err;
    EXPECT_FALSE(fs::exists(scratch.path() / "source")) << refusal.what;
  }
  ScratchFolder scratch;
  ToolRun run = RunTool("unpack --answers a.lzw -o source", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("vont ensemble"), std::string::npos) << run.err;
  run = RunTool("unpack quiz.exe --answers a.lzw --codes c.lzw -o source", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("soit l'exécutable"), std::string::npos) << run.err;
}

// Hostile files given to unpack in an address space of 256 MB, which any
// quiz fits: refused before they are copied, nothing written.
TEST(QuizExecutableCliTest, UnpackRefusesMemoryBombsWithinAQuizsMemory) {
  constexpr int kMemoryLimitMegabytes = 256;
  ScratchFolder scratch;
  // 5 000 resources sharing a type name of 65 535 characters: 400 kB that
  // copied name by name would take 1.3 GB.
  std::vector<ResourceEntry> bomb;
  const ResourceName longName = ResourceName::Text(std::string(65535, 'N'));
  for (uint16_t id = 1; id <= 5000; ++id) bomb.push_back(makertest::TestResource(longName, id, 0, {1}));
  WriteFile(scratch.path() / "bombe.exe", Text(makertest::MakeTestExecutable(bomb)));
  // A file larger than any quiz, which would be read whole (sparse: it takes
  // no room on the disk).
  WriteFile(scratch.path() / "enorme.exe", "MZ");
  fs::resize_file(scratch.path() / "enorme.exe", uintmax_t{600} << 20);
  const struct {
    const char* file;
    const char* expected;
  } cases[] = {
      {"bombe.exe", "nom de ressource de 65535 caractères"},
      {"enorme.exe", "fait 600 Mo, plus que les 512 Mo que peut faire un exécutable de quiz"},
  };
  for (const auto& c : cases) {
    const ToolRun run = RunTool(std::string("unpack ") + c.file + " -o source", scratch.path(), kMemoryLimitMegabytes);
    EXPECT_EQ(run.exitCode, 1) << c.file << ": " << run.err;
    EXPECT_NE(run.err.find(c.expected), std::string::npos) << c.file << ": " << run.err;
    EXPECT_FALSE(fs::exists(scratch.path() / "source")) << c.file;
  }
}

std::vector<uint8_t> Compressed(const std::vector<uint8_t>& blob) {
  const CodecRun run = CompressBytes(blob);
  EXPECT_EQ(run.result, 0);
  return run.bytes;
}

TEST(QuizExecutableCliTest, UnpackTakesWhatThePlayerFindsAndNamesTheRest) {
  QuizSource neutral;
  neutral.title = "neutre";
  neutral.questions.resize(1);
  neutral.questions[0].answer = "un";
  QuizSource english = neutral;
  english.title = "anglais";
  const ResourceName patch = ResourceName::Text("PATCH");
  const ResourceName img = ResourceName::Text("IMG");
  const std::string& jpeg = makertest::kJpegBytes;
  std::vector<ResourceEntry> resources = makertest::PlayerOwnResources();
  resources.push_back(makertest::TestResource(patch, 104, 1033, Compressed(WriteAnswersBlob(english))));
  resources.push_back(makertest::TestResource(patch, 104, 0, Compressed(WriteAnswersBlob(neutral))));
  resources.push_back(makertest::TestResource(patch, 105, 0, Compressed(WriteCodesBlob(neutral))));
  resources.push_back(makertest::TestResource(img, 401, 1033, Bytes(jpeg)));
  resources.push_back(makertest::TestResource(ResourceName::Number(kResourceTypeRawData), 401, 0, Bytes(makertest::kPngBytes)));
  resources.push_back(makertest::TestResource(img, 402, 0, Bytes(jpeg)));

  ScratchFolder scratch;
  WriteFile(scratch.path() / "quiz.exe", Text(makertest::MakeTestExecutable(resources)));
  const ToolRun run = RunTool("unpack quiz.exe -o source", scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  // The language-neutral answers, the "IMG" picture before the raw data.
  const QuizSource unpacked = ParseOrFail(ReadFile(scratch.path() / "source" / "quiz.toml"), scratch.path() / "source");
  EXPECT_EQ(unpacked.title, "neutre");
  ASSERT_EQ(unpacked.questions.size(), 1u);
  EXPECT_EQ(unpacked.questions[0].image, "images/question-01.jpg");
  EXPECT_EQ(ReadFile(scratch.path() / "source" / "images" / "question-01.jpg"), jpeg);
  EXPECT_EQ(FolderEntries(scratch.path() / "source" / "images"), std::vector<std::string>{"question-01.jpg"});
  // Everything else is named: build will not write it again.
  for (const char* unused : {"« PATCH » #104 (langue 1033)", "#10 #401 (langue 0)", "« IMG » #402 (langue 0)"})
    EXPECT_NE(run.err.find(std::string(unused) + " ne sert pas au quiz"), std::string::npos) << unused << "\n" << run.err;
}

// Lists and tolerances go into "PATCH" 106 and come back out of it: build,
// unpack and build again give the same executable. A 106 the player would
// refuse is told, and the source gets what the player plays: first answers.
TEST(QuizExecutableCliTest, OtherAnswersAndTolerancesTravelThroughTheExecutable) {
  ScratchFolder scratch;
  const fs::path player = WritePlayer(scratch.path());
  WriteFile(scratch.path() / "quiz" / "quiz.toml",
            "codes = [\"UN\", \"DEUX\"]\ntolerer = [\"ponctuation\", \"accents\"]\n"
            "[[question]]\nreponse = [\"Notre-Dame de Paris\", \"Notre-Dame\"]\n"
            "[[question]]\nreponse = \"Sacré-Cœur\"\n");
  ToolRun run = RunTool("build quiz/quiz.toml -o premier.exe --lecteur " + Quoted(player), scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const QuizResourceSet set = FindQuizResources(QuizResourcesOf(scratch.path() / "premier.exe"), 2);
  ASSERT_NE(set.acceptedAnswers, nullptr);

  run = RunTool("unpack premier.exe -o source", scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string toml = ReadFile(scratch.path() / "source" / "quiz.toml");
  EXPECT_NE(toml.find("reponse = [\"Notre-Dame de Paris\", \"Notre-Dame\"]"), std::string::npos) << toml;
  EXPECT_NE(toml.find("tolerer = [\"accents\", \"ponctuation\"]"), std::string::npos) << toml;
  run = RunTool("build source/quiz.toml -o second.exe --lecteur " + Quoted(player), scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadFile(scratch.path() / "second.exe"), ReadFile(scratch.path() / "premier.exe"));

  // The same quiz with a 106 of another quiz's question count.
  QuizSource quiz = ParseOrFail(ReadFile(scratch.path() / "quiz" / "quiz.toml"), scratch.path() / "quiz");
  std::vector<ResourceEntry> resources = makertest::PlayerOwnResources();
  const ResourceName patch = ResourceName::Text("PATCH");
  resources.push_back(makertest::TestResource(patch, 104, 0, Compressed(WriteAnswersBlob(quiz))));
  resources.push_back(makertest::TestResource(patch, 105, 0, Compressed(WriteCodesBlob(quiz))));
  quiz.questions.pop_back();
  resources.push_back(makertest::TestResource(patch, 106, 0, Compressed(WriteAcceptedAnswersBlob(quiz))));
  WriteFile(scratch.path() / "abime.exe", Text(makertest::MakeTestExecutable(resources)));
  run = RunTool("unpack abime.exe -o abime", scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("la ressource 106 de « abime.exe »"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("n'accepte que la première réponse de chaque case"), std::string::npos) << run.err;
  const QuizSource unpacked = ParseOrFail(ReadFile(scratch.path() / "abime" / "quiz.toml"), scratch.path() / "abime");
  EXPECT_FALSE(HasAcceptedAnswers(unpacked));
  EXPECT_EQ(unpacked.questions[0].answer, "Notre-Dame de Paris");
}

// What unpack writes is the quiz and nothing else, whatever the file is
// called and however many stray resources it carries.
TEST(QuizExecutableCliTest, UnpackWritesOnlyTheQuizAndTellsStrayResourcesBriefly) {
  QuizSource quiz;
  quiz.title = "Fleuves";
  quiz.questions.resize(1);
  quiz.questions[0].answer = "Loire";
  quiz.codes = {RewardCode{"EAU"}};
  std::vector<ResourceEntry> resources = makertest::PlayerOwnResources();
  const ResourceName patch = ResourceName::Text("PATCH");
  resources.push_back(makertest::TestResource(patch, 104, 0, Compressed(WriteAnswersBlob(quiz))));
  resources.push_back(makertest::TestResource(patch, 105, 0, Compressed(WriteCodesBlob(quiz))));
  for (uint16_t id = 1000; id < 3000; ++id)
    resources.push_back(makertest::TestResource(ResourceName::Text("IMG"), id, 0, Bytes(makertest::kGifBytes)));
  ScratchFolder scratch;
  // A name that a comment line would carry into the source as keys.
  const std::string name = "quiz\nreduire_images = true\n[brut]\n\xE9.exe";
  WriteFile(scratch.path() / name, Text(makertest::MakeTestExecutable(resources)));
  const ToolRun run = RunTool("unpack " + ShellQuote(name) + " -o source", scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string source = ReadFile(scratch.path() / "source" / "quiz.toml");
  EXPECT_EQ(source.rfind("# Quiz extrait de « quiz?reduire_images = true?[brut]??.exe » par vidod-make unpack.\n", 0),
            0u)
      << source;
  const QuizSource unpacked = ParseOrFail(source, scratch.path() / "source");
  EXPECT_TRUE(SameQuizContent(unpacked, quiz));
  // Five stray resources named, the others counted.
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 6) << run.err;
  EXPECT_NE(run.err.find("et 1995 autres ressources"), std::string::npos) << run.err;
}

TEST(QuizExecutableCliTest, Png2BmpWritesThePlayersDecodingOrItsCode) {
  ScratchFolder scratch;
  const std::string suite = std::string(VIDOD_SHARED_DIR) + "/pngsuite/";
  ToolRun run = RunTool("png2bmp " + ShellQuote(suite + "basi3p02.png") + " out.bmp", scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string png = ReadFile(suite + "basi3p02.png");
  std::vector<uint8_t> expected;
  ASSERT_EQ(ConvertPngToBmp(reinterpret_cast<const uint8_t*>(png.data()), static_cast<uint32_t>(png.size()), &expected),
            0u);
  EXPECT_EQ(Bytes(ReadFile(scratch.path() / "out.bmp")), expected);

  WriteFile(scratch.path() / "old.bmp", "BM ancien");
  run = RunTool("png2bmp " + ShellQuote(suite + "xc9n2c08.png") + " old.bmp", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("0x2001"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFile(scratch.path() / "old.bmp"), "BM ancien");
  EXPECT_EQ(RunTool("png2bmp absent.png x.bmp", scratch.path()).exitCode, 1);
  EXPECT_FALSE(fs::exists(scratch.path() / "x.bmp"));
}

TEST(QuizExecutableCliTest, Png2BmpDrawsTransparentPixelsOnTheBackgroundGiven) {
  ScratchFolder scratch;
  const std::string picture = std::string(VIDOD_SHARED_DIR) + "/pngsuite/basn6a08.png";
  ToolRun run = RunTool("png2bmp " + ShellQuote(picture) + " out.bmp --fond '#C8dcF0'", scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::string png = ReadFile(picture);
  const PngBackground background = {0xC8, 0xDC, 0xF0};
  std::vector<uint8_t> expected;
  ASSERT_EQ(ConvertPngToBmp(reinterpret_cast<const uint8_t*>(png.data()), static_cast<uint32_t>(png.size()),
                            &expected, &background),
            0u);
  EXPECT_EQ(Bytes(ReadFile(scratch.path() / "out.bmp")), expected);
  // Not six hexadecimal digits: refused before anything is written.
  for (const char* wrong : {"C8DCF", "C8DCF0A", "vert", "C8DCG0"}) {
    run = RunTool("png2bmp " + ShellQuote(picture) + " wrong.bmp --fond " + wrong, scratch.path());
    EXPECT_EQ(run.exitCode, 1) << wrong;
    EXPECT_NE(run.err.find("RRVVBB"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(scratch.path() / "wrong.bmp")) << wrong;
  }
}

TEST(QuizExecutableCliTest, EveryCommandHasFrenchHelp) {
  ScratchFolder scratch;
  for (const char* command : {"init", "check", "build", "unpack", "judge", "png2bmp", "pack", "lzw"}) {
    const ToolRun run = RunTool(std::string(command) + " --help", scratch.path());
    EXPECT_EQ(run.exitCode, 0) << command;
    EXPECT_NE(run.out.find("Utilisation"), std::string::npos) << command << "\n" << run.out;
    EXPECT_NE(run.out.find("Affiche cette aide"), std::string::npos) << command;
  }
}

}  // namespace
}  // namespace vidod

namespace vidod {
namespace {

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(QuizExecutableCliTest, WebMakesOneClosedPageFromASourceOrAnExecutable) {
  ScratchFolder scratch;
  const fs::path player = WritePlayer(scratch.path());
  ToolRun run = RunTool("build " + Quoted(kDemoFolder / "quiz.toml") + " -o demo.exe --lecteur " + Quoted(player),
                        scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  run = RunTool("web demo.exe -o depuis-exe.html", scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  run = RunTool("web " + Quoted(kDemoFolder / "quiz.toml") + " -o depuis-source", scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (const char* name : {"depuis-exe.html", "depuis-source.html"}) {
    SCOPED_TRACE(name);
    const std::string page = ReadFile(scratch.path() / name);
    EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(page.find("<title>Drapeaux d'Europe et d'ailleurs</title>"), std::string::npos);
    EXPECT_NE(page.find("default-src 'none'"), std::string::npos);
    EXPECT_NE(page.find("connect-src 'none'"), std::string::npos);
    EXPECT_EQ(Occurrences(page, "\"data:image/"), 12u);
    // Answers, reveals and codes travel compressed, as in the executable.
    for (const char* secret : {"Allemagne", "Capitale", "DRAP-01", "EXPERT"})
      EXPECT_EQ(page.find(secret), std::string::npos) << secret;
  }

  // A title is text: what would be markup is written as characters.
  WriteFile(scratch.path() / "balises" / "quiz.toml",
            "titre = \"<b>\\\"A\\\" & B</b>\"\ncodes = [\"X\"]\n[[question]]\nreponse = \"seul\"\n");
  run = RunTool("web balises/quiz.toml -o balises.html", scratch.path());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(ReadFile(scratch.path() / "balises.html").find("<title>&lt;b&gt;&quot;A&quot; &amp; B&lt;/b&gt;</title>"),
            std::string::npos);

  // What is no quiz, an author's other file, and the source itself are refused.
  run = RunTool("web " + Quoted(player) + " -o lecteur.html", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("104"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(scratch.path() / "lecteur.html"));
  WriteFile(scratch.path() / "notes.html", "mes notes");
  run = RunTool("web demo.exe -o notes.html", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(ReadFile(scratch.path() / "notes.html"), "mes notes");
  EXPECT_EQ(RunTool("web demo.exe -o notes.html --force", scratch.path()).exitCode, 0);
  run = RunTool("web balises/quiz.toml -o balises/quiz.toml", scratch.path());
  EXPECT_EQ(run.exitCode, 1);
}

}  // namespace
}  // namespace vidod
