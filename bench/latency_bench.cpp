// Badge latency: from the moment a frame goes into the pseudo-terminal to the
// paint of the serial number box showing it, through the stand-in library's
// reader thread, ReaderCallBack, the Qt dispatcher, Form1 and Module1. The
// floor is a plain thread blocked in read() on the same terminal.
#include <unistd.h>

#include <QEvent>
#include <QEventLoop>
#include <QLineEdit>
#include <QMetaObject>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "badge_frames.h"
#include "benches.h"
#include "figure_table.h"
#include "pty_pair.h"
#include "sample_stats.h"
#include "stall_guard.h"
#include "window_under_test.h"

namespace corvane::bench {
namespace {

using testing::PtyPair;

using Clock = std::chrono::steady_clock;

constexpr uint32_t kWarmUpBadges = 5;
constexpr uint32_t kMeasuredBadges = 1000;
// Floor and program take turns in blocks, so a busy stretch of a shared
// machine lands on both rather than on whichever ran then.
constexpr uint32_t kBlocks = 10;
constexpr uint32_t kBadgesPerBlock = kMeasuredBadges / kBlocks;
constexpr double kGoalAboveFloorMs = 1.0;

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

// One badge in flight at a time: the writer sends, then waits until the far
// side says it has it.
class Handshake {
 public:
  void Arrived(Clock::time_point at) {
    {
      std::lock_guard lock(m_mutex);
      ++m_arrived;
      m_lastArrival = at;
    }
    m_changed.notify_all();
  }
  Clock::time_point WaitFor(uint32_t count) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_arrived >= count; });
    return m_lastArrival;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  uint32_t m_arrived = 0;
  Clock::time_point m_lastArrival;
};

// Every badge sent is new, so the library reports each as an arrival.
uint32_t g_nextBadge = 0;

// Sends warm-up + per-block badges one at a time and adds the latencies of
// all but the warm-up to `latencies`. The clock starts just before the
// frame's one write(): the far side may wake before write() has returned.
template <typename Send>
void SendOneByOne(Handshake& handshake, std::vector<double>& latencies, Send send) {
  for (uint32_t index = 0; index < kWarmUpBadges + kBadgesPerBlock; ++index) {
    const BenchBadge badge = MakeBadge(g_nextBadge++);
    const Clock::time_point sent = Clock::now();
    send(badge);
    const Clock::time_point arrived = handshake.WaitFor(index + 1);
    if (index >= kWarmUpBadges) latencies.push_back(Milliseconds(arrived - sent));
  }
}

void AddFloorBlock(PtyPair& pty, std::vector<double>& latencies) {
  const int slave = pty.OpenRawSlave();
  Handshake handshake;
  std::thread reader([&] {
    char bytes[256];
    for (uint32_t frames = 0; frames < kWarmUpBadges + kBadgesPerBlock;) {
      const ssize_t count = ::read(slave, bytes, sizeof bytes);
      if (count <= 0) return;
      for (ssize_t index = 0; index < count; ++index) {
        if (bytes[index] == '\x03') {
          ++frames;
          handshake.Arrived(Clock::now());
        }
      }
    }
  });
  SendOneByOne(handshake, latencies, [&](const BenchBadge& badge) { pty.Write(badge.frame); });
  reader.join();
  ::close(slave);
}

// Arms on the serial number box taking the expected text and reports the
// arrival at its next paint: the operator sees the number then, not before.
class ShownWatch final : public QObject {
 public:
  ShownWatch(QLineEdit& box, Handshake& handshake) : m_box(box), m_handshake(handshake) {
    box.installEventFilter(this);
    connect(&box, &QLineEdit::textChanged, this, [this](const QString& text) {
      std::lock_guard lock(m_mutex);
      if (text == m_expected) m_armed = true;
    });
  }
  void Expect(const std::string& serial) {
    std::lock_guard lock(m_mutex);
    m_expected = QString::fromStdString(serial);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &m_box && event->type() == QEvent::Paint) {
      bool arrived = false;
      {
        std::lock_guard lock(m_mutex);
        arrived = std::exchange(m_armed, false);
      }
      if (arrived) m_handshake.Arrived(Clock::now());
    }
    return false;
  }

 private:
  QLineEdit& m_box;
  Handshake& m_handshake;
  std::mutex m_mutex;
  QString m_expected;
  bool m_armed = false;
};

void AddProgramBlock(WindowUnderTest& window, PtyPair& pty, std::vector<double>& latencies) {
  window.ClickStart();
  Handshake handshake;
  ShownWatch watch(window.Text2(), handshake);
  QEventLoop loop;
  std::thread writer([&] {
    SendOneByOne(handshake, latencies, [&](const BenchBadge& badge) {
      watch.Expect(badge.serial);
      pty.Write(badge.frame);
    });
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  writer.join();
  window.ClickStop();
}

}  // namespace

bool RunLatencyBench() {
  StallGuard guard("badge latency", std::chrono::seconds(300));
  PtyPair pty;
  WindowUnderTest window;
  window.ChoosePort(pty.SlavePath());

  std::vector<double> floor;
  std::vector<double> program;
  for (uint32_t block = 0; block < kBlocks; ++block) {
    AddFloorBlock(pty, floor);
    AddProgramBlock(window, pty, program);
  }

  const BenchBadge last = MakeBadge(g_nextBadge - 1);
  const bool intact = window.Problems().isEmpty() &&
                      window.Text1().text().toStdString() == last.batch &&
                      window.Text2().text().toStdString() == last.serial;

  const double medianValue = Median(program);
  const double medianFloor = Median(floor);
  const double p99Value = Percentile(program, 99);
  const double p99Floor = Percentile(floor, 99);
  const std::string badges = std::to_string(kMeasuredBadges);
  PrintRow({"badge latency, median of " + badges + " (ms)", Fixed(medianValue, 3),
            Fixed(medianFloor, 3), Ratio(medianValue, medianFloor), "-", std::nullopt});
  const bool met = intact && p99Value - p99Floor < kGoalAboveFloorMs;
  PrintRow({"badge latency, p99 of " + badges + " (ms)", Fixed(p99Value, 3), Fixed(p99Floor, 3),
            Ratio(p99Value, p99Floor), "< floor + 1 ms", met});
  if (!window.Problems().isEmpty()) {
    std::fprintf(stderr, "latency: %s\n", qPrintable(window.Problems().join("; ")));
  }
  return met;
}

}  // namespace corvane::bench
