#include "serial_reader_posix.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "serial_reader.h"

namespace tavrix {

OpenedReader OpenSerialReader(const std::string& port, std::shared_ptr<ReaderOutput> output) {
  PortOpening opening = OpenSerialPort(port);
  if (opening.status != TVX_OK) return {opening.status, nullptr};
  int cancel[2] = {-1, -1};
  if (::pipe2(cancel, O_CLOEXEC | O_NONBLOCK) != 0) return {TVX_FAILED, nullptr};
  return {TVX_OK, std::make_unique<SerialReader>(port, std::move(opening.port), UniqueFd(cancel[0]),
                                                 UniqueFd(cancel[1]), std::move(output))};
}

SerialReader::SerialReader(std::string path, UniqueFd port, UniqueFd cancelRead,
                           UniqueFd cancelWrite, std::shared_ptr<ReaderOutput> output)
    : SerialReaderBase(std::move(path), std::move(output)),
      m_port(std::move(port)),
      m_cancelRead(std::move(cancelRead)),
      m_cancelWrite(std::move(cancelWrite)) {}

SerialReader::~SerialReader() {
  Stop();
  CloseSerialPort(m_port);
}

void SerialReader::Wake() {
  const char byte = 1;
  // A full pipe already wakes the thread, so a failed write loses nothing.
  [[maybe_unused]] const auto written = ::write(m_cancelWrite.Get(), &byte, 1);
}

void SerialReader::ClosePort() { CloseSerialPort(m_port); }

bool SerialReader::Reopen() {
  PortOpening opening = OpenSerialPort(PortName());
  if (opening.status != TVX_OK) return false;
  m_port = std::move(opening.port);
  return true;
}

bool SerialReader::ReadUntilLost() {
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

bool SerialReader::Drain() {
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

}  // namespace tavrix
