// The Linux program: Form1 in a Qt window, one UI thread.
#include <QApplication>

#include "exit_on_signals.h"
#include "form1_layout.h"
#include "module1.h"
#include "program_shell.h"
#include "toolkit_front_end.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  // No application display name: Qt would append it to the window's title.
  QApplication::setApplicationName(QString::fromWCharArray(corvane::layout::kApplicationTitle));
  QApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));
  // Ties the window to the installed desktop entry, and so to its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(CORVANE_APP_ID));

  corvane::qt::QtFrontEnd frontEnd;
  const corvane::qt::ExitOnSignals exitOnSignals(frontEnd);
  corvane::ProgramShell shell(frontEnd, corvane::Module1::Instance());
  return shell.Run();
}
