// The window as built against the layout table.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "expected_layout.h"
#include "fake_reader_library.h"
#include "form1_layout.h"
#include "qt_program.h"
#include "qt_test_support.h"

namespace corvane::qt {
namespace {

QString Name(const layout::ControlRow& control) { return QString::fromWCharArray(control.name); }

// The controls of the table in the order the window's focus chain visits them.
QStringList FocusChainOrder(QWidget& window) {
  QStringList order;
  for (QWidget* widget = window.nextInFocusChain(); widget != &window;
       widget = widget->nextInFocusChain()) {
    for (const layout::ControlRow& control : layout::kControls) {
      if (widget->objectName() == Name(control) && !order.contains(widget->objectName())) {
        order.append(widget->objectName());
      }
    }
  }
  return order;
}

// A caption cut off by its control's edge is one the operator cannot read,
// whatever font the platform picks.
bool CaptionFits(const layout::ControlRow& control, const QWidget& widget) {
  const QString caption = QString::fromWCharArray(control.caption).remove(u'&');
  if (control.kind == layout::Kind::Label) {
    return widget.fontMetrics().horizontalAdvance(caption) <= widget.contentsRect().width();
  }
  // A button's size hint is the caption plus the frame the style draws.
  return control.kind != layout::Kind::PushButton || widget.sizeHint().width() <= widget.width();
}

TEST(WindowLayout, TheWindowAndEveryControlAsDesigned) {
  testing::FakeReaderLibrary library;
  testing::QtProgram program(library);
  QWidget& window = program.Window();
  ASSERT_TRUE(testing::ShowActive(window));
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Form1"));
  EXPECT_GE(window.windowIcon().availableSizes().size(), 2) << "the icon's sizes are missing";
  EXPECT_EQ(window.size(), QSize(430, 184));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  const QStringList order = FocusChainOrder(window);
  for (std::size_t index = 0; index < testing::kExpectedControls.size(); ++index) {
    const testing::ExpectedControl& control = testing::kExpectedControls[index];
    const QString name = QString::fromLatin1(control.name);
    SCOPED_TRACE(control.name);
    auto* widget = window.findChild<QWidget*>(name);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget(), &window);
    // Twips to pixels at 96 DPI, rounded to the nearest pixel.
    EXPECT_EQ(widget->geometry(),
              QRect(qRound(control.left / 15.0), qRound(control.top / 15.0),
                    qRound(control.width / 15.0), qRound(control.height / 15.0)));
    EXPECT_EQ(widget->isEnabled(), control.enabled);
    EXPECT_EQ(order.indexOf(name), static_cast<int>(index)) << order.join(u',').toStdString();
    EXPECT_TRUE(CaptionFits(layout::kControls[index], *widget));
    // What a screen reader says: on Linux every control is related to the
    // label that names it, and a text box takes that label's caption as its name.
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    const auto labels = accessible->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), control.label != nullptr ? 1 : 0);
    if (control.label != nullptr) {
      EXPECT_EQ(labels.front().first->object(), &program.Find<QLabel>(control.label));
    }

    // The kind by the name's prefix; every kind but the label takes the focus.
    const char* kinds[][2] = {
        {"bt", "QPushButton"}, {"Label", "QLabel"}, {"Text", "QLineEdit"}, {"cb", "QComboBox"}};
    for (const auto& [prefix, kind] : kinds) {
      EXPECT_TRUE(!name.startsWith(QString::fromLatin1(prefix)) || widget->inherits(kind));
    }
    EXPECT_EQ((widget->focusPolicy() & Qt::TabFocus) != 0, !qobject_cast<QLabel*>(widget));
    if (auto* comboBox = qobject_cast<QComboBox*>(widget)) {
      EXPECT_FALSE(comboBox->isEditable());
      EXPECT_EQ(comboBox->currentIndex(), -1);
      QStringList entries, expected;
      for (int entry = 0; entry < comboBox->count(); ++entry) {
        entries.append(comboBox->itemText(entry));
      }
      for (const wchar_t* entry : testing::kExpectedInitialEntries) {
        expected.append(QString::fromWCharArray(entry));
      }
      EXPECT_EQ(entries, expected);
    } else {
      EXPECT_EQ(widget->property("text").toString(), QString::fromWCharArray(control.caption));
      EXPECT_FALSE(widget->property("readOnly").toBool());
    }
    if (qobject_cast<QLineEdit*>(widget)) {
      EXPECT_EQ(accessible->text(QAccessible::Name), labels.front().first->text(QAccessible::Name));
    }
  }
}

}  // namespace
}  // namespace corvane::qt
