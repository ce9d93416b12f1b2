// A reader on a POSIX serial port: one thread blocked in poll() on the port
// and a cancel pipe, so it costs nothing while no badge comes. The port is
// opened the way a badge reader needs it: exclusive, raw, 9600 8N1, never
// blocking.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "serial_reader.h"

namespace tavrix {

termios BadgeReaderLine(termios settings) {
  ::cfmakeraw(&settings);
  settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
  // CLOCAL: a reader has no carrier line, and a modem hang-up must not cut
  // us off from a port that is still there.
  settings.c_cflag |= CS8 | CLOCAL | CREAD;
  settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
  ::cfsetispeed(&settings, B9600);  // cannot fail for a standard speed
  ::cfsetospeed(&settings, B9600);
  return settings;
}

namespace {

// Owns a file descriptor.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : m_fd(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(UniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.m_fd, -1));
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int Get() const { return m_fd; }
  bool Valid() const { return m_fd >= 0; }
  void Reset(int fd = -1) {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = fd;
  }

 private:
  int m_fd = -1;
};

struct PortOpening {
  UniqueFd port;       // valid on success
  int32_t status = 0;  // TVX_OK, TVX_FAILED (no such port), TVX_PORT_UNUSABLE
};

bool NoSuchPort(int error) {
  return error == ENOENT || error == ENOTDIR || error == ELOOP || error == ENAMETOOLONG ||
         error == ENODEV || error == ENXIO;
}

bool ConfigureRaw9600(int fd) {
  termios settings{};
  if (::tcgetattr(fd, &settings) != 0) return false;
  settings = BadgeReaderLine(settings);
  if (::tcsetattr(fd, TCSANOW, &settings) != 0) return false;
  // Bytes from before we opened belong to nobody's badge.
  ::tcflush(fd, TCIFLUSH);
  return true;
}

PortOpening OpenSerialPort(const std::string& path) {
  PortOpening opening;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    opening.status = NoSuchPort(errno) ? TVX_FAILED : TVX_PORT_UNUSABLE;
    return opening;
  }
  if (!S_ISCHR(info.st_mode)) {
    opening.status = TVX_FAILED;
    return opening;
  }
  UniqueFd port(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!port.Valid()) {
    opening.status = NoSuchPort(errno) ? TVX_FAILED : TVX_PORT_UNUSABLE;
    return opening;
  }
  // flock keeps out every cooperating program (root included); TIOCEXCL
  // keeps out the ones that do not lock.
  if (::flock(port.Get(), LOCK_EX | LOCK_NB) != 0 || ::ioctl(port.Get(), TIOCEXCL) != 0 ||
      !ConfigureRaw9600(port.Get())) {
    opening.status = TVX_PORT_UNUSABLE;
    return opening;
  }
  opening.port = std::move(port);
  opening.status = TVX_OK;
  return opening;
}

// Gives up the exclusive claim and closes.
void CloseSerialPort(UniqueFd& port) {
  if (!port.Valid()) return;
  ::ioctl(port.Get(), TIOCNXCL);
  port.Reset();
}

class PosixSerialReader final : public SerialReaderBase {
 public:
  // `port` is open; the pipe's read end wakes the thread for Stop.
  PosixSerialReader(std::string path, UniqueFd port, UniqueFd cancelRead, UniqueFd cancelWrite,
                    std::shared_ptr<ReaderOutput> output)
      : SerialReaderBase(std::move(path), std::move(output)),
        m_port(std::move(port)),
        m_cancelRead(std::move(cancelRead)),
        m_cancelWrite(std::move(cancelWrite)) {}
  ~PosixSerialReader() override {
    Stop();
    CloseSerialPort(m_port);
  }

 protected:
  void Wake() override {
    const char byte = 1;
    // A full pipe already wakes the thread, so a failed write loses nothing.
    [[maybe_unused]] const auto written = ::write(m_cancelWrite.Get(), &byte, 1);
  }
  bool PortOpen() const override { return m_port.Valid(); }
  void ClosePort() override { CloseSerialPort(m_port); }
  bool Reopen() override {
    PortOpening opening = OpenSerialPort(PortName());
    if (opening.status != TVX_OK) return false;
    m_port = std::move(opening.port);
    return true;
  }

  bool ReadUntilLost() override {
    for (;;) {
      pollfd watched[2] = {{m_port.Get(), POLLIN, 0}, {m_cancelRead.Get(), POLLIN, 0}};
      const int ready = ::poll(watched, 2, static_cast<int>(LeaveTimeoutMs()));
      if (ready < 0 && errno != EINTR) return true;
      if (watched[1].revents != 0 || StopRequested()) return false;
      const short portEvents = watched[0].revents;
      if (portEvents & POLLNVAL) return true;
      if (portEvents & (POLLIN | POLLHUP | POLLERR)) {
        if (!Drain()) return true;
        // A hang-up that leaves nothing to read would wake poll() forever.
        if (portEvents & (POLLHUP | POLLERR)) return true;
      }
      CheckLeave();
    }
  }

 private:
  // Reads what is waiting; false when the port is gone.
  bool Drain() {
    char bytes[256];
    for (;;) {
      const ssize_t count = ::read(m_port.Get(), bytes, sizeof bytes);
      if (count > 0) {
        Feed({bytes, static_cast<std::size_t>(count)});
        continue;
      }
      if (count < 0 && errno == EINTR) continue;
      // EAGAIN: all read. 0 or EIO: the other end hung up or was unplugged.
      return count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
  }

  UniqueFd m_port;
  UniqueFd m_cancelRead;
  UniqueFd m_cancelWrite;
};

}  // namespace

OpenedReader OpenSerialReader(const std::string& port, std::shared_ptr<ReaderOutput> output) {
  PortOpening opening = OpenSerialPort(port);
  if (opening.status != TVX_OK) return {opening.status, nullptr};
  int cancel[2] = {-1, -1};
  if (::pipe2(cancel, O_CLOEXEC | O_NONBLOCK) != 0) return {TVX_FAILED, nullptr};
  return {TVX_OK,
          std::make_unique<PosixSerialReader>(port, std::move(opening.port), UniqueFd(cancel[0]),
                                              UniqueFd(cancel[1]), std::move(output))};
}

}  // namespace tavrix
