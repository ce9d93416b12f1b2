// Opening a serial port the way a badge reader needs it: exclusive, raw,
// 9600 8N1, never blocking.
#pragma once

#include <cstdint>
#include <string>

namespace tavrix {

// Owns a file descriptor.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : m_fd(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(UniqueFd&& other) noexcept : m_fd(other.Release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int Get() const { return m_fd; }
  bool Valid() const { return m_fd >= 0; }
  int Release();
  void Reset(int fd = -1);

 private:
  int m_fd = -1;
};

struct PortOpening {
  UniqueFd port;       // valid on success
  int32_t status = 0;  // TVX_OK, TVX_FAILED (no such port), TVX_PORT_UNUSABLE
};

PortOpening OpenSerialPort(const std::string& path);

// Gives up the exclusive claim and closes.
void CloseSerialPort(UniqueFd& port);

}  // namespace tavrix
