// Form1's widgets, built from the layout table.
#pragma once

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace corvane::qtui {

struct Form1Widgets {
  QPushButton* btDisattiva = nullptr;
  QPushButton* btAttiva = nullptr;
  QComboBox* cbCom = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* Text1 = nullptr;
  QLabel* Label3 = nullptr;
  QLineEdit* Text2 = nullptr;
};

// Gives `window` its caption, its fixed client size and a font that its
// captions fit in, and creates every control of the layout table as its
// child: object name, position, size, caption, initial state and tab order as
// the table says, the port list with its initial entries and nothing
// selected, the first focus on Start.
Form1Widgets BuildForm1Widgets(QWidget& window);

}  // namespace corvane::qtui
