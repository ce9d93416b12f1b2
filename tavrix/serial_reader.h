// Readers on a serial port. Implemented per platform: serial_reader_posix.cpp,
// serial_reader_win32.cpp.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#if !defined(_WIN32)
#include <termios.h>
#endif

#include "frame_decoder.h"
#include "reader.h"

namespace tavrix {

// On success `status` is TVX_OK and `reader` is ready to Start. Otherwise
// TVX_FAILED when no such port exists, TVX_PORT_UNUSABLE when it exists but
// cannot be had (busy, no permission, not a serial line).
struct OpenedReader {
  int32_t status = -1;
  std::unique_ptr<Reader> reader;
};

// Opens `port` now, so the caller learns at once whether reading can start.
OpenedReader OpenSerialReader(const std::string& port, std::shared_ptr<ReaderOutput> output);

#if !defined(_WIN32)
// A badge reader's line made from a port's settings as found: 9600 baud, 8
// data bits, no parity, 1 stop bit, raw, no flow control.
termios BadgeReaderLine(termios found);
#endif

// The text given with event 6 when the port goes away.
std::string LostPortText(const std::string& port);

// What the serial readers of every platform share: reading until the port is
// lost, reporting the loss once, reopening about once a second, and turning
// the bytes read into badges. A platform supplies the port and the wait.
class SerialReaderBase : public Reader {
 public:
  static constexpr std::chrono::milliseconds kReopenInterval{1000};

 protected:
  SerialReaderBase(std::string port, std::shared_ptr<ReaderOutput> output)
      : Reader(std::move(output)), m_portName(std::move(port)) {}

  void Run() final;

  virtual bool PortOpen() const = 0;
  virtual void ClosePort() = 0;
  // Opens the port again; true when it is open.
  virtual bool Reopen() = 0;
  // Reads until the port is lost (true) or the reader is stopped (false),
  // calling Feed with what arrives and CheckLeave whenever the wait ends.
  virtual bool ReadUntilLost() = 0;

  void Feed(std::string_view bytes);
  // Reports the badge in the field as gone once its time is up.
  void CheckLeave();
  // How long a wait may last before CheckLeave is due; -1 for no limit.
  int64_t LeaveTimeoutMs() const;
  const std::string& PortName() const { return m_portName; }

 private:
  void Report(const DecodedRead& read);
  void LoseThePort();

  const std::string m_portName;
  FrameDecoder m_decoder;
  BadgePresence m_presence;
};

}  // namespace tavrix
