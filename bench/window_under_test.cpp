#include "window_under_test.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <exception>
#include <stdexcept>

#include "module1.h"

namespace corvane::bench {
namespace {

template <typename Widget>
Widget* Find(QWidget& window, const char* name) {
  auto* widget = window.findChild<Widget*>(QString::fromLatin1(name));
  if (widget == nullptr) throw std::runtime_error(std::string("no widget named ") + name);
  return widget;
}

}  // namespace

void WaitUntilExposed(QWidget& window) {
  // The timer only wakes the loop to look again.
  QTimer wake;
  wake.start(5);
  ProcessEventsUntil(
      [&window] { return window.windowHandle() != nullptr && window.windowHandle()->isExposed(); });
}

WindowUnderTest::WindowUnderTest() : WindowUnderTest(Module1::Instance()) {}

WindowUnderTest::WindowUnderTest(ReaderLibrary& library) {
  m_program = std::make_unique<testing::QtProgram>(library);
  if (!m_program->Open()) throw std::runtime_error("the window did not open");
  QWidget& window = m_program->Window();
  m_text1 = Find<QLineEdit>(window, "Text1");
  m_text2 = Find<QLineEdit>(window, "Text2");
  m_start = Find<QPushButton>(window, "btAttiva");
  m_stop = Find<QPushButton>(window, "btDisattiva");
  m_ports = Find<QComboBox>(window, "cbCom");
  WaitUntilExposed(window);
}

WindowUnderTest::~WindowUnderTest() = default;

void WindowUnderTest::ChoosePort(const std::string& port) {
  const QString name = QString::fromStdString(port);
  int index = m_ports->findText(name);
  if (index < 0) {
    m_ports->addItem(name);
    index = m_ports->count() - 1;
  }
  m_ports->setCurrentIndex(index);
}

void WindowUnderTest::ClickStart() { m_start->click(); }

void WindowUnderTest::ClickStop() { m_stop->click(); }

bool WindowUnderTest::Reading() const { return m_stop->isEnabled(); }

}  // namespace corvane::bench
