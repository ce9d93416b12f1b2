#include "qt_front_end.h"

#include <QApplication>
#include <QComboBox>
#include <QDirIterator>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcutEvent>

#include "form1_layout.h"
#include "qt_caption_fit.h"

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

struct Created {
  QWidget* widget;
  std::unique_ptr<Control> control;
};

Created CreateControl(const layout::ControlRow& row, QWidget& window) {
  const QString caption = QString::fromWCharArray(row.caption);
  switch (row.kind) {
    case layout::Kind::PushButton: {
      // '&' in the caption makes Alt+<letter> click the button.
      auto* button = new PushButton(caption, &window);
      return {button, std::make_unique<QtButton>(*button)};
    }
    case layout::Kind::DropDownList: {
      auto* comboBox = new QComboBox(&window);
      comboBox->setEditable(false);
      for (const wchar_t* entry : layout::kInitialPortEntries) {
        comboBox->addItem(QString::fromWCharArray(entry));
      }
      comboBox->setCurrentIndex(-1);
      return {comboBox, std::make_unique<QtComboBox>(*comboBox)};
    }
    case layout::Kind::Label: {
      auto* label = new QLabel(caption, &window);
      label->setTextFormat(Qt::PlainText);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return {label, std::make_unique<QtLabel>(*label)};
    }
    case layout::Kind::TextBox: {
      auto* lineEdit = new QLineEdit(caption, &window);
      return {lineEdit, std::make_unique<QtTextBox>(*lineEdit)};
    }
  }
  throw std::logic_error("layout table names an unknown kind of control");
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

QtFrontEnd::QtFrontEnd() {
  QWidget& window = *m_window;
  window.setWindowTitle(QString::fromWCharArray(layout::kWindowCaption));
  window.setWindowIcon(WindowIcon());
  window.setFixedSize(Pixels(layout::kClientWidth), Pixels(layout::kClientHeight));
  FitFontToCaptions(window);

  // Widgets join the focus chain in creation order, which is the table's tab
  // order; setTabOrder keeps it so should a control ever be created elsewhere.
  QWidget* previous = nullptr;
  for (const layout::ControlRow& row : layout::kControls) {
    Created created = CreateControl(row, window);
    created.widget->setObjectName(QString::fromWCharArray(row.name));
    created.widget->setGeometry(Pixels(row.left), Pixels(row.top), Pixels(row.width),
                                Pixels(row.height));
    created.widget->setEnabled(row.enabled);
    if (previous != nullptr) {
      QWidget::setTabOrder(previous, created.widget);
    }
    previous = created.widget;
    m_controls.Add(std::move(created.control));
  }
  // A label's buddy is the control it names: Qt's accessibility takes the
  // control's name, or its labelled-by relation, from the label.
  for (const layout::ControlRow& row : layout::kControls) {
    if (row.names == nullptr) continue;
    window.findChild<QLabel*>(QString::fromWCharArray(row.name))
        ->setBuddy(window.findChild<QWidget*>(QString::fromWCharArray(row.names)));
  }
  window.findChild<QPushButton*>(QStringLiteral("btAttiva"))->setFocus(Qt::OtherFocusReason);
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
