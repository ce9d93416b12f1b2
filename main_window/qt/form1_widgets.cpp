#include "main_window/qt/form1_widgets.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <stdexcept>

#include "main_window/form1_layout.h"
#include "main_window/qt/caption_fit.h"

namespace corvane::qtui {
namespace {

// Qt lays widgets out in device-independent pixels and scales them for the
// screen itself, so twips convert at the 96 DPI reference.
constexpr int kReferenceDpi = 96;

int Pixels(int twips) { return layout::TwipsToPixels(twips, kReferenceDpi); }

QWidget* CreateControl(const layout::Control& control, QWidget& window) {
  const QString caption = QString::fromWCharArray(control.caption);
  QWidget* widget = nullptr;
  switch (control.kind) {
    case layout::Kind::PushButton:
      // '&' in the caption makes Alt+<letter> click the button.
      widget = new QPushButton(caption, &window);
      break;
    case layout::Kind::DropDownList: {
      auto* comboBox = new QComboBox(&window);
      comboBox->setEditable(false);
      for (const wchar_t* entry : layout::kInitialPortEntries) {
        comboBox->addItem(QString::fromWCharArray(entry));
      }
      comboBox->setCurrentIndex(-1);
      widget = comboBox;
      break;
    }
    case layout::Kind::Label: {
      auto* label = new QLabel(caption, &window);
      label->setTextFormat(Qt::PlainText);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      widget = label;
      break;
    }
    case layout::Kind::TextBox:
      widget = new QLineEdit(caption, &window);
      break;
  }
  if (widget == nullptr) {
    throw std::logic_error("layout table names an unknown kind of control");
  }
  widget->setObjectName(QString::fromWCharArray(control.name));
  widget->setGeometry(Pixels(control.left), Pixels(control.top), Pixels(control.width),
                      Pixels(control.height));
  widget->setEnabled(control.enabled);
  return widget;
}

template <typename Widget>
Widget* Find(QWidget& window, const wchar_t* name) {
  auto* widget =
      window.findChild<Widget*>(QString::fromWCharArray(name), Qt::FindDirectChildrenOnly);
  if (widget == nullptr) {
    throw std::logic_error("layout table lacks a control the window needs");
  }
  return widget;
}

}  // namespace

Form1Widgets BuildForm1Widgets(QWidget& window) {
  window.setWindowTitle(QString::fromWCharArray(layout::kWindowCaption));
  window.setFixedSize(Pixels(layout::kClientWidth), Pixels(layout::kClientHeight));
  FitFontToCaptions(window);

  // Widgets join the focus chain in creation order, which is the table's tab
  // order; setTabOrder keeps it so should a control ever be created elsewhere.
  QWidget* previous = nullptr;
  for (const layout::Control& control : layout::kControls) {
    QWidget* widget = CreateControl(control, window);
    if (previous != nullptr) {
      QWidget::setTabOrder(previous, widget);
    }
    previous = widget;
  }

  Form1Widgets widgets;
  widgets.btDisattiva = Find<QPushButton>(window, L"btDisattiva");
  widgets.btAttiva = Find<QPushButton>(window, L"btAttiva");
  widgets.cbCom = Find<QComboBox>(window, L"cbCom");
  widgets.Label2 = Find<QLabel>(window, L"Label2");
  widgets.Label4 = Find<QLabel>(window, L"Label4");
  widgets.Label5 = Find<QLabel>(window, L"Label5");
  widgets.Label1 = Find<QLabel>(window, L"Label1");
  widgets.Text1 = Find<QLineEdit>(window, L"Text1");
  widgets.Label3 = Find<QLabel>(window, L"Label3");
  widgets.Text2 = Find<QLineEdit>(window, L"Text2");
  widgets.btAttiva->setFocus(Qt::OtherFocusReason);
  return widgets;
}

}  // namespace corvane::qtui
