// Throughput and memory: 100,000 badges written as fast as the pseudo-terminal
// takes them. The window must end on the last badge sent, and resident memory
// once it has must be within 5% of what it was after the first 100. The floor
// is a plain thread reading the same stream from the same terminal.
#include <unistd.h>

#include <QEventLoop>
#include <QLineEdit>
#include <QMetaObject>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "badge_frames.h"
#include "benches.h"
#include "figure_table.h"
#include "process_counters.h"
#include "pty_pair.h"
#include "stall_guard.h"
#include "window_under_test.h"

namespace corvane::bench {
namespace {

using testing::PtyPair;

using Clock = std::chrono::steady_clock;

constexpr uint32_t kBadges = 100000;
constexpr uint32_t kFirstBatch = 100;
constexpr double kGoalMemoryRatio = 1.05;
// Frames go out in large writes so the writer is never the slow side.
constexpr std::size_t kWriteChunk = 64 * 1024;

void SendBadges(PtyPair& pty, uint32_t from, uint32_t to) {
  std::string chunk;
  for (uint32_t number = from; number < to; ++number) {
    chunk += MakeBadge(number).frame;
    if (chunk.size() >= kWriteChunk) {
      pty.Write(chunk);
      chunk.clear();
    }
  }
  pty.Write(chunk);
}

double BadgesPerSecond(uint32_t badges, Clock::duration took) {
  return badges / std::chrono::duration<double>(took).count();
}

double FloorBadgesPerSecond(PtyPair& pty) {
  const int slave = pty.OpenRawSlave();
  std::thread reader([&] {
    char bytes[4096];
    for (uint32_t frames = 0; frames < kBadges;) {
      const ssize_t count = ::read(slave, bytes, sizeof bytes);
      if (count <= 0) return;
      for (ssize_t index = 0; index < count; ++index) frames += bytes[index] == '\x03';
    }
  });
  const auto started = Clock::now();
  SendBadges(pty, 0, kBadges);
  reader.join();
  const auto took = Clock::now() - started;
  ::close(slave);
  return BadgesPerSecond(kBadges, took);
}

// Wakes the writer when the serial number box shows a given badge.
class ShownSerial {
 public:
  explicit ShownSerial(QLineEdit& box) {
    QObject::connect(&box, &QLineEdit::textChanged, &box, [this](const QString& text) {
      {
        std::lock_guard lock(m_mutex);
        m_shown = text;
      }
      m_changed.notify_all();
    });
  }
  void WaitFor(const std::string& serial) {
    const QString wanted = QString::fromStdString(serial);
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_shown == wanted; });
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  QString m_shown;
};

}  // namespace

bool RunThroughputBench() {
  StallGuard guard("100,000 badges", std::chrono::seconds(400));
  PtyPair pty;
  const double floorRate = FloorBadgesPerSecond(pty);

  WindowUnderTest window;
  window.ChoosePort(pty.SlavePath());
  window.ClickStart();
  ShownSerial shown(window.Text2());

  std::size_t residentAfterFirst = 0;
  std::size_t residentAfterAll = 0;
  Clock::duration took{};
  QEventLoop loop;
  std::thread writer([&] {
    const auto started = Clock::now();
    SendBadges(pty, 0, kFirstBatch);
    shown.WaitFor(MakeBadge(kFirstBatch - 1).serial);
    residentAfterFirst = ResidentBytes();
    SendBadges(pty, kFirstBatch, kBadges);
    shown.WaitFor(MakeBadge(kBadges - 1).serial);
    took = Clock::now() - started;
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  writer.join();
  // Whatever was still queued behind the last badge runs before we look.
  QCoreApplication::processEvents();
  residentAfterAll = ResidentBytes();
  window.ClickStop();

  const BenchBadge last = MakeBadge(kBadges - 1);
  const bool lastShown = window.Text1().text().toStdString() == last.batch &&
                         window.Text2().text().toStdString() == last.serial &&
                         window.Problems().isEmpty();
  const double rate = BadgesPerSecond(kBadges, took);
  PrintRow({"100,000 badges: rate, last badge shown (badges/s)", Fixed(rate, 0),
            Fixed(floorRate, 0), Ratio(rate, floorRate), "last shown = last sent, no crash",
            lastShown});

  const double afterAllMb = static_cast<double>(residentAfterAll) / (1024 * 1024);
  const double afterFirstMb = static_cast<double>(residentAfterFirst) / (1024 * 1024);
  const bool memoryMet = afterAllMb <= afterFirstMb * kGoalMemoryRatio;
  PrintRow({"resident memory after 100,000 vs after 100 (MB)", Fixed(afterAllMb, 2),
            Fixed(afterFirstMb, 2), Ratio(afterAllMb, afterFirstMb), "<= 1.05x", memoryMet});
  if (!window.Problems().isEmpty()) {
    std::fprintf(stderr, "throughput: %s\n", qPrintable(window.Problems().join("; ")));
  }
  return lastShown && memoryMet;
}

}  // namespace corvane::bench
