// The real Qt front end and program shell over any reader library, opened by the
// caller, who runs the event loop, and closed with it. Boxes are recorded, not shown.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <string>

#include "program_shell.h"
#include "recording_front_end.h"
#include "toolkit_front_end.h"

namespace corvane::testing {

class QtProgram {
 public:
  // Needs a QApplication; `library` must outlive the program.
  explicit QtProgram(ReaderLibrary& library) : m_shell(m_frontEnd, library) {}

  // Form_Load and the window shown; false when a failure ended it.
  bool Open() { return m_shell.Open(); }

  QWidget& Window() const { return *m_frontEnd.Wrapped().Window(); }
  template <typename Widget>
  Widget& Find(const char* name) const {
    return *Window().findChild<Widget*>(QString::fromLatin1(name));
  }
  // Message boxes shown so far, in order.
  QStringList Messages() const {
    QStringList texts;
    for (const std::wstring& text : m_frontEnd.messages.texts)
      texts.append(QString::fromStdWString(text));
    return texts;
  }

 private:
  RecordingFrontEnd<qt::QtFrontEnd> m_frontEnd;
  ProgramShell m_shell;
};

}  // namespace corvane::testing
