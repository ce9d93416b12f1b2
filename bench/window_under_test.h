// The real window as an operator gets it: the program shell and the Qt front
// end over Module1 and the stand-in library, ReaderCallBack, on the platform
// the environment names (offscreen by default). Message boxes are recorded,
// not shown, so a failure cannot block the run.
#pragma once

#include <QStringList>
#include <memory>
#include <string>

#include "qt_program.h"

class QLineEdit;
class QPushButton;
class QComboBox;

namespace corvane {
class ReaderLibrary;
}

namespace corvane::bench {

class WindowUnderTest {
 public:
  // Needs a QApplication. Loads the window and shows it, waiting until it is
  // exposed so paints reach the screen as they would on a desk. Over the
  // process's Module1 unless given another library, which must outlive it.
  WindowUnderTest();
  explicit WindowUnderTest(ReaderLibrary& library);
  ~WindowUnderTest();
  WindowUnderTest(const WindowUnderTest&) = delete;
  WindowUnderTest& operator=(const WindowUnderTest&) = delete;

  // Selects `port` in the port list, adding it first when the library did not
  // list it (a pseudo-terminal never is).
  void ChoosePort(const std::string& port);
  void ClickStart();
  void ClickStop();
  bool Reading() const;

  QLineEdit& Text1() const { return *m_text1; }
  QLineEdit& Text2() const { return *m_text2; }

  // Message boxes met so far, fatal reports included, in order.
  const QStringList& Problems() const { return m_program->Messages(); }

 private:
  std::unique_ptr<testing::QtProgram> m_program;
  QLineEdit* m_text1 = nullptr;
  QLineEdit* m_text2 = nullptr;
  QPushButton* m_start = nullptr;
  QPushButton* m_stop = nullptr;
  QComboBox* m_ports = nullptr;
};

// Waits until `window`, shown, is exposed: a window never exposed would never
// paint, and nothing would be "shown".
void WaitUntilExposed(QWidget& window);

// Processes events, sleeping in the event loop between them, until `done`
// holds. Something must post an event or run a timer for `done` to be seen.
template <typename Condition>
void ProcessEventsUntil(Condition done);

}  // namespace corvane::bench

#include <QCoreApplication>
#include <QEventLoop>

template <typename Condition>
void corvane::bench::ProcessEventsUntil(Condition done) {
  while (!done())
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
