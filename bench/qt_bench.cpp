// corvane_qt_bench startup|idle|badges: one figure of the Qt program, each
// beside its floor taken in the same run, printed as rows (measure.h).
//   startup  from just before the process is created to its first window
//            exposed and painted, corvane against the plain window, in turns
//   idle     CPU over 10 s of reading a port where no badge comes, against
//            the plain window with the focus in Text1, where Start hands it,
//            over 10 s before and after: all of it should be the caret; the
//            reader thread, blocked on its port, should cost nothing at all
//   badges   a pseudo-terminal, the library's reader thread, ReaderCallBack,
//            the dispatcher, Form1 and Module1 to the serial number's paint:
//            latency one badge at a time against a plain thread blocked in
//            read(), in turns; resident memory after 100,000 badges written
//            as fast as the terminal takes them, against after 100
#include <spawn.h>
#include <sys/wait.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <atomic>
#include <ctime>
#include <semaphore>
#include <stdexcept>
#include <thread>

#include "frames.h"
#include "measure.h"
#include "module1.h"
#include "pty_pair.h"
#include "qt_front_end.h"
#include "qt_program.h"

extern char** environ;

namespace {

using namespace corvane::bench;
using namespace std::chrono_literals;
using corvane::testing::PtyPair;
using Clock = std::chrono::steady_clock;
const std::filesystem::path kMe = "/proc/self";

double MsToWindow(const std::filesystem::path& program) {
  int output[2];
  if (::pipe(output) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, output[0]);
  char* arguments[] = {const_cast<char*>(program.c_str()), nullptr};
  timespec started{};
  ::clock_gettime(CLOCK_MONOTONIC, &started);
  pid_t child = 0;
  const int spawned = ::posix_spawn(&child, program.c_str(), &actions, nullptr, arguments, environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(output[1]);
  std::string said;
  char chunk[256];
  for (ssize_t count; spawned == 0 && (count = ::read(output[0], chunk, sizeof chunk)) > 0;) {
    said.append(chunk, static_cast<std::size_t>(count));
  }
  ::close(output[0]);
  int status = 1;
  if (spawned == 0) ::waitpid(child, &status, 0);
  long long exposedNs = 0;
  if (std::sscanf(said.c_str(), "exposed %lld", &exposedNs) != 1 || status != 0) {
    throw std::runtime_error(program.string() + " did not show its window: " + said);
  }
  return static_cast<double>(exposedNs - started.tv_sec * 1000000000LL - started.tv_nsec) / 1e6;
}

bool Startup() {
  const auto here = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  std::vector<double> ms;
  std::vector<double> floorMs;
  // The first of each warms the page and font caches and does not count.
  for (int run = 0; run <= 20; ++run) {
    ms.push_back(MsToWindow(here / "bench_corvane_startup"));
    floorMs.push_back(MsToWindow(here / "bench_plain_qt"));
  }
  ms.erase(ms.begin());
  floorMs.erase(floorMs.begin());
  const double value = Median(ms);
  const double floor = Median(floorMs);
  return Print({"start-up to window shown, median of 20 (ms)", Fixed(value, 1), Fixed(floor, 1),
                Ratio(value, floor), "<= 1.05x", value <= floor * 1.05});
}

void RunEventsFor(std::chrono::milliseconds span) {
  QEventLoop loop;
  QTimer::singleShot(span, &loop, &QEventLoop::quit);
  loop.exec();
}

// A window never exposed would never paint, and nothing would be shown.
void WaitUntilExposed(const QWidget& window) {
  while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) {
    RunEventsFor(5ms);
  }
}

// The program's window over Module1 and the stand-in library beside this
// benchmark, its message boxes recorded, shown as on a desk.
class Program {
 public:
  Program() {
    if (!m_program.Open()) throw std::runtime_error("the window did not open: " + Problems());
    WaitUntilExposed(m_program.Window());
  }
  // Starts reading `port`, which the library need not list.
  void Start(const std::string& port) {
    auto& ports = m_program.Find<QComboBox>("cbCom");
    const QString name = QString::fromStdString(port);
    if (ports.findText(name) < 0) ports.addItem(name);
    ports.setCurrentIndex(ports.findText(name));
    m_program.Find<QPushButton>("btAttiva").click();
    if (!m_program.Find<QPushButton>("btDisattiva").isEnabled()) {
      throw std::runtime_error("reading did not start: " + Problems());
    }
  }
  void Stop() { m_program.Find<QPushButton>("btDisattiva").click(); }
  QLineEdit& Text(const char* name) const { return m_program.Find<QLineEdit>(name); }
  std::string Problems() const { return m_program.Messages().join("; ").toStdString(); }

 private:
  corvane::testing::QtProgram m_program{corvane::Module1::Instance()};
};

constexpr auto kIdleSpan = 10s;
constexpr auto kSettle = 500ms;  // start-up work is not idling

double IdleFloorMs() {
  corvane::qt::QtFrontEnd plain;
  plain.Show();
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!window->isVisible()) continue;
    WaitUntilExposed(*window);
    window->activateWindow();
    window->findChild<QWidget*>(QStringLiteral("Text1"))->setFocus(Qt::OtherFocusReason);
  }
  RunEventsFor(kSettle);
  const double before = CpuMs(kMe);
  RunEventsFor(kIdleSpan);
  return CpuMs(kMe) - before;
}

bool Idle() {
  // Before and after, so that a machine whose load drifts weighs on both sides.
  const double floorBefore = IdleFloorMs();
  double value = 0;
  double reader = 0;
  {
    PtyPair pty;
    Program program;
    const auto threadsBeforeStart = CpuMsByThread(kMe);
    program.Start(pty.SlavePath());
    RunEventsFor(kSettle);
    const auto before = CpuMsByThread(kMe);
    RunEventsFor(kIdleSpan);
    for (const auto& [thread, ms] : CpuMsByThread(kMe)) {
      const double spent = ms - (before.count(thread) != 0 ? before.at(thread) : 0);
      value += spent;
      if (threadsBeforeStart.count(thread) == 0) reader += spent;
    }
    if (!program.Problems().empty()) throw std::runtime_error(program.Problems());
  }
  const double floor = (floorBefore + IdleFloorMs()) / 2;
  return Print({"idle CPU while reading, 10 s, whole process (ms)", Fixed(value, 2),
                Fixed(floor, 2), Ratio(value, floor), "<= 1.1x", value <= floor * 1.1}) &
         Print({"  of which the reader thread (ms)", Fixed(reader, 2), "-", "-", "0.00",
                Fixed(reader, 2) == "0.00"});
}

// Each badge new, so the library reports each as an arrival; the batch byte
// cycles too, so a badge shown under the wrong batch is seen.
std::string FrameOf(uint32_t badge) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%02X%08X", badge % 251, badge);
  return corvane::testing::Frame(hex);
}
QString BatchOf(uint32_t badge) { return QString::asprintf("%03u", badge % 251); }
QString SerialOf(uint32_t badge) { return QString::asprintf("%010u", badge); }

// The moment the far side had the badge the writer waits for.
class Arrival {
 public:
  void Now() {
    m_at = Clock::now();
    m_arrived.release();
  }
  Clock::time_point Wait() {
    m_arrived.acquire();
    return m_at;
  }

 private:
  std::binary_semaphore m_arrived{0};
  Clock::time_point m_at;
};

// The arrival at the first paint of the serial number box showing the
// awaited badge: the operator sees the number then, not before.
class ShownWatch final : public QObject {
 public:
  explicit ShownWatch(QLineEdit& box) : m_box(box) { box.installEventFilter(this); }
  void Await(uint32_t badge) { m_awaited = badge; }
  Arrival arrival;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && m_awaited >= 0 && m_box.text() == SerialOf(m_awaited)) {
      m_awaited = -1;
      arrival.Now();
    }
    return false;
  }

 private:
  QLineEdit& m_box;
  std::atomic<int64_t> m_awaited = -1;
};

// Runs `write` on a thread of its own while the event loop runs.
template <typename Write>
void WhileLooping(Write write) {
  QEventLoop loop;
  std::thread writer([&] {
    write();
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  writer.join();
}

constexpr int kWarmUp = 5;
constexpr int kPerBlock = 100;
uint32_t g_next = 0;

// A block's badges one at a time, after a few that do not count. The clock
// starts before the frame's one write: the far side may wake before write()
// has returned.
template <typename Send>
void SendOneByOne(Arrival& arrival, std::vector<double>& ms, Send send) {
  for (int index = 0; index < kWarmUp + kPerBlock; ++index) {
    const auto sent = Clock::now();
    send(g_next++);
    const double took = std::chrono::duration<double, std::milli>(arrival.Wait() - sent).count();
    if (index >= kWarmUp) ms.push_back(took);
  }
}

void FloorBlock(PtyPair& pty, std::vector<double>& ms) {
  const int slave = pty.OpenRawSlave();
  Arrival arrival;
  std::thread reader([&] {
    char bytes[256];
    for (int frames = 0; frames < kWarmUp + kPerBlock;) {
      const ssize_t count = ::read(slave, bytes, sizeof bytes);
      for (ssize_t at = 0; at < count; ++at) {
        if (bytes[at] != '\x03') continue;
        ++frames;
        arrival.Now();
      }
      if (count <= 0) return;
    }
  });
  SendOneByOne(arrival, ms, [&](uint32_t badge) { pty.Write(FrameOf(badge)); });
  reader.join();
  ::close(slave);
}

bool Latency(Program& program, PtyPair& pty) {
  std::vector<double> ms;
  std::vector<double> floorMs;
  for (int block = 0; block < 10; ++block) {
    FloorBlock(pty, floorMs);
    program.Start(pty.SlavePath());
    ShownWatch watch(program.Text("Text2"));
    WhileLooping([&] {
      SendOneByOne(watch.arrival, ms, [&](uint32_t badge) {
        watch.Await(badge);
        pty.Write(FrameOf(badge));
      });
    });
    program.Stop();
  }
  std::fprintf(stderr, "badge latency, median (ms): %.3f, floor %.3f\n", Median(ms),
               Median(floorMs));
  const double value = Percentile(ms, 99);
  const double floor = Percentile(floorMs, 99);
  return Print({"badge latency, p99 of " + std::to_string(ms.size()) + " (ms)", Fixed(value, 3),
                Fixed(floor, 3), Ratio(value, floor), "< floor + 1 ms",
                program.Text("Text1").text() == BatchOf(g_next - 1) && value < floor + 1});
}

bool Memory(Program& program, PtyPair& pty) {
  constexpr uint32_t kFirst = 100;
  constexpr uint32_t kAll = 100000;
  program.Start(pty.SlavePath());
  ShownWatch watch(program.Text("Text2"));
  const auto sendAndWait = [&](uint32_t from, uint32_t to) {
    watch.Await(to - 1);
    std::string frames;
    for (uint32_t badge = from; badge < to; ++badge) frames += FrameOf(badge);
    pty.Write(frames);
    watch.arrival.Wait();
  };
  double first = 0;
  WhileLooping([&] {
    sendAndWait(0, kFirst);
    first = ResidentMb(kMe);
    sendAndWait(kFirst, kAll);
  });
  RunEventsFor(100ms);  // what was still queued behind the last badge
  const double all = ResidentMb(kMe);
  program.Stop();
  return Print({"resident memory after 100,000 badges vs after 100 (MB)", Fixed(all, 2),
                Fixed(first, 2), Ratio(all, first), "<= 1.05x, last shown",
                program.Text("Text1").text() == BatchOf(kAll - 1) && all <= first * 1.05});
}

bool Badges() {
  PtyPair pty;
  Program program;
  const bool met = Latency(program, pty) & Memory(program, pty);
  if (!program.Problems().empty()) throw std::runtime_error(program.Problems());
  return met;
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::string figure = argc == 2 ? argv[1] : "";
  if (figure == "startup") return Startup() ? 0 : 1;
  QApplication app(argc, argv);
  if (figure == "idle") return Idle() ? 0 : 1;
  if (figure == "badges") return Badges() ? 0 : 1;
  std::fprintf(stderr, "usage: %s startup|idle|badges\n", argv[0]);
  return 2;
}
