// What a toolkit gives the program shell: Form1's window built from the layout
// table, its message box, the way onto its UI thread and its event loop. Each
// front end implements this once; everything else about the program's run
// lives in the shell.
#pragma once

#include <memory>

#include "controls.h"
#include "reader_callback.h"

namespace corvane {

class FrontEnd {
 public:
  virtual ~FrontEnd() = default;

  // Form1's controls, created with the window, which stays hidden until Show.
  virtual Form1Controls Controls() = 0;
  virtual MsgBox& Messages() = 0;
  // Runs work on the UI thread; it refuses work once the window has closed.
  virtual std::shared_ptr<UiDispatcher> Dispatcher() = 0;

  virtual void Show() = 0;
  // Runs the event loop until the window is closed or Quit is called, and
  // returns the status the loop ended with.
  virtual int RunLoop() = 0;
  virtual void Quit(int status) = 0;
  // Destroys the window; nothing reaches it afterwards.
  virtual void Close() = 0;
};

}  // namespace corvane
