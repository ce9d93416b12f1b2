// corvane's start-up step for step (main_window/qt/main.cpp), ending at the
// first exposure of its window so the benchmark can time it.
#include <QApplication>
#include <memory>

#include "expose_marker.h"
#include "form1_layout.h"
#include "fatal_error.h"
#include "qt_ui_dispatcher.h"
#include "run_program.h"
#include "module1.h"
#include "reader_callback.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromWCharArray(corvane::layout::kApplicationTitle));
  QApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));
  corvane::bench::MarkFirstExposure(app);

  corvane::SetUiDispatcher(
      std::make_shared<corvane::qtui::QtUiDispatcher>(app, &corvane::qtui::EndProgramOnFatalError));
  const int status = corvane::qtui::RunProgram(corvane::Module1::Instance());
  corvane::SetUiDispatcher(nullptr);
  return status;
}
