// corvane_real_input_bench LABEL WORK_FOLDER PROGRAM [ARGUMENTS...]
// Runs PROGRAM, a Corvane beside the recording reader library, in WORK_FOLDER
// with the STORM port preselected, and drives it through XTEST on $DISPLAY as
// an operator would: Alt+S starts a storm, Alt+S or a click on Stop ends it,
// timed until TvxStop shows in calls.log. Prints its rows; scripts/bench.sh
// ends it should it hang.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <thread>

#include "form1_layout.h"
#include "measure.h"

namespace {

using namespace corvane::bench;
using namespace std::chrono_literals;
namespace layout = corvane::layout;

constexpr int kTries = 20;
constexpr auto kStormBeforeStop = 300ms;
constexpr double kGoalMs = 100;
constexpr double kGoalMemoryRatio = 1.05;

// Wakes as soon as a file in the work folder changes, so that it returns
// within a fraction of a millisecond of calls.log showing `done`, without
// taking the processor from the program meanwhile; wakes every 10 ms besides,
// for what no file change tells: the window, the program's end.
void Await(const std::function<bool()>& done) {
  static const int changes = [] {
    const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    inotify_add_watch(fd, ".", IN_MODIFY | IN_CREATE);
    return fd;
  }();
  while (!done()) {
    pollfd change{changes, POLLIN, 0};
    poll(&change, 1, 10);
    char events[4096];
    while (read(changes, events, sizeof events) > 0) continue;
  }
}

// Lines of calls.log that read `line`; the Windows library ends them with CR LF.
int Calls(const std::string& line) {
  std::ifstream log("calls.log");
  int count = 0;
  for (std::string text; std::getline(log, text);) count += text == line || text == line + '\r';
  return count;
}

// The program's window, found by its caption, and the operator's keyboard and mouse.
class Program {
 public:
  explicit Program(std::vector<char*> command) : m_display(XOpenDisplay(nullptr)), m_pid(fork()) {
    if (m_pid == 0) {
      setpgid(0, 0);
      dup2(STDERR_FILENO, STDOUT_FILENO);  // stdout carries the rows
      command.push_back(nullptr);
      execvp(command[0], command.data());
      _exit(127);
    }
    if (m_display == nullptr || m_pid < 0) throw std::runtime_error("no X display, or no fork");
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // windows come and go
    Await([this] { return (m_window = FindWindow()) != 0; });
    // Without a window manager nothing gives it the keyboard.
    XRaiseWindow(m_display, m_window);
    XSetInputFocus(m_display, m_window, RevertToParent, CurrentTime);
    PointAtStop();
  }
  // With all it started, Wine's helpers included, unless it ended first.
  ~Program() {
    if (m_pid > 0) kill(-m_pid, SIGKILL), waitpid(m_pid, nullptr, 0);
    XCloseDisplay(m_display);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  void PressAltS() {
    const KeyCode alt = XKeysymToKeycode(m_display, XK_Alt_L);
    const KeyCode s = XKeysymToKeycode(m_display, XK_s);
    for (const auto& [key, down] : {std::pair{alt, True}, {s, True}, {s, False}, {alt, False}}) {
      XTestFakeKeyEvent(m_display, key, down, CurrentTime);
    }
    XFlush(m_display);
  }
  void ClickStop() {
    XTestFakeButtonEvent(m_display, Button1, True, CurrentTime);
    XTestFakeButtonEvent(m_display, Button1, False, CurrentTime);
    XFlush(m_display);
  }

  // Under Wine the window's process is a descendant, not the child.
  std::string Pid() {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(m_display, m_window, XInternAtom(m_display, "_NET_WM_PID", False), 0, 1,
                       False, XA_CARDINAL, &type, &format, &count, &left, &data);
    const long pid = count == 1 ? *reinterpret_cast<long*>(data) : 0;
    XFree(data);
    return pid > 0 ? std::to_string(pid) : throw std::runtime_error("the window names no process");
  }

  // As the operator closes it, so that Wine's helper processes, started with
  // it, stay for the prefix's next program.
  void Close() {
    const Atom protocols = XInternAtom(m_display, "WM_PROTOCOLS", False);
    XEvent event{.xclient = {ClientMessage, 0, False, m_display, m_window, protocols, 32, {}}};
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
    XSendEvent(m_display, m_window, False, NoEventMask, &event);
    XFlush(m_display);
    Await([this] { return waitpid(m_pid, nullptr, WNOHANG) == m_pid; });
    m_pid = 0;
  }

 private:
  Window FindWindow() {
    const std::wstring_view caption = layout::kWindowCaption;
    Window root = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    XQueryTree(m_display, DefaultRootWindow(m_display), &root, &root, &children, &count);
    Window found = 0;
    for (unsigned int index = 0; index < count; ++index) {
      char* name = nullptr;
      XWindowAttributes shown{};
      if (XFetchName(m_display, children[index], &name) != 0 &&
          std::string(name) == std::string(caption.begin(), caption.end()) &&
          XGetWindowAttributes(m_display, children[index], &shown) != 0 &&
          shown.map_state == IsViewable) {
        found = children[index];
      }
      XFree(name);
    }
    XFree(children);
    return found;
  }

  // Both programs lay out at 96 DPI here. Without a window manager Qt's X
  // window is the client area itself, while Wine's holds the frame it draws:
  // borders of one width left, right and below, the caption above. So the
  // client area's offset follows from the X window's size against the client's.
  void PointAtStop() {
    const auto pixels = [](int twips) {
      return layout::TwipsToPixels(twips, layout::kReferenceDpi);
    };
    const layout::ControlRow& stop = layout::kControls[layout::IndexOf(L"btDisattiva")];
    XWindowAttributes window{};
    XGetWindowAttributes(m_display, m_window, &window);
    const int border = (window.width - pixels(layout::kClientWidth)) / 2;
    const int caption = window.height - pixels(layout::kClientHeight) - border;
    if (border < 0 || caption < 0)
      throw std::runtime_error("the window is smaller than its client");
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(m_display, m_window, DefaultRootWindow(m_display),
                          border + pixels(stop.left + stop.width / 2),
                          caption + pixels(stop.top + stop.height / 2), &x, &y, &child);
    XTestFakeMotionEvent(m_display, -1, x, y, CurrentTime);
    XSync(m_display, False);
  }

  Display* m_display;
  pid_t m_pid;
  Window m_window = 0;
};

// Milliseconds from `input` to the first new `line` in calls.log.
double Timed(Program& program, void (Program::*input)(), const std::string& line) {
  const int before = Calls(line);
  const auto sent = std::chrono::steady_clock::now();
  (program.*input)();
  Await([&] { return Calls(line) > before; });
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - sent).count();
}

// kTries Stops, each of a storm started with Alt+S that ran a little.
bool StopRow(Program& program, void (Program::*input)(), const std::string& figure) {
  std::vector<double> ms;
  for (int round = 0; round < kTries; ++round) {
    Timed(program, &Program::PressAltS, "TvxStartCallBack");
    std::this_thread::sleep_for(kStormBeforeStop);
    ms.push_back(Timed(program, input, "TvxStop"));
  }
  std::fprintf(stderr, "%s (ms): min %.1f, median %.1f, max %.1f\n", figure.c_str(),
               Percentile(ms, 1), Median(ms), Percentile(ms, 100));
  const double p99 = Percentile(ms, 99);
  return Print({figure + ", p99 of " + std::to_string(kTries) + " (ms)", Fixed(p99, 1), "-", "-",
                "<= 100 ms", p99 <= kGoalMs});
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 4 || chdir(argv[2]) != 0) {
    std::fprintf(stderr, "usage: %s LABEL WORK_FOLDER PROGRAM [ARGUMENTS...]\n", argv[0]);
    return 2;
  }
  const std::string label = argv[1];
  setenv("CORVANE_RECORDING_SELECTED", "STORM", 1);
  Program program({argv + 3, argv + argc});
  Timed(program, &Program::PressAltS, "TvxStartCallBack");
  std::this_thread::sleep_for(1s);
  const double early = ResidentMb("/proc/" + program.Pid());
  std::this_thread::sleep_for(9s);
  const double late = ResidentMb("/proc/" + program.Pid());
  bool met =
      Print({label + ": resident memory after 10 s of storm vs after 1 s (MB)", Fixed(late, 2),
             Fixed(early, 2), Ratio(late, early), "<= 1.05x", late <= early * kGoalMemoryRatio});
  Timed(program, &Program::PressAltS, "TvxStop");
  met &= StopRow(program, &Program::PressAltS, label + ": storm, Alt+S to TvxStop");
  met &= StopRow(program, &Program::ClickStop, label + ": storm, click on Stop to TvxStop");
  program.Close();
  const int afterStop = Calls("TvxGetLastCardData after TvxStop");
  met &= Print({label + ": notifications delivered after TvxStop returned",
                std::to_string(afterStop), "-", "-", "0", afterStop == 0});
  return met ? 0 : 1;
}
