// The Qt front end: Form1's window as a QWidget with one child widget per row
// of the layout table, each behind its control adapter.
#pragma once

#include <QWidget>
#include <memory>
#include <optional>

#include "control_adapters.h"
#include "front_end.h"
#include "msg_box.h"
#include "ui_dispatcher.h"
#include "window_controls.h"

namespace corvane::qt {

class QtFrontEnd final : public FrontEnd {
 public:
  // Needs a QApplication. Builds the window, hidden: its caption and icon, its
  // fixed client size, a font its captions fit in, and every control of the
  // layout table with its object name, geometry, caption, initial state, tab
  // order and, where a label names it, that label as its name; the first
  // focus goes to Start.
  QtFrontEnd();
  ~QtFrontEnd() override;
  QtFrontEnd(const QtFrontEnd&) = delete;
  QtFrontEnd& operator=(const QtFrontEnd&) = delete;

  Form1Controls Controls() override { return m_controls.ForForm1(); }
  MsgBox& Messages() override { return m_msgBox; }
  std::shared_ptr<UiDispatcher> Dispatcher() override { return m_dispatcher; }
  void Show() override;
  int RunLoop() override;
  void Quit(int status) override;
  void Close() override;

  // The window, or nullptr once closed.
  QWidget* Window() const { return m_window.get(); }

 private:
  std::unique_ptr<QWidget> m_window = std::make_unique<QWidget>();
  WindowControls<QtButton, QtComboBox, QtLabel, QtTextBox> m_controls;
  QtMsgBox m_msgBox{m_window.get()};
  std::shared_ptr<QtUiDispatcher> m_dispatcher = std::make_shared<QtUiDispatcher>(*m_window);
  // A Quit that came before the loop ran: the loop ends at once with it.
  std::optional<int> m_quitStatus;
};

}  // namespace corvane::qt
