// A Qt plugin through which scripts/screenshot.sh drives the real program.
// Qt loads it when named in QT_QPA_GENERIC_PLUGINS, as
// "corvaneautoanswer:PORT"; the program itself knows nothing of it. Once the
// window shows, it picks PORT and clicks Start. On stderr it writes each
// message box it answers ("answered: TEXT") and, around each paint of the
// window, "painting" before and "state: window=ID; LABEL=SHOWN; ..." once the
// window system has the pixels, with what each label's control shows.
#include <QApplication>
#include <QComboBox>
#include <QGenericPlugin>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <cstdio>

namespace {

QString Shown(const QWidget* control) {
  if (const auto* box = qobject_cast<const QLineEdit*>(control)) return box->text();
  if (const auto* list = qobject_cast<const QComboBox*>(control)) return list->currentText();
  return static_cast<const QLabel*>(control)->text();
}

QString State(QWidget& window) {
  QStringList state{QStringLiteral("window=%1").arg(window.winId())};
  for (const QLabel* label : window.findChildren<QLabel*>()) {
    if (label->buddy() != nullptr) state.append(label->text() + u'=' + Shown(label->buddy()));
  }
  return state.join(QStringLiteral("; "));
}

class Watcher final : public QObject {
 public:
  explicit Watcher(const QString& port) : m_port(port) {
    connect(&m_timer, &QTimer::timeout, this, &Watcher::Look);
    m_timer.start(20);
  }

 private:
  void Look() {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      std::fprintf(stderr, "answered: %s\n", qPrintable(box->text()));
      box->accept();
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
      auto* start = window->findChild<QPushButton*>(QStringLiteral("btAttiva"));
      if (start == nullptr || !start->isVisible() || window == m_window) continue;
      m_window = window;
      window->installEventFilter(this);
      window->windowHandle()->installEventFilter(this);
      auto* ports = window->findChild<QComboBox*>(QStringLiteral("cbCom"));
      ports->setCurrentIndex(ports->findText(m_port));
      start->click();
    }
  }

  // The window paints when it is exposed, and its widgets through its update
  // requests.
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() != (object == m_window ? QEvent::UpdateRequest : QEvent::Expose)) {
      return false;
    }
    std::fputs("painting\n", stderr);
    object->event(event);
    QGuiApplication::sync();  // a round trip: the window system has the pixels
    std::fprintf(stderr, "state: %s\n", qPrintable(State(*m_window)));
    return true;
  }

  const QString m_port;
  QTimer m_timer;
  QWidget* m_window = nullptr;
};

}  // namespace

class AutoAnswerPlugin final : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "auto_answer_plugin.json")

 public:
  QObject* create(const QString&, const QString& argument) override {
    return new Watcher(argument);
  }
};

#include "auto_answer_plugin.moc"
