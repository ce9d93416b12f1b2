#include "exit_on_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <array>
#include <csignal>
#include <stdexcept>

namespace corvane::qt {
namespace {

constexpr std::array kEndingSignals = {SIGTERM, SIGINT, SIGHUP};

// The handler only writes the signal's number into this pipe (the self-pipe
// route): the event loop reads it and does the rest outside the handler.
std::array<int, 2> g_pipe = {-1, -1};
std::array<struct sigaction, kEndingSignals.size()> g_previous{};

extern "C" void OnEndingSignal(int signal) {
  const int savedErrno = errno;
  const auto number = static_cast<unsigned char>(signal);
  // Nothing to do when the pipe is full: an end is already on its way.
  [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &number, 1);
  errno = savedErrno;
}

}  // namespace

ExitOnSignals::ExitOnSignals(FrontEnd& frontEnd) : m_frontEnd(frontEnd) {
  if (::pipe2(g_pipe.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
    throw std::runtime_error("no pipe for the ending signals");
  }
  m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, &ExitOnSignals::OnSignalled);
  struct sigaction action {};
  action.sa_handler = &OnEndingSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t index = 0; index < kEndingSignals.size(); ++index) {
    sigaction(kEndingSignals[index], &action, &g_previous[index]);
  }
}

ExitOnSignals::~ExitOnSignals() {
  for (std::size_t index = 0; index < kEndingSignals.size(); ++index) {
    sigaction(kEndingSignals[index], &g_previous[index], nullptr);
  }
  delete m_notifier;
  for (int& end : g_pipe) {
    ::close(end);
    end = -1;
  }
}

void ExitOnSignals::OnSignalled() {
  unsigned char number = 0;
  if (::read(g_pipe[0], &number, 1) == 1) m_frontEnd.Quit(kSignalExitBase + number);
}

}  // namespace corvane::qt
