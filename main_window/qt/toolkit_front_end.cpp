#include "toolkit_front_end.h"

#include <QApplication>
#include <QComboBox>
#include <QDirIterator>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcutEvent>

#include "caption_font.h"
#include "form1_layout.h"

namespace corvane::qt {
namespace {

// Qt lays widgets out in device-independent pixels and scales them for the
// screen itself, so twips convert at the reference DPI.
int Pixels(int twips) { return layout::TwipsToPixels(twips, layout::kReferenceDpi); }

// Qt answers an access key by showing the button pressed for 100 ms before it
// clicks it. A Windows button clicks at once, and an operator stopping a
// reader should not wait on an animation.
class PushButton final : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::Shortcut && !static_cast<QShortcutEvent*>(event)->isAmbiguous()) {
      click();
      return true;
    }
    return QPushButton::event(event);
  }
};

// Makes each control of the table as a child widget of the window, behind its
// adapter, with the row's object name, geometry and initial state.
class Maker {
 public:
  explicit Maker(QWidget& window) : m_window(window) {}

  std::unique_ptr<QtButton> MakeButton(const layout::ControlRow& row) {
    // '&' in the caption makes Alt+<letter> click the button.
    return std::make_unique<QtButton>(Place(new PushButton(Caption(row), &m_window), row));
  }
  std::unique_ptr<QtComboBox> MakeComboBox(const layout::ControlRow& row) {
    auto& comboBox = Place(new QComboBox(&m_window), row);
    comboBox.setEditable(false);
    for (const wchar_t* entry : layout::kInitialPortEntries) {
      comboBox.addItem(QString::fromWCharArray(entry));
    }
    comboBox.setCurrentIndex(-1);
    return std::make_unique<QtComboBox>(comboBox);
  }
  std::unique_ptr<QtLabel> MakeLabel(const layout::ControlRow& row) {
    auto& label = Place(new QLabel(Caption(row), &m_window), row);
    label.setTextFormat(Qt::PlainText);
    label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return std::make_unique<QtLabel>(label);
  }
  std::unique_ptr<QtTextBox> MakeTextBox(const layout::ControlRow& row) {
    return std::make_unique<QtTextBox>(Place(new QLineEdit(Caption(row), &m_window), row));
  }

 private:
  static QString Caption(const layout::ControlRow& row) {
    return QString::fromWCharArray(row.caption);
  }

  // Widgets join the focus chain in creation order, which is the table's tab
  // order; setTabOrder keeps it so should a control ever be created elsewhere.
  template <typename Widget>
  Widget& Place(Widget* widget, const layout::ControlRow& row) {
    widget->setObjectName(QString::fromWCharArray(row.name));
    widget->setGeometry(Pixels(row.left), Pixels(row.top), Pixels(row.width), Pixels(row.height));
    widget->setEnabled(row.enabled);
    if (m_previous != nullptr) QWidget::setTabOrder(m_previous, widget);
    m_previous = widget;
    return *widget;
  }

  QWidget& m_window;
  QWidget* m_previous = nullptr;
};

QWidget* FindWidget(const QWidget& window, const wchar_t* name) {
  return window.findChild<QWidget*>(QString::fromWCharArray(name));
}

// The icon at every size the resources hold, so that no size is scaled from
// another.
QIcon WindowIcon() {
  QIcon icon;
  for (QDirIterator file(QStringLiteral(":/icons"), QDir::Files, QDirIterator::Subdirectories);
       file.hasNext();) {
    icon.addFile(file.next());
  }
  return icon;
}

}  // namespace

QtFrontEnd::QtFrontEnd() : m_controls(Maker(*m_window)) {
  QWidget& window = *m_window;
  window.setWindowTitle(QString::fromWCharArray(layout::kWindowCaption));
  window.setWindowIcon(WindowIcon());
  window.setFixedSize(Pixels(layout::kClientWidth), Pixels(layout::kClientHeight));
  FitFontToCaptions(window);
  // A label's buddy is the control it names: Qt's accessibility takes the
  // control's name, or its labelled-by relation, from the label.
  for (const layout::ControlRow& row : layout::kControls) {
    if (row.names == nullptr) continue;
    window.findChild<QLabel*>(QString::fromWCharArray(row.name))
        ->setBuddy(FindWidget(window, row.names));
  }
  FindWidget(window, control::btAttiva.Name())->setFocus(Qt::OtherFocusReason);
}

QtFrontEnd::~QtFrontEnd() = default;

void QtFrontEnd::Show() { m_window->show(); }

int QtFrontEnd::RunLoop() { return m_quitStatus ? *m_quitStatus : QApplication::exec(); }

void QtFrontEnd::Quit(int status) {
  if (!m_quitStatus) m_quitStatus = status;
  QCoreApplication::exit(status);
}

void QtFrontEnd::Close() { m_window.reset(); }

}  // namespace corvane::qt
