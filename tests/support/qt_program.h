// The program's Qt window as tests and benchmarks drive it: the real front end
// and program shell over any reader library, opened and closed by the caller,
// who runs the event loop. Message boxes are recorded, not shown, so nothing
// blocks the run.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <string>

#include "program_shell.h"
#include "toolkit_front_end.h"

namespace corvane::testing {

class RecordingMsgBox final : public MsgBox {
 public:
  void Show(const std::wstring& text) override { texts.append(QString::fromStdWString(text)); }
  QStringList texts;
};

// The Qt front end with its message box swapped for a recording one.
class RecordingFrontEnd final : public FrontEnd {
 public:
  Form1Controls Controls() override { return m_qt.Controls(); }
  MsgBox& Messages() override { return messages; }
  std::shared_ptr<UiDispatcher> Dispatcher() override { return m_qt.Dispatcher(); }
  void Show() override { m_qt.Show(); }
  int RunLoop() override { return m_qt.RunLoop(); }
  void Quit(int status) override { m_qt.Quit(status); }
  void Close() override { m_qt.Close(); }

  QWidget* Window() const { return m_qt.Window(); }
  RecordingMsgBox messages;

 private:
  qt::QtFrontEnd m_qt;
};

class QtProgram {
 public:
  // Needs a QApplication; `library` must outlive the program.
  explicit QtProgram(ReaderLibrary& library) : m_shell(m_frontEnd, library) {}

  // Form_Load and the window shown; false when a failure ended it.
  bool Open() { return m_shell.Open(); }
  // Form_Terminate after the window's end; the exit status.
  int Close() { return m_shell.Close(0); }

  QWidget& Window() const { return *m_frontEnd.Window(); }
  template <typename Widget>
  Widget& Find(const char* name) const {
    return *Window().findChild<Widget*>(QString::fromLatin1(name));
  }
  // Message boxes shown so far, in order.
  const QStringList& Messages() const { return m_frontEnd.messages.texts; }

 private:
  RecordingFrontEnd m_frontEnd;
  ProgramShell m_shell;
};

}  // namespace corvane::testing
