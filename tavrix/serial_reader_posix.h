// A reader on a POSIX serial port: one thread blocked in poll() on the port
// and a cancel pipe, so it costs nothing while no badge comes.
#pragma once

#include <chrono>
#include <string>

#include "tavrix/badge_presence.h"
#include "tavrix/frame_decoder.h"
#include "tavrix/reader.h"
#include "tavrix/serial_port_posix.h"

namespace tavrix {

class SerialReader final : public Reader {
 public:
  static constexpr std::chrono::milliseconds kReopenInterval{1000};

  // `port` is open; the pipe's read end wakes the thread for Stop.
  SerialReader(std::string path, UniqueFd port, UniqueFd cancelRead, UniqueFd cancelWrite,
               std::shared_ptr<ReaderOutput> output);
  ~SerialReader() override;

 protected:
  void Run() override;
  void Wake() override;

 private:
  // True when the port was lost, false when the reader was stopped.
  bool ReadUntilLost();
  // Reads what is waiting; false when the port is gone.
  bool Drain();
  void Report(const DecodedRead& read);
  void LoseThePort();
  int PollTimeoutMs() const;

  const std::string m_path;
  UniqueFd m_port;
  UniqueFd m_cancelRead;
  UniqueFd m_cancelWrite;
  FrameDecoder m_decoder;
  BadgePresence m_presence;
};

}  // namespace tavrix
