// One whole session for valgrind's leak checker, which CTest runs it under:
// the window loads, reads a badge from a pseudo-terminal, stops, starts and
// stops SIM, and closes. It fails when the session itself goes wrong, so that
// no leak report is read off a run that did not do its job.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdio>

#include "frames.h"
#include "module1.h"
#include "pty_pair.h"
#include "qt_program.h"
#include "tavrix_port_names.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  corvane::testing::PtyPair pty;
  corvane::testing::QtProgram program(corvane::Module1::Instance());
  if (!program.Open()) return 1;
  auto& ports = program.Find<QComboBox>("cbCom");
  auto& start = program.Find<QPushButton>("btAttiva");
  auto& stop = program.Find<QPushButton>("btDisattiva");
  ports.addItem(QString::fromStdString(pty.SlavePath()));
  ports.setCurrentIndex(ports.count() - 1);
  start.click();
  pty.Write(corvane::testing::Frame("2C499602D2"));
  // Under valgrind all is slow, yet a badge shows within seconds.
  constexpr int kBadgeDeadlineMs = 120 * 1000;
  const bool shown = QTest::qWaitFor(
      [&] { return program.Find<QLineEdit>("Text2").text() == "1234567890"; }, kBadgeDeadlineMs);
  stop.click();
  ports.setCurrentIndex(ports.findText(QString::fromLatin1(tavrix::kSimPort.narrow)));
  start.click();
  const bool simStarted = stop.isEnabled();
  stop.click();
  const QStringList problems = program.Messages();
  program.Close();
  if (shown && simStarted && problems.isEmpty()) return 0;
  std::fprintf(stderr, "session failed: badge %s, SIM %s, message boxes: %s\n",
               shown ? "shown" : "not shown", simStarted ? "started" : "refused",
               qPrintable(problems.join("; ")));
  return 1;
}
