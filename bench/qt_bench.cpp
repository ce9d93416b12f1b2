// corvane_qt_bench startup|idle|badges: figures of the Qt program beside their floors.
//   startup  process creation to the first window painted, against the plain window
//   idle     CPU over 10 s of reading a silent port, against the plain window with the
//            focus in Text1, where Start hands it: all of it should be the caret
//   badges   a pseudo-terminal, the reader thread, ReaderCallBack, Form1 and Module1 to
//            the serial's paint: latency, against a thread blocked in read(); memory
#include <fcntl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <atomic>
#include <semaphore>
#include <stdexcept>
#include <thread>

#include "frames.h"
#include "measure.h"
#include "module1.h"
#include "pty_pair.h"
#include "qt_program.h"
#include "toolkit_front_end.h"

namespace {

using namespace corvane::bench;
using namespace std::chrono_literals;
using corvane::testing::PtyPair;
using Clock = std::chrono::steady_clock;
const std::filesystem::path kMe = "/proc/self";

// The program prints "exposed <steady_clock ns>" (expose_marker.cpp). No thread
// runs yet, so forking is safe.
double MsToWindow(const std::filesystem::path& program) {
  int output[2];
  if (::pipe(output) != 0) throw std::runtime_error("pipe failed");
  const std::chrono::nanoseconds startedNs = Clock::now().time_since_epoch();
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(output[1], STDOUT_FILENO);
    ::execl(program.c_str(), program.c_str(), nullptr);
    ::_exit(kBroken);
  }
  ::close(output[1]);
  char said[256] = "";
  ::read(output[0], said, sizeof said - 1);
  ::close(output[0]);
  int status = 1;
  ::waitpid(child, &status, 0);
  long long exposedNs = 0;
  if (std::sscanf(said, "exposed %lld", &exposedNs) != 1 || status != 0) {
    throw std::runtime_error(program.string() + " did not show its window: " + said);
  }
  return static_cast<double>(exposedNs - startedNs.count()) / 1e6;
}

bool Startup() {
  const auto here = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  const auto [value, floor] = MediansInTurns(
      50, [&] { return MsToWindow(here / "bench_corvane_startup"); },
      [&] { return MsToWindow(here / "bench_plain_qt"); });
  return Print("start-up to window shown, median of 50 (ms)", Fixed(value, 1), Fixed(floor, 1),
               Ratio(value, floor), "<= 1.05x", value <= floor * 1.05);
}

void RunEventsFor(std::chrono::milliseconds span) {
  QEventLoop loop;
  QTimer::singleShot(span, &loop, &QEventLoop::quit);
  loop.exec();
}

// A window never exposed would never paint, and nothing would be shown.
void WaitUntilExposed(const QWidget& window) {
  while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed()) RunEventsFor(5ms);
}

// The program's window over Module1 and the stand-in library beside this
// benchmark, its message boxes recorded, shown as on a desk.
class Program : public corvane::testing::QtProgram {
 public:
  Program() : QtProgram(corvane::Module1::Instance()) {
    if (!Open()) throw std::runtime_error("the window did not open: " + Problems());
    WaitUntilExposed(Window());
  }
  // Starts reading `port`, which the library need not list.
  void Start(const std::string& port) {
    auto& ports = Find<QComboBox>("cbCom");
    const QString name = QString::fromStdString(port);
    if (ports.findText(name) < 0) ports.addItem(name);
    ports.setCurrentIndex(ports.findText(name));
    Find<QPushButton>("btAttiva").click();
    if (!Find<QPushButton>("btDisattiva").isEnabled()) throw std::runtime_error(Problems());
  }
  void Stop() { Find<QPushButton>("btDisattiva").click(); }
  std::string Problems() const { return Messages().join("; ").toStdString(); }
};

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
  RunEventsFor(10s);
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
    RunEventsFor(10s);
    for (const auto& [thread, ms] : CpuMsByThread(kMe)) {
      const double spent = ms - (before.count(thread) != 0 ? before.at(thread) : 0);
      value += spent;
      if (threadsBeforeStart.count(thread) == 0) reader += spent;
    }
    if (!program.Messages().isEmpty()) throw std::runtime_error(program.Problems());
  }
  const double floor = (floorBefore + IdleFloorMs()) / 2;
  return Print("idle CPU while reading, 10 s, whole process (ms)", Fixed(value, 2), Fixed(floor, 2),
               Ratio(value, floor), "<= 1.1x", value <= floor * 1.1) &
         Print("  of which the reader thread (ms)", Fixed(reader, 2), "-", "-", "0.00",
               Fixed(reader, 2) == "0.00");
}

// Each badge new, so that the library reports each as an arrival.
std::string FrameOf(uint32_t badge) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%02X%08X", badge % 251, badge);
  return corvane::testing::Frame(hex);
}

// The moment the far side had the badge that the writer waits for.
struct Arrival {
  std::binary_semaphore arrived{0};
  Clock::time_point at;
  void Now() { at = Clock::now(), arrived.release(); }
  Clock::time_point Wait() { return arrived.acquire(), at; }
};

// The arrival at the first paint of the serial number box showing the
// awaited badge: the operator sees the number then, not before.
class ShownWatch final : public QObject, public Arrival {
 public:
  explicit ShownWatch(QLineEdit& box) : m_box(box) { box.installEventFilter(this); }
  void Await(uint32_t badge) { m_awaited = badge; }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && m_awaited >= 0 &&
        m_box.text() == QString::asprintf("%010lld", static_cast<long long>(m_awaited))) {
      m_awaited = -1;
      Now();
    }
    return false;
  }

 private:
  QLineEdit& m_box;
  std::atomic<int64_t> m_awaited = -1;
};

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
    const std::chrono::duration<double, std::milli> took = arrival.Wait() - sent;
    if (index >= kWarmUp) ms.push_back(took.count());
  }
}

// The slave opened as a plain raw reader would, with nothing waiting: the
// floor the program's latency is measured against.
int OpenRawSlave(const PtyPair& pty) {
  const int fd = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error("cannot open " + pty.SlavePath());
  termios raw = pty.Settings();
  ::cfmakeraw(&raw);
  ::tcsetattr(fd, TCSANOW, &raw);
  ::tcflush(fd, TCIFLUSH);
  return fd;
}

bool Latency(Program& program, PtyPair& pty) {
  std::vector<double> ms;
  std::vector<double> floorMs;
  for (int block = 0; block < 10; ++block) {
    const int slave = OpenRawSlave(pty);
    Arrival floorArrival;
    std::thread reader([&] {
      char bytes[256];
      for (int frames = 0; frames < kWarmUp + kPerBlock;) {
        const ssize_t count = ::read(slave, bytes, sizeof bytes);
        if (count <= 0) return;
        // One badge at a time: a frame's last byte ends a read.
        if (bytes[count - 1] == '\x03') ++frames, floorArrival.Now();
      }
    });
    SendOneByOne(floorArrival, floorMs, [&](uint32_t badge) { pty.Write(FrameOf(badge)); });
    reader.join();
    ::close(slave);

    program.Start(pty.SlavePath());
    ShownWatch watch(program.Find<QLineEdit>("Text2"));
    WhileLooping([&] {
      SendOneByOne(watch, ms,
                   [&](uint32_t badge) { watch.Await(badge), pty.Write(FrameOf(badge)); });
    });
    program.Stop();
  }
  const double value = Percentile(ms, 99);
  const double floor = Percentile(floorMs, 99);
  return Print("badge latency, p99 of 1000 (ms)", Fixed(value, 3), Fixed(floor, 3),
               Ratio(value, floor), "< floor + 1 ms", value < floor + 1);
}

// Memory after 100,000 badges written as fast as the terminal takes them,
// against before them (after the latency's, with their frames made).
bool Memory(Program& program, PtyPair& pty) {
  std::string frames;
  for (uint32_t badge = 0; badge < 100000; ++badge) frames += FrameOf(g_next++);
  program.Start(pty.SlavePath());
  ShownWatch watch(program.Find<QLineEdit>("Text2"));
  const double before = ResidentMb(kMe);
  watch.Await(g_next - 1);
  WhileLooping([&] { pty.Write(frames), watch.Wait(); });
  RunEventsFor(100ms);  // what was still queued behind the last badge
  const double after = ResidentMb(kMe);
  program.Stop();
  return Print("resident memory after 100,000 badges vs before (MB)", Fixed(after, 2),
               Fixed(before, 2), Ratio(after, before), "<= 1.05x", after <= before * 1.05);
}

bool Badges() {
  PtyPair pty;
  Program program;
  const bool met = Latency(program, pty) & Memory(program, pty);
  if (!program.Messages().isEmpty()) throw std::runtime_error(program.Problems());
  return met;
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::string figure = argc == 2 ? argv[1] : "";
  if (figure == "startup") return Startup() ? kGoalsMet : kGoalMissed;
  QApplication app(argc, argv);
  if (figure == "idle") return Idle() ? kGoalsMet : kGoalMissed;
  if (figure == "badges") return Badges() ? kGoalsMet : kGoalMissed;
  std::fprintf(stderr, "usage: %s startup|idle|badges\n", argv[0]);
  return kBroken;
}
