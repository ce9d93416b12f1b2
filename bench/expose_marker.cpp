#include "expose_marker.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <cstdio>
#include <ctime>

namespace corvane::bench {
namespace {

class FirstExposure final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose && !m_seen) {
      m_seen = true;
      // Queued behind the expose itself, which is where the window paints.
      QTimer::singleShot(0, this, [] {
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf("exposed %lld\n",
                    static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        std::fflush(stdout);
        QCoreApplication::exit(0);
      });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool m_seen = false;
};

}  // namespace

void MarkFirstExposure(QCoreApplication& app) { app.installEventFilter(new FirstExposure(&app)); }

}  // namespace corvane::bench
