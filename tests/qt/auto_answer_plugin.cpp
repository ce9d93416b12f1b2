// A Qt plugin that answers the program's message boxes, for tests that run
// the real executable with no one at the screen. Qt loads it when the test
// names it in QT_QPA_GENERIC_PLUGINS; the program itself knows nothing of it.
// Each box it answers is written to stderr, so the test can read what was said.
#include <QApplication>
#include <QGenericPlugin>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

class AutoAnswerPlugin final : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "auto_answer_plugin.json")

 public:
  QObject* create(const QString&, const QString&) override {
    auto* watch = new QTimer();
    QObject::connect(watch, &QTimer::timeout, [] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box != nullptr && box->isVisible()) {
        std::fprintf(stderr, "answered: %s\n", qPrintable(box->text()));
        box->accept();
      }
    });
    watch->start(20);
    return watch;
  }
};

#include "auto_answer_plugin.moc"
