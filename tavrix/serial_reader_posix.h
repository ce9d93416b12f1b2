// A reader on a POSIX serial port: one thread blocked in poll() on the port
// and a cancel pipe, so it costs nothing while no badge comes.
#pragma once

#include <string>

#include "serial_port_posix.h"
#include "serial_reader.h"

namespace tavrix {

class SerialReader final : public SerialReaderBase {
 public:
  // `port` is open; the pipe's read end wakes the thread for Stop.
  SerialReader(std::string path, UniqueFd port, UniqueFd cancelRead, UniqueFd cancelWrite,
               std::shared_ptr<ReaderOutput> output);
  ~SerialReader() override;

 protected:
  void Wake() override;
  bool PortOpen() const override { return m_port.Valid(); }
  void ClosePort() override;
  bool Reopen() override;
  bool ReadUntilLost() override;

 private:
  // Reads what is waiting; false when the port is gone.
  bool Drain();

  UniqueFd m_port;
  UniqueFd m_cancelRead;
  UniqueFd m_cancelWrite;
};

}  // namespace tavrix
