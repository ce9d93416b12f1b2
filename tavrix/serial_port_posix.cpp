#include "serial_port_posix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "tavrix.h"

namespace tavrix {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) Reset(other.Release());
  return *this;
}

int UniqueFd::Release() {
  const int fd = m_fd;
  m_fd = -1;
  return fd;
}

void UniqueFd::Reset(int fd) {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = fd;
}

namespace {

bool NoSuchPort(int error) {
  return error == ENOENT || error == ENOTDIR || error == ELOOP || error == ENAMETOOLONG ||
         error == ENODEV || error == ENXIO;
}

bool ConfigureRaw9600(int fd) {
  termios settings{};
  if (::tcgetattr(fd, &settings) != 0) return false;
  ::cfmakeraw(&settings);
  settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
  // CLOCAL: a reader has no carrier line, and a modem hang-up must not cut
  // us off from a port that is still there.
  settings.c_cflag |= CS8 | CLOCAL | CREAD;
  settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
  if (::cfsetispeed(&settings, B9600) != 0 || ::cfsetospeed(&settings, B9600) != 0) return false;
  if (::tcsetattr(fd, TCSANOW, &settings) != 0) return false;
  // Bytes from before we opened belong to nobody's badge.
  ::tcflush(fd, TCIFLUSH);
  return true;
}

}  // namespace

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

void CloseSerialPort(UniqueFd& port) {
  if (!port.Valid()) return;
  ::ioctl(port.Get(), TIOCNXCL);
  port.Reset();
}

}  // namespace tavrix
