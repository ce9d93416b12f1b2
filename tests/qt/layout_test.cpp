// The window as built against the layout table.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QWindow>
#include <memory>
#include <string>

#include "fake_reader_library.h"
#include "form1_layout.h"
#include "qt_program.h"
#include "qt_test_support.h"

namespace corvane::qt {
namespace {

constexpr int kTwipsPerLogicalPixel = layout::kTwipsPerPixelAt96Dpi;

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

TEST(WindowLayout, EveryControlMatchesTheTable) {
  testing::FakeReaderLibrary library;
  testing::QtProgram program(library);
  QWidget& window = program.Window();
  const QStringList order = FocusChainOrder(window);
  for (std::size_t index = 0; index < layout::kControls.size(); ++index) {
    const layout::ControlRow& control = layout::kControls[index];
    SCOPED_TRACE(Name(control).toStdString());
    auto* widget = window.findChild<QWidget*>(Name(control));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget(), &window);
    // The table's twips are all multiples of 15 except some widths and
    // heights, which round to the nearest pixel.
    const QRect expected(qRound(control.left / double(kTwipsPerLogicalPixel)),
                         qRound(control.top / double(kTwipsPerLogicalPixel)),
                         qRound(control.width / double(kTwipsPerLogicalPixel)),
                         qRound(control.height / double(kTwipsPerLogicalPixel)));
    EXPECT_EQ(widget->geometry(), expected);
    EXPECT_EQ(widget->isEnabled(), control.enabled);
    EXPECT_EQ(order.indexOf(Name(control)), static_cast<int>(index))
        << order.join(u',').toStdString();
    EXPECT_TRUE(CaptionFits(control, *widget));

    const QString caption = QString::fromWCharArray(control.caption);
    switch (control.kind) {
      case layout::Kind::PushButton:
        ASSERT_NE(qobject_cast<QAbstractButton*>(widget), nullptr);
        EXPECT_EQ(qobject_cast<QAbstractButton*>(widget)->text(), caption);
        EXPECT_EQ(widget->focusPolicy(), Qt::StrongFocus);
        break;
      case layout::Kind::Label:
        ASSERT_NE(qobject_cast<QLabel*>(widget), nullptr);
        EXPECT_EQ(qobject_cast<QLabel*>(widget)->text(), caption);
        EXPECT_EQ(widget->focusPolicy(), Qt::NoFocus);
        break;
      case layout::Kind::TextBox:
        ASSERT_NE(qobject_cast<QLineEdit*>(widget), nullptr);
        EXPECT_EQ(qobject_cast<QLineEdit*>(widget)->text(), caption);
        EXPECT_FALSE(qobject_cast<QLineEdit*>(widget)->isReadOnly());
        break;
      case layout::Kind::DropDownList: {
        auto* comboBox = qobject_cast<QComboBox*>(widget);
        ASSERT_NE(comboBox, nullptr);
        EXPECT_FALSE(comboBox->isEditable());
        EXPECT_EQ(comboBox->currentIndex(), -1);
        QStringList entries, initial;
        for (int entry = 0; entry < comboBox->count(); ++entry) {
          entries.append(comboBox->itemText(entry));
        }
        for (const wchar_t* entry : layout::kInitialPortEntries) {
          initial.append(QString::fromWCharArray(entry));
        }
        EXPECT_EQ(entries, initial);
        break;
      }
    }
  }
}

// What a screen reader says for a control: Qt names a text box after its
// label, and on Linux relates every control to the label that names it.
TEST(WindowLayout, EachLabelNamesTheControlAfterIt) {
  testing::FakeReaderLibrary library;
  testing::QtProgram program(library);
  const struct {
    const char* control;
    const char* label;
    bool namedByLabel;
  } cases[] = {{"cbCom", "connected to", false},
               {"Text1", "Batch n.", true},
               {"Text2", "S.N.", true},
               {"Label5", "Status:", false}};
  for (const auto& [control, label, namedByLabel] : cases) {
    SCOPED_TRACE(control);
    QAccessibleInterface* named =
        QAccessible::queryAccessibleInterface(&program.Find<QWidget>(control));
    const auto labels = named->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels.front().first->text(QAccessible::Name), label);
    if (namedByLabel) {
      EXPECT_EQ(named->text(QAccessible::Name), label);
    }
  }
}

TEST(WindowLayout, CaptionAndFixedClientSize) {
  testing::FakeReaderLibrary library;
  testing::QtProgram program(library);
  QWidget& window = program.Window();
  ASSERT_TRUE(testing::ShowActive(window));
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Form1"));
  EXPECT_GE(window.windowIcon().availableSizes().size(), 2) << "the icon's sizes are missing";
  EXPECT_EQ(window.windowHandle()->title(), QStringLiteral("Form1"));
  EXPECT_EQ(window.size(), QSize(430, 184));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
}

}  // namespace
}  // namespace corvane::qt
