// corvane's start-up step for step (main_window/qt/main.cpp), ending at the
// first exposure of its window so the benchmark can time it.
#include <QApplication>
#include <memory>

#include "bench/expose_marker.h"
#include "main_window/form1_layout.h"
#include "main_window/qt/fatal_error.h"
#include "main_window/qt/qt_ui_dispatcher.h"
#include "main_window/qt/run_program.h"
#include "reader_binding/module1.h"
#include "reader_binding/reader_callback.h"

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
