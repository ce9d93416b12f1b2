// The Windows program: Form1 in a native window, one UI thread.
#include <windows.h>

#include "module1.h"
#include "program_shell.h"
#include "toolkit_front_end.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  try {
    corvane::win32::Win32FrontEnd frontEnd(instance, showCommand);
    corvane::ProgramShell shell(frontEnd, corvane::Module1::Instance());
    // A logoff or a shutdown closes as closing the window does.
    frontEnd.OnSessionEnd([&shell] { shell.Close(0); });
    return shell.Run();
  } catch (...) {
    // No window could be made: nothing ran, and there is no one to tell.
    return corvane::kExitFatal;
  }
}
