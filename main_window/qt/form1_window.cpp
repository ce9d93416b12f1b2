#include "main_window/qt/form1_window.h"

#include <QPushButton>
#include <utility>

namespace corvane::qtui {

Form1Window::Form1Window(ReaderLibrary& library, FatalErrorHandler onFatal,
                         TvxNotify readerCallBack)
    : m_onFatal(std::move(onFatal)),
      m_widgets(BuildForm1Widgets(*this)),
      m_btDisattiva(*m_widgets.btDisattiva),
      m_btAttiva(*m_widgets.btAttiva),
      m_cbCom(*m_widgets.cbCom),
      m_Label2(*m_widgets.Label2),
      m_Label4(*m_widgets.Label4),
      m_Label5(*m_widgets.Label5),
      m_Label1(*m_widgets.Label1),
      m_Text1(*m_widgets.Text1),
      m_Label3(*m_widgets.Label3),
      m_Text2(*m_widgets.Text2),
      m_msgBox(this),
      m_form(std::make_unique<Form1>(
          Form1Controls{m_btDisattiva, m_btAttiva, m_cbCom, m_Label2, m_Label4, m_Label5, m_Label1,
                        m_Text1, m_Label3, m_Text2, m_msgBox},
          library, readerCallBack)) {
  connect(m_widgets.btAttiva, &QPushButton::clicked, this, &Form1Window::OnStartClicked);
  connect(m_widgets.btDisattiva, &QPushButton::clicked, this, &Form1Window::OnStopClicked);
}

Form1Window::~Form1Window() {
  // Reading that is still running is not stopped first: the library's
  // uninitialisation ends it. A failure here was met while winding down, so it
  // is reported, never thrown out of a destructor.
  CallReportingFatal(m_onFatal, [this] { m_form->Form_Terminate(); });
  m_form.reset();
}

void Form1Window::Load() {
  if (m_loaded) {
    return;
  }
  m_loaded = true;
  m_form->Form_Load();
}

void Form1Window::OnStartClicked() {
  CallReportingFatal(m_onFatal, [this] { m_form->btAttiva_Click(); });
}

void Form1Window::OnStopClicked() {
  CallReportingFatal(m_onFatal, [this] { m_form->btDisattiva_Click(); });
}

}  // namespace corvane::qtui
