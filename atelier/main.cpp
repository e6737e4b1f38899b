// Vidod Atelier: makes a quiz in a window. Takes at most one path, a folder
// of pictures, a quiz.toml or a quiz executable, so that Explorer can open
// a file with it.
#include <windows.h>

#include <ole2.h>
#include <shellapi.h>

#include "atelier/atelier_app.h"
#include "pictures/picture_loader.h"

namespace {

using DpiContextFunction = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);

// The manifest asks for it already; systems that read only the older
// manifest entry get it here.
void BecomePerMonitorAware() {
  const auto setContext = reinterpret_cast<DpiContextFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
  if (setContext) setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand) {
  BecomePerMonitorAware();
  // The file dialogs and dropping need OLE on this thread.
  const bool ole = SUCCEEDED(OleInitialize(nullptr));
  HWND window = vidod::CreateAtelierWindow(instance, vidod::DefaultAtelierSetup(), showCommand);
  if (!window) {
    MessageBoxW(nullptr, L"La fen\u00eatre de Vidod Atelier ne peut pas s'ouvrir.", L"Vidod Atelier", MB_ICONERROR);
    return 1;
  }
  int argumentCount = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &argumentCount);
  if (arguments && argumentCount >= 2) vidod::OpenAtelierPath(window, arguments[1]);
  LocalFree(arguments);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (vidod::TranslateAtelierMessage(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  vidod::ReleasePictureService();
  if (ole) OleUninitialize();
  return static_cast<int>(message.wParam);
}
