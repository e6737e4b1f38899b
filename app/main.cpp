#include "app/player_shell.h"

// The player takes no arguments: everything comes from its own resources, the
// progress file and the player's input.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  if (!vidod::StartPlayer(instance, instance)) return 0;
  const int exitCode = vidod::RunMessageLoop();
  vidod::StopPlayer();
  return exitCode;
}
