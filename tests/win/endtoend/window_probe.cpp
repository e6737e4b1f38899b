// Looks at the player's main window from another process, for end-to-end
// checks. Commands:
//   where CAPTION          the window's outer rectangle and the screen position
//                          of its client area;
//   close CAPTION          asks it to close as the close box would, and waits
//                          until it has gone;
//   control CAPTION C...   the screen rectangle of each control and whether it
//                          is visible, one line each;
//   text CAPTION C...      the text of each control, one line each, byte for
//                          byte in the player's code page;
//   focus CAPTION          which control has the keyboard focus (0 for the
//                          main window itself) and whether the player is the
//                          active window;
//   wait CAPTION SECONDS CONDITION...
//                          waits until every condition holds at the same time:
//                          text:C=TEXT (exact text), shown:C, hidden:C,
//                          focus:C, focus:main, foreground (the player's
//                          window is the desktop's foreground window); on
//                          time-out prints each
//                          condition that does not hold with what was seen.
//                          TEXT takes \xHH for a byte and \\ for a backslash:
//                          Wine converts the command line from the locale, so
//                          bytes above 127 cannot be passed as they are.
// A control C is "ID", an id that only one control of the window has (the
// views and the header bar are searched through), or "ID@NEIGHBOUR", the
// control ID that has the same parent as control NEIGHBOUR (the two views
// reuse some ids).
// Exit codes: 0 done, 2 usage, 3 no such window, 4 it did not close,
// 5 no such control, 6 the control did not answer, 7 the name fits several
// controls, 8 the wait timed out.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kPlayerClass[] = "WindowsApp";
constexpr DWORD kFindWindowMs = 30000;
constexpr DWORD kCloseMs = 30000;
constexpr UINT kAnswerTimeoutMs = 5000;
constexpr DWORD kPollMs = 50;
constexpr int kTextSize = 1024;

enum ExitCode {
  kDone = 0,
  kUsage = 2,
  kNoWindow = 3,
  kNotClosed = 4,
  kNoControl = 5,
  kNoAnswer = 6,
  kAmbiguous = 7,
  kTimedOut = 8,
};

HWND FindPlayer(const char* caption, DWORD waitMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND window = FindWindowA(kPlayerClass, caption)) return window;
    if (GetTickCount() - start >= waitMs) return nullptr;
    Sleep(kPollMs);
  }
}

struct ControlSearch {
  int id;
  HWND parent;  // only children of this window count, when set
  HWND found;
  int matches;
};

BOOL CALLBACK MatchControl(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<ControlSearch*>(param);
  if (GetDlgCtrlID(child) != search->id) return TRUE;
  if (search->parent && GetParent(child) != search->parent) return TRUE;
  if (search->matches++ == 0) search->found = child;
  return TRUE;
}

// Returns the number of descendants of window with this id (and parent, when
// given); *found is the first of them.
int FindControls(HWND window, int id, HWND parent, HWND* found) {
  ControlSearch search = {id, parent, nullptr, 0};
  EnumChildWindows(window, MatchControl, reinterpret_cast<LPARAM>(&search));
  *found = search.found;
  return search.matches;
}

bool ParseNumber(const std::string& text, int* value) {
  if (text.empty() || text.size() > 5) return false;
  int number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
  }
  *value = number;
  return number > 0 && number <= 0xFFFF;
}

// Returns kDone or the exit code that says why the name finds no one control.
int ResolveControl(HWND window, const std::string& name, HWND* control) {
  *control = nullptr;
  const size_t at = name.find('@');
  int id = 0;
  if (!ParseNumber(name.substr(0, at), &id)) return kUsage;
  HWND parent = nullptr;
  if (at != std::string::npos) {
    int neighbourId = 0;
    if (!ParseNumber(name.substr(at + 1), &neighbourId)) return kUsage;
    HWND neighbour = nullptr;
    const int neighbours = FindControls(window, neighbourId, nullptr, &neighbour);
    if (neighbours == 0) return kNoControl;
    if (neighbours > 1) return kAmbiguous;
    parent = GetParent(neighbour);
  }
  const int matches = FindControls(window, id, parent, control);
  if (matches == 0) return kNoControl;
  if (matches > 1) return kAmbiguous;
  return kDone;
}

const char* Explain(int failure) {
  switch (failure) {
    case kUsage: return "not a control name";
    case kNoControl: return "no such control";
    case kAmbiguous: return "several controls have this id: name it ID@NEIGHBOUR";
    case kNoAnswer: return "the control did not answer";
    default: return "failed";
  }
}

// WM_GETTEXT is marshalled across processes for the standard controls; the
// window's own caption store would miss what an edit box holds.
int ReadText(HWND control, std::string* text) {
  char buffer[kTextSize] = "";
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(control, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                           SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &copied))
    return kNoAnswer;
  buffer[copied < sizeof buffer ? copied : sizeof buffer - 1] = '\0';
  *text = buffer;
  return kDone;
}

// The player's focus window, seen from outside its thread; null when the
// player has no focus.
HWND FocusOf(HWND window, bool* active) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  *active = false;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  *active = info.hwndActive == window;
  return info.hwndFocus;
}

int Where(HWND window) {
  RECT outer;
  GetWindowRect(window, &outer);
  POINT client = {0, 0};
  ClientToScreen(window, &client);
  std::printf("OUTER_X=%ld OUTER_Y=%ld OUTER_W=%ld OUTER_H=%ld CLIENT_X=%ld CLIENT_Y=%ld\n",
              outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top, client.x,
              client.y);
  return kDone;
}

int Close(HWND window) {
  PostMessageA(window, WM_CLOSE, 0, 0);
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < kCloseMs) {
    if (!IsWindow(window)) return kDone;
    Sleep(kPollMs);
  }
  return kNotClosed;
}

int Control(HWND window, int count, char** names) {
  std::string lines;
  for (int i = 0; i < count; ++i) {
    HWND control = nullptr;
    if (const int failure = ResolveControl(window, names[i], &control)) {
      std::fprintf(stderr, "window_probe: %s: %s\n", names[i], Explain(failure));
      return failure;
    }
    RECT place;
    GetWindowRect(control, &place);
    char line[128];
    std::snprintf(line, sizeof line, "X=%ld Y=%ld W=%ld H=%ld VISIBLE=%d\n", place.left,
                  place.top, place.right - place.left, place.bottom - place.top,
                  IsWindowVisible(control) ? 1 : 0);
    lines += line;
  }
  std::fwrite(lines.data(), 1, lines.size(), stdout);
  return kDone;
}

int Text(HWND window, int count, char** names) {
  std::string lines;
  for (int i = 0; i < count; ++i) {
    HWND control = nullptr;
    std::string text;
    int failure = ResolveControl(window, names[i], &control);
    if (!failure) failure = ReadText(control, &text);
    if (failure) {
      std::fprintf(stderr, "window_probe: %s: %s\n", names[i], Explain(failure));
      return failure;
    }
    lines += text + "\n";
  }
  std::fwrite(lines.data(), 1, lines.size(), stdout);
  return kDone;
}

int Focus(HWND window) {
  bool active = false;
  HWND focus = FocusOf(window, &active);
  const bool inPlayer = focus && (focus == window || IsChild(window, focus));
  const int id = inPlayer && focus != window ? GetDlgCtrlID(focus) : 0;
  std::printf("FOCUS_ID=%d FOCUS_MAIN=%d FOCUS_IN_PLAYER=%d ACTIVE=%d\n", id,
              focus == window ? 1 : 0, inPlayer ? 1 : 0, active ? 1 : 0);
  return kDone;
}

struct Condition {
  enum Kind { kText, kShown, kHidden, kFocus, kFocusMain, kForeground } kind;
  std::string control;  // the control's name, for the kinds about a control
  std::string text;     // kText only
  std::string source;   // as given, for the report
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool Unescape(const std::string& text, std::string* bytes) {
  bytes->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      *bytes += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == '\\') {
      *bytes += '\\';
      ++i;
    } else if (i + 3 < text.size() && text[i + 1] == 'x' && HexDigit(text[i + 2]) >= 0 &&
               HexDigit(text[i + 3]) >= 0) {
      *bytes += static_cast<char>(HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3]));
      i += 3;
    } else {
      return false;
    }
  }
  return true;
}

// The other way, for reports: bytes outside printable ASCII as \xHH.
std::string Escape(const std::string& bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      text += static_cast<char>(c);
    } else if (c == '\\') {
      text += "\\\\";
    } else {
      text += "\\x";
      text += kHex[c >> 4];
      text += kHex[c & 15];
    }
  }
  return text;
}

bool ParseCondition(const std::string& source, Condition* condition) {
  condition->source = source;
  auto starts = [&](const char* prefix) { return source.rfind(prefix, 0) == 0; };
  if (starts("text:")) {
    const size_t equals = source.find('=');
    if (equals == std::string::npos) return false;
    condition->kind = Condition::kText;
    condition->control = source.substr(5, equals - 5);
    if (!Unescape(source.substr(equals + 1), &condition->text)) return false;
  } else if (source == "focus:main") {
    condition->kind = Condition::kFocusMain;
  } else if (source == "foreground") {
    condition->kind = Condition::kForeground;
  } else if (starts("focus:")) {
    condition->kind = Condition::kFocus;
    condition->control = source.substr(6);
  } else if (starts("shown:")) {
    condition->kind = Condition::kShown;
    condition->control = source.substr(6);
  } else if (starts("hidden:")) {
    condition->kind = Condition::kHidden;
    condition->control = source.substr(7);
  } else {
    return false;
  }
  return true;
}

// True when the condition holds; *seen says what was found otherwise.
bool Holds(HWND window, const Condition& condition, std::string* seen) {
  bool active = false;
  if (condition.kind == Condition::kForeground) {
    if (GetForegroundWindow() == window) return true;
    *seen = "another window is in the foreground";
    return false;
  }
  if (condition.kind == Condition::kFocusMain) {
    HWND focus = FocusOf(window, &active);
    if (focus == window) return true;
    *seen = focus ? "the focus is on control " + std::to_string(GetDlgCtrlID(focus))
                  : "the player has no focus";
    return false;
  }
  HWND control = nullptr;
  if (const int failure = ResolveControl(window, condition.control, &control)) {
    *seen = Explain(failure);
    return false;
  }
  switch (condition.kind) {
    case Condition::kText: {
      std::string text;
      if (const int failure = ReadText(control, &text)) {
        *seen = Explain(failure);
        return false;
      }
      *seen = "\"" + Escape(text) + "\"";
      return text == condition.text;
    }
    case Condition::kShown:
    case Condition::kHidden: {
      const bool visible = IsWindowVisible(control) != FALSE;
      *seen = visible ? "shown" : "hidden";
      return visible == (condition.kind == Condition::kShown);
    }
    case Condition::kFocus: {
      HWND focus = FocusOf(window, &active);
      if (focus == control) return true;
      *seen = !focus             ? "the player has no focus"
              : focus == window  ? "the focus is on the main window"
                                 : "the focus is on control " + std::to_string(GetDlgCtrlID(focus));
      return false;
    }
    default:
      return false;
  }
}

int Wait(const char* caption, const char* secondsText, int count, char** sources) {
  int seconds = 0;
  if (!ParseNumber(secondsText, &seconds)) return kUsage;
  std::vector<Condition> conditions(count);
  for (int i = 0; i < count; ++i) {
    if (!ParseCondition(sources[i], &conditions[i])) {
      std::fprintf(stderr, "window_probe: not a condition: %s\n", sources[i]);
      return kUsage;
    }
  }
  const DWORD start = GetTickCount();
  const DWORD limit = static_cast<DWORD>(seconds) * 1000;
  HWND window = FindPlayer(caption, limit);
  if (!window) return kNoWindow;
  std::vector<std::string> seen(count);
  std::vector<bool> held(count);
  for (;;) {
    bool all = true;
    for (int i = 0; i < count; ++i) {
      held[i] = Holds(window, conditions[i], &seen[i]);
      all = all && held[i];
    }
    if (all) return kDone;
    if (GetTickCount() - start >= limit || !IsWindow(window)) break;
    Sleep(kPollMs);
  }
  for (int i = 0; i < count; ++i)
    if (!held[i]) std::printf("not %s: %s\n", conditions[i].source.c_str(), seen[i].c_str());
  if (!IsWindow(window)) std::printf("the window has gone\n");
  return kTimedOut;
}

void Usage() {
  std::fprintf(stderr,
               "usage: window_probe where|close|focus CAPTION\n"
               "       window_probe control CAPTION C...\n"
               "       window_probe text CAPTION C...\n"
               "       window_probe wait CAPTION SECONDS CONDITION...\n");
}

}  // namespace

int main(int argc, char** argv) {
  // Texts go out byte for byte, lines ending in LF alone.
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 3) {
    Usage();
    return kUsage;
  }
  const std::string command = argv[1];
  const char* caption = argv[2];
  if (command == "wait") {
    if (argc < 5) {
      Usage();
      return kUsage;
    }
    return Wait(caption, argv[3], argc - 4, argv + 4);
  }
  const bool known = command == "where" || command == "close" || command == "focus" ||
                     (command == "control" && argc >= 4) || (command == "text" && argc >= 4);
  if (!known) {
    Usage();
    return kUsage;
  }
  HWND window = FindPlayer(caption, kFindWindowMs);
  if (!window) return kNoWindow;
  if (command == "where") return Where(window);
  if (command == "close") return Close(window);
  if (command == "focus") return Focus(window);
  if (command == "control") return Control(window, argc - 3, argv + 3);
  return Text(window, argc - 3, argv + 3);
}
