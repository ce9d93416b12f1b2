#include "plain_window.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "form1_layout.h"
#include "qt_caption_fit.h"

namespace corvane::bench {
namespace {

int Pixels(int twips) { return layout::TwipsToPixels(twips, layout::kReferenceDpi); }

QWidget* MakeWidget(const layout::ControlRow& row, QWidget& window) {
  const QString caption = QString::fromWCharArray(row.caption);
  switch (row.kind) {
    case layout::Kind::PushButton:
      return new QPushButton(caption, &window);
    case layout::Kind::DropDownList: {
      auto* comboBox = new QComboBox(&window);
      for (const wchar_t* entry : layout::kInitialPortEntries) {
        comboBox->addItem(QString::fromWCharArray(entry));
      }
      return comboBox;
    }
    case layout::Kind::Label:
      return new QLabel(caption, &window);
    case layout::Kind::TextBox:
      break;
  }
  return new QLineEdit(caption, &window);
}

}  // namespace

std::unique_ptr<QWidget> MakePlainWindow() {
  auto window = std::make_unique<QWidget>();
  window->setWindowTitle(QString::fromWCharArray(layout::kWindowCaption));
  window->setFixedSize(Pixels(layout::kClientWidth), Pixels(layout::kClientHeight));
  qt::FitFontToCaptions(*window);
  for (const layout::ControlRow& row : layout::kControls) {
    QWidget* widget = MakeWidget(row, *window);
    widget->setObjectName(QString::fromWCharArray(row.name));
    widget->setGeometry(Pixels(row.left), Pixels(row.top), Pixels(row.width), Pixels(row.height));
    widget->setEnabled(row.enabled);
  }
  window->findChild<QWidget*>(QStringLiteral("btAttiva"))->setFocus(Qt::OtherFocusReason);
  return window;
}

}  // namespace corvane::bench
