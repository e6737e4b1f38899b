#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "maker/quiz_project.h"
#include "maker_test_support.h"

namespace vidod {
namespace {

using makertest::ScratchFolder;
using makertest::WriteFile;

std::string Questions(int count, bool twoAnswers) {
  std::string toml;
  for (int i = 0; i < count; ++i) toml += twoAnswers ? "[[question]]\nreponse = \"a\"\nreponse2 = \"b\"\n"
                                                     : "[[question]]\nreponse = \"a\"\n";
  return toml;
}

struct Refusal {
  std::string toml;
  std::string key;  // the key the error must name
  int question;     // the question it must name, 0 for none
  int line;         // the line it must give, 0 when not checked
};

TEST(SourceRefusalTest, EveryMalformedSourceIsRefusedNamingKeyAndQuestion) {
  ScratchFolder folder;
  WriteFile(folder.path() / "texte.jpg", "ceci n'est pas une image");
  const std::string longText(260, 'x');
  std::string longAccented;
  for (int i = 0; i < 260; ++i) longAccented += "é";
  // Nine other answers of 250 characters per question over nine questions.
  std::string manyOthers;
  for (int question = 0; question < 9; ++question) {
    manyOthers += "[[question]]\nreponse = [\"a\"";
    for (int other = 0; other < 9; ++other) manyOthers += ", \"" + std::string(250, static_cast<char>('a' + other)) + "\"";
    manyOthers += "]\n";
  }

  const Refusal cases[] = {
      // "|" ends every text of the answers blob.
      {"titre = \"a|b\"\n", "titre", 0, 1},
      // ... the texts the player skips included.
      {"[[question]]\nreponse = \"x\"\nnote = \"a|b\"\n", "note", 1, 3},
      // ... and the answer labels.
      {"libelles = [\"a|b\", \"c\"]\n", "libelles", 0, 1},
      // A code is one line of the codes blob.
      {"codes = [\"ok\", \"deux\\nlignes\"]\n" + Questions(2, false), "codes", 0, 1},
      // An expected answer is typed into a one-line box.
      {"[[question]]\nreponse = \"deux\\r\\nlignes\"\n", "reponse", 1, 2},
      {"[[question]]\nreponse = \"a\"\nreponse2 = \"b\\nc\"\n", "reponse2", 1, 3},
      // 260 bytes do not fit the player's text buffers.
      {"auteur = \"" + longText + "\"\n", "auteur", 0, 1},
      // ... counted after conversion: 260 accented letters are 260 bytes.
      {"explication = \"" + longAccented + "\"\n", "explication", 0, 1},
      {"codes = [\"" + longText + "\"]\n" + Questions(1, false), "codes", 0, 1},
      // 97 questions do not fit the reward code list.
      {Questions(97, false), "question", 0, 0},
      // 49 two-answer questions make 98 answer boxes.
      {Questions(49, true), "question", 0, 0},
      // Colour components are bytes, and there are three of them.
      {"couleur = [256, 0, 0]\n", "couleur", 0, 1},
      {"couleur = [0, -1, 0]\n", "couleur", 0, 1},
      {"couleur = [0, 0]\n", "couleur", 0, 1},
      {"couleur = [0, 0, 1.5]\n", "couleur", 0, 1},
      // The picture file must exist ...
      {"[[question]]\nreponse = \"a\"\nimage = \"absente.jpg\"\n", "image", 1, 3},
      // ... be a picture of a known format ...
      {"[[question]]\nreponse = \"a\"\nimage = \"texte.jpg\"\n", "image", 1, 3},
      // ... and be named.
      {"[[question]]\nreponse = \"a\"\nimage = \"\"\n", "image", 1, 3},
      // Wrong TOML types.
      {"titre = 5\n", "titre", 0, 1},
      {"images_dans_liste = \"oui\"\n", "images_dans_liste", 0, 1},
      {"libelles = \"un\"\n", "libelles", 0, 1},
      {"libelles = [\"a\", \"b\", \"c\"]\n", "libelles", 0, 1},
      {"codes = \"ABC\"\n", "codes", 0, 1},
      {"type = \"3\"\n", "type", 0, 1},
      {"question = 1\n", "question", 0, 1},
      {"[question]\nreponse = \"x\"\n", "question", 0, 0},
      {"[[question]]\nreponse = 42\n", "reponse", 1, 2},
      {"brut = 1\n", "brut", 0, 1},
      {"[brut]\nsuite_reponses = 5\n", "brut.suite_reponses", 0, 2},
      // The quiz type is a byte.
      {"type = 256\n", "type", 0, 1},
      // Unknown keys, most likely typing mistakes.
      {"titr = \"x\"\n", "titr", 0, 1},
      {"[[question]]\nreponse = \"a\"\nreponce2 = \"b\"\n", "reponce2", 1, 3},
      {"[brut]\noctet0 = 1\n", "brut.octet0", 0, 2},
      // Every question needs its expected answer.
      {"[[question]]\nnote = \"x\"\n", "reponse", 1, 1},
      // A two-answer quiz gives reponse2 on every question.
      {"[[question]]\nreponse = \"a\"\nreponse2 = \"b\"\n[[question]]\nreponse = \"c\"\n", "reponse2", 2, 4},
      // Characters that code page 1252 cannot hold.
      {"titre = \"Łódź\"\n", "titre", 0, 1},
      {"[[question]]\nreponse = \"\xF0\x9F\x98\x80\"\n", "reponse", 1, 2},
      // Reveal texts only exist in quizzes of types 2, 3 and 4 ...
      {"type = 0\n[[question]]\nreponse = \"a\"\nrevelation = \"r\"\n", "revelation", 1, 4},
      // ... and their second text only in type 3.
      {"type = 2\n[[question]]\nreponse = \"a\"\nnote_revelation = \"r\"\n", "note_revelation", 1, 4},
      // The link is opened by the pupil's shell: a web address only.
      {"lien = \"C:\\\\Windows\\\\system32\\\\cmd.exe\"\n", "lien", 0, 1},
      {"lien = \"javascript:alert(1)\"\n", "lien", 0, 1},
      {"lien = \"www.ecole jules-ferry.fr\"\n", "lien", 0, 1},
      {"lien = \"https://\"\n", "lien", 0, 1},
      // Raw bytes out of range or contradicting the readable keys.
      {"[brut]\noctet_0 = 300\n", "brut.octet_0", 0, 2},
      {"images_dans_liste = true\n[brut]\noctet_images = 1\n", "brut.octet_images", 0, 3},
      {"codes = [\"a\"]\n[brut]\noctets_apres_cr = [10, 10]\n", "brut.octets_apres_cr", 0, 3},
      {"[[question]]\nreponse = \"a\"\n[brut]\nreponses_par_question = 2\n", "brut.reponses_par_question", 0, 4},
      {"[brut]\nreponses_par_question = 3\n", "brut.reponses_par_question", 0, 2},
      // Lists of accepted answers: not empty, texts only, each one typable
      // into a box and not empty, at most ten per box and 20 000 bytes in all.
      {"[[question]]\nreponse = []\n", "reponse", 1, 2},
      {"[[question]]\nreponse = [\"a\", 3]\n", "reponse", 1, 2},
      {"[[question]]\nreponse = [\"a\", \"b|c\"]\n", "reponse", 1, 2},
      {"[[question]]\nreponse = [\"a\", \"\"]\n", "reponse", 1, 2},
      {"[[question]]\nreponse = [\"a\", \"b\\u0000c\"]\n", "reponse", 1, 2},
      {"[[question]]\nreponse = \"a\"\nreponse2 = [\"b\", \"c\\nd\"]\n", "reponse2", 1, 3},
      {"[[question]]\nreponse = [\"a\", \"Łódź\"]\n", "reponse", 1, 2},
      {"[[question]]\nreponse = [\"a\", \"" + longText + "\"]\n", "reponse", 1, 2},
      {"[[question]]\nreponse = [\"1\", \"2\", \"3\", \"4\", \"5\", \"6\", \"7\", \"8\", \"9\", \"10\", \"11\"]\n",
       "reponse", 1, 2},
      {manyOthers, "question", 0, 0},
      // Tolerances: a list of the three words.
      {"tolerer = \"accents\"\n", "tolerer", 0, 1},
      {"tolerer = [\"accent\"]\n", "tolerer", 0, 1},
      {"tolerer = [1]\n", "tolerer", 0, 1},
      // Not TOML at all: an unclosed string, a key given twice.
      {"titre = \"non fermé\n", "", 0, 1},
      {"titre = \"a\"\ntitre = \"b\"\n", "", 0, 2},
  };

  for (const Refusal& refusal : cases) {
    const std::string shown = refusal.toml.substr(0, 60);
    QuizSource quiz;
    std::vector<SourceIssue> issues;
    CheckQuizSourceText(refusal.toml, folder.path() / "quiz.toml", nullptr, &quiz, &issues);
    EXPECT_TRUE(HasErrors(issues)) << shown;
    bool named = false;
    for (const SourceIssue& issue : issues) {
      if (issue.warning || issue.key != refusal.key || issue.question != refusal.question) continue;
      named = true;
      if (refusal.line) {
        EXPECT_EQ(issue.line, refusal.line) << shown;
      }
      EXPECT_FALSE(issue.message.empty());
    }
    EXPECT_TRUE(named) << shown << (issues.empty() ? "" : "\n first: " + FormatIssue("quiz.toml", issues[0]));
  }
}

TEST(SourceRefusalTest, UnknownKeySuggestsTheNearestOne) {
  ScratchFolder folder;
  QuizSource quiz;
  std::vector<SourceIssue> issues;
  ParseQuizSource("[[question]]\nreponse = \"a\"\nrevellation = \"b\"\n", folder.path() / "quiz.toml", &quiz,
                  &issues);
  ASSERT_FALSE(issues.empty());
  EXPECT_NE(issues[0].message.find("« revelation »"), std::string::npos) << issues[0].message;
}

TEST(SourceRefusalTest, QuizKeyAfterTheQuestionsSaysWhereItBelongs) {
  ScratchFolder folder;
  QuizSource quiz;
  std::vector<SourceIssue> issues;
  ParseQuizSource("[[question]]\nreponse = \"a\"\ncodes = [\"X\"]\n", folder.path() / "quiz.toml", &quiz, &issues);
  ASSERT_EQ(issues.size(), 1u);
  EXPECT_EQ(issues[0].question, 1);
  EXPECT_NE(issues[0].message.find("avant le premier [[question]]"), std::string::npos) << issues[0].message;
}

}  // namespace
}  // namespace vidod

namespace vidod {
namespace {

TEST(SourceRefusalTest, SyntaxMistakesAreToldInFrenchWithTheFix) {
  struct Mistake {
    std::string toml;
    int line;
    const char* expected;  // part of the message
  };
  const Mistake mistakes[] = {
      // French quotes, as a word processor writes them ...
      {"auteur = \"M\"\ntitre = « Bonjour »\n", 2, "guillemets typographiques : TOML ne connaît que les guillemets droits \" ; "
                                                    "écrivez titre = \"Bonjour\""},
      // ... and curly ones.
      {"titre = “Bonjour”\n", 1, "écrivez titre = \"Bonjour\""},
      // A text that is never closed.
      {"titre = \"Bonjour\nauteur = \"M\"\n", 1, "guillemet fermant manquant"},
      // An accent in a key name.
      {"[[question]]\nréponse = \"Paris\"\n", 2, "colonne 2 : « é » dans un nom de clé : les clés s'écrivent sans accent"},
      // A word without quotes, accented or not.
      {"titre = été\n", 1, "par exemple titre = \"été\""},
      {"titre = Bonjour\n", 1, "valeur sans guillemets : un texte s'écrit entre guillemets droits, par exemple "
                               "titre = \"Bonjour\""},
      // ... whatever the parser makes of its start: a number, or a word then more.
      {"[[question]]\nreponse = \"a\"\nimage = 02 - Tour Eiffel.jpg\n", 3,
       "par exemple image = \"02 - Tour Eiffel.jpg\""},
      {"[[question]]\nreponse = \"a\"\nimage = 10 - Centre Pompidou.png\n", 3,
       "par exemple image = \"10 - Centre Pompidou.png\""},
      {"titre = Notre sortie\n", 1, "par exemple titre = \"Notre sortie\""},
      // A file saved as ANSI: é is the byte 0xE9.
      {"titre = \"\xE9t\xE9\"\n", 1, "pas en UTF-8 : l'octet 0xE9 (sans doute « é »"},
      // ... or as "Unicode".
      {std::string("\xFF\xFEt\0i\0", 6), 1, "UTF-16"},
      // A Windows path: "\l" is no escape ...
      {"[[question]]\nreponse = \"a\"\nimage = \"images\\loire.png\"\n", 3,
       "les chemins s'écrivent avec « / » : écrivez image = \"images/loire.png\""},
      // ... and "\t" a tab, which TOML accepts: the path would lose its folder.
      {"[[question]]\nreponse = \"a\"\nimage = \"images\\tigre.png\"\n", 3, "écrivez image = \"images/tigre.png\""},
      // ... a "\n" is named as what it is, not as a tab.
      {"[[question]]\nreponse = \"a\"\nimage = \".\\notre dame.jpg\"\n", 3,
       "(« \\n » y est un retour à la ligne) ; les chemins s'écrivent avec « / » : écrivez image = \"./notre dame.jpg\""},
      // "\U", "\u" and "\x" start a character code, "\e" is later TOML: what
      // Explorer's "Copy as path" gives.
      {"[[question]]\nreponse = \"a\"\nimage = \"C:\\Users\\Prof\\Images\\a.jpg\"\n", 3,
       "les chemins s'écrivent avec « / » : écrivez image = \"C:/Users/Prof/Images/a.jpg\""},
      {"[[question]]\nreponse = \"a\"\nimage = \"E:\\uploads\\a.jpg\"\n", 3, "écrivez image = \"E:/uploads/a.jpg\""},
      {"image = \"photos\\x.jpg\"\n", 1, "écrivez image = \"photos/x.jpg\""},
      {"image = \"C:\\eleves\\a.jpg\"\n", 1, "écrivez image = \"C:/eleves/a.jpg\""},
      // ... and in the lines of a multi-line text.
      {"explication = \"\"\"a\nb\\xc\"\"\"\n", 2, "pour une barre oblique inverse dans un texte, écrivez « \\\\ »"},
      // Semicolons, in a list and after a value.
      {"couleur = [90; 95; 150]\n", 1, "pas par « ; » : écrivez couleur = [90, 95, 150]"},
      {"codes = [\"A;B\"; \"C\"]\n", 1, "écrivez codes = [\"A;B\", \"C\"]"},
      {"type = 2;\n", 1, "sans « ; » à la fin : écrivez type = 2"},
      // The first mistake of the file, though the scan before the parser
      // stops at a later one.
      {"titre = \"T\"\nauteur = \"Mme Lefèvre\n[[question]]\nreponse = “France”\n", 2, "guillemet fermant manquant"},
      // A number or a choice in quotes.
      {"type = \"2\"\n", 1, "doit être un entier, pas une chaîne : écrivez 2 sans guillemets"},
      {"images_dans_liste = \"false\"\n", 1, "écrivez false sans guillemets"},
      // A character outside the code page, found by its line and column
      // (in characters) when written as itself, by the words before it in
      // any case.
      {"explication = \"x \xF0\x9F\x98\x80 y\"\n", 1,
       "« \xF0\x9F\x98\x80 » (un émoji), après « x », colonne 18, n'existe pas dans la page de code 1252"},
      {"titre = \"T\"\nexplication = \"\"\"Été\nles amis \xF0\x9F\x91\x8F\"\"\"\n", 3,
       "(un émoji), après « les amis », colonne 10,"},
      {"\xEF\xBB\xBFtitre = \"\xF0\x9F\x98\x80\"\n", 1, "au début du texte, colonne 10,"},
      {"codes = [\"A\\U0001F600\"]\n", 1, "code 1 : le caractère U+1F600 « \xF0\x9F\x98\x80 » (un émoji), après « A », n'existe"},
      // A second answer where a [[question]] header was forgotten.
      {"[[question]]\nreponse = \"a\"\nreponse = \"b\"\n", 3, "une nouvelle question commence par [[question]]"},
      // Below, forms on which the TOML parser would meet undefined behaviour
      // (a blank test off the end of its table for U+00A1 to U+0499) or an
      // assertion, told before it sees them. A value read as a number runs
      // through quotes, of either kind, in a list too, and past the blank of
      // a date.
      {"titre = 7\"é\"\n", 1, "colonne 10 : un nombre et un texte collés (« 7\"é\" ») : un texte s'écrit tout "
                              "entier entre guillemets droits, par exemple \"7é\""},
      {"titre = 7'é'\n", 1, "un nombre et un texte collés (« 7'é' »)"},
      {"x = [7\"é\"]\n", 1, "un nombre et un texte collés"},
      {"x = -\"é\"\n", 1, "un nombre et un texte collés"},
      {"d = 1979-05-27 0\"é\"\n", 1, "(« 1979-05-27 0\"é\" »)"},
      // Times, which no quiz has, and whose reader asserts on misspellings:
      // a date, a blank and one digit; a date, its "t" and no digit.
      {"d = 1979-05-27 7\n", 1, "date ou heure (« 1979-05-27 7 ») : une source de quiz n'en a pas"},
      {"d = [1979-05-27 7]\n", 1, "date ou heure"},
      {"t=1979-05-27tt:\n", 1, "date ou heure (« 1979-05-27tt: »)"},
      {"type = 07:32\n", 1, "date ou heure"},
      // A header bracket without a name after it.
      {"[[[question]]\n", 1, "colonne 3 : en-tête de table mal écrit"},
      {"[=]\n", 1, "colonne 2 : en-tête de table mal écrit"},
      {"[.]\n", 1, "en-tête de table mal écrit"},
      {"titre = \"a\"\n[\n", 2, "en-tête de table mal écrit"},
      // A brace where a list expects a value.
      {"q=[}\n", 1, "colonne 4 : « } » à la place d'une valeur"},
      {"codes = [\"A\",\n}\n", 2, "« } » à la place d'une valeur"},
      // In a multi-line text, a backslash and blanks before a letter with an
      // accent, on the same line or after its end.
      {"x = \"\"\"\\é\"\"\"\n", 1, "« \\ » devant « é » dans un texte sur plusieurs lignes"},
      {"x = \"\"\"\\ é\"\"\"\n", 1, "« \\ » devant « é »"},
      {"x = \"\"\"a\\\n\n  é\"\"\"\n", 3, "« \\ » devant « é »"},
      // Four quotes close a multi-line text, the first being part of it:
      // what follows is outside.
      {"x = \"\"\"a\"\"\"\"é\"\"\"\n", 1, "colonne 13 : valeur incompréhensible"},
  };
  for (const Mistake& mistake : mistakes) {
    QuizSource quiz;
    std::vector<SourceIssue> issues;
    CheckQuizSourceText(mistake.toml, "quiz.toml", nullptr, &quiz, &issues);
    ASSERT_EQ(issues.size(), 1u) << mistake.expected;
    EXPECT_FALSE(issues[0].warning);
    EXPECT_EQ(issues[0].line, mistake.line) << mistake.expected;
    EXPECT_NE(issues[0].message.find(mistake.expected), std::string::npos) << issues[0].message;
  }
}

// The characters that the scan before the parser refuses elsewhere are
// welcome where the parser reads them as text.
TEST(SourceRefusalTest, TextsHoldWhatTheScanBeforeTheParserRefusesElsewhere) {
  for (const char* toml : {"titre = \"7é\"\nauteur = 'é'\n", "[[question]]\nreponse = \"\"\"é\\\n  b\"\"\"\n",
                           "codes = [\n  \"é\", # é\n  '''é''',\n]\n", "[brut]\nsuite_reponses = \"\\\\é\"\n"}) {
    QuizSource quiz;
    std::vector<SourceIssue> issues;
    EXPECT_TRUE(ReadQuizSource(toml, "quiz.toml", &quiz, &issues)) << toml;
    EXPECT_TRUE(issues.empty()) << toml << "\n" << issues[0].message;
  }
}

// A value that cannot be read is one error, not one more for every question
// that depends on it.
TEST(SourceRefusalTest, OneMistakeGivesOneMessage) {
  const std::string reveals = "[[question]]\nreponse = \"Paris\"\nrevelation = \"capitale\"\n"
                              "[[question]]\nreponse = \"Rome\"\nrevelation = \"capitale\"\n";
  const char* const heads[] = {"type = \"2\"\n", "type = 2.0\n", "codes = \"ABC\"\ntype = 2\n"};
  for (const char* head : heads) {
    QuizSource quiz;
    std::vector<SourceIssue> issues;
    CheckQuizSourceText(head + reveals, "quiz.toml", nullptr, &quiz, &issues);
    ASSERT_EQ(issues.size(), 1u) << head << FormatIssue("quiz.toml", issues.back());
    EXPECT_EQ(issues[0].line, 1) << head;
  }
}

}  // namespace
}  // namespace vidod
