#include <toml++/toml.h>

#include <algorithm>
#include <sstream>

#include "common/cp1252.h"
#include "maker/quiz_toml.h"

namespace vidod {

// One-line basic strings only: a multi-line string lets the parser turn CR LF
// into LF, which would change the stored bytes.
std::string QuoteTomlString(const std::string& utf8) {
  const toml::value<std::string> value(utf8);
  std::ostringstream out;
  out << toml::toml_formatter{value, toml::format_flags::allow_unicode_strings};
  return out.str();
}

namespace {

std::string Quote(const std::string& cp1252) { return QuoteTomlString(Cp1252ToUtf8(cp1252)); }

void Line(std::string* out, const std::string& key, const std::string& value) {
  *out += key + " = " + value + "\n";
}

constexpr char kUnwritable = '?';

// A comment runs to the end of its line and holds UTF-8 without control
// characters; a file name can hold anything else.
std::string CommentSafe(std::string text) {
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = kUnwritable;
  for (std::size_t bad = FindMalformedUtf8(text); bad != std::string::npos; bad = FindMalformedUtf8(text))
    text[bad] = kUnwritable;
  return text;
}

// A single text as it always was; a list when the box accepts others.
std::string AnswerValue(const std::string& answer, const std::vector<std::string>& others) {
  if (others.empty()) return Quote(answer);
  std::string list = "[" + Quote(answer);
  for (const std::string& other : others) list += ", " + Quote(other);
  return list + "]";
}

std::string ToleranceWords(uint8_t tolerances) {
  std::string list;
  for (const ToleranceWord& known : kToleranceWords)
    if (tolerances & known.bit) list += (list.empty() ? "\"" : ", \"") + std::string(known.word) + "\"";
  return "[" + list + "]";
}

bool AllLineEndsDefault(const QuizSource& quiz) {
  return std::all_of(quiz.codes.begin(), quiz.codes.end(),
                     [](const RewardCode& code) { return code.lineEnd == kDefaultCodeLineEnd; });
}

}  // namespace

std::string WriteQuizSource(const QuizSource& quiz, const std::vector<std::string>& comment) {
  std::string out;
  for (const std::string& line : comment) out += line.empty() ? "#\n" : "# " + CommentSafe(line) + "\n";
  if (!comment.empty()) out += "\n";

  Line(&out, "titre", Quote(quiz.title));
  Line(&out, "auteur", Quote(quiz.author));
  Line(&out, "explication", Quote(quiz.explanation));
  if (!quiz.link.empty()) Line(&out, "lien", Quote(quiz.link));
  Line(&out, "libelles", "[" + Quote(quiz.answerLabels[0]) + ", " + Quote(quiz.answerLabels[1]) + "]");
  Line(&out, "type", std::to_string(quiz.quizType));
  Line(&out, "images_dans_liste", quiz.pictureByte == kPictureByteWithList ? "true" : "false");
  Line(&out, "couleur",
       "[" + std::to_string(quiz.red) + ", " + std::to_string(quiz.green) + ", " + std::to_string(quiz.blue) + "]");
  if (quiz.codes.empty()) {
    Line(&out, "codes", "[]");
  } else {
    out += "codes = [\n";
    for (const RewardCode& code : quiz.codes) out += "  " + Quote(code.text) + ",\n";
    out += "]\n";
  }
  if (quiz.reducePictures) Line(&out, "reduire_images", "true");
  if (quiz.tolerances) Line(&out, "tolerer", ToleranceWords(quiz.tolerances));

  const bool keepsReveals = QuizTypeHasReveals(quiz.quizType);
  for (const QuestionSource& question : quiz.questions) {
    out += "\n[[question]]\n";
    Line(&out, "reponse", AnswerValue(question.answer, question.otherAnswers));
    if (quiz.answersPerQuestion == 2) Line(&out, "reponse2", AnswerValue(question.answer2, question.otherAnswers2));
    if (keepsReveals || !question.reveal.empty()) Line(&out, "revelation", Quote(question.reveal));
    if (!question.revealNote.empty()) Line(&out, "note_revelation", Quote(question.revealNote));
    if (!question.note.empty()) Line(&out, "note", Quote(question.note));
    if (!question.image.empty()) Line(&out, "image", QuoteTomlString(question.image));
    if (question.rotation != 0) Line(&out, "rotation", std::to_string(question.rotation));
  }

  std::string raw;
  if (quiz.leadByte != 0) Line(&raw, "octet_0", std::to_string(quiz.leadByte));
  if (quiz.pictureByte != kPictureByteWithList && quiz.pictureByte != kPictureByteWithoutList)
    Line(&raw, "octet_images", std::to_string(quiz.pictureByte));
  if (quiz.questions.empty() && quiz.answersPerQuestion != 1)
    Line(&raw, "reponses_par_question", std::to_string(quiz.answersPerQuestion));
  if (!quiz.answersTail.empty()) Line(&raw, "suite_reponses", Quote(quiz.answersTail));
  if (!AllLineEndsDefault(quiz)) {
    std::string ends;
    for (const RewardCode& code : quiz.codes) ends += (ends.empty() ? "" : ", ") + std::to_string(code.lineEnd);
    Line(&raw, "octets_apres_cr", "[" + ends + "]");
  }
  if (!quiz.codesTail.empty()) Line(&raw, "suite_codes", Quote(quiz.codesTail));
  if (!raw.empty()) out += "\n[brut]\n" + raw;
  return out;
}

bool WriteCheckedQuizSource(const QuizSource& quiz, const std::vector<std::string>& comment, std::string* text,
                            std::string* error) {
  *text = WriteQuizSource(quiz, comment);
  QuizSource read;
  std::vector<SourceIssue> issues;
  if (ReadQuizSource(*text, std::filesystem::path(), &read, &issues) && SameQuizContent(read, quiz)) return true;
  *error = "erreur interne : la source écrite ne redonne pas le même quiz (" +
           (issues.empty() ? std::string("un texte diffère") : DescribeIssue(issues.front())) +
           ") ; rien n'a été écrit, signalez-le avec le fichier d'origine";
  return false;
}

std::string WriteStarterSource(const std::string& title, const std::string& picturesFolder,
                               const std::vector<StarterQuestion>& questions) {
  const QuizSource defaults;
  std::string out;
  out += "# Quiz Vidod préparé par « vidod-make init » à partir des images de « " + CommentSafe(picturesFolder) +
         " ».\n";
  out += "# Complétez-le, vérifiez-le avec « vidod-make check », construisez-le avec\n";
  out += "# « vidod-make build FICHIER.toml -o QUIZ.exe ». Le texte est en UTF-8 ; les\n";
  out += "# clés générales restent avant le premier [[question]].\n\n";
  out += "# Titre de la fenêtre et du bandeau.\n";
  Line(&out, "titre", QuoteTomlString(title));
  out += "# Nom de l'auteur, affiché dans le bandeau.\n";
  Line(&out, "auteur", Quote(defaults.author));
  out += "# Ligne d'explication du bandeau.\n";
  Line(&out, "explication", Quote(defaults.explanation));
  out += "# Adresse web montrée en lien dans le bandeau (https://..., http://... ou www....) ;\n";
  out += "# vide : le bandeau n'a pas de lien.\n";
  Line(&out, "lien", Quote(defaults.link));
  out += "# Libellés des deux cases de réponse : la vue en liste ne les montre que dans un\n";
  out += "# quiz à deux réponses, où chaque question a aussi sa reponse2 = \"...\".\n";
  Line(&out, "libelles", "[" + Quote(defaults.answerLabels[0]) + ", " + Quote(defaults.answerLabels[1]) + "]");
  out += "# Révélations : 0 ou 1, aucune ; 2 ou 3, le texte revelation d'une question\n";
  out += "# apparaît quand elle est trouvée ; 4, toutes les révélations apparaissent quand\n";
  out += "# tout le quiz est trouvé. Avec 2, 3 ou 4, ajoutez revelation = \"...\" aux questions.\n";
  Line(&out, "type", std::to_string(defaults.quizType));
  out += "# true : la vue en liste montre l'image de chaque question ; false : aucune.\n";
  Line(&out, "images_dans_liste", defaults.pictureByte == kPictureByteWithList ? "true" : "false");
  out += "# Couleur de fond des vues : [rouge, vert, bleu], de 0 à 255 chacune.\n";
  Line(&out, "couleur",
       "[" + std::to_string(defaults.red) + ", " + std::to_string(defaults.green) + ", " +
           std::to_string(defaults.blue) + "]");
  out += "# Codes de récompense : le bandeau montre le code k quand le score vaut k.\n";
  out += "# Donnez-en un par question, par exemple [\"CODE-1\", \"CODE-2\"].\n";
  Line(&out, "codes", "[]");
  out += "# Tolérances des réponses, aucune par défaut : \"accents\" (é = e, ç = c),\n";
  out += "# \"ponctuation\" (tirets, apostrophes, points et virgules comptent comme des blancs :\n";
  out += "# notre dame = Notre-Dame), \"articles\" (un article au début ne compte pas :\n";
  out += "# Panthéon = le Panthéon). Par exemple [\"accents\", \"articles\"].\n";
  Line(&out, "tolerer", "[]");
  out += "# true : build stocke réduites à la taille affichée (640 × 480 au plus) les images\n";
  out += "# plus grandes ; false : à leur taille. Les fichiers d'origine ne sont pas touchés.\n";
  Line(&out, "reduire_images", "true");
  out += "\n# Une question par image, dans l'ordre des noms de fichiers.\n";
  out += "# reponse : la réponse attendue. Le joueur peut la taper en minuscules ou en\n";
  out += "# majuscules, mais les accents doivent être tapés exactement (sauf avec tolerer).\n";
  out += "# Une liste accepte aussi d'autres réponses, la première étant celle que le\n";
  out += "# lecteur montre : reponse = [\"Notre-Dame de Paris\", \"Notre-Dame\"].\n";
  out += "# image : le fichier de l'image, relatif au dossier de ce fichier.\n";
  out += "# rotation = 90 (ou 180, 270) tourne l'image d'autant de degrés dans le sens des\n";
  out += "# aiguilles d'une montre ; l'orientation des photos est déjà prise en compte.\n";
  for (const StarterQuestion& question : questions) {
    out += "\n[[question]]\n";
    Line(&out, "reponse", QuoteTomlString(question.answer));
    Line(&out, "image", QuoteTomlString(question.image));
  }
  return out;
}

}  // namespace vidod
