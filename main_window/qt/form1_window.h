// Form1 as a Qt window: the widgets of the layout table, their wrappers, and
// the window logic driving them.
#pragma once

#include <QWidget>
#include <memory>

#include "main_window/form1.h"
#include "main_window/qt/fatal_error.h"
#include "main_window/qt/form1_widgets.h"
#include "main_window/qt/qt_controls.h"
#include "main_window/qt/qt_msg_box.h"
#include "reader_binding/reader_library.h"

namespace corvane::qtui {

class Form1Window final : public QWidget {
  Q_OBJECT

 public:
  // `library` must outlive the window. Exceptions out of clicks go to
  // `onFatal`.
  explicit Form1Window(ReaderLibrary& library, FatalErrorHandler onFatal = &EndProgramOnFatalError,
                       TvxNotify readerCallBack = &ReaderCallBack);
  // Runs Form_Terminate, then retires the window logic, so notifications still
  // queued for it are dropped.
  ~Form1Window() override;
  Form1Window(const Form1Window&) = delete;
  Form1Window& operator=(const Form1Window&) = delete;

  // Runs Form_Load the first time it is called, to be done before the window
  // is first shown. Throws what Form_Load throws (a missing reader library).
  void Load();

  Form1& Logic() { return *m_form; }

 private:
  void OnStartClicked();
  void OnStopClicked();

  FatalErrorHandler m_onFatal;
  Form1Widgets m_widgets;
  QtButton m_btDisattiva;
  QtButton m_btAttiva;
  QtComboBox m_cbCom;
  QtLabel m_Label2;
  QtLabel m_Label4;
  QtLabel m_Label5;
  QtLabel m_Label1;
  QtTextBox m_Text1;
  QtLabel m_Label3;
  QtTextBox m_Text2;
  QtMsgBox m_msgBox;
  std::unique_ptr<Form1> m_form;
  bool m_loaded = false;
};

}  // namespace corvane::qtui
