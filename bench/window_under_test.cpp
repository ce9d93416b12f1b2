#include "window_under_test.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <exception>
#include <stdexcept>

#include "qt_msg_box.h"
#include "qt_ui_dispatcher.h"
#include "module1.h"
#include "reader_callback.h"

namespace corvane::bench {
namespace {

template <typename Widget>
Widget* Find(QWidget& window, const char* name) {
  auto* widget = window.findChild<Widget*>(QString::fromLatin1(name));
  if (widget == nullptr) throw std::runtime_error(std::string("no widget named ") + name);
  return widget;
}

}  // namespace

WindowUnderTest::WindowUnderTest() {
  auto recordFatal = [this](const std::exception& error) {
    m_problems << QStringLiteral("fatal: ") + QString::fromLocal8Bit(error.what());
  };
  SetUiDispatcher(
      std::make_shared<qtui::QtUiDispatcher>(*QCoreApplication::instance(), recordFatal));
  qtui::SetMessageBoxHook([this](const QString& text) { m_problems << text; });

  m_window = std::make_unique<qtui::Form1Window>(Module1::Instance(), recordFatal);
  m_window->Load();
  m_text1 = Find<QLineEdit>(*m_window, "Text1");
  m_text2 = Find<QLineEdit>(*m_window, "Text2");
  m_start = Find<QPushButton>(*m_window, "btAttiva");
  m_stop = Find<QPushButton>(*m_window, "btDisattiva");
  m_ports = Find<QComboBox>(*m_window, "cbCom");

  m_window->show();
  // A window never exposed would never paint, and nothing would be "shown".
  // The timer only wakes the loop to look again.
  QTimer wake;
  wake.start(5);
  ProcessEventsUntil([this] {
    return m_window->windowHandle() != nullptr && m_window->windowHandle()->isExposed();
  });
}

WindowUnderTest::~WindowUnderTest() {
  m_window.reset();
  qtui::SetMessageBoxHook({});
  SetUiDispatcher(nullptr);
}

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
