// A Qt plugin that answers the program's message boxes, for tests and scripts
// that run the real executable with no one at the screen. Qt loads it when
// named in QT_QPA_GENERIC_PLUGINS; the program itself knows nothing of it.
// Each box it answers is written to stderr, so the caller can read what was
// said, and so is each change of what the window shows: a line "state:" with
// the window's native id and, for each label, its caption and what the control
// it names shows. Named as "corvaneautoanswer:start", it also clicks Start
// once the window shows; as "corvaneautoanswer:start=PORT", it picks PORT
// first.
#include <QApplication>
#include <QComboBox>
#include <QGenericPlugin>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

namespace {

QString Shown(const QWidget* control) {
  if (const auto* box = qobject_cast<const QLineEdit*>(control)) return box->text();
  if (const auto* list = qobject_cast<const QComboBox*>(control)) return list->currentText();
  if (const auto* label = qobject_cast<const QLabel*>(control)) return label->text();
  return {};
}

QString State(QWidget& window) {
  QStringList state{QStringLiteral("window=%1").arg(window.winId())};
  for (const QLabel* label : window.findChildren<QLabel*>()) {
    if (label->buddy() != nullptr) state.append(label->text() + u'=' + Shown(label->buddy()));
  }
  return state.join(QStringLiteral("; "));
}

}  // namespace

class AutoAnswerPlugin final : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "auto_answer_plugin.json")

 public:
  QObject* create(const QString&, const QString& argument) override {
    auto* watch = new QTimer();
    const bool clickStart = argument.startsWith(QStringLiteral("start"));
    const QString port = argument.section(u'=', 1);
    QObject::connect(watch, &QTimer::timeout, [=, started = false, shown = QString()]() mutable {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box != nullptr && box->isVisible()) {
        std::fprintf(stderr, "answered: %s\n", qPrintable(box->text()));
        box->accept();
      }
      for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* start = window->findChild<QPushButton*>(QStringLiteral("btAttiva"));
        if (start == nullptr || !start->isVisible()) continue;
        if (clickStart && !started && start->isEnabled()) {
          auto* ports = window->findChild<QComboBox*>(QStringLiteral("cbCom"));
          if (!port.isEmpty()) ports->setCurrentIndex(ports->findText(port));
          started = true;
          start->click();
        }
        if (const QString state = State(*window); state != shown) {
          shown = state;
          std::fprintf(stderr, "state: %s\n", qPrintable(state));
        }
      }
    });
    watch->start(20);
    return watch;
  }
};

#include "auto_answer_plugin.moc"
