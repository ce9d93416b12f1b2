// The floor of start-up: Corvane's window as the toolkit's front end builds it
// from the layout table, and its loop, with nothing behind it: no Form1, no
// Module1, no reader library.
#if defined(_WIN32)
#include "toolkit_front_end.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  corvane::win32::Win32FrontEnd window(instance, showCommand);
#else
#include <QApplication>

#include "toolkit_front_end.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  corvane::qt::QtFrontEnd window;
#endif
  window.Show();
  return window.RunLoop();
}
