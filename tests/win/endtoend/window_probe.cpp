// Looks at the player's main window from another process, for end-to-end
// checks: "where CAPTION" prints the window's outer rectangle and the screen
// position of its client area; "close CAPTION" asks it to close as the close
// box would, and waits until it has gone.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr char kPlayerClass[] = "WindowsApp";
constexpr int kWaitSeconds = 30;

HWND FindPlayer(const char* caption) {
  for (int tick = 0; tick < kWaitSeconds * 10; ++tick) {
    if (HWND window = FindWindowA(kPlayerClass, caption)) return window;
    Sleep(100);
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: window_probe where|close CAPTION\n");
    return 2;
  }
  HWND window = FindPlayer(argv[2]);
  if (!window) return 3;
  if (std::strcmp(argv[1], "where") == 0) {
    RECT outer;
    GetWindowRect(window, &outer);
    POINT client = {0, 0};
    ClientToScreen(window, &client);
    std::printf("OUTER_X=%ld OUTER_Y=%ld OUTER_W=%ld OUTER_H=%ld CLIENT_X=%ld CLIENT_Y=%ld\n",
                outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top, client.x,
                client.y);
    return 0;
  }
  PostMessageA(window, WM_CLOSE, 0, 0);
  for (int tick = 0; tick < kWaitSeconds * 10; ++tick) {
    if (!IsWindow(window)) return 0;
    Sleep(100);
  }
  return 4;
}
