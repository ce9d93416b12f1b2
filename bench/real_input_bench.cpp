// corvane_real_input_bench LABEL WORK_FOLDER PROGRAM [ARGUMENTS...]: runs a Corvane
// beside the recording reader library in WORK_FOLDER, the STORM port preselected, and
// drives it through XTEST on $DISPLAY: Alt+S starts a storm, Alt+S or a click on Stop
// ends it, timed until TvxStop shows in calls.log.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <stdexcept>
#include <thread>

#include "form1_layout.h"
#include "measure.h"

namespace {

using namespace corvane::bench;
using namespace std::chrono_literals;
namespace layout = corvane::layout;

Display* g_display = nullptr;
Window g_window = 0;
pid_t g_program = 0;

// Wakes when a file in the work folder changes, within a fraction of a millisecond
// of calls.log showing `done`, and takes no processor from the program meanwhile;
// every 10 ms besides, for what no file tells: the window, the program's end.
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

Window FindWindow() {
  const std::wstring_view caption = layout::kWindowCaption;
  Window root = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  XQueryTree(g_display, DefaultRootWindow(g_display), &root, &root, &children, &count);
  Window found = 0;
  for (unsigned int index = 0; index < count; ++index) {
    char* name = nullptr;
    XWindowAttributes shown{};
    if (XFetchName(g_display, children[index], &name) != 0 &&
        std::string(name) == std::string(caption.begin(), caption.end()) &&
        XGetWindowAttributes(g_display, children[index], &shown) != 0 &&
        shown.map_state == IsViewable) {
      found = children[index];
    }
    XFree(name);
  }
  XFree(children);
  return found;
}

// At 96 DPI here, and with no window manager: Qt's X window is the client area,
// Wine's holds the frame it draws, borders left, right and below, caption above.
void PointAtStop() {
  const auto pixels = [](int twips) { return layout::TwipsToPixels(twips, layout::kReferenceDpi); };
  const layout::ControlRow& stop = layout::kControls[layout::IndexOf(L"btDisattiva")];
  XWindowAttributes window{};
  XGetWindowAttributes(g_display, g_window, &window);
  const int border = (window.width - pixels(layout::kClientWidth)) / 2;
  const int caption = window.height - pixels(layout::kClientHeight) - border;
  int x = 0;
  int y = 0;
  Window child = 0;
  XTranslateCoordinates(g_display, g_window, DefaultRootWindow(g_display),
                        border + pixels(stop.left + stop.width / 2),
                        caption + pixels(stop.top + stop.height / 2), &x, &y, &child);
  XTestFakeMotionEvent(g_display, -1, x, y, CurrentTime);
  XSync(g_display, False);
}

void Start(char** command) {
  if ((g_program = fork()) == 0) {
    dup2(STDERR_FILENO, STDOUT_FILENO);  // stdout carries the rows
    execvp(command[0], command);
    _exit(kBroken);
  }
  if ((g_display = XOpenDisplay(nullptr)) == nullptr) throw std::runtime_error("no X display");
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // windows come and go
  Await([] { return (g_window = FindWindow()) != 0; });
  // Without a window manager nothing gives it the keyboard.
  XRaiseWindow(g_display, g_window);
  XSetInputFocus(g_display, g_window, RevertToParent, CurrentTime);
  PointAtStop();
}

void PressAltS() {
  const KeyCode alt = XKeysymToKeycode(g_display, XK_Alt_L);
  const KeyCode s = XKeysymToKeycode(g_display, XK_s);
  for (const auto& [key, down] : {std::pair{alt, True}, {s, True}, {s, False}, {alt, False}}) {
    XTestFakeKeyEvent(g_display, key, down, CurrentTime);
  }
  XFlush(g_display);
}

void ClickStop() {
  XTestFakeButtonEvent(g_display, Button1, True, CurrentTime);
  XTestFakeButtonEvent(g_display, Button1, False, CurrentTime);
  XFlush(g_display);
}

// The window's process; under Wine a descendant, not the child.
std::filesystem::path Process() {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0;
  unsigned long left = 0;
  unsigned char* pid = nullptr;
  XGetWindowProperty(g_display, g_window, XInternAtom(g_display, "_NET_WM_PID", False), 0, 1, False,
                     XA_CARDINAL, &type, &format, &count, &left, &pid);
  if (count != 1) throw std::runtime_error("the window names no process");
  const std::filesystem::path process = "/proc/" + std::to_string(*reinterpret_cast<long*>(pid));
  XFree(pid);
  return process;
}

// As the operator closes it, so that Wine's helpers stay for the prefix's next program.
void Close() {
  const Atom protocols = XInternAtom(g_display, "WM_PROTOCOLS", False);
  XEvent event{.xclient = {ClientMessage, 0, False, g_display, g_window, protocols, 32, {}}};
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(g_display, "WM_DELETE_WINDOW", False));
  XSendEvent(g_display, g_window, False, NoEventMask, &event);
  XFlush(g_display);
  Await([] { return waitpid(g_program, nullptr, WNOHANG) == g_program; });
}

// Milliseconds from `input` to the first new `line` in calls.log.
double Timed(void (*input)(), const std::string& line) {
  const int before = Calls(line);
  const auto sent = std::chrono::steady_clock::now();
  input();
  Await([&] { return Calls(line) > before; });
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - sent).count();
}

// 20 Stops, each of a storm started with Alt+S that ran a little.
bool StopRow(void (*input)(), const std::string& figure) {
  std::vector<double> ms;
  for (int round = 0; round < 20; ++round) {
    Timed(&PressAltS, "TvxStartCallBack");
    std::this_thread::sleep_for(300ms);
    ms.push_back(Timed(input, "TvxStop"));
  }
  std::fprintf(stderr, "%s (ms): min %.1f, median %.1f, max %.1f\n", figure.c_str(),
               Percentile(ms, 1), Median(ms), Percentile(ms, 100));
  const double p99 = Percentile(ms, 99);
  return Print(figure + ", p99 of 20 (ms)", Fixed(p99, 1), "-", "-", "<= 100 ms", p99 <= 100);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 4 || chdir(argv[2]) != 0) {
    std::fprintf(stderr, "usage: %s LABEL WORK_FOLDER PROGRAM [ARGUMENTS...]\n", argv[0]);
    return kBroken;
  }
  const std::string label = argv[1];
  setenv("CORVANE_RECORDING_SELECTED", "STORM", 1);
  Start(argv + 3);
  Timed(&PressAltS, "TvxStartCallBack");
  std::this_thread::sleep_for(1s);
  const double early = ResidentMb(Process());
  std::this_thread::sleep_for(9s);
  const double late = ResidentMb(Process());
  bool met =
      Print(label + ": resident memory after 10 s of storm vs after 1 s (MB)", Fixed(late, 2),
            Fixed(early, 2), Ratio(late, early), "<= 1.05x", late <= early * 1.05);
  Timed(&PressAltS, "TvxStop");
  met &= StopRow(&PressAltS, label + ": storm, Alt+S to TvxStop");
  met &= StopRow(&ClickStop, label + ": storm, click on Stop to TvxStop");
  Close();
  const int afterStop = Calls("TvxGetLastCardData after TvxStop");
  met &= Print(label + ": notifications delivered after TvxStop returned",
               std::to_string(afterStop), "-", "-", "0", afterStop == 0);
  return met ? kGoalsMet : kGoalMissed;
}
