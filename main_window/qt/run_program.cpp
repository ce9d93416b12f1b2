#include "main_window/qt/run_program.h"

#include <QApplication>
#include <exception>
#include <memory>

#include "main_window/qt/fatal_error.h"
#include "main_window/qt/form1_window.h"

namespace corvane::qtui {

int RunProgram(ReaderLibrary& library) {
  auto window = std::make_unique<Form1Window>(library);
  try {
    window->Load();
  } catch (const std::exception& error) {
    ReportFatalError(error);
    window.reset();
    return kExitFatalError;
  }
  window->show();
  const int status = QApplication::exec();
  window.reset();
  return FatalErrorReported() ? kExitFatalError : status;
}

}  // namespace corvane::qtui
