// The floor of the Windows start-up: Corvane's window as the front end builds
// it from the layout table, and its loop, with nothing behind it: no Form1,
// no Module1, no reader library.
#include <windows.h>

#include "win32_front_end.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  corvane::win32::Win32FrontEnd window(instance, showCommand);
  window.Show();
  return window.RunLoop();
}
