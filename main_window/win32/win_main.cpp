// The Windows program: Form1 in a native window, one UI thread.
#include <windows.h>

#include <memory>

#include "main_window/form1.h"
#include "main_window/win32/fatal_failure.h"
#include "main_window/win32/main_window.h"
#include "main_window/win32/posted_task_dispatcher.h"
#include "reader_binding/module1.h"
#include "reader_binding/reader_callback.h"

namespace corvane::win32 {
namespace {

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop(const MainWindow& window) {
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return kExitUnexpectedFailure;
    // Tab, Shift+Tab and the access keys, as in a dialog.
    if (window.Handle() != nullptr && IsDialogMessageW(window.Handle(), &message) != FALSE) {
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

int RunCorvane(HINSTANCE instance, int showCommand) {
  FatalFailure fatal;
  // Failures inside the loop end it; the report waits until the loop is over.
  const auto endOnFailure = [&fatal](std::exception_ptr failure) {
    const bool first = !fatal.Happened();
    fatal.Capture(failure);
    if (first) PostQuitMessage(fatal.ExitCode());
  };

  const auto dispatcher = std::make_shared<PostedTaskDispatcher>(instance, endOnFailure);
  SetUiDispatcher(dispatcher);
  Module1& library = Module1::Instance();

  int exitCode = 0;
  {
    MainWindow window(instance, endOnFailure);
    if (!window.Created()) {
      SetUiDispatcher(nullptr);
      return kExitUnexpectedFailure;
    }
    Form1 form(window.Controls(), library);
    window.SetClickHandlers(
        {[&form] { form.btAttiva_Click(); }, [&form] { form.btDisattiva_Click(); }});

    try {
      form.Form_Load();
    } catch (...) {
      fatal.Capture(std::current_exception());
    }
    if (!fatal.Happened()) {
      window.Show(showCommand);
      exitCode = RunMessageLoop(window);
    }

    if (fatal.Happened()) {
      fatal.Report(MessageBoxOwner(window.Handle()));
      exitCode = fatal.ExitCode();
    }
    window.Destroy();

    // The window object's end. A library that never loaded has nothing to
    // uninitialise, and a failure already reported is not reported twice.
    if (library.IsLoaded()) {
      try {
        form.Form_Terminate();
      } catch (...) {
        if (!fatal.Happened()) {
          fatal.Capture(std::current_exception());
          fatal.Report(nullptr);
          exitCode = fatal.ExitCode();
        }
      }
    }
  }

  // The library calls back no more; what is still queued has no window to go to.
  SetUiDispatcher(nullptr);
  dispatcher->Shutdown();
  return exitCode;
}

}  // namespace
}  // namespace corvane::win32

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  try {
    return corvane::win32::RunCorvane(instance, showCommand);
  } catch (...) {
    return corvane::win32::kExitUnexpectedFailure;
  }
}
