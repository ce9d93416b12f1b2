// A pseudo-terminal as a serial badge reader: the code under test opens the
// slave by its path, the test plays the reader on the master.
#pragma once

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

namespace corvane::testing {

class PtyPair {
 public:
  // Raw from the start, so no line editing holds back bytes written early.
  PtyPair() {
    termios raw{};
    ::cfmakeraw(&raw);
    int slave = -1;
    char name[128] = {};
    Check(::openpty(&m_master, &slave, name, &raw, nullptr), "openpty");
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);  // a program started meanwhile must not hold it
    // Ours would only keep the terminal alive after the code under test closed its own.
    ::close(slave);
    m_slavePath = name;
  }
  ~PtyPair() { HangUp(); }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  const std::string& SlavePath() const { return m_slavePath; }

  // The slave's line settings: on Linux the master reads and sets the slave's.
  termios Settings() const {
    termios settings{};
    Check(::tcgetattr(m_master, &settings), "tcgetattr");
    return settings;
  }
  void SetSettings(const termios& settings) {
    Check(::tcsetattr(m_master, TCSANOW, &settings), "tcsetattr");
  }

  void Write(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t written = ::write(m_master, bytes.data(), bytes.size());
      if (written < 0 && errno != EINTR) Check(-1, "write to pty master");
      if (written > 0) bytes.remove_prefix(static_cast<std::size_t>(written));
    }
  }

  // Whoever has the slave open sees a hang-up, and its path goes away for good.
  void HangUp() {
    if (m_master >= 0) ::close(m_master);
    m_master = -1;
  }

 private:
  static int Check(int result, const std::string& what) {
    if (result < 0) throw std::runtime_error(what + ": " + std::strerror(errno));
    return result;
  }

  int m_master = -1;
  std::string m_slavePath;
};

}  // namespace corvane::testing
