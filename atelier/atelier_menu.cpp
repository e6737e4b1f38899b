// The French menus, each entry with its shortcut, and the accelerator table
// that gives those shortcuts.
#include <windows.h>

#include "atelier/atelier_ids.h"
#include "atelier/atelier_window.h"

namespace vidod {

namespace {

struct MenuEntry {
  int id;  // 0: a separator
  const wchar_t* text;
};

constexpr MenuEntry kFileEntries[] = {
    {IDM_NEW_FROM_FOLDER, L"&Nouveau quiz \u00e0 partir d'un dossier d'images\u2026\tCtrl+N"},
    {IDM_OPEN, L"&Ouvrir\u2026\tCtrl+O"},
    {0, nullptr},
    {IDM_SAVE, L"&Enregistrer\tCtrl+S"},
    {IDM_SAVE_AS, L"Enregistrer &sous\u2026\tCtrl+Maj+S"},
    {0, nullptr},
    {IDM_TEST_QUIZ, L"&Tester le quiz\tF5"},
    {IDM_BUILD, L"&Construire l'ex\u00e9cutable\u2026\tCtrl+B"},
    {IDM_EXPORT_PAGE, L"E&xporter en page web\u2026"},
    {IDM_CANCEL_BUILD, L"&Arr\u00eater la construction"},
    {IDM_REDUCE_PICTURES, L"R\u00e9&duire les grandes images dans l'ex\u00e9cutable"},
};
constexpr MenuEntry kEditEntries[] = {
    {IDM_UNDO, L"&Annuler\tCtrl+Z"},
    {IDM_REDO, L"&R\u00e9tablir\tCtrl+Y"},
};
constexpr MenuEntry kQuestionEntries[] = {
    {IDM_ADD_PICTURES, L"&Ajouter des images\u2026\tCtrl+I"},
    {IDM_REMOVE_QUESTION, L"&Supprimer la question\tCtrl+Suppr"},
    {0, nullptr},
    {IDM_MOVE_UP, L"&Monter\tAlt+Haut"},
    {IDM_MOVE_DOWN, L"&Descendre\tAlt+Bas"},
    {0, nullptr},
    {IDM_CHANGE_PICTURE, L"&Changer l'image\u2026\tCtrl+M"},
    {IDM_ROTATE_RIGHT, L"T&ourner l'image vers la droite\tCtrl+R"},
    {IDM_ROTATE_LEFT, L"Tourner l'image vers la &gauche\tCtrl+Maj+R"},
    {IDM_PREVIOUS_QUESTION, L"Question &pr\u00e9c\u00e9dente\tCtrl+Pg.Pr\u00e9c"},
    {IDM_NEXT_QUESTION, L"Question s&uivante\tCtrl+Pg.Suiv"},
    {IDM_TRY_ANSWER, L"&Essayer une r\u00e9ponse\tCtrl+E"},
    {0, nullptr},
    {IDM_CORRECT_ANSWERS, L"Rendre les r\u00e9ponses &tapables au clavier\tCtrl+Maj+T"},
};
constexpr MenuEntry kViewEntries[] = {
    {IDM_SHOW_LIST, L"&Liste des questions\tCtrl+L"},
    {IDM_SHOW_QUESTION, L"&Question\tCtrl+1"},
    {IDM_SHOW_QUIZ, L"Qui&z\tCtrl+2"},
    {IDM_SHOW_CODES, L"&Codes de r\u00e9compense\tCtrl+3"},
    {IDM_NEXT_PAGE, L"Onglet sui&vant\tCtrl+Tab"},
    {IDM_PREVIOUS_PAGE, L"Onglet pr\u00e9c\u00e9&dent\tCtrl+Maj+Tab"},
    {0, nullptr},
    {IDM_CHOOSE_COLOUR, L"C&ouleur du quiz\u2026\tCtrl+K"},
};
constexpr MenuEntry kHelpEntries[] = {
    {IDM_GUIDE, L"&Guide de l'auteur\tF1"},
    {IDM_ABOUT, L"\u00c0 &propos de Vidod Atelier"},
};

constexpr BYTE kControl = FVIRTKEY | FCONTROL;
constexpr ACCEL kShortcuts[] = {
    {kControl, 'N', IDM_NEW_FROM_FOLDER},
    {kControl, 'O', IDM_OPEN},
    {kControl, 'S', IDM_SAVE},
    {kControl, 'Z', IDM_UNDO},
    {kControl, 'Y', IDM_REDO},
    {kControl | FSHIFT, 'Z', IDM_REDO},
    {kControl | FSHIFT, 'S', IDM_SAVE_AS},
    {FVIRTKEY, VK_F5, IDM_TEST_QUIZ},
    {kControl, 'B', IDM_BUILD},
    {kControl, 'I', IDM_ADD_PICTURES},
    {kControl, VK_DELETE, IDM_REMOVE_QUESTION},
    {FVIRTKEY | FALT, VK_UP, IDM_MOVE_UP},
    {FVIRTKEY | FALT, VK_DOWN, IDM_MOVE_DOWN},
    {kControl, 'M', IDM_CHANGE_PICTURE},
    {kControl, 'R', IDM_ROTATE_RIGHT},
    {kControl | FSHIFT, 'R', IDM_ROTATE_LEFT},
    {kControl, VK_PRIOR, IDM_PREVIOUS_QUESTION},
    {kControl, VK_NEXT, IDM_NEXT_QUESTION},
    {kControl, 'E', IDM_TRY_ANSWER},
    {kControl | FSHIFT, 'T', IDM_CORRECT_ANSWERS},
    {kControl, 'L', IDM_SHOW_LIST},
    {kControl, '1', IDM_SHOW_QUESTION},
    {kControl, '2', IDM_SHOW_QUIZ},
    {kControl, '3', IDM_SHOW_CODES},
    {kControl, VK_TAB, IDM_NEXT_PAGE},
    {kControl | FSHIFT, VK_TAB, IDM_PREVIOUS_PAGE},
    {kControl, 'K', IDM_CHOOSE_COLOUR},
    {FVIRTKEY, VK_F1, IDM_GUIDE},
};

template <std::size_t N>
HMENU Popup(const MenuEntry (&entries)[N]) {
  HMENU popup = CreatePopupMenu();
  for (const MenuEntry& entry : entries) {
    if (entry.id == 0)
      AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    else
      AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(entry.id), entry.text);
  }
  return popup;
}

void Enable(HMENU menu, int id, bool enabled) {
  EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

}  // namespace

HMENU CreateAtelierMenu(Atelier* atelier) {
  HMENU file = Popup(kFileEntries);
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  atelier->recentMenu = CreatePopupMenu();
  AppendMenuW(file, MF_POPUP, reinterpret_cast<UINT_PTR>(atelier->recentMenu), L"Quiz &r\u00e9cents");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, IDM_QUIT, L"&Quitter\tAlt+F4");

  HMENU bar = CreateMenu();
  // Each access key of the bar is unique in the window: no label or button
  // of the pages uses F, D, Q, A or E.
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&Fichier");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(Popup(kEditEntries)), L"\u00c9&dition");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(Popup(kQuestionEntries)), L"&Question");
  // The blank after it: Wine measures this entry a pixel short and cuts its
  // last letter; elsewhere it only widens the entry by a blank.
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(Popup(kViewEntries)), L"&Affichage ");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(Popup(kHelpEntries)), L"Aid&e");
  return bar;
}

HACCEL CreateAtelierAccelerators() {
  return CreateAcceleratorTableW(const_cast<ACCEL*>(kShortcuts), static_cast<int>(std::size(kShortcuts)));
}

void UpdateMenuStates(Atelier* atelier) {
  HMENU menu = atelier->menu;
  const bool open = atelier->open;
  const int count = static_cast<int>(atelier->edited.quiz.questions.size());
  const bool chosen = open && atelier->current >= 0;
  const int quizCommands[] = {IDM_SAVE,         IDM_SAVE_AS,   IDM_TEST_QUIZ,     IDM_BUILD,
                              IDM_ADD_PICTURES, IDM_SHOW_LIST, IDM_SHOW_QUESTION, IDM_SHOW_QUIZ,
                              IDM_SHOW_CODES,   IDM_NEXT_PAGE, IDM_PREVIOUS_PAGE, IDM_CHOOSE_COLOUR};
  for (int id : quizCommands) Enable(menu, id, open);
  const int questionCommands[] = {IDM_REMOVE_QUESTION, IDM_CHANGE_PICTURE, IDM_TRY_ANSWER};
  for (int id : questionCommands) Enable(menu, id, chosen);
  const bool pictured = chosen && !atelier->edited.quiz.questions[atelier->current].image.empty();
  Enable(menu, IDM_ROTATE_RIGHT, pictured);
  Enable(menu, IDM_ROTATE_LEFT, pictured);
  Enable(menu, IDM_CANCEL_BUILD, atelier->building);
  Enable(menu, IDM_BUILD, open && !atelier->building);
  Enable(menu, IDM_EXPORT_PAGE, open && !atelier->building);
  Enable(menu, IDM_TEST_QUIZ, open && !atelier->building);
  Enable(menu, IDM_MOVE_UP, chosen && atelier->current > 0);
  Enable(menu, IDM_PREVIOUS_QUESTION, chosen && atelier->current > 0);
  Enable(menu, IDM_MOVE_DOWN, chosen && atelier->current < count - 1);
  Enable(menu, IDM_NEXT_QUESTION, chosen && atelier->current < count - 1);
  Enable(menu, IDM_REDUCE_PICTURES, open);
  Enable(menu, IDM_UNDO, open && !atelier->edited.undo.empty());
  Enable(menu, IDM_REDO, open && !atelier->edited.redo.empty());
  Enable(menu, IDM_CORRECT_ANSWERS, open);
  const bool reduced = open && atelier->edited.quiz.reducePictures;
  CheckMenuItem(menu, IDM_REDUCE_PICTURES, MF_BYCOMMAND | (reduced ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace vidod
